#pragma once
// The rules of the main window's unattended mail checks and of its retrieval
// notices, without widgets: when a timer may start a pass, the minute count
// of the timed check, the shaking error text of status panel 1, the tray's
// new-mail tip, and the worker's message request read as a message box.
#include <string>

#include "core/msgdialog.h"

namespace fhr {

// What decides whether a pass may start on its own.
struct PassGate {
  bool running = false;       // a retrieval worker exists
  bool modalOpen = false;     // a dialog or message box is waiting for the user
  bool errorPending = false;  // an error has not been opened yet
  bool getMailBusy = false;   // Get Mail is still on its way (its own boxes)
};

// A timer starts a pass only when none runs, nothing modal waits for the
// user, no error is pending and Get Mail is not already in progress.
bool MayStartUnattendedPass(const PassGate& gate);

// The timed check's minute counter.
class MailCheckSchedule {
 public:
  enum class Tick { kStop, kWait, kCheckNow };

  // The start timer fired: the first check runs now and counting starts over.
  void Restart() { minutes_ = 0; }
  // One minute has passed. With "checkmail" off the timer stops. Otherwise
  // the minute counts; a check is due when `minutesBetween` have been
  // counted and the gate allows a pass, and the count then starts over. A
  // blocked check stays due until the gate opens.
  Tick OnMinute(bool checkmail, int minutesBetween, const PassGate& gate);
  int minutes() const { return minutes_; }

 private:
  int minutes_ = 0;
};

// The error shake: status panel 1's text after tick `counter` (1 to 21) of
// the 25 ms timer. Up to 20 ticks the text jumps sideways (two blanks
// before it, or two after it when it began with a blank); from tick 21 on
// it rests trimmed.
std::string ShakenErrorText(const std::string& shown, int counter);
inline constexpr int kShakeTicks = 20;
inline constexpr const char* kErrorNotice = "ERROR! Click here!";

// The tray tip after `count` new articles: "You have 1 new email",
// "You have 3 new emails".
std::string NewMailTip(int count);
inline constexpr const char* kFatalErrorTip = "Sorry, FATAL error!";

// A message box as MsgDialog takes it.
struct RequestedBox {
  std::string text;
  MsgKind kind = MsgKind::Error;
  int buttons = kMbOk;
};
// The worker's message request "message|kind|buttons" read as a box; a text
// without two valid number fields at its end is shown whole, as an error
// with OK, so a "|" inside the message never garbles it.
RequestedBox MessageRequestBox(const std::string& request);

}  // namespace fhr
