#pragma once
// The one message box through which every question, warning and notice of
// the program passes. The engine only describes the box; whichever front end
// runs (the desktop, the command line, a test) installs a host that shows it
// and returns the button pressed.
#include <string>
#include <vector>

namespace fhr {

// The kinds of box, numbered as they travel in the worker's requests.
enum class MsgKind : int { Warning = 0, Error = 1, Information = 2, Confirmation = 3 };

// Button sets in use (any other value is decoded by its bits, see MakeMsgBox).
inline constexpr int kMbOk = 0;
inline constexpr int kMbOkCancel = 1;
inline constexpr int kMbYesNoCancel = 3;
inline constexpr int kMbYesNo = 4;

// Results, which are also the buttons' identities.
inline constexpr int kMrOk = 1;
inline constexpr int kMrCancel = 2;
inline constexpr int kMrYes = 6;
inline constexpr int kMrNo = 7;

// A box as every host shows it.
struct MsgBox {
  MsgKind kind = MsgKind::Information;
  std::string caption;       // "Warning", "Error", "Information" or "Confirm"
  std::string text;          // final text, five blanks at its end
  std::vector<int> buttons;  // results, left to right: Yes, No, OK, Cancel
  int default_button = kMrOk;  // always buttons.front()
};

// The rules every host shares. Caption from the kind (an unknown kind shows
// as Information). Buttons from the bits of `buttons`: bits 0 and 1 both set
// give Yes/No/Cancel, else bit 2 gives Yes/No, else bit 0 gives OK/Cancel,
// else OK alone; the first button is the default. Text: blanks and control
// characters at its end are removed (line breaks inside stay), then five
// blanks are appended to keep a margin right of the longest line.
MsgBox MakeMsgBox(const std::string& text, MsgKind kind, int buttons);

// The button shown as `result` ("Yes", "No", "OK", "Cancel").
const char* MsgButtonName(int result);

// Whoever shows boxes. Show is modal: it returns the button pressed, or
// kMrCancel when the box is closed without one (title bar, Escape).
class MsgDialogHost {
 public:
  virtual ~MsgDialogHost() = default;
  virtual int Show(const MsgBox& box) = 0;
};

// Installs the process-wide host (nullptr removes it) and returns the one it
// replaces. The caller keeps ownership and must uninstall a host before
// destroying it. Safe from any thread; a host's Show runs on the thread that
// calls MsgDialog, which for a desktop host must be the user-interface
// thread (the retrieval worker asks through its request queue instead).
MsgDialogHost* InstallMsgDialogHost(MsgDialogHost* host);
MsgDialogHost* CurrentMsgDialogHost();

// Installs a host for the lifetime of the object, then puts the previous one back.
class ScopedMsgDialogHost {
 public:
  explicit ScopedMsgDialogHost(MsgDialogHost* host) : previous_(InstallMsgDialogHost(host)) {}
  ~ScopedMsgDialogHost() { InstallMsgDialogHost(previous_); }
  ScopedMsgDialogHost(const ScopedMsgDialogHost&) = delete;
  ScopedMsgDialogHost& operator=(const ScopedMsgDialogHost&) = delete;

 private:
  MsgDialogHost* previous_;
};

// Shows a box through the installed host and returns the button pressed
// (kMrOk, kMrCancel, kMrYes or kMrNo). With no host installed the box is
// written to standard error and answered without consent: Cancel when the
// box has it, else No, else OK, so that a missing host never agrees to
// anything.
int MsgDialog(const std::string& text, MsgKind kind, int buttons);

// Shows a box made by MakeMsgBox and then adjusted by the caller (a box with
// a caption of its own, such as the database's "DB Error"), with the same
// host rules as MsgDialog.
int ShowMsgBox(const MsgBox& box);

}  // namespace fhr
