// fhr-cli decrypt: a stored nym message made readable with its subject
// line's Encrypt-Key passwords and the nym key's passphrase, printed with
// its verification lines and, when asked, stored back decrypted.
#include <memory>
#include <ostream>

#include "cli/cli_decrypt_prompts.h"
#include "cli/commands.h"
#include "core/settings.h"
#include "decrypt/decrypt_workflow.h"
#include "decrypt/save_decrypted.h"
#include "gnupg/gpg_setup.h"
#include "gnupg/pgp_markers.h"
#include "news/list_key.h"
#include "news/msgmans.h"
#include "news/subject_line.h"
#include "storage/fhrdb.h"

namespace fhr::cli {
namespace {

constexpr const char* kUsage = "usage: fhr-cli decrypt STAMP [--save]";

// The key of the stored message with `stamp`, or "" when there is none.
std::string FindByStamp(TFHRDB& db, const std::string& stamp, bool* readable) {
  StringList keys;
  *readable = db.ListInbox(keys);
  for (const std::string& key : keys) {
    if (StampOf(key) == stamp) return key;
  }
  return {};
}

}  // namespace

int RunDecrypt(Context& ctx, const std::vector<std::string>& args) {
  std::string stamp;
  bool save = false;
  for (const std::string& arg : args) {
    if (arg == "--save") {
      save = true;
    } else if (stamp.empty() && IsStamp(arg)) {
      stamp = arg;
    } else {
      return Fail(ctx, kUsage, 2);
    }
  }
  if (stamp.empty()) return Fail(ctx, kUsage, 2);

  auto db = OpenMailDatabase(ctx.paths.DbFileName());
  if (!db) return Fail(ctx, "I couldn't open the database " + ctx.paths.DbFileName());
  bool readable = false;
  const std::string key = FindByStamp(*db, stamp, &readable);
  if (!readable) return Fail(ctx, "I couldn't read the list of stored messages");
  if (key.empty()) return Fail(ctx, "no stored message has the stamp " + stamp + " (see fhr-cli ls)");
  StringList lines;
  if (!db->ReadMessage(key, lines)) return Fail(ctx, "I couldn't read the message " + stamp);
  if (!GPGIsPGPMessage(lines)) return Fail(ctx, "Nothing to decrypt!");

  StringList record;
  const std::string subno = ParseListKey(key).subno;
  if (subno.empty() || !db->GetSubjectLine(subno, record) || record.empty()) {
    return Fail(ctx, "the message " + stamp + " names no stored subject line");
  }
  const SubjectLine subject = ParseSubjectLine(record.CommaText());
  if (subject.keyid.empty()) return Fail(ctx, "Problem: there isn't a PGP key for this nym. Possibly you deleted it...");

  CliDecryptPrompts prompts(ctx);
  const DecryptEnvironment env{.setup = GpgSetupFor(ctx.paths), .prompts = &prompts, .cache = nullptr};
  const NymDecryptOutcome outcome = DecryptNymMessage(env, subject, lines);
  if (!outcome.ok) return Fail(ctx, "the message " + stamp + " was not decrypted");

  StringList shown = lines;
  TMsgManager(shown).DeleteHeader(kSubjectNoHeader);
  for (const std::string& line : shown) ctx.out << line << '\n';

  if (!save && !Settings(ctx.paths.IniFileName()).Flag("savedecrypted")) return 0;
  if (SaveDecryptedMessage(*db, key, lines).empty() || !db->SaveDatabase()) {
    db->SetChanged(false);
    return Fail(ctx, "the decrypted message " + stamp + " was not stored");
  }
  return 0;
}

}  // namespace fhr::cli
