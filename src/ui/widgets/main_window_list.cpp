// The message list: its rows, the selection, the message pane and the
// commands on rows.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTextCursor>
#include <QToolButton>

#include <algorithm>

#include "core/msgdialog.h"
#include "core/pacing.h"
#include "core/settings.h"
#include "core/widgets/display_text.h"
#include "news/list_key.h"
#include "news/msgmans.h"
#include "storage/fhrdb.h"
#include "ui/header_filter.h"
#include "ui/message_row.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/painted_icons.h"
#include "ui/widgets/status_panels.h"

namespace fhr {
namespace {

// The key's bytes sort newest first.
bool NewerFirst(const std::string& a, const std::string& b) { return b < a; }

}  // namespace

void TFHRMainWin::LoadMessageList() {
  listView_->setUpdatesEnabled(false);
  listView_->clearContents();
  listView_->setRowCount(0);
  mail_.Clear();
  StringList keys;
  if (db_) db_->ListInbox(keys);
  std::vector<std::string> sorted = keys.lines();
  std::sort(sorted.begin(), sorted.end(), NewerFirst);
  listView_->setRowCount(static_cast<int>(sorted.size()));
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    mail_.Add(sorted[i]);
    StringList lines;
    db_->ReadMessage(sorted[i], lines);
    FillMessageRow(static_cast<int>(i), sorted[i], lines);
  }
  listView_->setUpdatesEnabled(true);
  ShowMessageCount(static_cast<int>(sorted.size()));
}

void TFHRMainWin::FillMessageRow(int row, const std::string& key, StringList& lines) {
  const MessageRow content = MakeMessageRow(key, lines);
  auto* date = new QTableWidgetItem(content.read ? ReadIcon() : UnreadIcon(), DisplayText(content.date));
  auto* size = new QTableWidgetItem(DisplayText(content.size));
  size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  listView_->setItem(row, 0, date);
  listView_->setItem(row, 1, new QTableWidgetItem(DisplayText(content.from)));
  listView_->setItem(row, 2, new QTableWidgetItem(DisplayText(content.subject)));
  listView_->setItem(row, 3, size);
}

int TFHRMainWin::FindRowByStamp(const std::string& stamp) const {
  for (std::size_t i = 0; i < mail_.size(); ++i) {
    if (mail_[i].compare(0, stamp.size(), stamp) == 0) return static_cast<int>(i);
  }
  return -1;
}

std::shared_ptr<StringList> TFHRMainWin::CachedLines(std::size_t row) const {
  return std::static_pointer_cast<StringList>(mail_.ObjectAt(row));
}

QList<int> TFHRMainWin::SelectedRows() const {
  QList<int> rows;
  for (const QModelIndex& index : listView_->selectionModel()->selectedRows()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  return rows;
}

bool TFHRMainWin::AnySelectedNeedsDecryption() const {
  for (int row : SelectedRows()) {
    const auto lines = CachedLines(static_cast<std::size_t>(row));
    if (lines && NeedsDecryption(*lines)) return true;
  }
  return false;
}

void TFHRMainWin::ShowStatusText(const std::string& text) { statusBar_->SetPanelText(0, " " + DisplayText(text)); }

void TFHRMainWin::ShowMessageCount(int count) {
  statusBar_->SetPanelText(2, QString(" %1 messages ").arg(count));
}

void TFHRMainWin::ShowLines(const StringList& lines) {
  StringList shown = lines;
  if (fewerHeaders_->isChecked()) FilterHeaders(shown);
  fillingPane_ = true;
  message_->setUpdatesEnabled(false);
  message_->setPlainText(DisplayLines(shown));
  message_->moveCursor(QTextCursor::Start);
  message_->ensureCursorVisible();
  message_->setUpdatesEnabled(true);
  fillingPane_ = false;
}

void TFHRMainWin::OnRowsSelected() {
  const QList<int> rows = SelectedRows();
  SetAvailable(deleteBtn_, !rows.isEmpty());
  if (rows.size() == 1) {
    const auto row = static_cast<std::size_t>(rows.front());
    if (HasPane(PaneName::kMessage) && mail_[row] == curmsgkey_) {
      SelectPane(PaneName::kMessage);
      return;
    }
    if (!HasPane(PaneName::kMessage)) tabControl_->addTab("Message");
    curmsgkey_ = mail_[row];
    std::shared_ptr<StringList> lines = CachedLines(row);
    if (!lines) {
      lines = std::make_shared<StringList>();
      db_->ReadMessage(mail_[row], *lines);
      TMsgManager(*lines).DeleteHeader(kSubjectNoHeader);
      mail_.SetObject(row, lines);
    }
    ShowLines(*lines);
    WaitProcessing(50);
    // The pause handles events: the row may have gone meanwhile.
    if (row >= mail_.size() || mail_.ObjectAt(row) != lines) return;
    const bool needsDecryption = NeedsDecryption(*lines);
    SetAvailable(decryptBtn_, needsDecryption);
    SetAvailable(copyMsgBtn_, !needsDecryption);
    if (!needsDecryption && !IsRead(mail_[row])) MarkRead(static_cast<int>(row));
    SelectPane(PaneName::kMessage);
  } else if (rows.size() > 1) {
    if (HasPane(PaneName::kMessage)) {
      fillingPane_ = true;
      message_->clear();
      fillingPane_ = false;
    }
    SetAvailable(decryptBtn_, false);
    SetAvailable(copyMsgBtn_, false);
    curmsgkey_.clear();
  }
}

void TFHRMainWin::MarkRead(int row) {
  const auto i = static_cast<std::size_t>(row);
  const std::string oldKey = mail_[i];
  const std::string newKey = WithReadFlag(oldKey, true);
  if (newKey == oldKey || !db_->RenameMessage(oldKey, newKey)) return;
  mail_[i] = newKey;
  if (curmsgkey_ == oldKey) curmsgkey_ = newKey;
  listView_->item(row, 0)->setIcon(ReadIcon());
}

void TFHRMainWin::SetFewerHeaders(bool on) {
  if (fewerHeaders_->isChecked() != on) {
    fewerHeaders_->setChecked(on);  // comes back here through toggled
    return;
  }
  const int row = mail_.IndexOf(curmsgkey_);
  if (HasPane(PaneName::kMessage) && !curmsgkey_.empty() && row >= 0) {
    if (const auto lines = CachedLines(static_cast<std::size_t>(row))) {
      ShowLines(*lines);
      WaitProcessing(10);
    }
  }
  settings_->SetFlag("fewerheaders", on);
}

void TFHRMainWin::ShowNntpLog() {
  if (HasPane(PaneName::kLog)) {
    log_->clear();
    WaitProcessing(200);
  } else {
    tabControl_->addTab("Log");
  }
  StringList lines;
  if (db_) db_->ReadLog(lines);
  log_->setUpdatesEnabled(false);
  log_->setPlainText(DisplayLines(lines));
  log_->moveCursor(QTextCursor::End);
  log_->ensureCursorVisible();
  log_->setUpdatesEnabled(true);
  SelectPane(PaneName::kLog);
}

void TFHRMainWin::SelectAllRows() {
  listView_->selectAll();
  fillingPane_ = true;
  message_->clear();
  fillingPane_ = false;
}

void TFHRMainWin::CopyFromPane() { VisiblePane()->copy(); }

void TFHRMainWin::SelectAllInPane() { VisiblePane()->selectAll(); }

void TFHRMainWin::OnMessagePaneChanged() {
  if (fillingPane_ || !message_->document()->isEmpty()) return;
  // The user erased the message: nothing is shown any more.
  listView_->clearSelection();
  SetAvailable(decryptBtn_, false);
  SetAvailable(copyMsgBtn_, false);
  SetAvailable(deleteBtn_, false);
}

void TFHRMainWin::DeleteCommand(bool fromContextMenu) {
  const int selected = static_cast<int>(SelectedRows().size());
  if (!fromContextMenu) {
    if (listView_->rowCount() == 0) {
      MsgDialog("Nothing to delete!", MsgKind::Information, kMbOk);
      return;
    }
    if (selected == 0) {
      if (MsgDialog("Delete ALL messages in the database?   ", MsgKind::Confirmation, kMbOkCancel) != kMrOk ||
          MsgDialog("Delete ALL messages. Are you sure?   ", MsgKind::Confirmation, kMbOkCancel) != kMrOk) {
        return;
      }
      listView_->selectAll();
      DeleteSelected();
      return;
    }
  }
  std::string text = "Delete the currently selected message";
  if (selected < 2) {
    text += fromContextMenu ? ". Are you sure?  " : ". Are you sure?   ";
  } else {
    text += "s. Are you sure?   ";
  }
  if (MsgDialog(text, MsgKind::Confirmation, kMbOkCancel) == kMrOk) DeleteSelected();
}

void TFHRMainWin::DeleteSelected() {
  fillingPane_ = true;
  message_->clear();
  fillingPane_ = false;
  const QList<int> rows = SelectedRows();
  for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
    const int row = *it;
    const auto i = static_cast<std::size_t>(row);
    listView_->selectionModel()->select(listView_->model()->index(row, 0),
                                        QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    // A message the store could not delete keeps its row, so the list
    // never hides a message that is still stored.
    if (!db_->DeleteMessage(mail_[i])) continue;
    // The cached lines go with the row; a window still showing them holds
    // its own share and keeps them alive.
    mail_.Delete(i);
    listView_->removeRow(row);
    ShowMessageCount(listView_->rowCount());
    needsPacking_ = true;
  }
  SetAvailable(decryptBtn_, false);
  SetAvailable(copyMsgBtn_, false);
  SetAvailable(deleteBtn_, false);
  listView_->viewport()->update();
}

}  // namespace fhr
