// fhr-cli subject: the subject lines of the database (add, list, enable,
// disable, remove). Secrets are read from stdin or --passphrase-fd.
#include <memory>
#include <ostream>

#include "cli/commands.h"
#include "cli/secret_input.h"
#include "core/text_helpers.h"
#include "news/subject_line.h"
#include "storage/fhrdb.h"

namespace fhr::cli {
namespace {

constexpr const char* kUsage =
    "usage: fhr-cli subject add --hsub | --esub [--ekey] --keyid ID | ls | enable SUBNO | disable SUBNO | rm SUBNO";

// Index of the first stored line whose subno is exactly `subno`, or -1.
int IndexOfSubno(const StringList& lines, const std::string& subno) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (ParseSubjectLine(lines[i]).subno == subno) return static_cast<int>(i);
  }
  return -1;
}

int Add(Context& ctx, TFHRDB& db, const std::vector<std::string>& options) {
  SubjectLine line;
  bool kindGiven = false;
  for (std::size_t i = 0; i < options.size(); ++i) {
    if ((options[i] == "--esub" || options[i] == "--hsub") && !kindGiven) {
      line.esub = options[i] == "--esub";
      kindGiven = true;
    } else if (options[i] == "--ekey") {
      line.ekey = true;
    } else if (options[i] == "--keyid" && i + 1 < options.size()) {
      line.keyid = options[++i];
    } else {
      return Fail(ctx, kUsage, 2);
    }
  }
  if (!kindGiven || line.keyid.empty()) return Fail(ctx, kUsage, 2);

  std::vector<std::string> prompts = {line.esub ? "Subject" : "Secret"};
  if (line.esub) prompts.push_back("Passphrase");
  if (line.ekey) prompts.push_back("Encrypt-Key password(s)");
  auto secrets = ReadSecretLines(ctx, prompts);
  if (!secrets) return 1;
  line.subject = (*secrets)[0];
  if (line.esub) line.ephrase = (*secrets)[1];
  if (line.ekey) line.kphrase = secrets->back();
  WipeSecretLines(*secrets);
  if (line.subject.empty()) return Fail(ctx, std::string("the ") + (line.esub ? "subject" : "secret") + " must not be empty");
  if (line.esub && line.ephrase.empty()) return Fail(ctx, "the passphrase must not be empty");
  if (line.ekey && line.kphrase.empty()) return Fail(ctx, "With encrypt-key enabled a password is required!");

  StringList lines;
  if (!db.ReadSubjects(lines)) return Fail(ctx, "I can't read the subject lines");
  if (FindDuplicateSubjectLine(line, lines.lines()) >= 0) {
    return Fail(ctx, line.esub ? "This ESUB subject/password pair already exists!" : "This HASHED subject already exists!");
  }
  const std::optional<std::string> subno = AllocateSubjectNumber(db);
  if (!subno) return Fail(ctx, "I can't give the subject line a number");
  line.subno = *subno;
  line.active = true;
  StringList record;
  record.SetCommaText(SubjectLineText(line));
  const bool stored = db.PutSubjectLine(line.subno, record);
  for (std::string& field : record) WipeText(field);
  if (!stored) return Fail(ctx, "I can't store the subject line");
  ctx.out << line.subno << "\n";
  return 0;
}

int List(Context& ctx, TFHRDB& db) {
  StringList lines;
  if (!db.ReadSubjects(lines)) return Fail(ctx, "I can't read the subject lines");
  for (const std::string& text : lines) {
    const SubjectLine line = ParseSubjectLine(text);
    ctx.out << line.subno << " " << (line.active ? "active" : "inactive") << " "
            << (line.esub ? "encrypted" : "hashed") << " " << (line.keyid.empty() ? "-" : line.keyid)
            << (line.ekey ? " encrypt-key" : "") << "\n";
  }
  return 0;
}

int SetActive(Context& ctx, TFHRDB& db, const std::string& subno, bool active) {
  StringList record;
  if (!db.GetSubjectLine(subno, record)) return Fail(ctx, "I can't read the subject lines");
  if (record.empty()) return Fail(ctx, "there is no subject line " + subno);
  record.SetValue("active", active ? "1" : "0");
  const bool stored = db.PutSubjectLine(subno, record);
  for (std::string& field : record) WipeText(field);
  return stored ? 0 : Fail(ctx, "I can't store the subject line");
}

int Remove(Context& ctx, TFHRDB& db, const std::string& subno) {
  StringList lines;
  if (!db.ReadSubjects(lines)) return Fail(ctx, "I can't read the subject lines");
  const int i = IndexOfSubno(lines, subno);
  if (i < 0) return Fail(ctx, "there is no subject line " + subno);
  WipeText(lines[static_cast<std::size_t>(i)]);
  lines.Delete(static_cast<std::size_t>(i));
  return db.WriteSubjects(lines) ? 0 : Fail(ctx, "I can't store the subject lines");
}

}  // namespace

int RunSubject(Context& ctx, const std::vector<std::string>& args) {
  const std::string verb = args.empty() ? "" : args[0];
  const bool oneSubno = (verb == "enable" || verb == "disable" || verb == "rm") && args.size() == 2;
  if (verb != "add" && !(verb == "ls" && args.size() == 1) && !oneSubno) return Fail(ctx, kUsage, 2);

  std::unique_ptr<TFHRDB> db = OpenMailDatabase(ctx.paths.DbFileName());
  if (!db) return Fail(ctx, "I can't open the database " + ctx.paths.DbFileName());
  int status = 0;
  if (verb == "add") status = Add(ctx, *db, std::vector<std::string>(args.begin() + 1, args.end()));
  if (verb == "ls") status = List(ctx, *db);
  if (verb == "enable" || verb == "disable") status = SetActive(ctx, *db, args[1], verb == "enable");
  if (verb == "rm") status = Remove(ctx, *db, args[1]);
  if (db->Changed() && !db->SaveDatabase()) return Fail(ctx, "I couldn't save the database");
  return status;
}

}  // namespace fhr::cli
