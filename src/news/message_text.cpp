#include "news/message_text.h"

#include "core/text_helpers.h"
#include "news/msgmans.h"

namespace fhr {
namespace {

bool EndsAddress(char c) {
  return c == ' ' || c == ';' || c == '<' || c == ',' || c == '>' || c == '=' || c == '\n' || c == '\r';
}

constexpr std::size_t kMaxDomainLength = 1024;

}  // namespace

std::string ExtractSubject(const StringList& lines) {
  static const std::string kSubject = "Subject:";
  std::string value;
  int blankLines = 0;
  for (const std::string& line : lines) {
    if (IsBlankLine(line) && ++blankLines == 3) break;
    if (line.compare(0, kSubject.size(), kSubject) == 0) value = line.substr(kSubject.size());
  }
  return TrimHeaderBlanks(value);
}

std::string ExtractSender(const StringList& lines) {
  static const std::string kFrom = "From:";
  std::string sender;
  int fromLines = 0;
  for (const std::string& line : lines) {
    if (line.compare(0, kFrom.size(), kFrom) != 0) continue;
    sender = AddressIn(line);
    if (++fromLines == 2) break;
  }
  return sender;
}

std::string ExtractSubjectTag(StringList& lines) {
  TMsgManager message(lines);
  for (const char* name : {"Hash-Subject:", "Encrypt-Subject:"}) {
    std::string tag = message.GetHeader(name);
    if (tag.empty()) continue;
    message.DeleteHeader(name);
    return tag;
  }
  return "";
}

std::string AddressIn(const std::string& text) {
  const auto at = text.find('@');
  if (at == std::string::npos) return "";
  std::size_t first = at;
  while (first > 0 && !EndsAddress(text[first - 1])) --first;
  std::size_t last = at + 1;
  while (last < text.size() && !EndsAddress(text[last])) ++last;
  return TrimHeaderBlanks(text.substr(first, last - first));
}

std::string DomainOf(const std::string& address) {
  const auto at = address.find('@');
  if (at == std::string::npos) return "";
  return address.substr(at + 1, kMaxDomainLength);
}

}  // namespace fhr
