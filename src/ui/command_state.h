#pragma once
// Which of the main window's commands can be used in a given state of the
// window: the rules its menus apply each time they open, and the rules its
// tool bar follows when the visible pane or the selection changes. One pure
// function, so every front end and test reads the same table.
namespace fhr {

enum class PaneName { kMessage, kStatus, kLog };

// What the rules look at.
struct WindowView {
  int rows = 0;
  int selected = 0;
  // Some selected row's cached lines still need decrypting.
  bool selectedNeedDecryption = false;
  bool listHasFocus = false;
  PaneName pane = PaneName::kStatus;  // the pane of the selected tab
  bool paneHasSelection = false;      // of that pane
  bool paneEmpty = true;              // of that pane
  bool messagePaneEmpty = true;
  bool messagePaneNeedsDecryption = false;  // of the Message pane's lines
  bool retrievalRunning = false;
  bool accountNone = true;  // the account box shows "none"
  bool secureMode = false;
};

struct CommandAvailability {
  // Tool bar and the tab strip's switch.
  bool decryptBtn = false, copyMsgBtn = false, copyBtn = false, deleteBtn = false, fewerHeaders = false;
  // File menu.
  bool getMail = false, saveDatabase = false;
  // Edit menu.
  bool editReply = false, editCopy = false, editSelectAll = false;
  // Tools menu and its Messages submenu.
  bool toolsDecrypt = false, toolsDelete = false, toolsOpen = false, catchUp = false;
  // The list's context menu.
  bool popup1Reply = false, popup1Decrypt = false, popup1Open = false, popup1Delete = false,
       popup1SelectAll = false;
  // The panes' context menu.
  bool popup2Reply = false, popup2Decrypt = false, popup2Copy = false, popup2SelectAll = false,
       popup2Delete = false;
};

// The availability of every command in `view`. On the Status and Log panes
// the message commands are off and Copy and Select all follow that pane; on
// the Message pane Decrypt needs exactly one selected row that needs
// decrypting and Reply is on exactly when Decrypt is off (in the list's
// menu only with one row selected); Delete needs a selected row; Get mail
// and Catch up need no retrieval running, Catch up also an account.
CommandAvailability AvailableCommands(const WindowView& view);

}  // namespace fhr
