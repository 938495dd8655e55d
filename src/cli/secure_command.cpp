// fhr-cli secure on|off|passphrase|status: switches the database's secure
// mode (the file encrypted by gpg between runs) as the desktop's "Secure
// mode" menu entry does, and saves the database in its new form.
#include <ostream>

#include "cli/cli_passphrase_prompt.h"
#include "cli/commands.h"
#include "storage/fhrdb.h"

namespace fhr::cli {

int RunSecure(Context& ctx, const std::vector<std::string>& args) {
  const std::string verb = args.size() == 1 ? args[0] : "";
  if (verb != "on" && verb != "off" && verb != "passphrase" && verb != "status")
    return Fail(ctx, "usage: fhr-cli secure on|off|passphrase|status", 2);
  std::unique_ptr<TFHRDB> db = OpenMailDatabase(ctx.paths.DbFileName());
  if (!db) return Fail(ctx, "I can't open the database " + ctx.paths.DbFileName());
  if (verb == "status") {
    ctx.out << (db->IsSecure() ? "on" : "off") << "\n";
    return 0;
  }
  if ((verb == "on") == db->IsSecure())
    return Fail(ctx, std::string("secure mode is already ") + (db->IsSecure() ? "on" : "off"));

  CliPassphrasePrompt prompt(ctx);
  prompt.SetQuitSecureMode(verb == "off");
  bool changed = false;
  {
    ScopedPassphrasePrompt installed(&prompt);
    changed = db->ToggleSecureMode();
  }
  const bool wanted = verb == "off" ? !db->IsSecure() : db->IsSecure();
  if (!changed || !wanted) {
    // Nothing of this run may reach the file.
    db->SetChanged(false);
    return Fail(ctx, "secure mode was not changed");
  }
  if (!db->SaveDatabase()) {
    db->SetChanged(false);
    return Fail(ctx, "the database could not be saved in its new form; the old file is unchanged");
  }
  return 0;
}

}  // namespace fhr::cli
