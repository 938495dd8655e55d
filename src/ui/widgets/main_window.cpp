#include "ui/widgets/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextCursor>
#include <QTimer>

#include <algorithm>

#include "core/msgdialog.h"
#include "core/pacing.h"
#include "core/settings.h"
#include "core/widgets/display_text.h"
#include "core/widgets/name_box.h"
#include "core/widgets/settings_widgets.h"
#include "eraser/eraser.h"
#include "gnupg/pgpcache.h"
#include "gnupg/widgets/keyring_dlg.h"
#include "news/retrieval_results.h"
#include "news/widgets/nntp_err_dlg.h"
#include "news/widgets/nntp_man_dlg.h"
#include "news/widgets/proxy_man_dlg.h"
#include "storage/db_packer.h"
#include "storage/fhrdb.h"
#include "ui/caption.h"
#include "ui/name_boxes.h"
#include "ui/widgets/retrieval_runner.h"
#include "ui/widgets/status_panels.h"
#include "ui/widgets/tray_host.h"

Q_LOGGING_CATEGORY(lcMainWindow, "fhr.instance", QtWarningMsg)

namespace fhr {

TFHRMainWin::TFHRMainWin(const ResolvedPaths& paths, QWidget* parent)
    : QMainWindow(parent), paths_(paths), settings_(std::make_unique<Settings>(paths.IniFileName())) {
  setObjectName("FHRMainWin");
  setMinimumSize(200, 150);
  resize(800, 560);
  runner_ = std::make_unique<RetrievalRunner>(
      [this](int pass, WorkerMessage& message) { OnWorkerMessage(pass, message); });
  startTimer_ = new QTimer(this);
  startTimer_->setSingleShot(true);
  startTimer_->setInterval(3000);
  checkMailTimer_ = new QTimer(this);
  checkMailTimer_->setInterval(60000);
  timer4_ = new QTimer(this);
  timer4_->setInterval(25);
  cacheTimer_ = new QTimer(this);
  cacheTimer_->setInterval(static_cast<int>(kCacheTimerInterval.count()));
  connect(startTimer_, &QTimer::timeout, this, &TFHRMainWin::StartTimerFired);
  connect(checkMailTimer_, &QTimer::timeout, this, &TFHRMainWin::CheckMailMinute);
  connect(timer4_, &QTimer::timeout, this, &TFHRMainWin::ShakeErrorText);
  BuildToolBar();
  BuildPanes();
  BuildMenus();
  BuildTrayMenu();
  ReplaceTrayHost(std::make_unique<QtTrayHost>());
  ApplyFonts();
  // The classic widths, with the date and size columns widened when the
  // list's font needs more room for the icon and the text.
  const QFontMetrics metrics(listView_->font());
  listView_->setColumnWidth(0, std::max(100, 24 + metrics.horizontalAdvance("2088-88-88 88:88") + 20));
  listView_->setColumnWidth(1, 180);
  listView_->setColumnWidth(2, 420);
  listView_->setColumnWidth(3, std::max(70, metrics.horizontalAdvance("8888,888 KB") + 14));
  fewerHeaders_->blockSignals(true);
  fewerHeaders_->setChecked(settings_->Flag("fewerheaders"));
  fewerHeaders_->blockSignals(false);
  const bool hideAccount = settings_->Flag("hideacctsel");
  const bool hideProxy = settings_->Flag("hideprxysel");
  label2_->setVisible(!hideAccount);
  serverBox_->setVisible(!hideAccount);
  label1_->setVisible(!hideProxy);
  proxyBox_->setVisible(!hideProxy);
  LoadMainPlacement(this, *settings_, "window", listView_, listView_->horizontalHeader());
  placementFingerprint_ = PlacementFingerprint(this, listView_, listView_->horizontalHeader());
  SelectPane(PaneName::kStatus);
  UpdateCaption();

  // The erasing library comes first: secure mode needs it to remove a
  // plain copy, and without it the start stops (it has said why).
  eraserLoaded_ = LoadEraser(paths_.appDir);
  if (!eraserLoaded_) {
    startAborted_ = true;
    return;
  }
  if (!OpenDatabase()) {
    MsgDialog("Failed to initialize mail database!    \nQuitting!", MsgKind::Error, kMbOk);
    startAborted_ = true;
    return;
  }
  cache_ = std::make_unique<TPGPPassphraseCache>(GpgSetupFor(paths_),
                                                 [this] { return db_ ? db_->GetSessionKey() : std::string(); });
  connect(cacheTimer_, &QTimer::timeout, this, [this] { cache_->OnTimer(); });
  cacheTimer_->start();
  account_ = settings_->Text("account");
  LoadAccountProfile(account_);
  FillProxyBox();
  FillAccountBox();
  LoadMessageList();
  LoadStatusPane();
  toolBar_->setFocus();
  ApplyCheckMailSetting();
}

TFHRMainWin::~TFHRMainWin() {
  // The worker goes before the database its results were meant for.
  runner_.reset();
  results_.reset();
  if (inTray_) RemoveTrayIcon();
  cache_.reset();
  if (eraserLoaded_) UnloadEraser();
}

bool TFHRMainWin::OpenDatabase() {
  db_ = OpenMailDatabase(paths_.DbFileName());
  return db_ != nullptr;
}

void TFHRMainWin::LoadStatusPane() {
  StringList lines;
  db_->ReadStatus(lines);
  status_->setPlainText(DisplayLines(lines));
  status_->document()->setModified(false);
  status_->moveCursor(QTextCursor::Start);
  status_->ensureCursorVisible();
}

void TFHRMainWin::UpdateCaption() {
  CaptionInputs in;
  in.newsgroup = settings_->Text("newsgroup");
  in.account = account_;
  in.proxy = proxy_;
  in.accountBoxHidden = settings_->Flag("hideacctsel");
  in.proxyBoxHidden = settings_->Flag("hideprxysel");
  setWindowTitle(DisplayText(ComposeCaption(in)));
}

void TFHRMainWin::RestoreFromRequest() {
  if (inTray_) {
    RestoreFromTray();
  } else if (isMinimized()) {
    showNormal();
  } else {
    show();
  }
  raise();
  activateWindow();
  qCInfo(lcMainWindow) << "shown on request of a second start; visible:" << isVisible();
}

void TFHRMainWin::FillAccountBox() {
  account_ = settings_->Text("account");
  StringList hosts;
  db_->ReadHosts(hosts);
  serverBox_->SetNames(NameBoxEntries(hosts, true));
  if (!serverBox_->SelectName(account_)) {
    MsgDialog(MissingAccountText(account_), MsgKind::Warning, kMbOk);
    serverBox_->SelectName(kNoneName);
    account_ = kNoneName;
    settings_->SetText("account", account_);
  }
  UpdateCaption();
}

void TFHRMainWin::FillProxyBox() {
  proxy_ = settings_->Text("nntpproxy");
  StringList proxies;
  db_->ReadProxies(proxies);
  proxyBox_->SetNames(NameBoxEntries(proxies, false));
  if (!proxyBox_->SelectName(proxy_)) {
    MsgDialog(MissingProxyText(proxy_), MsgKind::Warning, kMbOk);
    proxyBox_->SelectName(kNoneName);
    proxy_ = kNoneName;
    settings_->SetText("nntpproxy", proxy_);
  }
  UpdateCaption();
}

void TFHRMainWin::LoadAccountProfile(const std::string& name) {
  if (name == kNoneName) return;
  profile_.Clear();
  db_->GetHost(name, profile_);
  if (!profile_.empty()) return;
  MsgDialog(GoneAccountText(name), MsgKind::Information, kMbOk);
  account_ = kNoneName;
  settings_->SetText("account", account_);
  FillAccountBox();
}

void TFHRMainWin::EnableMailControls(bool on) {
  for (QWidget* w : {static_cast<QWidget*>(subjects_), static_cast<QWidget*>(getBtn_),
                     static_cast<QWidget*>(serverBox_), static_cast<QWidget*>(proxyBox_),
                     static_cast<QWidget*>(label1_), static_cast<QWidget*>(label2_)}) {
    SetAvailable(w, on);
  }
}

void TFHRMainWin::OnAccountChosen(const std::string& name) {
  account_ = name;
  LoadAccountProfile(account_);
  settings_->SetText("account", account_);
  UpdateCaption();
}

void TFHRMainWin::OnProxyChosen(const std::string& name) {
  proxy_ = name;
  settings_->SetText("nntpproxy", proxy_);
  UpdateCaption();
}

bool TFHRMainWin::OpenAccountManager() {
  TNNTPManDlg manager(*db_, *settings_, paths_, this);
  connect(&manager, &TNNTPManDlg::accountRenamed, this, [this](const std::string& from, const std::string& to) {
    serverBox_->RenameName(from, to);
    account_ = to;
    UpdateCaption();
  });
  const bool accepted = manager.exec() == QDialog::Accepted;
  // Refilled however the manager closed: a rename it reported may have been
  // dropped with its unsaved changes, and the box must show what is stored.
  FillAccountBox();
  LoadAccountProfile(account_);
  return accepted;
}

void TFHRMainWin::OpenProxyManager() {
  TProxyManDlg manager(*db_, *settings_, this);
  manager.exec();
  if (manager.Changed()) FillProxyBox();
}

void TFHRMainWin::OpenKeyrings() { EditKeyrings(paths_, *settings_, this); }

bool TFHRMainWin::SaveOnClose() {
  if (status_->document()->isModified()) {
    StringList lines;
    lines.SetText(StoredText(status_->toPlainText()));
    if (db_->WriteStatus(lines)) status_->document()->setModified(false);
  }
  if (needsPacking_) {
    ShowStatusText("packing database...");
    PackDatabase(db_);
    needsPacking_ = false;
    WaitProcessing(200);
  }
  return !db_->Changed() || db_->SaveDatabase();
}

bool TFHRMainWin::CloseRequest() {
  if (settings_->Flag("checkmail") && settings_->Flag("usetray") && !inTray_ && TrayUsable()) {
    const int answer = MsgDialog("Minimize to the system tray?   ", MsgKind::Confirmation, kMbYesNoCancel);
    if (answer == kMrCancel) return false;
    if (answer == kMrYes) {
      MinimizeToTray();
      errorPending_ = false;
      return false;
    }
  }
  if (RetrievalRunning()) {
    if (!AskQuitWhileRetrieving(*settings_, this)) return false;
    // Ended without waiting for the network: the cancel interrupts the
    // worker at once, and one that has not ended within the cancel's wait
    // is given up.
    CancelPass();
    WaitProcessing(200);
  }
  return SaveOnClose();
}

void TFHRMainWin::closeEvent(QCloseEvent* event) {
  if (startAborted_) {
    event->accept();
    return;
  }
  if (!CloseRequest()) {
    event->ignore();
    return;
  }
  QHeaderView* columns = listView_->horizontalHeader();
  if (PlacementFingerprint(this, listView_, columns) != placementFingerprint_) {
    SaveMainPlacement(this, *settings_, "window", listView_, columns);
  }
  event->accept();
}

}  // namespace fhr
