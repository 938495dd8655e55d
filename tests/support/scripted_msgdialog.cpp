#include "support/scripted_msgdialog.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fhr::test {

ScriptedMsgDialog::ScriptedMsgDialog() : previous_(InstallMsgDialogHost(this)) {}

ScriptedMsgDialog::~ScriptedMsgDialog() { InstallMsgDialogHost(previous_); }

void ScriptedMsgDialog::Answer(int result) { script_.push_back(result); }

std::vector<std::string> ScriptedMsgDialog::texts() const {
  std::vector<std::string> result;
  for (const MsgBox& box : boxes_) {
    const std::string& text = box.text;
    result.push_back(text.ends_with("     ") ? text.substr(0, text.size() - 5) : text);
  }
  return result;
}

int ScriptedMsgDialog::Show(const MsgBox& box) {
  boxes_.push_back(box);
  if (script_.empty()) {
    ++unscripted_;
    return box.default_button;
  }
  const int answer = script_.front();
  script_.pop_front();
  if (std::find(box.buttons.begin(), box.buttons.end(), answer) == box.buttons.end()) {
    ADD_FAILURE() << "scripted answer " << MsgButtonName(answer) << " is not a button of the box \"" << box.text
                  << "\"";
  }
  return answer;
}

}  // namespace fhr::test
