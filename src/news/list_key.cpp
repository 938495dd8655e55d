#include "news/list_key.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace fhr {
namespace {

bool IsForbiddenKeyByte(unsigned char c) { return c == 0 || c == '\r' || c == '\n' || c == 0x87 || c == 0xFF; }

// Length of the well-formed UTF-8 sequence that starts at `i`, or 0 when
// none does.
std::size_t Utf8SequenceAt(const std::string& text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  std::size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  } else {
    return 0;
  }
  if (text.size() - i < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(text[i + k]);
    if (c < 0x80 || c > 0xBF) return 0;
  }
  return length;
}

std::vector<std::string> SplitAtSeparator(const std::string& key) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const auto stop = key.find(kKeySeparator, start);
    fields.push_back(key.substr(start, stop == std::string::npos ? std::string::npos : stop - start));
    if (stop == std::string::npos) return fields;
    start = stop + 1;
  }
}

}  // namespace

std::chrono::system_clock::time_point SystemClock() { return std::chrono::system_clock::now(); }

std::string FormatStamp(std::chrono::system_clock::time_point t) {
  using namespace std::chrono;
  const auto seconds = floor<std::chrono::seconds>(t);
  const auto millis = duration_cast<milliseconds>(t - seconds).count();
  const std::time_t whole = system_clock::to_time_t(seconds);
  std::tm local{};
  localtime_r(&whole, &local);
  char text[32];
  std::snprintf(text, sizeof text, "%02d%02d%02d%02d%02d%02d%03d", (local.tm_year + 1900) % 100,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millis));
  return text;
}

std::string FreeStamp(std::chrono::system_clock::time_point t, const StampInUse& inUse) {
  for (;;) {
    std::string stamp = FormatStamp(t);
    if (!inUse || !inUse(stamp)) return stamp;
    t += std::chrono::milliseconds(1);
  }
}

std::string MakeKeyField(const std::string& value) {
  std::string field;
  field.reserve(value.size());
  for (std::size_t i = 0; i < value.size();) {
    if (const std::size_t length = Utf8SequenceAt(value, i)) {
      const std::string character = value.substr(i, length);
      field += character.find(kKeySeparator) == std::string::npos ? character : "\xEF\xBF\xBD";
      i += length;
      continue;
    }
    field += IsForbiddenKeyByte(static_cast<unsigned char>(value[i])) ? ' ' : value[i];
    ++i;
  }
  return field;
}

std::string CompleteListKey(const std::string& firstFields, long long articleNumber, const std::string& subject,
                            const std::string& subno, const std::string& nym) {
  std::string key = firstFields;
  for (const std::string& field : {std::to_string(articleNumber), subject, subno, nym}) {
    key += kKeySeparator;
    key += MakeKeyField(field);
  }
  return key;
}

ListKeyFields ParseListKey(const std::string& key) {
  ListKeyFields parsed;
  parsed.stamp = StampOf(key);
  parsed.read = IsRead(key);
  std::vector<std::string> fields = SplitAtSeparator(key);
  fields.resize(std::max<std::size_t>(fields.size(), 8));
  // The flag bytes are not part of the message number; a first field too
  // short to hold them holds no number either.
  parsed.messageNo = fields[0].size() > kStampAndFlagsLength ? fields[0].substr(kStampAndFlagsLength) : "";
  parsed.subject = fields[1];
  parsed.textLength = fields[2];
  parsed.from = fields[3];
  parsed.articleNumber = fields[4];
  parsed.subjectLine = fields[5];
  parsed.subno = fields[6];
  parsed.nym = fields[7];
  return parsed;
}

std::string StampOf(const std::string& key) { return key.substr(0, kStampLength); }

bool IsStamp(const std::string& text) {
  return text.size() == kStampLength &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsRead(const std::string& key) {
  return key.size() > kStampLength && (static_cast<unsigned char>(key[kStampLength]) & 1) != 0;
}

std::string WithReadFlag(const std::string& key, bool read) {
  if (key.size() <= kStampLength) return key;
  std::string changed = key;
  const auto flags = static_cast<unsigned char>(changed[kStampLength]);
  changed[kStampLength] = static_cast<char>(read ? (flags | 1) : (flags & ~1u));
  return changed;
}

std::string StampDisplayDate(const std::string& stamp) {
  if (!IsStamp(stamp)) return "";
  return "20" + stamp.substr(0, 2) + "-" + stamp.substr(2, 2) + "-" + stamp.substr(4, 2) + " " + stamp.substr(6, 2) +
         ":" + stamp.substr(8, 2);
}

}  // namespace fhr
