// The main window's controls, menus and fonts.
#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "core/msgdialog.h"
#include "core/process.h"
#include "core/settings.h"
#include "core/widgets/name_box.h"
#include "core/widgets/settings_widgets.h"
#include "storage/fhrdb.h"
#include "ui/about_text.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/painted_icons.h"
#include "ui/widgets/status_panels.h"

namespace fhr {
namespace {

// A hint is "short | long": the short part is the tool tip, the long part
// the status tip; the whole text stays readable as the property "hint".
void SetHint(QWidget* widget, const QString& hint) {
  widget->setProperty("hint", hint);
  const int bar = hint.indexOf('|');
  widget->setToolTip(hint.left(bar).trimmed());
  widget->setStatusTip(bar < 0 ? QString() : hint.mid(bar + 1).trimmed());
}

QFrame* Bevel() {
  auto* bevel = new QFrame;
  bevel->setFrameShape(QFrame::VLine);
  bevel->setFrameShadow(QFrame::Sunken);
  return bevel;
}

QToolButton* IconButton(const char* name, const QIcon& icon) {
  auto* button = new QToolButton;
  button->setObjectName(name);
  button->setAutoRaise(true);
  button->setIcon(icon);
  button->setIconSize(QSize(22, 22));
  button->setMinimumSize(30, 30);
  return button;
}

QPlainTextEdit* Pane(const char* name) {
  auto* pane = new QPlainTextEdit;
  pane->setObjectName(name);
  pane->setLineWrapMode(QPlainTextEdit::NoWrap);
  pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  pane->setContextMenuPolicy(Qt::CustomContextMenu);
  pane->document()->setDocumentMargin(6);
  return pane;
}

}  // namespace

QAction* TFHRMainWin::AddAction(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  return action;
}

QAction* TFHRMainWin::Command(const char* name) const { return findChild<QAction*>(name); }

void TFHRMainWin::MarkStandIn(QObject* command) {
  standIns_.insert(command);
  SetAvailable(command, false);
}

void TFHRMainWin::SetAvailable(QObject* command, bool on) {
  const bool enabled = on && !standIns_.contains(command);
  if (auto* action = qobject_cast<QAction*>(command)) action->setEnabled(enabled);
  if (auto* widget = qobject_cast<QWidget*>(command)) widget->setEnabled(enabled);
}

void TFHRMainWin::BuildToolBar() {
  toolBar_ = new QWidget;
  toolBar_->setObjectName("ToolBar");
  auto* row = new QHBoxLayout(toolBar_);
  row->setContentsMargins(2, 1, 4, 0);
  row->setSpacing(2);

  getBtn_ = new QPushButton(" Get Mail  ");
  getBtn_->setObjectName("GetBtn");
  QFont italic = getBtn_->font();
  italic.setItalic(true);
  getBtn_->setFont(italic);
  SetHint(getBtn_, " Get mail | Get new newsgroup mail ");
  copyMsgBtn_ = new QPushButton("Reply");
  copyMsgBtn_->setObjectName("CopyMsgBtn");
  SetHint(copyMsgBtn_, QFileInfo::exists(QString::fromStdString(paths_.CompanionFileName()))
                           ? " Reply message | Reply to message via FHL  "
                           : " Copy message | Copy message to clipboard ");
  for (QPushButton* button : {getBtn_, copyMsgBtn_}) {
    button->setMinimumSize(80, 30);
    button->setFocusPolicy(Qt::TabFocus);
  }
  copyBtn_ = IconButton("CopyBtn", CopyIcon());
  SetHint(copyBtn_, " Copy | Copy selected text to clipboard ");
  decryptBtn_ = IconButton("DecryptBtn", DecryptIcon());
  SetHint(decryptBtn_, " Decrypt | Decrypt selected messages ");
  deleteBtn_ = IconButton("DeleteBtn", DeleteIcon());
  SetHint(deleteBtn_, " Delete | Delete selected messages");
  subjects_ = new QCheckBox("&Check");
  subjects_->setObjectName("Subjects");
  SetHint(subjects_, " Check mail | Tick this box to just check for new messages but don't retrieve");

  label2_ = new QLabel("&Account");
  label2_->setObjectName("Label2");
  serverBox_ = new NameBox;
  serverBox_->setObjectName("ServerBox");
  serverBox_->setMinimumWidth(129);
  label2_->setBuddy(serverBox_);
  label1_ = new QLabel("&Proxy");
  label1_->setObjectName("Label1");
  proxyBox_ = new NameBox;
  proxyBox_->setObjectName("ProxyBox");
  proxyBox_->setMinimumWidth(105);
  label1_->setBuddy(proxyBox_);

  row->addWidget(getBtn_);
  row->addWidget(copyMsgBtn_);
  row->addWidget(Bevel());
  row->addWidget(copyBtn_);
  row->addWidget(decryptBtn_);
  row->addWidget(Bevel());
  row->addWidget(deleteBtn_);
  row->addWidget(Bevel());
  row->addSpacing(15);
  row->addWidget(subjects_);
  row->addStretch(1);
  row->addWidget(label2_);
  row->addWidget(serverBox_);
  row->addSpacing(8);
  row->addWidget(label1_);
  row->addWidget(proxyBox_);

  for (QWidget* w : {static_cast<QWidget*>(copyMsgBtn_), static_cast<QWidget*>(copyBtn_),
                     static_cast<QWidget*>(decryptBtn_), static_cast<QWidget*>(deleteBtn_)}) {
    w->setEnabled(false);
  }
  // Reply is provided by another part of the program; until then its
  // control stands in, disabled.
  MarkStandIn(copyMsgBtn_);

  connect(getBtn_, &QPushButton::clicked, this, &TFHRMainWin::GetMailCommand);
  connect(subjects_, &QCheckBox::toggled, this, &TFHRMainWin::OnSubjectsToggled);
  connect(decryptBtn_, &QToolButton::clicked, this, &TFHRMainWin::DecryptCommand);

  connect(copyBtn_, &QToolButton::clicked, this, &TFHRMainWin::CopyFromPane);
  connect(deleteBtn_, &QToolButton::clicked, this, [this] { DeleteCommand(false); });
  connect(serverBox_, &NameBox::chosen, this, &TFHRMainWin::OnAccountChosen);
  connect(proxyBox_, &NameBox::chosen, this, &TFHRMainWin::OnProxyChosen);
}

void TFHRMainWin::BuildPanes() {
  listView_ = new QTableWidget(0, 4);
  listView_->setObjectName("ListView");
  listView_->setHorizontalHeaderLabels({"Date", "From", "Subject", "Size"});
  listView_->horizontalHeaderItem(3)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  listView_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  listView_->horizontalHeader()->setHighlightSections(false);
  listView_->verticalHeader()->hide();
  listView_->setShowGrid(true);
  listView_->setSelectionBehavior(QAbstractItemView::SelectRows);
  listView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  listView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  listView_->setWordWrap(false);
  listView_->setIconSize(QSize(24, 24));
  listView_->setContextMenuPolicy(Qt::CustomContextMenu);
  listView_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

  auto* paneArea = new QWidget;
  auto* paneLayout = new QVBoxLayout(paneArea);
  paneLayout->setContentsMargins(0, 2, 0, 0);
  paneLayout->setSpacing(0);
  auto* tabRow = new QHBoxLayout;
  tabRow->setContentsMargins(0, 0, 6, 0);
  tabControl_ = new QTabBar;
  tabControl_->setObjectName("TabControl");
  tabControl_->setExpanding(false);
  tabControl_->setDrawBase(false);
  fewerHeaders_ = new QCheckBox("Fewer headers");
  fewerHeaders_->setObjectName("FewerHeaders");
  tabRow->addWidget(tabControl_);
  tabRow->addStretch(1);
  tabRow->addWidget(fewerHeaders_);
  paneStack_ = new QStackedWidget;
  message_ = Pane("Message");
  status_ = Pane("Status");
  log_ = Pane("Log");
  log_->setReadOnly(true);
  for (QPlainTextEdit* pane : {message_, status_, log_}) paneStack_->addWidget(pane);
  paneLayout->addLayout(tabRow);
  paneLayout->addWidget(paneStack_, 1);

  splitter_ = new QSplitter(Qt::Vertical);
  splitter_->setObjectName("Splitter");
  splitter_->setChildrenCollapsible(false);
  splitter_->addWidget(listView_);
  splitter_->addWidget(paneArea);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({168, 400});

  auto* central = new QWidget;
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(toolBar_);
  auto* line = new QFrame;
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  column->addWidget(line);
  column->addWidget(splitter_, 1);
  setCentralWidget(central);

  statusBar_ = new StatusPanels;
  setStatusBar(statusBar_);
  connect(statusBar_, &StatusPanels::panelPressed, this, &TFHRMainWin::OnStatusPanelPressed);

  connect(listView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected) {
            if (!selected.isEmpty()) OnRowsSelected();
          });
  connect(tabControl_, &QTabBar::currentChanged, this, [this] { ApplyPaneRules(); });
  connect(fewerHeaders_, &QCheckBox::toggled, this, &TFHRMainWin::SetFewerHeaders);
  for (QPlainTextEdit* pane : {message_, status_}) {
    connect(pane, &QPlainTextEdit::copyAvailable, this, [this, pane](bool yes) {
      if (VisiblePane() == pane) SetAvailable(copyBtn_, yes);
    });
  }
  connect(log_, &QPlainTextEdit::copyAvailable, this, [this](bool yes) {
    if (VisiblePane() == log_) SetAvailable(copyBtn_, yes);
  });
  connect(message_, &QPlainTextEdit::textChanged, this, &TFHRMainWin::OnMessagePaneChanged);
}

void TFHRMainWin::BuildMenus() {
  QMenuBar* bar = menuBar();
  fileMenu_ = bar->addMenu("&File");
  fileMenu_->setObjectName("FileMenu");
  connect(AddAction(fileMenu_, "FileGetMailItem", "&Get mail"), &QAction::triggered, this,
          &TFHRMainWin::GetMailCommand);
  open1_ = fileMenu_->addMenu("&Open");
  open1_->setObjectName("Open1");
  open1_->menuAction()->setObjectName("Open1Item");
  connect(AddAction(open1_, "Applicationdatadirectory1", "&Application data directory"), &QAction::triggered, this,
          [this] { OpenFolder(paths_.dataDir); });
  connect(AddAction(open1_, "Applicationdirectory1", "Application &directory "), &QAction::triggered, this,
          [this] { OpenFolder(paths_.appDir); });
  connect(AddAction(open1_, "Commandprompt1", "&Command prompt"), &QAction::triggered, this, [this] {
    QProcess::startDetached("x-terminal-emulator", {}, QString::fromStdString(paths_.appDir));
  });
  fileMenu_->addSeparator();
  connect(AddAction(fileMenu_, "FileSavedatabase", "Save &database"), &QAction::triggered, this,
          &TFHRMainWin::SaveDatabaseCommand);
  fileMenu_->addSeparator();
  QAction* secure = AddAction(fileMenu_, "FileSecuremode", "Secure &mode");
  secure->setCheckable(true);
  MarkStandIn(secure);
  fileMenu_->addSeparator();
  connect(AddAction(fileMenu_, "FileExitItem", "E&xit"), &QAction::triggered, this, &QWidget::close);
  connect(fileMenu_, &QMenu::aboutToShow, this, &TFHRMainWin::UpdateFileMenu);
  connect(open1_, &QMenu::aboutToShow, this, [this] {
    Command("Applicationdatadirectory1")->setVisible(paths_.dataDir != paths_.appDir);
  });

  editMenu_ = bar->addMenu("&Edit");
  editMenu_->setObjectName("EditMenu");
  MarkStandIn(AddAction(editMenu_, "Copymessagetoclipboard1", "Reply message "));
  editMenu_->addSeparator();
  QAction* copy = AddAction(editMenu_, "EditCopyItem", "&Copy");
  copy->setShortcut(QKeySequence("Ctrl+C"));
  connect(copy, &QAction::triggered, this, &TFHRMainWin::CopyFromPane);
  QAction* selectAll = AddAction(editMenu_, "EditSelectallItem", "Select &all");
  selectAll->setShortcut(QKeySequence("Ctrl+A"));
  connect(selectAll, &QAction::triggered, this, [this] {
    if (listView_->hasFocus()) {
      SelectAllRows();
    } else {
      SelectAllInPane();
    }
  });
  connect(editMenu_, &QMenu::aboutToShow, this, &TFHRMainWin::UpdateEditMenu);

  view1_ = bar->addMenu("&View");
  view1_->setObjectName("View1");
  connect(AddAction(view1_, "Nntplog1", "&Nntp log"), &QAction::triggered, this, &TFHRMainWin::ShowNntpLog);
  QAction* fewer = AddAction(view1_, "Fewerheaders1", "&Fewer headers");
  fewer->setCheckable(true);
  connect(fewer, &QAction::triggered, this, [this](bool on) { fewerHeaders_->setChecked(on); });
  connect(view1_, &QMenu::aboutToShow, this, [this] {
    QAction* item = Command("Fewerheaders1");
    item->setChecked(fewerHeaders_->isChecked());
    item->setEnabled(fewerHeaders_->isEnabled());
  });

  toolsMenu_ = bar->addMenu("&Tools");
  toolsMenu_->setObjectName("ToolsMenu");
  messages1_ = toolsMenu_->addMenu("&Messages");
  messages1_->setObjectName("Messages1");
  MarkStandIn(AddAction(messages1_, "Composenewmessage1", "C&ompose new message"));
  messages1_->addSeparator();
  connect(AddAction(messages1_, "ToolsDecryptmessageItem", "De&crypt..."), &QAction::triggered, this,
          &TFHRMainWin::DecryptCommand);
  QAction* del = AddAction(messages1_, "ToolsDeletemessageItem", "D&elete...");
  del->setShortcut(QKeySequence("Ctrl+Del"));
  connect(del, &QAction::triggered, this, [this] { DeleteCommand(false); });
  messages1_->addSeparator();
  MarkStandIn(AddAction(messages1_, "FileOpenItem", "&Open"));
  toolsMenu_->addSeparator();
  connect(AddAction(toolsMenu_, "Catchupnewsgroup1", "&Catch up newsgroup..."), &QAction::triggered, this,
          &TFHRMainWin::CatchUpCommand);
  toolsMenu_->addSeparator();
  MarkStandIn(AddAction(toolsMenu_, "ToolsSubjectsItem", "&DIZ subject lines"));
  MarkStandIn(AddAction(toolsMenu_, "ToolsConfigmessages", "N&ym config messages..."));
  MarkStandIn(AddAction(toolsMenu_, "Nymservers1", "Nym&servers"));
  toolsMenu_->addSeparator();
  connect(AddAction(toolsMenu_, "ToolsAccountsItem", "&News accounts"), &QAction::triggered, this,
          &TFHRMainWin::OpenAccountManager);
  connect(AddAction(toolsMenu_, "PGPkeyrings1", "PGP &keyrings"), &QAction::triggered, this,
          &TFHRMainWin::OpenKeyrings);
  connect(AddAction(toolsMenu_, "ToolsProxiesItem", "&Proxies"), &QAction::triggered, this,
          &TFHRMainWin::OpenProxyManager);
  toolsMenu_->addSeparator();
  MarkStandIn(AddAction(toolsMenu_, "Options1", "&Options"));
  connect(toolsMenu_, &QMenu::aboutToShow, this, &TFHRMainWin::UpdateToolsMenus);
  connect(messages1_, &QMenu::aboutToShow, this, &TFHRMainWin::UpdateToolsMenus);

  helpMenu_ = bar->addMenu("&Help");
  helpMenu_->setObjectName("HelpMenu");
  MarkStandIn(AddAction(helpMenu_, "HelpTopicsItem", "&Topics"));
  connect(AddAction(helpMenu_, "HelpHistoryItem", "&History"), &QAction::triggered, this, [this] {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(paths_.HistoryFileName())));
  });
  helpMenu_->addSeparator();
  connect(AddAction(helpMenu_, "HelpAboutItem", "&About..."), &QAction::triggered, this,
          [] { MsgDialog(AboutText(), MsgKind::Information, kMbOk); });
  connect(helpMenu_, &QMenu::aboutToShow, this, [this] {
    Command("HelpHistoryItem")->setEnabled(QFileInfo::exists(QString::fromStdString(paths_.HistoryFileName())));
  });

  popupMenu1_ = new QMenu(this);
  popupMenu1_->setObjectName("PopupMenu1");
  MarkStandIn(AddAction(popupMenu1_, "Popup1CopyMessageToClipboard", "Reply message"));
  connect(AddAction(popupMenu1_, "Popup1DecryptItem", "&Decrypt..."), &QAction::triggered, this,
          &TFHRMainWin::DecryptCommand);
  popupMenu1_->addSeparator();
  MarkStandIn(AddAction(popupMenu1_, "Popup1OpenItem", "&Open"));
  connect(AddAction(popupMenu1_, "Popup1SelectallItem", "Select &all"), &QAction::triggered, this,
          &TFHRMainWin::SelectAllRows);
  popupMenu1_->addSeparator();
  connect(AddAction(popupMenu1_, "Popup1DeleteItem", "D&elete..."), &QAction::triggered, this,
          [this] { DeleteCommand(true); });
  connect(popupMenu1_, &QMenu::aboutToShow, this, &TFHRMainWin::UpdatePopup1);
  connect(listView_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { popupMenu1_->popup(listView_->viewport()->mapToGlobal(at)); });

  popupMenu2_ = new QMenu(this);
  popupMenu2_->setObjectName("PopupMenu2");
  MarkStandIn(AddAction(popupMenu2_, "Popup2CopyMessageToClipboard", "&Reply message"));
  connect(AddAction(popupMenu2_, "Popup2DecryptmessageItem", "&Decrypt..."), &QAction::triggered, this,
          &TFHRMainWin::DecryptCommand);
  popupMenu2_->addSeparator();
  connect(AddAction(popupMenu2_, "Popup2CopyItem", "&Copy"), &QAction::triggered, this, &TFHRMainWin::CopyFromPane);
  connect(AddAction(popupMenu2_, "Popup2SelectallItem", "Select &all"), &QAction::triggered, this,
          &TFHRMainWin::SelectAllInPane);
  popupMenu2_->addSeparator();
  connect(AddAction(popupMenu2_, "Popup2DeletemessageItem", "Delete &message..."), &QAction::triggered, this,
          [this] { DeleteCommand(true); });
  connect(popupMenu2_, &QMenu::aboutToShow, this, &TFHRMainWin::UpdatePopup2);
  for (QPlainTextEdit* pane : {message_, status_, log_}) {
    connect(pane, &QWidget::customContextMenuRequested, this,
            [this, pane](const QPoint& at) { popupMenu2_->popup(pane->viewport()->mapToGlobal(at)); });
  }
}

void TFHRMainWin::ApplyFonts() {
  ApplyFontString(this, settings_->Text("dialogfont"));
  const std::string windowFont = settings_->Text("windowfont");
  for (QWidget* w : {static_cast<QWidget*>(listView_), static_cast<QWidget*>(serverBox_),
                     static_cast<QWidget*>(proxyBox_)}) {
    ApplyFontString(w, windowFont);
  }
  ApplyFontString(message_, settings_->Text("editorfont"));
  status_->setFont(message_->font());
  log_->setFont(message_->font());
  status_->setPalette(message_->palette());
  log_->setPalette(message_->palette());
  QFont italic = getBtn_->font();
  italic.setItalic(true);
  getBtn_->setFont(italic);
}

}  // namespace fhr
