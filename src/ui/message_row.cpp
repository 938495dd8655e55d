#include "ui/message_row.h"

#include <charconv>

#include "news/list_key.h"
#include "news/message_text.h"

namespace fhr {

std::string SizeText(const std::string& textLength) {
  unsigned long long length = 0;
  const char* end = textLength.data() + textLength.size();
  auto [ptr, ec] = std::from_chars(textLength.data(), end, length);
  if (ec != std::errc() || ptr != end) length = 0;
  unsigned long long kilobytes = length / 1000;
  if (length % 1000 > 500 || kilobytes == 0) ++kilobytes;
  std::string digits = std::to_string(kilobytes);
  if (digits.size() > 3) digits.insert(digits.size() - 3, ",");
  return digits + " KB";
}

MessageRow MakeMessageRow(const std::string& key, StringList& lines) {
  const ListKeyFields fields = ParseListKey(key);
  MessageRow row;
  row.read = fields.read;
  row.date = StampDisplayDate(fields.stamp);
  row.from = fields.from;
  row.size = SizeText(fields.textLength);
  row.subject = fields.subjectLine;
  if (row.subject.empty()) row.subject = ExtractSubjectTag(lines);
  if (lines.IndexOf("-----BEGIN PGP MESSAGE-----") < 0) row.subject += ":  " + ExtractSubject(lines);
  if (row.subject.empty()) row.subject = ExtractSubjectTag(lines);
  return row;
}

}  // namespace fhr
