// Any bytes read as a message's lines: header look-ups and deletions, the
// text rules and list keys never crash, and keys never carry a byte that
// would break a key or a record name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "core/stringlist.h"
#include "news/list_key.h"
#include "news/message_text.h"
#include "news/msgmans.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool HasForbiddenByte(const std::string& field) {
  for (char c : field) {
    if (c == '\0' || c == '\r' || c == '\n' || c == '\xff') return true;
  }
  return false;
}

void CheckKey(const std::string& key, std::size_t fieldCount) {
  std::size_t separators = 0;
  for (char c : key) separators += c == fhr::kKeySeparator;
  Check(separators + 1 == fieldCount);
  Check(!HasForbiddenByte(key.substr(fhr::kStampAndFlagsLength)));
  Check(fhr::IsStamp(fhr::StampOf(key)));
  Check(!fhr::IsRead(key));
  Check(fhr::IsRead(fhr::WithReadFlag(key, true)));
  Check(fhr::WithReadFlag(fhr::WithReadFlag(key, true), false) == key);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  fhr::StringList lines;
  lines.SetText(bytes);
  fhr::TMsgManager message(lines);

  const std::size_t end = static_cast<std::size_t>(message.HeaderEnd());
  Check(end <= lines.size());
  Check(message.TextLength() == lines.Text().size());

  // Fixed names and the message's own first line as a name.
  const std::string names[] = {"Subject:", "From:", "Message-No:", fhr::kSubjectNoHeader,
                               lines.empty() ? std::string() : lines[0]};
  for (const std::string& name : names) {
    const std::string value = message.GetHeader(name);
    Check(value == fhr::TrimHeaderBlanks(value));
  }
  Check(message.GetSubject().find_first_of("\r\n\t") == std::string::npos);

  // Keys: stamps from one fixed instant, each moved past the ones before.
  std::set<std::string> taken;
  const auto inUse = [&](const std::string& s) { return taken.count(s) > 0; };
  const auto now = [] { return std::chrono::system_clock::time_point{}; };
  for (int i = 0; i < 3; ++i) {
    const std::string firstHalf = message.MakeListKey(inUse, now);
    CheckKey(firstHalf, 4);
    Check(taken.insert(fhr::StampOf(firstHalf)).second);
    const std::string key = fhr::CompleteListKey(firstHalf, static_cast<long long>(size), bytes, bytes, bytes);
    CheckKey(key, 8);
    const fhr::ListKeyFields parsed = fhr::ParseListKey(key);
    Check(parsed.stamp == fhr::StampOf(firstHalf));
    Check(parsed.textLength == std::to_string(message.TextLength()));
    Check(parsed.nym == fhr::MakeKeyField(bytes));
  }
  const std::string field = fhr::MakeKeyField(bytes);
  Check(!HasForbiddenByte(field) && field.find(fhr::kKeySeparator) == std::string::npos);
  Check(fhr::MakeKeyField(field) == field);
  fhr::ParseListKey(bytes);
  fhr::StampDisplayDate(bytes.substr(0, fhr::kStampLength));

  fhr::ExtractSubject(lines);
  const std::string sender = fhr::ExtractSender(lines);
  Check(sender.empty() || sender.find('@') != std::string::npos);
  fhr::DomainOf(fhr::AddressIn(bytes));

  // Deletions last: each removes at least its own line, or changes nothing.
  const fhr::StringList before = lines;
  const std::size_t count = lines.size();
  const int deleted = message.DeleteHeader("Received:");
  Check(deleted < 0 ? lines == before : lines.size() < count && deleted < static_cast<int>(end));
  fhr::ExtractSubjectTag(lines);
  while (message.DeleteHeader(names[4]) >= 0) {
  }
  return 0;
}
