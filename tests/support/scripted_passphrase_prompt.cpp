#include "support/scripted_passphrase_prompt.h"

#include "core/msgdialog.h"

namespace fhr::test {

ScriptedPassphrasePrompt::ScriptedPassphrasePrompt() = default;
ScriptedPassphrasePrompt::~ScriptedPassphrasePrompt() = default;

void ScriptedPassphrasePrompt::Type(const std::string& phrase, const std::string& confirmation, bool quit) {
  script_.push_back({phrase, confirmation, quit});
}

int ScriptedPassphrasePrompt::Show(TDBSecModeDlg& dialog) {
  shown_.push_back(dialog.Mode());
  while (!script_.empty()) {
    SecModeEntry entry;
    entry.phrase = script_.front().phrase;
    entry.confirmation = script_.front().confirmation;
    entry.quitSecureMode = script_.front().quit;
    script_.pop_front();
    const TDBSecModeDlg::Check check = dialog.PressOk(entry);
    if (check.close) return check.result;
  }
  return kMrCancel;
}

}  // namespace fhr::test
