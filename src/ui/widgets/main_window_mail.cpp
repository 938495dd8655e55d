// The main window's side of retrieval: Get Mail, Check, Catch up and
// Cancel, the reactions to the worker's messages, the error notice and the
// unattended checks.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "core/msgdialog.h"
#include "core/pacing.h"
#include "core/settings.h"
#include "core/widgets/display_text.h"
#include "core/widgets/name_box.h"
#include "gnupg/gpg_conf.h"
#include "gnupg/gpg_setup.h"
#include "gnupg/widgets/keyring_dlg.h"
#include "news/retrieval_job.h"
#include "news/retrieval_results.h"
#include "news/widgets/article_count_dlg.h"
#include "news/widgets/nntp_err_dlg.h"
#include "storage/db_packer.h"
#include "storage/fhrdb.h"
#include "ui/name_boxes.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/painted_icons.h"
#include "ui/widgets/retrieval_runner.h"
#include "ui/widgets/status_panels.h"
#include "ui/widgets/tray_host.h"

namespace fhr {
namespace {

constexpr const char* kGetCaption = " Get Mail  ";
constexpr const char* kCheckCaption = " Chk Mail  ";
constexpr const char* kCancelCaption = " Cancel  ";

constexpr const char* kCheckNotice =
    "NOTICE: When you tick this box, you'll find the 'Get Mail' button caption changes to 'Chk Mail'. In this mode "
    "FHR will only download message subjects and check to see if any are yours. The messages waiting will be "
    "reported. It will still be necessary to download all messages to get those belonging to you.\n\nIMPORTANT: If "
    "you use this feature, don't be tempted to 'catch up' the newsgroup when you don't have mail. Its a bad idea. "
    "Your goal should be to download every message posted to a.a.m.";

constexpr const char* kCatchUpQuestion =
    "Catching up the newsgroup skips over all messages from the last   \ntime you downloaded mail to the current last "
    "article on the   \nserver. It's a convenience you can use on occassion, but don't   \nover-do it. Your goal is "
    "to download every message from a.a.m.   \n\nCatch up the newsgroup now?";

void SetItalic(QPushButton* button, bool italic) {
  QFont font = button->font();
  font.setItalic(italic);
  button->setFont(font);
}

// The don't-show-again notice: shown until its box is ticked, which adds
// `key` to the setting "dontshow".
void ShowNoticeOnce(Settings& settings, QWidget* owner, const std::string& key, const QString& title,
                    const QString& text) {
  StringList silenced;
  silenced.SetCommaText(settings.Text("dontshow"));
  if (silenced.IndexOf(key) >= 0) return;
  QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, owner);
  box.setObjectName("DontShowAgainDlg");
  auto* dontShow = new QCheckBox("Don't show this message again");
  dontShow->setObjectName("DontShowBox");
  box.setCheckBox(dontShow);
  box.exec();
  if (!dontShow->isChecked()) return;
  silenced.Add(key);
  settings.SetText("dontshow", silenced.CommaText());
}

}  // namespace

bool TFHRMainWin::RetrievalRunning() const { return runner_ && runner_->Running(); }

int TFHRMainWin::CurrentPass() const { return runner_ ? runner_->CurrentPass() : 0; }

PassGate TFHRMainWin::CurrentGate() const {
  PassGate gate;
  gate.running = RetrievalRunning();
  gate.modalOpen = QApplication::activeModalWidget() != nullptr;
  gate.errorPending = errorPending_;
  gate.getMailBusy = getMailBusy_;
  return gate;
}

bool TFHRMainWin::HasActiveSubjectLine() {
  StringList stored;
  if (!db_->ReadSubjects(stored)) return false;
  return !ActiveSubjectLines(stored).empty();
}

void TFHRMainWin::GetMailCommand() {
  if (RetrievalRunning() && getBtn_->text() == kGetCaption) return;  // a catch-up runs
  // The steps below show boxes and wait: a second click, a timer or the
  // menu meanwhile must not start a second pass.
  if (getMailBusy_) return;
  getMailBusy_ = true;
  errorPending_ = false;
  getBtn_->setEnabled(false);
  subjects_->setEnabled(false);
  if (getBtn_->text() == kCancelCaption) {
    CancelPass();
    getMailBusy_ = false;
    return;
  }
  const auto stop = [this] {
    EnableMailControls(true);
    getMailBusy_ = false;
  };
  if (!KeyringsConfigured(paths_.gnupgHome)) {
    MsgDialog("You need to tell me where your PGP Keyrings are located!   \nI'll open the dialog for you.",
              MsgKind::Information, kMbOk);
    if (!EditKeyrings(paths_, *settings_, this)) return stop();
    WaitProcessing(300);
  }
  if (account_ == kNoneName) {
    MsgDialog("You don't have a NEWS account selected!   \nI'll open the dialog for you.", MsgKind::Information,
              kMbOk);
    const bool chosen = OpenAccountManager();
    if (!chosen || account_ == kNoneName) return stop();
    WaitProcessing(300);
  }
  if (!HasActiveSubjectLine()) {
    MsgDialog("You don't have any DIZ subject lines defined!   \nI'll open the dialog for you.",
              MsgKind::Information, kMbOk);
    WaitProcessing(300);
    // A get pass without a subject line would move the account past every
    // article unread, so nothing starts until a subject line is active.
    if (!HasActiveSubjectLine()) return stop();
  }
  WaitProcessing(300);
  SetItalic(getBtn_, false);
  getBtn_->setText(kCancelCaption);
  getBtn_->setEnabled(true);
  for (QWidget* w : {static_cast<QWidget*>(serverBox_), static_cast<QWidget*>(proxyBox_),
                     static_cast<QWidget*>(label1_), static_cast<QWidget*>(label2_)}) {
    w->setEnabled(false);
  }
  status_->clear();
  SetAvailable(copyMsgBtn_, false);
  StartPass(subjects_->isChecked() ? RetrievalMode::kCheck : RetrievalMode::kGet);
  getMailBusy_ = false;
}

void TFHRMainWin::CancelPass() {
  const int pass = CurrentPass();
  if (pass != 0) {
    runner_->Cancel();
    SetItalic(getBtn_, true);
    getBtn_->setText(kGetCaption);
    // The cancel interrupts the worker at once; its last messages arrive
    // during the wait. One that has not ended by then is given up without
    // waiting for it.
    WaitProcessing(500);
    ReleasePass(pass);
  }
  SetItalic(getBtn_, true);
  getBtn_->setText(subjects_->isChecked() ? kCheckCaption : kGetCaption);
  EnableMailControls(true);
}

void TFHRMainWin::ReleasePass(int pass) {
  if (pass == 0 || pass != CurrentPass()) return;
  runner_->Release(pass);
  results_.reset();
  ApplyPaneRules();
}

void TFHRMainWin::CatchUpCommand() {
  if (RetrievalRunning() || getMailBusy_ || account_ == kNoneName) return;
  if (MsgDialog(kCatchUpQuestion, MsgKind::Confirmation, kMbOkCancel) != kMrOk) return;
  if (RetrievalRunning() || getMailBusy_) return;  // a timer started one while the question was open
  status_->clear();
  StartPass(RetrievalMode::kCatchUp);
  subjects_->setChecked(false);
}

void TFHRMainWin::StartPass(RetrievalMode mode) {
  RetrievalJob job = MakeRetrievalJob(*db_, *settings_, paths_.IniFileName(), paths_.dataDir, account_, mode);
  results_ = std::make_unique<RetrievalResults>(*db_, account_, GnuPGNymLookup(GpgSetupFor(paths_)),
                                                settings_->Int("loglines"));
  if (runner_->Start(std::move(job)) == 0) results_.reset();
}

void TFHRMainWin::OnSubjectsToggled(bool on) {
  if (!RetrievalRunning() || getBtn_->text() != kCancelCaption) {
    getBtn_->setText(on ? kCheckCaption : kGetCaption);
  }
  if (on) ShowNoticeOnce(*settings_, this, "chkmail", "Checking Mail", kCheckNotice);
}

void TFHRMainWin::OnWorkerMessage(int pass, WorkerMessage& message) {
  if (pass != CurrentPass() || !results_) return;
  const std::string key = results_->Apply(message);
  switch (message.id) {
    case WorkerMessageId::kStatusText:
      ShowStatusText(message.text);
      break;
    case WorkerMessageId::kNewArticle:
      if (!key.empty()) AddNewMessageRow(key);
      ShowMessageCount(listView_->rowCount());
      if (inTray_ && !key.empty()) {
        ++newMailCount_;
        SetTrayIcon(1, QString::fromStdString(NewMailTip(newMailCount_)));
      }
      break;
    case WorkerMessageId::kRunFinished:
      OnRunFinished();
      break;
    case WorkerMessageId::kProgress:
      if (!errorPending_) statusBar_->SetPanelText(1, DisplayText(message.text));
      statusBar_->SetProgress(static_cast<int>(message.first));
      break;
    case WorkerMessageId::kError:
      OnWorkerError(message.text);
      break;
    case WorkerMessageId::kStatusLine:
      if (message.first == 1) {
        status_->clear();
      } else {
        status_->appendPlainText(DisplayText(message.text));
      }
      break;
    case WorkerMessageId::kMessageRequest: {
      const RequestedBox box = MessageRequestBox(message.text);
      const int answer = MsgDialog(box.text, box.kind, box.buttons);
      if (message.reply) message.reply->Answer(answer);
      break;
    }
    case WorkerMessageId::kArticleCountQuestion: {
      const long long answer = AskArticleCount(this, message.first);
      if (message.reply) message.reply->Answer(answer);
      break;
    }
    case WorkerMessageId::kSaveRequest:
      SaveDatabaseCommand();
      break;
    case WorkerMessageId::kWorkerEnded:
      ReleasePass(pass);
      break;
  }
}

void TFHRMainWin::AddNewMessageRow(const std::string& key) {
  StringList lines;
  db_->ReadMessage(key, lines);
  listView_->setUpdatesEnabled(false);
  mail_.Insert(0, key);
  listView_->insertRow(0);
  FillMessageRow(0, key, lines);
  listView_->scrollToTop();
  listView_->setUpdatesEnabled(true);
}

void TFHRMainWin::OnRunFinished() {
  SetItalic(getBtn_, true);
  getBtn_->setText(kGetCaption);
  ShowMessageCount(listView_->rowCount());
  subjects_->blockSignals(true);
  subjects_->setChecked(false);
  subjects_->blockSignals(false);
  EnableMailControls(true);
  // The account's last article has moved: the profile follows the store.
  if (account_ != kNoneName) {
    profile_.Clear();
    db_->GetHost(account_, profile_);
  }
  ApplyPaneRules();
}

void TFHRMainWin::OnWorkerError(const std::string& text) {
  errorLines_.SetText(text);
  errorPending_ = true;
  shakeCounter_ = 0;
  statusBar_->SetPanelText(1, kErrorNotice);
  timer4_->start();
  QApplication::beep();
  if (inTray_) SetTrayIcon(2, kFatalErrorTip);
}

void TFHRMainWin::ShakeErrorText() {
  ++shakeCounter_;
  statusBar_->SetPanelText(1, QString::fromStdString(ShakenErrorText(statusBar_->PanelText(1).toStdString(),
                                                                     shakeCounter_)));
  if (shakeCounter_ > kShakeTicks) timer4_->stop();
}

void TFHRMainWin::OnStatusPanelPressed(int panel) {
  if (panel != 1 || !errorPending_) return;
  statusBar_->SetPanelText(1, "");
  timer4_->stop();
  errorPending_ = false;
  TNntpErrDlg dialog(errorLines_, *settings_, this);
  dialog.exec();
}

void TFHRMainWin::SaveDatabaseCommand() {
  if (!db_ || !db_->IsSecure()) return;
  ShowStatusText("");
  WaitProcessing(200);
  ShowStatusText(" Saving database... ");
  if (needsPacking_) {
    WaitProcessing(200);
    PackDatabase(db_);
    needsPacking_ = false;
  } else {
    db_->SaveDatabase();
  }
  WaitProcessing(200);
  ShowStatusText("");
}

void TFHRMainWin::StartTimerFired() {
  startTimer_->stop();
  checkMailTimer_->start();
  schedule_.Restart();
  if (MayStartUnattendedPass(CurrentGate())) GetMailCommand();
}

void TFHRMainWin::CheckMailMinute() {
  switch (schedule_.OnMinute(settings_->Flag("checkmail"), settings_->Int("checkmailmins"), CurrentGate())) {
    case MailCheckSchedule::Tick::kStop:
      checkMailTimer_->stop();
      break;
    case MailCheckSchedule::Tick::kWait:
      break;
    case MailCheckSchedule::Tick::kCheckNow:
      GetMailCommand();
      break;
  }
}

void TFHRMainWin::ApplyCheckMailSetting() {
  const bool on = settings_->Flag("checkmail");
  if (on && !checkMailTimer_->isActive()) startTimer_->start();
  if (!on && checkMailTimer_->isActive()) checkMailTimer_->stop();
}

bool TFHRMainWin::StartTimerActive() const { return startTimer_->isActive(); }

bool TFHRMainWin::CheckMailTimerActive() const { return checkMailTimer_->isActive(); }

}  // namespace fhr
