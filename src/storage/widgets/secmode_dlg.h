#pragma once
// The desktop's secure-mode passphrase dialog: the passphrase (typed
// hidden), and in the forms that make a new passphrase its quality meter
// and a confirmation field; the permission form offers to quit secure mode.
// Whether OK closes it is decided by the engine's TDBSecModeDlg.
#include "storage/secmode_dialog.h"

class QWidget;

namespace fhr {

// Shows every secure-mode dialog the engine asks for as a modal Qt dialog
// over the active window. Installed by the program at start-up, so a
// database in secure mode can be opened.
class QtSecModePrompt : public PassphrasePrompt {
 public:
  int Show(TDBSecModeDlg& dialog) override;
};

}  // namespace fhr
