#include "ui/command_state.h"

namespace fhr {

CommandAvailability AvailableCommands(const WindowView& v) {
  CommandAvailability a;
  const bool one = v.selected == 1;
  const bool some = v.selected >= 1;
  const bool onMessage = v.pane == PaneName::kMessage;
  const bool decryptable = one && v.selectedNeedDecryption;

  a.copyBtn = v.paneHasSelection;
  if (onMessage) {
    a.decryptBtn = decryptable;
    a.copyMsgBtn = !a.decryptBtn;
    a.deleteBtn = some;
    a.fewerHeaders = true;
  }

  a.getMail = !v.retrievalRunning;
  a.saveDatabase = v.secureMode;

  const bool replyFromEdit = one && !v.messagePaneEmpty;
  if (v.listHasFocus) {
    a.editReply = replyFromEdit;
    a.editCopy = false;
    a.editSelectAll = v.rows > 0;
  } else {
    a.editReply = onMessage && replyFromEdit;
    a.editCopy = v.paneHasSelection;
    a.editSelectAll = !v.paneEmpty;
  }

  a.toolsDecrypt = decryptable;
  a.toolsDelete = some;
  a.toolsOpen = some;
  a.catchUp = !v.accountNone && !v.retrievalRunning;

  a.popup1Decrypt = decryptable;
  a.popup1Reply = !a.popup1Decrypt && one;
  a.popup1Open = some;
  a.popup1Delete = some;
  a.popup1SelectAll = v.rows > 0;

  a.popup2Copy = v.paneHasSelection;
  a.popup2SelectAll = !v.paneEmpty;
  if (onMessage) {
    a.popup2Decrypt = v.messagePaneNeedsDecryption;
    a.popup2Reply = !a.popup2Decrypt && one;
    a.popup2Delete = !v.messagePaneEmpty;
  }
  return a;
}

}  // namespace fhr
