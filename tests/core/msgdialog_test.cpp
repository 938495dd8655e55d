#include "core/msgdialog.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/scripted_msgdialog.h"

namespace fhr {
namespace {

using Buttons = std::vector<int>;

TEST(MsgBox, ButtonSetsFollowTheBitsInYesNoOkCancelOrder) {
  const Buttons expected[8] = {
      {kMrOk},                    // 0
      {kMrOk, kMrCancel},         // 1
      {kMrOk},                    // 2: bit 1 alone means nothing
      {kMrYes, kMrNo, kMrCancel}, // 3
      {kMrYes, kMrNo},            // 4
      {kMrYes, kMrNo},            // 5: bit 2 wins over bit 0
      {kMrYes, kMrNo},            // 6
      {kMrYes, kMrNo, kMrCancel}, // 7: bits 0 and 1 win over bit 2
  };
  for (int value = 0; value < 8; ++value) {
    const MsgBox box = MakeMsgBox("t", MsgKind::Warning, value);
    EXPECT_EQ(box.buttons, expected[value]) << value;
    EXPECT_EQ(box.default_button, expected[value].front()) << value;
  }
}

TEST(MsgBox, CaptionsFollowTheKind) {
  const std::pair<MsgKind, const char*> cases[] = {{MsgKind::Warning, "Warning"},
                                                   {MsgKind::Error, "Error"},
                                                   {MsgKind::Information, "Information"},
                                                   {MsgKind::Confirmation, "Confirm"},
                                                   {static_cast<MsgKind>(9), "Information"}};
  for (const auto& [kind, caption] : cases) EXPECT_EQ(MakeMsgBox("t", kind, kMbOk).caption, caption);
}

TEST(MsgBox, TextLosesTrailingBlanksAndGetsFiveSpaces) {
  const std::pair<const char*, const char*> cases[] = {
      {"Abc  \n", "Abc     "},
      {"Line one   \nLine two", "Line one   \nLine two     "},
      {"\t\r\n ", "     "},
      {"", "     "},
      {"Caf\xe9\xa0", "Caf\xe9\xa0     "},  // 0xA0 is a character, not a blank
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(MakeMsgBox(text, MsgKind::Error, kMbOk).text, shown);
}

TEST(MsgDialog, GoesThroughTheInstalledHostAndRestoresThePreviousOne) {
  {
    test::ScriptedMsgDialog outer;
    {
      test::ScriptedMsgDialog inner;
      inner.Answer(kMrNo);
      EXPECT_EQ(MsgDialog("Delete it?", MsgKind::Confirmation, kMbYesNo), kMrNo);
      EXPECT_EQ(MsgDialog("Go on?", MsgKind::Confirmation, kMbOkCancel), kMrOk);  // unscripted: default
      EXPECT_EQ(inner.texts(), (std::vector<std::string>{"Delete it?", "Go on?"}));
      EXPECT_EQ(inner.unscripted(), 1);
      EXPECT_EQ(inner.boxes()[0].caption, "Confirm");
    }
    EXPECT_EQ(CurrentMsgDialogHost(), &outer);
    MsgDialog("Done", MsgKind::Information, kMbOk);
    EXPECT_EQ(outer.boxes().size(), 1u);
  }
  EXPECT_EQ(CurrentMsgDialogHost(), nullptr);
}

TEST(MsgDialog, WithoutAHostNeverAgrees) {
  ASSERT_EQ(CurrentMsgDialogHost(), nullptr);
  const std::pair<int, int> cases[] = {
      {kMbOk, kMrOk}, {kMbOkCancel, kMrCancel}, {kMbYesNoCancel, kMrCancel}, {kMbYesNo, kMrNo}};
  for (const auto& [buttons, answer] : cases) EXPECT_EQ(MsgDialog("q", MsgKind::Confirmation, buttons), answer);
}

}  // namespace
}  // namespace fhr
