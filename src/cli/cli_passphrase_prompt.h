#pragma once
// The secure-mode passphrase dialog on the command line: each form's fields
// are read as lines through ReadSecretLines (the terminal without echo, or
// --passphrase-fd N), and every attempt goes through the dialog's own
// checks, whose messages go to stderr. The end of the input cancels.
#include "cli/command.h"
#include "storage/secmode_dialog.h"

namespace fhr::cli {

class CliPassphrasePrompt : public PassphrasePrompt {
 public:
  explicit CliPassphrasePrompt(Context& ctx) : ctx_(ctx) {}
  // Ticks "Quit Secure Mode" in the permission form (fhr-cli secure off).
  void SetQuitSecureMode(bool quit) { quit_ = quit; }
  int Show(TDBSecModeDlg& dialog) override;

 private:
  Context& ctx_;
  bool quit_ = false;
};

}  // namespace fhr::cli
