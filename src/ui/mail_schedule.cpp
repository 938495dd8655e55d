#include "ui/mail_schedule.h"

#include <cstdlib>

namespace fhr {
namespace {

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

bool MayStartUnattendedPass(const PassGate& gate) {
  return !gate.running && !gate.modalOpen && !gate.errorPending && !gate.getMailBusy;
}

MailCheckSchedule::Tick MailCheckSchedule::OnMinute(bool checkmail, int minutesBetween, const PassGate& gate) {
  if (!checkmail) return Tick::kStop;
  if (minutes_ < minutesBetween) ++minutes_;
  if (minutes_ < minutesBetween || !MayStartUnattendedPass(gate)) return Tick::kWait;
  minutes_ = 0;
  return Tick::kCheckNow;
}

std::string ShakenErrorText(const std::string& shown, int counter) {
  const std::string trimmed = Trimmed(shown);
  if (counter > kShakeTicks) return trimmed;
  return !shown.empty() && shown.front() == ' ' ? trimmed + "  " : "  " + trimmed;
}

std::string NewMailTip(int count) {
  return "You have " + std::to_string(count) + " new " + (count == 1 ? "email" : "emails");
}

RequestedBox MessageRequestBox(const std::string& request) {
  RequestedBox box;
  box.text = request;
  const std::size_t second = request.rfind('|');
  if (second == std::string::npos || second == 0) return box;
  const std::size_t first = request.rfind('|', second - 1);
  if (first == std::string::npos) return box;
  const std::string kind = request.substr(first + 1, second - first - 1);
  const std::string buttons = request.substr(second + 1);
  if (!AllDigits(kind) || !AllDigits(buttons) || kind.size() > 2 || buttons.size() > 2) return box;
  const int kindValue = std::atoi(kind.c_str());
  const int buttonsValue = std::atoi(buttons.c_str());
  if (kindValue > 3 || (buttonsValue != kMbOk && buttonsValue != kMbOkCancel && buttonsValue != kMbYesNoCancel &&
                        buttonsValue != kMbYesNo)) {
    return box;
  }
  box.text = request.substr(0, first);
  box.kind = static_cast<MsgKind>(kindValue);
  box.buttons = buttonsValue;
  return box;
}

}  // namespace fhr
