#pragma once
// A message-box host for tests: installed for its lifetime, it records every
// box the code under test shows and answers from a script, so a test can say
// "answer Yes to the next question" and then check exactly what was asked.
#include <deque>
#include <string>
#include <vector>

#include "core/msgdialog.h"

namespace fhr::test {

class ScriptedMsgDialog : public MsgDialogHost {
 public:
  // Installs itself; the destructor puts the previous host back.
  ScriptedMsgDialog();
  ~ScriptedMsgDialog() override;
  ScriptedMsgDialog(const ScriptedMsgDialog&) = delete;
  ScriptedMsgDialog& operator=(const ScriptedMsgDialog&) = delete;

  // Queues the answer to the next unanswered box (kMrYes, kMrNo, ...). An
  // answer that is not one of that box's buttons fails the running test.
  void Answer(int result);

  // Every box shown so far, in order.
  const std::vector<MsgBox>& boxes() const { return boxes_; }
  // The texts of those boxes, without the five blanks every box gets.
  std::vector<std::string> texts() const;
  // How many boxes found the script empty and took their default button.
  int unscripted() const { return unscripted_; }
  // Scripted answers that no box has used yet.
  std::size_t pending() const { return script_.size(); }

  int Show(const MsgBox& box) override;

 private:
  MsgDialogHost* previous_;
  std::deque<int> script_;
  std::vector<MsgBox> boxes_;
  int unscripted_ = 0;
};

}  // namespace fhr::test
