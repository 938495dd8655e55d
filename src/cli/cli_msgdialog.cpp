#include "cli/cli_msgdialog.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <string>

namespace fhr::cli {
namespace {

bool Has(const MsgBox& box, int result) {
  return std::find(box.buttons.begin(), box.buttons.end(), result) != box.buttons.end();
}

// The answer meaning "no" in this box: No where there is one, else Cancel.
int Refusal(const MsgBox& box) { return Has(box, kMrNo) ? kMrNo : kMrCancel; }

std::string Trimmed(std::string text) {
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
  return text;
}

}  // namespace

int CliMsgDialogHost::Show(const MsgBox& box) {
  err_ << box.caption << ": " << Trimmed(box.text) << "\n";
  if (box.buttons.size() == 1) return box.buttons.front();
  if (yes_) return *yes_ ? box.buttons.front() : Refusal(box);
  if (!interactive_) {
    err_ << "fhr-cli: this needs an answer; run on a terminal or give --yes or --no\n";
    return Refusal(box);
  }
  for (;;) {
    err_ << "[";
    for (size_t i = 0; i < box.buttons.size(); ++i) err_ << (i ? "/" : "") << MsgButtonName(box.buttons[i]);
    err_ << "]? " << std::flush;
    std::string line;
    if (!std::getline(in_, line)) return Refusal(box);
    for (int button : box.buttons) {
      std::string name = MsgButtonName(button);
      std::string answer = Trimmed(line);
      if (!answer.empty() && answer.size() <= name.size() &&
          std::equal(answer.begin(), answer.end(), name.begin(),
                     [](char a, char b) { return std::tolower(a) == std::tolower(b); })) {
        return button;
      }
    }
  }
}

}  // namespace fhr::cli
