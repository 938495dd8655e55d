#include "cli/cli_msgdialog.h"

#include <gtest/gtest.h>

#include <sstream>

namespace fhr::cli {
namespace {

TEST(CliMsgDialog, AnswersFromOptionsTerminalOrRefuses) {
  struct Case {
    const char* name;
    int buttons;
    std::optional<bool> yes;
    bool interactive;
    const char* typed;
    int result;
    const char* errTail;  // what stderr ends with
  } cases[] = {
      {"notice needs no answer", kMbOk, std::nullopt, false, "", kMrOk, "Information: Done.\n"},
      {"--yes says Yes", kMbYesNo, true, false, "", kMrYes, "Information: Done.\n"},
      {"--no says No", kMbYesNoCancel, false, false, "", kMrNo, "Information: Done.\n"},
      {"--no cancels an OK/Cancel box", kMbOkCancel, false, false, "", kMrCancel, "Information: Done.\n"},
      {"--yes is OK in an OK/Cancel box", kMbOkCancel, true, false, "", kMrOk, "Information: Done.\n"},
      {"no terminal and no option refuses", kMbYesNo, std::nullopt, false, "y\n", kMrNo,
       "run on a terminal or give --yes or --no\n"},
      {"terminal answer by first letter", kMbYesNoCancel, std::nullopt, true, "c\n", kMrCancel,
       "[Yes/No/Cancel]? "},
      {"unclear answer is asked again", kMbYesNo, std::nullopt, true, "maybe\nYES\n", kMrYes,
       "[Yes/No]? [Yes/No]? "},
      {"end of input refuses", kMbOkCancel, std::nullopt, true, "", kMrCancel, "[OK/Cancel]? "},
  };
  for (const Case& c : cases) {
    std::istringstream in(c.typed);
    std::ostringstream err;
    CliMsgDialogHost host(in, err, c.yes, c.interactive);
    EXPECT_EQ(host.Show(MakeMsgBox("Done.  \n", MsgKind::Information, c.buttons)), c.result) << c.name;
    EXPECT_TRUE(err.str().ends_with(c.errTail)) << c.name << ": " << err.str();
    EXPECT_TRUE(err.str().starts_with("Information: Done.\n")) << c.name;
  }
}

}  // namespace
}  // namespace fhr::cli
