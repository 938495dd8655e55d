// The secure-mode passphrase dialog's rules without widgets: the quality
// meter and what pressing OK does in each form.
#include "storage/secmode_dialog.h"

#include <gtest/gtest.h>

#include "core/msgdialog.h"
#include "support/scripted_msgdialog.h"

namespace fhr {
namespace {

TEST(PassphraseQuality, BitsFromTheCharacterClassesUsed) {
  const std::pair<std::string, int> rows[] = {
      {"", 0},
      {"a", 3},            // 26 letters: 4 bits
      {"abcdefghij", 36},  // 47 bits
      {"a1", 8},           // a digit counts as 20-40: 59 symbols, 11 bits
      {"A", 3},
      {"\x01", 3},         // 32 symbols: 5 bits
      {"\xC3\xA9", 10},    // two bytes from 80-FF: 14 bits
      {std::string(40, 'x') + "Y1{", 100},
  };
  for (const auto& [text, quality] : rows) EXPECT_EQ(PassphraseQuality(text), quality) << text;
}

struct Press {
  std::string phrase, confirmation;
  bool quit = false;
};

// Presses OK with each entry in turn; returns the check of the last.
TDBSecModeDlg::Check PressAll(TDBSecModeDlg& dialog, const std::vector<Press>& presses) {
  TDBSecModeDlg::Check check;
  for (const Press& p : presses) {
    SecModeEntry entry{p.phrase, p.confirmation, p.quit};
    check = dialog.PressOk(entry);
    EXPECT_TRUE(entry.phrase.empty() && entry.confirmation.empty()) << "the entry is wiped";
  }
  return check;
}

TEST(SecModeDialog, SetUpAndChangeCheckLengthAndConfirmation) {
  for (SecModeDlgMode mode : {SecModeDlgMode::kSetUp, SecModeDlgMode::kChange}) {
    test::ScriptedMsgDialog dialogs;
    TDBSecModeDlg dialog(mode, "ignored");
    EXPECT_TRUE(dialog.Accepted().empty());
    auto check = PressAll(dialog, {{"", ""}});
    EXPECT_FALSE(check.close);
    check = PressAll(dialog, {{"five5", "five5"}});
    EXPECT_FALSE(check.close);
    EXPECT_TRUE(check.resetQuality);
    check = PressAll(dialog, {{"sixsix", "sixsiX"}});
    EXPECT_FALSE(check.close);
    check = PressAll(dialog, {{"\xC3\xA9\xC3\xA9\xC3\xA9", "\xC3\xA9\xC3\xA9\xC3\xA9"}});
    EXPECT_FALSE(check.close) << "three characters, though six bytes";
    check = PressAll(dialog, {{"sixsix", "sixsix"}});
    EXPECT_TRUE(check.close);
    EXPECT_EQ(check.result, kMrOk);
    EXPECT_EQ(dialog.Accepted(), "sixsix");
    EXPECT_EQ(dialogs.texts(), (std::vector<std::string>{"Enter a passphrase or click Cancel!",
                                                         "Your passphrase needs to be at least 6 characters long!",
                                                         "Your passphrase entries don't match.",
                                                         "Your passphrase needs to be at least 6 characters long!"}));
  }
}

TEST(SecModeDialog, OpenTakesAnyNonEmptyPassphrase) {
  test::ScriptedMsgDialog dialogs;
  TDBSecModeDlg dialog(SecModeDlgMode::kOpen);
  EXPECT_FALSE(PressAll(dialog, {{"", ""}}).close);
  const auto check = PressAll(dialog, {{"abc", ""}});
  EXPECT_TRUE(check.close);
  EXPECT_EQ(dialog.Accepted(), "abc");
  EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Enter a passphrase or click Cancel!"});
}

TEST(SecModeDialog, PermissionCountsBadAttemptsAndConfirmsQuitting) {
  {
    test::ScriptedMsgDialog dialogs;
    TDBSecModeDlg dialog(SecModeDlgMode::kPermission, "current");
    EXPECT_FALSE(PressAll(dialog, {{"bad", ""}, {"worse", ""}}).close);
    const auto check = PressAll(dialog, {{"worst", ""}});
    EXPECT_TRUE(check.close);
    EXPECT_EQ(check.result, kMrCancel);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>(3, "Bad passphrase!"));
  }
  {
    test::ScriptedMsgDialog dialogs;
    TDBSecModeDlg dialog(SecModeDlgMode::kPermission, "current");
    dialogs.Answer(kMrNo);
    EXPECT_FALSE(PressAll(dialog, {{"current", "", true}}).close);
    dialogs.Answer(kMrYes);
    const auto quit = PressAll(dialog, {{"current", "", true}});
    EXPECT_TRUE(quit.close);
    EXPECT_EQ(quit.result, kSecModeQuitResult);
    EXPECT_EQ(dialogs.boxes().size(), 2u);
    EXPECT_EQ(dialogs.boxes()[0].kind, MsgKind::Confirmation);
  }
  test::ScriptedMsgDialog dialogs;
  TDBSecModeDlg dialog(SecModeDlgMode::kPermission, "current");
  const auto ok = PressAll(dialog, {{"current", ""}});
  EXPECT_TRUE(ok.close);
  EXPECT_EQ(ok.result, kMrOk);
  EXPECT_TRUE(dialogs.boxes().empty());
}

TEST(SecModeDialog, WithoutAPromptTheDialogIsCancelled) {
  ScopedPassphrasePrompt none(nullptr);
  TDBSecModeDlg dialog(SecModeDlgMode::kOpen);
  EXPECT_EQ(ShowSecModeDialog(dialog), kMrCancel);
}

}  // namespace
}  // namespace fhr
