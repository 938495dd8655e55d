#include "news/subject_line.h"

#include <algorithm>

#include "core/stringlist.h"
#include "core/text_helpers.h"
#include "storage/fhrdb.h"

namespace fhr {

SubjectLine::~SubjectLine() {
  WipeText(subject);
  WipeText(ephrase);
  WipeText(kphrase);
}

SubjectLine ParseSubjectLine(const std::string& commaText) {
  StringList fields;
  fields.SetCommaText(commaText);
  SubjectLine line;
  line.subno = fields.Value("subno");
  line.active = fields.Value("active") == "1";
  line.subject = fields.Value("subject");
  line.esub = fields.Value("esub") == "1";
  line.ephrase = fields.Value("ephrase");
  line.ekey = fields.Value("ekey") == "1";
  line.kphrase = fields.Value("kphrase");
  line.keyid = fields.Value("keyid");
  for (std::string& text : fields) WipeText(text);
  return line;
}

std::string SubjectLineText(const SubjectLine& line) {
  StringList fields;
  fields.SetValue("subno", line.subno);
  fields.SetValue("active", line.active ? "1" : "0");
  fields.SetValue("subject", line.subject);
  fields.SetValue("esub", line.esub ? "1" : "0");
  fields.SetValue("ephrase", line.ephrase);
  fields.SetValue("ekey", line.ekey ? "1" : "0");
  fields.SetValue("kphrase", line.kphrase);
  fields.SetValue("keyid", line.keyid);
  std::string text = fields.CommaText();
  for (std::string& field : fields) WipeText(field);
  return text;
}

long long NextSubjectNumber(const std::string& storedNextSubject, const std::vector<std::string>& lineTexts) {
  long long next = std::max<long long>(kFirstSubjectNumber, IntValueOf(StringList{"n=" + storedNextSubject}, "n", 0));
  for (const std::string& text : lineTexts) {
    StringList fields;
    fields.SetCommaText(text);
    next = std::max(next, IntValueOf(fields, "subno", 0) + 1LL);
  }
  return next;
}

std::optional<std::string> AllocateSubjectNumber(TFHRDB& db) {
  StringList lines;
  if (!db.ReadSubjects(lines)) return std::nullopt;
  const long long number = NextSubjectNumber(db.GetDbSetting("nextsubject", ""), lines.lines());
  if (!db.SetDbSetting("nextsubject", std::to_string(number + 1))) return std::nullopt;
  return std::to_string(number);
}

int FindDuplicateSubjectLine(const SubjectLine& line, const std::vector<std::string>& lineTexts) {
  const std::string passphrase = line.esub ? line.ephrase : "";
  for (std::size_t i = 0; i < lineTexts.size(); ++i) {
    const SubjectLine stored = ParseSubjectLine(lineTexts[i]);
    if (stored.subject == line.subject && (stored.esub ? stored.ephrase : "") == passphrase) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace fhr
