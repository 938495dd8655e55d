// The availability of the main window's commands, as a table of states.
#include "ui/command_state.h"

#include <gtest/gtest.h>

namespace fhr {
namespace {

struct Case {
  const char* name;
  WindowView view;
  CommandAvailability want;
};

WindowView View(PaneName pane, int rows, int selected) {
  WindowView v;
  v.pane = pane;
  v.rows = rows;
  v.selected = selected;
  return v;
}

TEST(AvailableCommands, TableOfStates) {
  std::vector<Case> cases;
  {  // At start: the Status pane, nothing selected, no account.
    Case c{"empty status pane", View(PaneName::kStatus, 0, 0), {}};
    c.want.getMail = true;
    cases.push_back(c);
  }
  {  // One clear-text message shown.
    Case c{"one clear message", View(PaneName::kMessage, 3, 1), {}};
    c.view.paneEmpty = c.view.messagePaneEmpty = false;
    c.view.accountNone = false;
    c.want = {.copyMsgBtn = true, .deleteBtn = true, .fewerHeaders = true, .getMail = true, .editReply = true,
              .editSelectAll = true, .toolsDelete = true, .toolsOpen = true, .catchUp = true, .popup1Reply = true,
              .popup1Open = true, .popup1Delete = true, .popup1SelectAll = true, .popup2Reply = true,
              .popup2SelectAll = true, .popup2Delete = true};
    cases.push_back(c);
  }
  {  // One encrypted message shown, some text selected in the pane.
    Case c{"one encrypted message", View(PaneName::kMessage, 3, 1), {}};
    c.view.paneEmpty = c.view.messagePaneEmpty = false;
    c.view.paneHasSelection = true;
    c.view.selectedNeedDecryption = c.view.messagePaneNeedsDecryption = true;
    c.view.retrievalRunning = true;
    c.want = {.decryptBtn = true, .copyBtn = true, .deleteBtn = true, .fewerHeaders = true, .editReply = true,
              .editCopy = true, .editSelectAll = true, .toolsDecrypt = true, .toolsDelete = true,
              .toolsOpen = true, .popup1Decrypt = true, .popup1Open = true, .popup1Delete = true,
              .popup1SelectAll = true, .popup2Decrypt = true, .popup2Copy = true, .popup2SelectAll = true,
              .popup2Delete = true};
    cases.push_back(c);
  }
  {  // Two rows selected: the pane was cleared.
    Case c{"two selected", View(PaneName::kMessage, 3, 2), {}};
    c.view.selectedNeedDecryption = true;
    c.view.secureMode = true;
    c.want = {.copyMsgBtn = true, .deleteBtn = true, .fewerHeaders = true, .getMail = true, .saveDatabase = true,
              .toolsDelete = true, .toolsOpen = true, .popup1Open = true, .popup1Delete = true,
              .popup1SelectAll = true};
    cases.push_back(c);
  }
  {  // The list has the focus: Edit's Copy is off, Select all selects rows.
    Case c{"list focused on the log", View(PaneName::kLog, 2, 1), {}};
    c.view.listHasFocus = true;
    c.view.paneHasSelection = true;
    c.view.messagePaneEmpty = false;
    c.want = {.copyBtn = true, .getMail = true, .editReply = true, .editSelectAll = true, .toolsDelete = true,
              .toolsOpen = true, .popup1Reply = true, .popup1Open = true, .popup1Delete = true,
              .popup1SelectAll = true, .popup2Copy = true};
    cases.push_back(c);
  }
  for (const Case& c : cases) {
    const CommandAvailability got = AvailableCommands(c.view);
#define FHR_EXPECT_FIELD(field) EXPECT_EQ(got.field, c.want.field) << c.name << ": " #field;
    FHR_EXPECT_FIELD(decryptBtn) FHR_EXPECT_FIELD(copyMsgBtn) FHR_EXPECT_FIELD(copyBtn) FHR_EXPECT_FIELD(deleteBtn)
    FHR_EXPECT_FIELD(fewerHeaders) FHR_EXPECT_FIELD(getMail) FHR_EXPECT_FIELD(saveDatabase)
    FHR_EXPECT_FIELD(editReply) FHR_EXPECT_FIELD(editCopy) FHR_EXPECT_FIELD(editSelectAll)
    FHR_EXPECT_FIELD(toolsDecrypt) FHR_EXPECT_FIELD(toolsDelete) FHR_EXPECT_FIELD(toolsOpen)
    FHR_EXPECT_FIELD(catchUp) FHR_EXPECT_FIELD(popup1Reply) FHR_EXPECT_FIELD(popup1Decrypt)
    FHR_EXPECT_FIELD(popup1Open) FHR_EXPECT_FIELD(popup1Delete) FHR_EXPECT_FIELD(popup1SelectAll)
    FHR_EXPECT_FIELD(popup2Reply) FHR_EXPECT_FIELD(popup2Decrypt) FHR_EXPECT_FIELD(popup2Copy)
    FHR_EXPECT_FIELD(popup2SelectAll) FHR_EXPECT_FIELD(popup2Delete)
#undef FHR_EXPECT_FIELD
  }
}

}  // namespace
}  // namespace fhr
