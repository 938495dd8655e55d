#pragma once
// The two small dialogs of news retrieval: the log of a failed pass, and the
// question asked when the program is closed during a pass.
#include <string>

#include "core/stringlist.h"
#include "core/widgets/placed_dialog.h"

namespace fhr {

// "NNTP ERROR": the lines in a read-only pane in the editor font, the caret
// at their end; Copy and Select all in its context menu.
class TNntpErrDlg : public PlacedDialog {
  Q_OBJECT
 public:
  TNntpErrDlg(const StringList& lines, Settings& settings, QWidget* parent);
};

// Asks whether to cancel the running retrieval and quit: true for "Quit
// program now".
bool AskQuitWhileRetrieving(Settings& settings, QWidget* parent);

}  // namespace fhr
