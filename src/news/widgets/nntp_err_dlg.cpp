#include "news/widgets/nntp_err_dlg.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include "core/settings.h"
#include "core/widgets/display_text.h"
#include "core/widgets/settings_widgets.h"

namespace fhr {

TNntpErrDlg::TNntpErrDlg(const StringList& lines, Settings& settings, QWidget* parent)
    : PlacedDialog(settings, "smtpdlg", false, parent) {
  setObjectName("NntpErrDlg");
  setWindowTitle("NNTP ERROR");
  SetResizable(true);
  auto* text = new QPlainTextEdit(DisplayLines(lines));
  text->setObjectName("ErrorMsg");
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  ApplyFontString(text, settings.Text("editorfont"));
  text->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* menu = new QMenu(this);
  QAction* copy = menu->addAction("&Copy");
  copy->setShortcut(QKeySequence("Ctrl+C"));
  QAction* selectAll = menu->addAction("Select &all");
  selectAll->setShortcut(QKeySequence("Ctrl+A"));
  connect(copy, &QAction::triggered, text, &QPlainTextEdit::copy);
  connect(selectAll, &QAction::triggered, text, &QPlainTextEdit::selectAll);
  connect(text, &QWidget::customContextMenuRequested, this,
          [text, menu](const QPoint& at) { menu->popup(text->viewport()->mapToGlobal(at)); });
  auto* okBtn = new QPushButton("Ok");
  okBtn->setObjectName("OkBtn");
  okBtn->setDefault(true);
  connect(okBtn, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(okBtn);
  auto* column = new QVBoxLayout(this);
  column->addWidget(text, 1);
  column->addLayout(buttons);
  resize(560, 320);
  text->moveCursor(QTextCursor::End);
  text->ensureCursorVisible();
}

bool AskQuitWhileRetrieving(Settings& settings, QWidget* parent) {
  PlacedDialog dialog(settings, "", false, parent);
  dialog.setObjectName("CancelNntpDlg");
  dialog.setWindowTitle(" Quitting Fernhill Alt.anonymous.messages");
  auto* text = new QLabel("I'm currently retrieving newsgroup mail. Should I cancel the operation and quit?");
  text->setWordWrap(true);
  text->setMinimumWidth(360);
  auto* okBtn = new QPushButton("Quit program now");
  okBtn->setObjectName("OkBtn");
  okBtn->setDefault(true);
  auto* cancelBtn = new QPushButton("Return to program");
  cancelBtn->setObjectName("CancelBtn");
  QObject::connect(okBtn, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancelBtn, &QPushButton::clicked, &dialog, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(okBtn);
  buttons->addWidget(cancelBtn);
  auto* column = new QVBoxLayout(&dialog);
  column->addWidget(text);
  column->addSpacing(10);
  column->addLayout(buttons);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace fhr
