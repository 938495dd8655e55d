#pragma once
// A passphrase prompt for tests: installed for its lifetime, it answers each
// press of the secure-mode dialog's OK from a script of entries and records
// which forms were shown. When the script runs out the dialog is cancelled.
#include <deque>
#include <string>
#include <vector>

#include "storage/secmode_dialog.h"

namespace fhr::test {

class ScriptedPassphrasePrompt : public PassphrasePrompt {
 public:
  ScriptedPassphrasePrompt();
  ~ScriptedPassphrasePrompt() override;
  ScriptedPassphrasePrompt(const ScriptedPassphrasePrompt&) = delete;
  ScriptedPassphrasePrompt& operator=(const ScriptedPassphrasePrompt&) = delete;

  // Queues one press of OK with these fields.
  void Type(const std::string& phrase, const std::string& confirmation = "", bool quit = false);
  // Queues a press of OK with the confirmation equal to the phrase.
  void TypeTwice(const std::string& phrase) { Type(phrase, phrase); }

  // The mode of every dialog shown, in order.
  const std::vector<SecModeDlgMode>& shown() const { return shown_; }
  std::size_t pending() const { return script_.size(); }

  int Show(TDBSecModeDlg& dialog) override;

 private:
  struct Press {
    std::string phrase, confirmation;
    bool quit;
  };
  ScopedPassphrasePrompt installed_{this};
  std::deque<Press> script_;
  std::vector<SecModeDlgMode> shown_;
};

}  // namespace fhr::test
