#pragma once
// The command line's answer to the engine's message boxes: notices go to
// stderr; questions are answered by --yes/--no, else asked on the terminal,
// else refused with a clear message rather than guessed.
#include <iosfwd>
#include <optional>

#include "core/msgdialog.h"

namespace fhr::cli {

class CliMsgDialogHost : public MsgDialogHost {
 public:
  // `yes` is the --yes/--no answer; `interactive` says whether `in` is the
  // user's terminal.
  CliMsgDialogHost(std::istream& in, std::ostream& err, std::optional<bool> yes, bool interactive)
      : in_(in), err_(err), yes_(yes), interactive_(interactive) {}

  int Show(const MsgBox& box) override;

 private:
  std::istream& in_;
  std::ostream& err_;
  std::optional<bool> yes_;
  bool interactive_;
};

}  // namespace fhr::cli
