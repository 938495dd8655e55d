// The main window's mail commands against the loopback news server: a get
// pass fills the list, check and catch-up, cancel in the middle, the error
// notice and its dialog, the rules that keep unattended checks from
// starting a pass, and the tray (through a host of the test's own, since no
// notification area exists here) with and without a tray.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <fstream>

#include "core/msgdialog.h"
#include "core/paths.h"
#include "core/settings.h"
#include "news/list_key.h"
#include "news/mail_store.h"
#include "news/subject_line.h"
#include "storage/fhrdb.h"
#include "support/news_traffic.h"
#include "support/peer_ports.h"
#include "support/scripted_msgdialog.h"
#include "support/tcp_relay.h"
#include "support/temp_dir.h"
#include "support/widget_helpers.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/status_panels.h"
#include "ui/widgets/tray_host.h"

namespace fhr {
namespace {

constexpr int kPassTimeoutMs = 60000;

// A notification area that records what the window shows in it.
class FakeTray : public TrayHost {
  Q_OBJECT
 public:
  explicit FakeTray(bool available) : available_(available) {}
  bool Available() const override { return available_; }
  void Show(const QIcon&, const QString& tip) override {
    shown_ = true;
    tip_ = tip;
    ++shows_;
  }
  void Remove() override { shown_ = false; }
  bool Shown() const override { return shown_; }
  void SetMenu(QMenu* menu) override { menu_ = menu; }

  QString tip_;
  int shows_ = 0;
  QMenu* menu_ = nullptr;

 private:
  bool available_;
  bool shown_ = false;
};

ResolvedPaths PathsIn(const test::TempDir& dir) {
  ResolvedPaths paths;
  paths.appDir = std::string(FHR_BIN_DIR) + "/";
  paths.dataDir = dir.path() + "/";
  paths.gnupgHome = dir.path();
  return paths;
}

// A data directory with keyrings named, the account "inn" at `port` and one
// active ESUB subject line whose key is on no keyring.
void Prepare(const ResolvedPaths& paths, const std::string& group, int port) {
  Settings settings(paths.IniFileName());
  settings.SetText("newsgroup", group);
  settings.SetText("account", "inn");
  settings.SetText("dontshow", "chkmail");
  std::ofstream(paths.gnupgHome + "/gpg.conf") << "secret-keyring secring.gpg\nkeyring pubring.gpg\n";
  auto db = OpenMailDatabase(paths.DbFileName());
  QVERIFY(db);
  db->WriteHosts({"inn=key=inn,host=127.0.0.1,port=" + std::to_string(port) + ",lastarticle=0"});
  SubjectLine line;
  line.subno = "2000";
  line.active = true;
  line.esub = true;
  line.subject = "desk nym";
  line.ephrase = "desk pass";
  line.keyid = "0x0BADC0DE";
  db->WriteSubjects({SubjectLineText(line)});
  QVERIFY(db->SaveDatabase());
}

std::string LastArticle(TFHRMainWin& window) {
  StringList record;
  window.database()->GetHost("inn", record);
  return record.Value("lastarticle");
}

// A group of the test's own: `noise` noise articles around `tagged` nym
// messages for the subject line of Prepare.
std::string MakeGroup(int noise, int tagged) {
  const std::string group = test::CreateTestGroup("desktop");
  if (group.empty()) return group;
  test::NewsTraffic traffic(group);
  for (int i = 0; i < tagged; ++i) {
    traffic.AddNoise(noise / (tagged + 1));
    traffic.AddNymMessage(test::TagForm::kEsubBlowfish, "desk nym", "desk pass", {"message " + std::to_string(i)});
  }
  traffic.AddNoise(noise - tagged * (noise / (tagged + 1)));
  return traffic.Post() ? group : std::string();
}

template <typename T>
T* Find(const QWidget& window, const char* name) {
  T* found = window.findChild<T*>(name);
  if (found == nullptr) qFatal("no control named %s", name);
  return found;
}

#define REQUIRE_PEERS(var)                                                                   \
  auto var##_loaded = test::PeerPorts::Load();                                               \
  if (!var##_loaded) {                                                                       \
    if (test::PeersRequired()) QFAIL(test::PeersMissingMessage().c_str());                   \
    QSKIP(test::PeersMissingMessage().c_str());                                              \
  }                                                                                          \
  const test::PeerPorts& var = *var##_loaded

class MailCommandsTest : public QObject {
  Q_OBJECT
 private slots:
  void getPassFillsTheListThenCheckAndCatchUp() {
    REQUIRE_PEERS(peers);
    const std::string group = MakeGroup(20, 2);
    QVERIFY(!group.empty());
    test::TempDir dir;
    const ResolvedPaths paths = PathsIn(dir);
    Prepare(paths, group, peers.port("NNTP_ANON_PORT"));
    Settings(paths.IniFileName()).SetFlag("usetray", true);
    test::ScriptedMsgDialog boxes;
    TFHRMainWin window(paths);
    QVERIFY(!window.StartAborted());
    auto tray = std::make_unique<FakeTray>(true);
    FakeTray* fake = tray.get();
    window.ReplaceTrayHost(std::move(tray));
    window.show();
    window.MinimizeToTray();
    QVERIFY(window.InTray());
    QVERIFY(fake->Shown());
    QCOMPARE(window.TrayIconIndex(), 0);

    auto* getBtn = Find<QPushButton>(window, "GetBtn");
    auto* list = Find<QTableWidget>(window, "ListView");
    getBtn->click();
    QVERIFY(window.RetrievalRunning());
    QCOMPARE(getBtn->text(), QString(" Cancel  "));
    QVERIFY(!Find<QWidget>(window, "ServerBox")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!window.RetrievalRunning(), kPassTimeoutMs);

    QCOMPARE(list->rowCount(), 2);
    QCOMPARE(window.mail().size(), 2u);
    for (const std::string& key : window.mail()) {
      const ListKeyFields fields = ParseListKey(key);
      QCOMPARE(fields.subno, std::string("2000"));
      QCOMPARE(fields.nym, PlaceholderNym("0x0BADC0DE"));  // stored, though its key is on no keyring
    }
    QCOMPARE(Find<StatusPanels>(window, "StatusBar")->PanelText(2), QString(" 2 messages "));
    QCOMPARE(LastArticle(window), std::to_string(22));
    QVERIFY(Find<QPlainTextEdit>(window, "Status")->toPlainText().contains("2 new messages"));
    QCOMPARE(getBtn->text(), QString(" Get Mail  "));
    QVERIFY(getBtn->font().italic());
    QVERIFY(Find<QWidget>(window, "ServerBox")->isEnabled());
    QCOMPARE(window.TrayIconIndex(), 1);
    QCOMPARE(fake->tip_, QString("You have 2 new emails"));
    QCOMPARE(window.NewMailCount(), 2);
    QVERIFY(boxes.texts().empty());

    emit fake->restoreRequested();
    QVERIFY(!window.InTray());
    QVERIFY(!fake->Shown());
    QVERIFY(window.isVisible());
    QCOMPARE(window.NewMailCount(), 0);
    test::SaveScreenshot(&window, "main_window_after_get");

    // Check: counts from the subjects alone, stores nothing, unticks itself.
    test::NewsTraffic more(group);
    more.AddNymMessage(test::TagForm::kEsubBlowfish, "desk nym", "desk pass", {"third"});
    more.AddNoise(3);
    QVERIFY(more.Post());
    auto* subjects = Find<QCheckBox>(window, "Subjects");
    subjects->setChecked(true);
    QCOMPARE(getBtn->text(), QString(" Chk Mail  "));
    getBtn->click();
    QVERIFY(window.RetrievalRunning());
    QVERIFY(!subjects->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!window.RetrievalRunning(), kPassTimeoutMs);
    QVERIFY(Find<QPlainTextEdit>(window, "Status")->toPlainText().contains("1 waiting message"));
    QCOMPARE(list->rowCount(), 2);
    QVERIFY(!subjects->isChecked());
    QVERIFY(subjects->isEnabled());
    QCOMPARE(getBtn->text(), QString(" Get Mail  "));
    QCOMPARE(LastArticle(window), std::to_string(22));

    // Catch up: asked first, then the account skips to the newest article;
    // the tool bar stays as it is and a click on Get Mail does nothing.
    boxes.Answer(kMrOk);
    window.CatchUpCommand();
    QCOMPARE(boxes.texts().size(), 1u);
    QVERIFY(boxes.texts()[0].starts_with("Catching up the newsgroup"));
    QVERIFY(window.RetrievalRunning());
    QCOMPARE(getBtn->text(), QString(" Get Mail  "));
    const int pass = window.CurrentPass();
    window.GetMailCommand();
    QCOMPARE(window.CurrentPass(), pass);
    QTRY_VERIFY_WITH_TIMEOUT(!window.RetrievalRunning(), kPassTimeoutMs);
    QCOMPARE(LastArticle(window), std::to_string(26));
    QCOMPARE(list->rowCount(), 2);
  }

  void cancelInTheMiddleNeverWaitsForTheNetwork() {
    REQUIRE_PEERS(peers);
    const std::string group = MakeGroup(300, 1);
    QVERIFY(!group.empty());
    // Every byte is slowed down, so the pass is still running when cancelled.
    test::TcpRelay relay(peers.port("NNTP_ANON_PORT"), {std::chrono::milliseconds(60), 0});
    QVERIFY(relay.Start());
    test::TempDir dir;
    const ResolvedPaths paths = PathsIn(dir);
    Prepare(paths, group, relay.port());
    test::ScriptedMsgDialog boxes;
    TFHRMainWin window(paths);
    window.resize(1024, 600);
    window.show();
    auto* getBtn = Find<QPushButton>(window, "GetBtn");
    auto* panels = Find<StatusPanels>(window, "StatusBar");
    getBtn->click();
    const int first = window.CurrentPass();
    QVERIFY(first > 0);
    QTRY_VERIFY_WITH_TIMEOUT(panels->Progress() > 0, kPassTimeoutMs);
    QVERIFY(window.RetrievalRunning());
    test::SaveScreenshot(&window, "main_window_pass_progress");

    QElapsedTimer clock;
    clock.start();
    getBtn->click();  // " Cancel  "
    QVERIFY2(clock.elapsed() < 3000, "cancelling waited for the network");
    QVERIFY(!window.RetrievalRunning());
    QCOMPARE(getBtn->text(), QString(" Get Mail  "));
    QVERIFY(getBtn->isEnabled());
    QVERIFY(Find<QWidget>(window, "ServerBox")->isEnabled());

    // A new pass gets an id of its own and runs to its end, whatever the
    // cancelled one still had to say.
    getBtn->click();
    QVERIFY(window.CurrentPass() > first);
    QTRY_VERIFY_WITH_TIMEOUT(!window.RetrievalRunning(), kPassTimeoutMs);
    QCOMPARE(Find<QTableWidget>(window, "ListView")->rowCount(), 1);
    QCOMPARE(LastArticle(window), std::to_string(301));

    // Closing during a pass: asked, then closed at once.
    getBtn->click();
    QVERIFY(window.RetrievalRunning());
    test::WhenModalShows("CancelNntpDlg", [](QDialog* dialog) { dialog->accept(); });
    clock.restart();
    QVERIFY(window.close());
    QVERIFY2(clock.elapsed() < 3000, "closing waited for the network");
    QVERIFY(!window.RetrievalRunning());
  }

  void errorNoticeDialogAndTheTimersRules() {
    REQUIRE_PEERS(peers);
    test::TempDir dir;
    const ResolvedPaths paths = PathsIn(dir);
    Prepare(paths, "alt.anonymous.messages", peers.port("REFUSED_PORT"));
    Settings settings(paths.IniFileName());
    settings.SetFlag("checkmail", true);
    settings.SetInt("checkmailmins", 5);
    test::ScriptedMsgDialog boxes;
    TFHRMainWin window(paths);
    QVERIFY(window.StartTimerActive());  // "checkmail" is on: the first check comes 3 s after the start
    window.resize(1024, 600);
    window.show();
    auto* panels = Find<StatusPanels>(window, "StatusBar");
    window.StartTimerFired();
    QVERIFY(window.CheckMailTimerActive());
    QVERIFY(window.RetrievalRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!window.RetrievalRunning(), kPassTimeoutMs);
    QVERIFY(window.ErrorPending());
    QVERIFY(!window.ErrorLines().empty());
    QTRY_COMPARE(panels->PanelText(1), QString("ERROR! Click here!"));  // shaken, then at rest
    test::SaveScreenshot(&window, "main_window_error");

    // While the error waits to be opened, no timer starts a pass.
    for (int minute = 0; minute < 7; ++minute) window.CheckMailMinute();
    window.StartTimerFired();
    QVERIFY(!window.RetrievalRunning());

    // Panel 0 and panel 2 do nothing; panel 1 opens the error once.
    const int y = panels->height() / 2;
    QTest::mouseClick(panels, Qt::LeftButton, {}, QPoint(5, y));
    QTest::mouseClick(panels, Qt::LeftButton, {}, QPoint(panels->width() - 5, y));
    QVERIFY(window.ErrorPending());
    bool opened = false;
    test::WhenModalShows("NntpErrDlg", [&opened](QDialog* dialog) {
      opened = true;
      dialog->accept();
    });
    QTest::mouseClick(panels, Qt::LeftButton, {}, QPoint(panels->PanelWidth(0) + 10, y));
    QVERIFY(opened);
    QVERIFY(!window.ErrorPending());
    QVERIFY(panels->PanelText(1).isEmpty());

    // Now the timed check starts a pass when its five minutes are up.
    int minutes = 0;
    while (!window.RetrievalRunning() && minutes < 10) {
      window.CheckMailMinute();
      ++minutes;
    }
    QCOMPARE(minutes, 5);
    QTRY_VERIFY_WITH_TIMEOUT(!window.RetrievalRunning(), kPassTimeoutMs);
    // With "checkmail" off the timed check stops itself.
    settings.SetFlag("checkmail", false);
    window.CheckMailMinute();
    QVERIFY(!window.CheckMailTimerActive());
  }

  void getMailCannotReenterWhileItAsks() {
    test::TempDir dir;
    const ResolvedPaths paths = PathsIn(dir);
    test::ScriptedMsgDialog boxes;
    TFHRMainWin window(paths);
    window.show();
    bool asked = false;
    test::WhenModalShows("KeyringDlg", [&](QDialog* dialog) {
      asked = true;
      // A click, a menu entry or a timer while the keyrings dialog is open.
      window.GetMailCommand();
      window.StartTimerFired();
      window.CheckMailMinute();
      QVERIFY(!window.RetrievalRunning());
      dialog->reject();
    });
    window.GetMailCommand();
    QVERIFY(asked);
    QCOMPARE(boxes.texts().size(), 1u);  // the keyrings notice once, not once per attempt
    QVERIFY(boxes.texts()[0].starts_with("You need to tell me where your PGP Keyrings are located!"));
    QVERIFY(!window.RetrievalRunning());
    QVERIFY(Find<QPushButton>(window, "GetBtn")->isEnabled());
  }

  void withoutAnActiveSubjectLineNothingStarts() {
    test::TempDir dir;
    const ResolvedPaths paths = PathsIn(dir);
    Prepare(paths, "alt.anonymous.messages", 1);
    {
      auto db = OpenMailDatabase(paths.DbFileName());
      QVERIFY(db);
      db->WriteSubjects({});
      QVERIFY(db->SaveDatabase());
    }
    test::ScriptedMsgDialog boxes;
    TFHRMainWin window(paths);
    window.GetMailCommand();
    // A get pass without a subject line would move the account past every
    // article unread.
    QVERIFY(!window.RetrievalRunning());
    QCOMPARE(boxes.texts().size(), 1u);
    QVERIFY(boxes.texts()[0].starts_with("You don't have any DIZ subject lines defined!"));
    QVERIFY(Find<QPushButton>(window, "GetBtn")->isEnabled());
    QCOMPARE(LastArticle(window), std::string("0"));
  }

  void withoutATrayMinimisingIsOrdinaryAndClosingAsksNothing() {
    test::TempDir dir;
    const ResolvedPaths paths = PathsIn(dir);
    Settings settings(paths.IniFileName());
    settings.SetFlag("usetray", true);
    settings.SetFlag("checkmail", true);
    test::ScriptedMsgDialog boxes;
    TFHRMainWin window(paths);
    auto tray = std::make_unique<FakeTray>(false);
    FakeTray* fake = tray.get();
    window.ReplaceTrayHost(std::move(tray));
    window.show();
    window.showMinimized();
    QTest::qWait(20);
    QVERIFY(!window.InTray());
    QCOMPARE(fake->shows_, 0);
    window.MinimizeToTray();
    QVERIFY(!window.InTray());
    QVERIFY(window.close());
    QVERIFY(boxes.texts().empty());
  }

  void withATrayClosingOffersIt() {
    test::TempDir dir;
    const ResolvedPaths paths = PathsIn(dir);
    Settings settings(paths.IniFileName());
    settings.SetFlag("usetray", true);
    settings.SetFlag("checkmail", true);
    test::ScriptedMsgDialog boxes;
    TFHRMainWin window(paths);
    auto tray = std::make_unique<FakeTray>(true);
    FakeTray* fake = tray.get();
    window.ReplaceTrayHost(std::move(tray));
    QVERIFY(fake->menu_ != nullptr);
    QVERIFY(fake->menu_->findChild<QAction*>("TrayMenuRestoreItem"));
    QVERIFY(fake->menu_->findChild<QAction*>("TrayMenuExitItem"));
    window.show();
    boxes.Answer(kMrCancel);
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    boxes.Answer(kMrYes);
    QVERIFY(!window.close());
    QVERIFY(window.InTray());
    QVERIFY(!window.isVisible());
    QCOMPARE(boxes.texts(), std::vector<std::string>(2, "Minimize to the system tray?"));
    // The ordinary minimise goes to the tray too; Exit from the tray's menu
    // passes through the same close request, which no longer asks.
    fake->menu_->findChild<QAction*>("TrayMenuRestoreItem")->trigger();
    QVERIFY(!window.InTray());
    window.showMinimized();
    QTRY_VERIFY(window.InTray());
    QVERIFY(fake->Shown());
    fake->menu_->findChild<QAction*>("TrayMenuExitItem")->trigger();
    QCOMPARE(boxes.texts().size(), 2u);
  }
};

}  // namespace
}  // namespace fhr

QTEST_MAIN(fhr::MailCommandsTest)
#include "mail_commands_test.moc"
