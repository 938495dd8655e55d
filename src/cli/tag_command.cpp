// fhr-cli tag: makes subject tags (ESUB of both forms, HSUB) and tests a
// tag against the active subject lines.
#include <memory>
#include <ostream>

#include <unistd.h>

#include "cli/commands.h"
#include "cli/secret_input.h"
#include "core/text_helpers.h"
#include "news/esub.h"
#include "news/hsub.h"
#include "news/subject_library.h"
#include "news/subject_matcher.h"
#include "storage/fhrdb.h"

namespace fhr::cli {
namespace {

constexpr const char* kTagUsage = "usage: fhr-cli tag esub SUBJECT | idea SUBJECT | hsub | test TAG";

// Loads libhidtag32.so from the program directory; false after a message.
bool NeedSubjectLibrary(Context& ctx) {
  if (LoadSubjectLibrary(ctx.paths.appDir)) return true;
  // A library that failed to load has said why; a missing one has not.
  if (access((ctx.paths.appDir + kSubjectLibraryFile).c_str(), F_OK) != 0) {
    Fail(ctx, std::string("I cannot find ") + kSubjectLibraryFile + " in " + ctx.paths.appDir);
  }
  return false;
}

int MakeEsub(Context& ctx, const std::string& subject, bool ideaForm) {
  if (subject.empty()) return Fail(ctx, "the subject must not be empty", 2);
  if (ideaForm && !NeedSubjectLibrary(ctx)) return 1;
  auto secrets = ReadSecretLines(ctx, {"Passphrase"});
  if (!secrets) return 1;
  const std::string& passphrase = (*secrets)[0];
  if (passphrase.empty()) return Fail(ctx, "the passphrase must not be empty");
  const auto tag = ideaForm ? LibraryMakeSubject(subject, passphrase) : MakeEncryptedSubject(subject, passphrase);
  WipeSecretLines(*secrets);
  if (!tag) return Fail(ctx, "I could not make the ESUB (no randomness from the system?)");
  ctx.out << *tag << "\n";
  return 0;
}

int MakeHsub(Context& ctx) {
  auto secrets = ReadSecretLines(ctx, {"Secret"});
  if (!secrets) return 1;
  if ((*secrets)[0].empty()) return Fail(ctx, "the secret must not be empty");
  const auto tag = MakeHashedSubject((*secrets)[0]);
  WipeSecretLines(*secrets);
  if (!tag) return Fail(ctx, "I could not make the HSUB (no randomness from the system?)");
  ctx.out << *tag << "\n";
  return 0;
}

// Prints the subno of the first active line that `tag` matches and gives
// 0; gives 1, silently, when none does, and 2 after a message when the
// lines cannot be read.
int TestTag(Context& ctx, const std::string& tag) {
  std::unique_ptr<TFHRDB> db = OpenMailDatabase(ctx.paths.DbFileName());
  if (!db) return Fail(ctx, "I can't open the database " + ctx.paths.DbFileName(), 2);
  StringList lines;
  if (!db->ReadSubjects(lines)) return Fail(ctx, "I can't read the subject lines", 2);
  if (!NeedSubjectLibrary(ctx)) return 2;
  const std::optional<std::string> subno = MatchSubject(tag, lines.lines());
  for (std::string& line : lines) WipeText(line);
  if (!subno) return 1;
  ctx.out << *subno << "\n";
  return 0;
}

}  // namespace

int RunTag(Context& ctx, const std::vector<std::string>& args) {
  const std::string verb = args.empty() ? "" : args[0];
  if ((verb == "esub" || verb == "idea") && args.size() == 2) return MakeEsub(ctx, args[1], verb == "idea");
  if (verb == "hsub" && args.size() == 1) return MakeHsub(ctx);
  if (verb == "test" && args.size() == 2) return TestTag(ctx, args[1]);
  return Fail(ctx, kTagUsage, 2);
}

}  // namespace fhr::cli
