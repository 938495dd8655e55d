#include "news/msgmans.h"

#include "core/text_helpers.h"

namespace fhr {
namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithIgnoringCase(const std::string& line, const std::string& prefix) {
  if (line.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiLower(line[i]) != AsciiLower(prefix[i])) return false;
  }
  return true;
}

bool IsContinuationLine(const std::string& line) { return !line.empty() && (line[0] == ' ' || line[0] == '\t'); }

bool IsBlank(unsigned char c) { return c <= 0x20; }

}  // namespace

std::string TrimHeaderBlanks(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlank(static_cast<unsigned char>(text[first]))) ++first;
  while (last > first && IsBlank(static_cast<unsigned char>(text[last - 1]))) --last;
  return text.substr(first, last - first);
}

int TMsgManager::FindHeader(const std::string& name) const {
  const std::size_t count = lines_.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& line = lines_[i];
    if (IsBlankLine(line)) {
      // Remailers paste further headers after a blank line and a "##" line;
      // the "##" line itself names no header.
      if (i + 1 < count && lines_[i + 1] == "##") {
        ++i;
        continue;
      }
      return -1;
    }
    if (StartsWithIgnoringCase(line, name)) return static_cast<int>(i);
  }
  return -1;
}

std::size_t TMsgManager::ContinuationEnd(std::size_t i) const {
  std::size_t end = i + 1;
  while (end < lines_.size() && IsContinuationLine(lines_[end])) ++end;
  return end;
}

std::string TMsgManager::GetHeader(const std::string& name) const {
  const int found = FindHeader(name);
  if (found < 0) return "";
  const auto first = static_cast<std::size_t>(found);
  std::string taken = lines_[first];
  const std::size_t end = ContinuationEnd(first);
  for (std::size_t i = first + 1; i < end; ++i) taken += "\r\n" + lines_[i];
  const auto colon = taken.find(':');
  return colon == std::string::npos ? "" : TrimHeaderBlanks(taken.substr(colon + 1));
}

int TMsgManager::DeleteHeader(const std::string& name) {
  const int found = FindHeader(name);
  if (found < 0) return -1;
  const auto first = static_cast<std::size_t>(found);
  for (std::size_t n = ContinuationEnd(first) - first; n > 0; --n) lines_.Delete(first);
  return found;
}

std::string TMsgManager::GetSubject() const {
  std::string subject;
  for (char c : GetHeader("Subject:")) {
    if (c == '\r' || c == '\n') continue;
    subject += c == '\t' ? ' ' : c;
  }
  return subject;
}

int TMsgManager::HeaderEnd() const {
  const std::size_t count = lines_.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (!IsBlankLine(lines_[i])) continue;
    if (i + 1 == count || lines_[i + 1] != "##") return static_cast<int>(i);
  }
  return static_cast<int>(count);
}

std::size_t TMsgManager::TextLength() const {
  std::size_t length = 0;
  for (const std::string& line : lines_) length += line.size() + 2;
  return length;
}

std::string TMsgManager::MakeListKey(const StampInUse& inUse, const Clock& now) const {
  std::string key = FreeStamp(now ? now() : SystemClock(), inUse);
  key += "\x80\x80";
  key += MakeKeyField(GetHeader("Message-No:"));
  key += kKeySeparator;
  key += MakeKeyField(GetSubject());
  key += kKeySeparator;
  key += std::to_string(TextLength());
  key += kKeySeparator;
  key += MakeKeyField(GetHeader("From:"));
  return key;
}

void InsertSubjectNo(StringList& lines, const std::string& subno) {
  lines.Insert(0, std::string(kSubjectNoHeader) + " " + subno);
}

}  // namespace fhr
