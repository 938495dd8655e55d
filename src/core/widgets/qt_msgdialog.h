#pragma once
// The desktop's message box: shows the engine's MsgBox as a modal dialog.
#include "core/msgdialog.h"

namespace fhr {

// Shows each box as a small modal dialog: the kind's caption and standard
// icon, the text as plain text (UTF-8 when valid, else Latin-1), the buttons
// left to right exactly in the box's order with the first as default. The
// dialog belongs to the active window and is centred over it (a box larger
// than its owner stands above and left of it); the mouse pointer is moved to
// the centre of the first button. Closing by the title bar or Escape answers
// kMrCancel. Runs on the user-interface thread only.
class QtMsgDialogHost : public MsgDialogHost {
 public:
  int Show(const MsgBox& box) override;
};

}  // namespace fhr
