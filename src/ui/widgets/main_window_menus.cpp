// When the main window's commands can be used: the menus recompute their
// entries as they open, the tool bar follows the pane and the selection.
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QToolButton>

#include "core/widgets/name_box.h"
#include "storage/fhrdb.h"
#include "ui/header_filter.h"
#include "ui/widgets/main_window.h"

namespace fhr {
namespace {

QString PaneTitle(PaneName pane) {
  switch (pane) {
    case PaneName::kMessage:
      return "Message";
    case PaneName::kStatus:
      return "Status";
    case PaneName::kLog:
      return "Log";
  }
  return {};
}

int TabIndex(const QTabBar* tabs, PaneName pane) {
  for (int i = 0; i < tabs->count(); ++i) {
    if (tabs->tabText(i) == PaneTitle(pane)) return i;
  }
  return -1;
}

StringList PaneLines(const QPlainTextEdit* pane) {
  StringList lines;
  lines.SetText(pane->toPlainText().toStdString());
  return lines;
}

}  // namespace

bool TFHRMainWin::HasPane(PaneName pane) const { return TabIndex(tabControl_, pane) >= 0; }

bool TFHRMainWin::PaneShown(PaneName pane) const {
  const int index = TabIndex(tabControl_, pane);
  return index >= 0 && index == tabControl_->currentIndex();
}

void TFHRMainWin::SelectPane(PaneName pane) {
  int index = TabIndex(tabControl_, pane);
  if (index < 0) index = tabControl_->addTab(PaneTitle(pane));
  if (tabControl_->currentIndex() == index) {
    ApplyPaneRules();
  } else {
    tabControl_->setCurrentIndex(index);  // applies the rules through currentChanged
  }
}

QPlainTextEdit* TFHRMainWin::VisiblePane() const {
  if (PaneShown(PaneName::kMessage)) return message_;
  if (PaneShown(PaneName::kLog)) return log_;
  return status_;
}

WindowView TFHRMainWin::CurrentView() const {
  WindowView v;
  v.rows = listView_->rowCount();
  v.selected = static_cast<int>(SelectedRows().size());
  v.selectedNeedDecryption = AnySelectedNeedsDecryption();
  v.listHasFocus = listView_->hasFocus();
  v.pane = PaneShown(PaneName::kMessage) ? PaneName::kMessage
           : PaneShown(PaneName::kLog)   ? PaneName::kLog
                                         : PaneName::kStatus;
  const QPlainTextEdit* pane = VisiblePane();
  v.paneHasSelection = pane->textCursor().hasSelection();
  v.paneEmpty = pane->document()->isEmpty();
  v.messagePaneEmpty = message_->document()->isEmpty();
  v.messagePaneNeedsDecryption = NeedsDecryption(PaneLines(message_));
  v.retrievalRunning = RetrievalRunning();
  v.accountNone = serverBox_->CurrentName() == "none";
  v.secureMode = db_ && db_->IsSecure();
  return v;
}

void TFHRMainWin::ApplyPaneRules() {
  paneStack_->setCurrentWidget(VisiblePane());
  const CommandAvailability a = AvailableCommands(CurrentView());
  SetAvailable(copyBtn_, a.copyBtn);
  SetAvailable(decryptBtn_, a.decryptBtn);
  SetAvailable(copyMsgBtn_, a.copyMsgBtn);
  SetAvailable(deleteBtn_, a.deleteBtn);
  SetAvailable(fewerHeaders_, a.fewerHeaders);
}

void TFHRMainWin::UpdateFileMenu() {
  const CommandAvailability a = AvailableCommands(CurrentView());
  QAction* get = Command("FileGetMailItem");
  get->setText(subjects_->isChecked() ? "&Check mail" : "Get mail");
  SetAvailable(get, a.getMail);
  Command("FileSecuremode")->setChecked(db_ && db_->IsSecure());
  SetAvailable(Command("FileSavedatabase"), a.saveDatabase);
}

void TFHRMainWin::UpdateEditMenu() {
  const CommandAvailability a = AvailableCommands(CurrentView());
  SetAvailable(Command("Copymessagetoclipboard1"), a.editReply);
  SetAvailable(Command("EditCopyItem"), a.editCopy);
  SetAvailable(Command("EditSelectallItem"), a.editSelectAll);
}

void TFHRMainWin::UpdateToolsMenus() {
  const CommandAvailability a = AvailableCommands(CurrentView());
  Command("Composenewmessage1")->setVisible(QFile::exists(QString::fromStdString(paths_.CompanionFileName())));
  SetAvailable(Command("ToolsDecryptmessageItem"), a.toolsDecrypt);
  SetAvailable(Command("ToolsDeletemessageItem"), a.toolsDelete);
  SetAvailable(Command("FileOpenItem"), a.toolsOpen);
  SetAvailable(Command("Catchupnewsgroup1"), a.catchUp);
}

void TFHRMainWin::UpdatePopup1() {
  const CommandAvailability a = AvailableCommands(CurrentView());
  SetAvailable(Command("Popup1CopyMessageToClipboard"), a.popup1Reply);
  SetAvailable(Command("Popup1DecryptItem"), a.popup1Decrypt);
  SetAvailable(Command("Popup1OpenItem"), a.popup1Open);
  SetAvailable(Command("Popup1DeleteItem"), a.popup1Delete);
  SetAvailable(Command("Popup1SelectallItem"), a.popup1SelectAll);
}

void TFHRMainWin::UpdatePopup2() {
  const CommandAvailability a = AvailableCommands(CurrentView());
  SetAvailable(Command("Popup2CopyMessageToClipboard"), a.popup2Reply);
  SetAvailable(Command("Popup2DecryptmessageItem"), a.popup2Decrypt);
  SetAvailable(Command("Popup2CopyItem"), a.popup2Copy);
  SetAvailable(Command("Popup2SelectallItem"), a.popup2SelectAll);
  SetAvailable(Command("Popup2DeletemessageItem"), a.popup2Delete);
}

}  // namespace fhr
