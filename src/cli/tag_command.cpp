// fhr-cli tag: makes subject tags (ESUB of both forms, HSUB) and tests a
// tag against the active subject lines.
#include <ostream>

#include <unistd.h>

#include "cli/commands.h"
#include "cli/secret_input.h"
#include "news/esub.h"
#include "news/hsub.h"
#include "news/subject_library.h"

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

}  // namespace

int RunTag(Context& ctx, const std::vector<std::string>& args) {
  const std::string verb = args.empty() ? "" : args[0];
  if ((verb == "esub" || verb == "idea") && args.size() == 2) return MakeEsub(ctx, args[1], verb == "idea");
  if (verb == "hsub" && args.size() == 1) return MakeHsub(ctx);
  return Fail(ctx, kTagUsage, 2);
}

}  // namespace fhr::cli
