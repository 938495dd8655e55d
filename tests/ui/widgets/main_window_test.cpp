// The main window on a test database: the list, the panes, the boxes, the
// menus' availability, deleting, closing, and screenshots.
#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include "core/msgdialog.h"
#include "core/paths.h"
#include "core/settings.h"
#include "core/widgets/name_box.h"
#include "news/list_key.h"
#include "storage/fhrdb.h"
#include "support/scripted_msgdialog.h"
#include "support/temp_dir.h"
#include "support/widget_helpers.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/status_panels.h"

namespace fhr {
namespace {

ResolvedPaths PathsIn(const test::TempDir& dir) {
  ResolvedPaths paths;
  paths.appDir = std::string(FHR_BIN_DIR) + "/";
  paths.dataDir = dir.path() + "/";
  paths.gnupgHome = dir.path();
  return paths;
}

std::string Key(const std::string& stamp, char flag, const std::string& length, const std::string& from,
                const std::string& subject) {
  const std::string sep(1, kKeySeparator);
  return stamp + flag + '\x80' + sep + "s" + sep + length + sep + from + sep + "5" + sep + subject + sep + "2001" +
         sep + "nym";
}

const std::string kClearKey = Key("170305142201000", '\x80', "1501", "alice@example", "Line A");
const std::string kEncryptedKey = Key("180102030405000", '\x80', "999999", "bob@example", "Line B");
const std::string kOldKey = Key("161231235959000", '\x81', "10", "carol@example", "Line C");

// A database with three messages, an account, a proxy, a status and a log.
void FillDatabase(const ResolvedPaths& paths) {
  auto db = OpenMailDatabase(paths.DbFileName());
  QVERIFY(db);
  db->WriteMessage(kClearKey, {"Subject-No: 2001", "Path: x", "From: alice@example", "Subject: hello",
                               "Date: today", "", "clear body"});
  db->WriteMessage(kEncryptedKey, {"Subject-No: 2001", "From: bob@example", "", "-----BEGIN PGP MESSAGE-----",
                                   "abc", "-----END PGP MESSAGE-----"});
  db->WriteMessage(kOldKey, {"From: carol@example", "", "old"});
  db->WriteHosts({"news1=key=news1,host=news.example,port=119"});
  db->WriteProxies({"tor=proxy=tor,host=127.0.0.1,port=9050,socks=4a,tor=1"});
  db->WriteStatus({"last run: 3 articles"});
  db->WriteLog({"200 news.example ready", "211 group selected"});
  QVERIFY(db->SaveDatabase());
}

template <typename T>
T* Find(const QWidget& window, const char* name) {
  T* found = window.findChild<T*>(name);
  if (found == nullptr) qFatal("no control named %s", name);
  return found;
}

QAction* Action(const QWidget& window, const char* name) { return Find<QAction>(window, name); }

void SelectRows(QTableWidget* list, std::initializer_list<int> rows) {
  list->clearSelection();
  for (int row : rows) {
    list->selectionModel()->select(list->model()->index(row, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
}

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void emptyStartShowsStatusPaneAndCount() {
    test::TempDir dir;
    test::ScriptedMsgDialog boxes;
    TFHRMainWin window(PathsIn(dir));
    window.resize(1024, 768);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!window.StartAborted());
    QCOMPARE(window.windowTitle(), QString("Fernhill DIZ Mail  0.9d11  alt.anonymous.messages"));
    QCOMPARE(Find<QTableWidget>(window, "ListView")->rowCount(), 0);
    QCOMPARE(Find<StatusPanels>(window, "StatusBar")->PanelText(2), QString(" 0 messages "));
    auto* tabs = Find<QTabBar>(window, "TabControl");
    QCOMPARE(tabs->count(), 1);
    QCOMPARE(tabs->tabText(0), QString("Status"));
    QCOMPARE(Find<QPushButton>(window, "GetBtn")->text(), QString(" Get Mail  "));
    QCOMPARE(Find<QPushButton>(window, "CopyMsgBtn")->text(), QString("Reply"));
    QCOMPARE(Find<QPushButton>(window, "GetBtn")->property("hint").toString(),
             QString(" Get mail | Get new newsgroup mail "));
    QCOMPARE(Find<QCheckBox>(window, "Subjects")->text(), QString("&Check"));
    QVERIFY(!Find<QToolButton>(window, "DeleteBtn")->isEnabled());
    QVERIFY(!Find<QCheckBox>(window, "FewerHeaders")->isEnabled());
    QCOMPARE(Find<NameBox>(window, "ServerBox")->CurrentName(), std::string("none"));
    QVERIFY(Find<NameBox>(window, "ServerBox")->font().bold());
    QVERIFY(boxes.boxes().empty());
    QVERIFY(test::SaveScreenshot(&window, "main_window_empty"));
  }

  void listIsNewestFirstWithItsFormats() {
    test::TempDir dir;
    const ResolvedPaths paths = PathsIn(dir);
    FillDatabase(paths);
    test::ScriptedMsgDialog boxes;
    TFHRMainWin window(paths);
    auto* list = Find<QTableWidget>(window, "ListView");
    QCOMPARE(list->rowCount(), 3);
    QCOMPARE(window.mail()[0], kEncryptedKey);
    QCOMPARE(window.mail()[1], kClearKey);
    QCOMPARE(window.mail()[2], kOldKey);
    QCOMPARE(list->item(1, 0)->text(), QString("2017-03-05 14:22"));
    QCOMPARE(list->item(1, 1)->text(), QString("alice@example"));
    QCOMPARE(list->item(1, 2)->text(), QString("Line A:  hello"));
    QCOMPARE(list->item(1, 3)->text(), QString("2 KB"));
    QCOMPARE(list->item(0, 2)->text(), QString("Line B"));
    QCOMPARE(list->item(0, 3)->text(), QString("1,000 KB"));
    QCOMPARE(list->horizontalHeaderItem(3)->text(), QString("Size"));
    QCOMPARE(Find<StatusPanels>(window, "StatusBar")->PanelText(2), QString(" 3 messages "));
    QCOMPARE(Find<QPlainTextEdit>(window, "Status")->toPlainText(), QString("last run: 3 articles"));
    QCOMPARE(Find<NameBox>(window, "ProxyBox")->count(), 2);
    QVERIFY(boxes.boxes().empty());
    window.resize(1024, 768);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    SelectRows(list, {1});
    QVERIFY(test::SaveScreenshot(&window, "main_window_messages_1024x768"));
    window.resize(1920, 1200);
    QTest::qWait(20);
    QVERIFY(test::SaveScreenshot(&window, "main_window_messages_large"));
    auto* panels = Find<StatusPanels>(window, "StatusBar");
    panels->SetPanelText(1, "Article 40 of 100");
    panels->SetProgress(40);
    window.resize(1024, 768);
    QTest::qWait(20);
    QVERIFY(test::SaveScreenshot(&window, "main_window_progress"));
    panels->SetPanelText(1, "ERROR! Click here!");
    QVERIFY(test::SaveScreenshot(&window, "main_window_error"));
    const QImage error = panels->grab().toImage();
    const int x = panels->PanelWidth(0) + 5;
    QCOMPARE(error.pixelColor(x, panels->height() / 2), QColor(Qt::red));
  }

  void selectingAMessageShowsItThroughTheFilterAndMarksItRead() {
    test::TempDir dir;
    const ResolvedPaths paths = PathsIn(dir);
    FillDatabase(paths);
    test::ScriptedMsgDialog boxes;
    TFHRMainWin window(paths);
    auto* list = Find<QTableWidget>(window, "ListView");
    auto* message = Find<QPlainTextEdit>(window, "Message");
    SelectRows(list, {1});
    QCOMPARE(message->toPlainText(), QString("From: alice@example\nDate: today\n\nclear body"));
    QVERIFY(Find<QTabBar>(window, "TabControl")->tabText(1) == "Message");
    QVERIFY(window.PaneShown(PaneName::kMessage));
    // Shown clear text counts as read: the key's flag byte changes in the
    // list and in the store.
    const std::string readKey = WithReadFlag(kClearKey, true);
    QCOMPARE(window.mail()[1], readKey);
    QCOMPARE(window.CurrentMessageKey(), readKey);
    StringList stored;
    QVERIFY(window.database()->ReadMessage(readKey, stored));
    QCOMPARE(stored[0], std::string("Subject-No: 2001"));
    // The switch shows the whole message (without the internal header) and
    // is remembered.
    Find<QCheckBox>(window, "FewerHeaders")->setChecked(false);
    QVERIFY(message->toPlainText().startsWith("Path: x\nFrom: alice@example"));
    QVERIFY(!Settings(paths.IniFileName()).Flag("fewerheaders"));
    // An encrypted message is not marked read by showing it.
    SelectRows(list, {0});
    QCOMPARE(window.mail()[0], kEncryptedKey);
    // Two rows: the pane is cleared and only Delete stays.
    SelectRows(list, {0, 1});
    QVERIFY(message->toPlainText().isEmpty());
    QVERIFY(window.CurrentMessageKey().empty());
    QVERIFY(Find<QToolButton>(window, "DeleteBtn")->isEnabled());
    QVERIFY(!Find<QToolButton>(window, "DecryptBtn")->isEnabled());
    // Toggling the switch with several rows selected only writes the setting.
    Find<QCheckBox>(window, "FewerHeaders")->setChecked(true);
    QVERIFY(message->toPlainText().isEmpty());
    QVERIFY(Settings(paths.IniFileName()).Flag("fewerheaders"));
  }

  // Each row: a state of the window and the built commands that must be
  // usable in it (every other built command must not be).
  void menuAvailabilityFollowsTheState_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("enabled");
    QTest::newRow("status pane, nothing selected") << 0 << QStringList{"FileGetMailItem", "FileExitItem", "Nntplog1", "Popup1SelectallItem"};
    QTest::newRow("one clear message shown")
        << 1 << QStringList{"FileGetMailItem", "FileExitItem", "Nntplog1", "Fewerheaders1", "EditSelectallItem", "ToolsDeletemessageItem",
                            "Popup1DeleteItem", "Popup1SelectallItem", "Popup2SelectallItem", "Popup2DeletemessageItem",
                            "DeleteBtn"};
    QTest::newRow("two rows selected")
        << 2 << QStringList{"FileGetMailItem", "FileExitItem", "Nntplog1", "Fewerheaders1", "ToolsDeletemessageItem", "Popup1DeleteItem",
                            "Popup1SelectallItem", "DeleteBtn"};
    QTest::newRow("log pane with selected text")
        << 3 << QStringList{"FileGetMailItem", "FileExitItem", "Nntplog1", "EditCopyItem", "EditSelectallItem", "ToolsDeletemessageItem",
                            "Popup1DeleteItem", "Popup1SelectallItem", "Popup2CopyItem", "Popup2SelectallItem",
                            "CopyBtn"};
  }

  void menuAvailabilityFollowsTheState() {
    QFETCH(int, state);
    QFETCH(QStringList, enabled);
    test::TempDir dir;
    const ResolvedPaths paths = PathsIn(dir);
    FillDatabase(paths);
    test::ScriptedMsgDialog boxes;
    TFHRMainWin window(paths);
    auto* list = Find<QTableWidget>(window, "ListView");
    if (state == 0) Find<QPlainTextEdit>(window, "Status")->clear();
    if (state == 1) SelectRows(list, {1});
    if (state == 2) SelectRows(list, {0, 1});
    if (state == 3) {
      SelectRows(list, {2});
      window.ShowNntpLog();
      Find<QPlainTextEdit>(window, "Log")->selectAll();
    }
    for (const char* menu : {"FileMenu", "EditMenu", "View1", "ToolsMenu", "Messages1", "HelpMenu", "PopupMenu1",
                             "PopupMenu2"}) {
      emit Find<QMenu>(window, menu)->aboutToShow();
    }
    const char* built[] = {"FileGetMailItem", "FileSavedatabase", "FileExitItem", "EditCopyItem", "EditSelectallItem",
                           "Nntplog1", "Fewerheaders1", "ToolsDecryptmessageItem", "ToolsDeletemessageItem",
                           "FileOpenItem", "Catchupnewsgroup1", "Popup1DecryptItem", "Popup1OpenItem",
                           "Popup1SelectallItem", "Popup1DeleteItem", "Popup2CopyMessageToClipboard",
                           "Popup2CopyItem", "Popup2SelectallItem", "Popup2DeletemessageItem"};
    for (const char* name : built) {
      QCOMPARE(QString(name) + (Action(window, name)->isEnabled() ? " on" : " off"),
               QString(name) + (enabled.contains(name) ? " on" : " off"));
    }
    for (const char* name : {"DeleteBtn", "CopyBtn"}) {
      QCOMPARE(QString(name) + (Find<QToolButton>(window, name)->isEnabled() ? " on" : " off"),
               QString(name) + (enabled.contains(name) ? " on" : " off"));
    }
    // Commands provided elsewhere stand in, disabled, whatever the state.
    for (const char* name : {"Options1", "ToolsSubjectsItem", "Popup1CopyMessageToClipboard"}) {
      QVERIFY2(!Action(window, name)->isEnabled(), name);
    }
    QVERIFY(Find<QPushButton>(window, "GetBtn")->isEnabled());
    QCOMPARE(Action(window, "ToolsDeletemessageItem")->shortcut(), QKeySequence("Ctrl+Del"));
    QCOMPARE(Action(window, "EditCopyItem")->shortcut(), QKeySequence("Ctrl+C"));
  }

  void accountAndProxyBoxes() {
    test::TempDir dir;
    const ResolvedPaths paths = PathsIn(dir);
    FillDatabase(paths);
    Settings settings(paths.IniFileName());
    {
      // A saved account and proxy that exist, with the account box hidden.
      QVERIFY(settings.SetText("account", "news1") && settings.SetText("nntpproxy", "TOR") &&
              settings.SetFlag("hideacctsel", true));
      test::ScriptedMsgDialog boxes;
      TFHRMainWin window(paths);
      QVERIFY(boxes.boxes().empty());
      QCOMPARE(window.windowTitle(), QString("Fernhill DIZ Mail  0.9d11  alt.anonymous.messages  news1"));
      QVERIFY(!Find<NameBox>(window, "ServerBox")->isVisible());
      QCOMPARE(Find<NameBox>(window, "ProxyBox")->CurrentName(), std::string("tor"));
      QVERIFY(!Find<NameBox>(window, "ProxyBox")->font().bold());
      // The settings name an account that has gone: the box warns and
      // falls back to "none", which is saved.
      QVERIFY(settings.SetText("account", "gone"));
      window.FillAccountBox();
      QCOMPARE(boxes.texts(), std::vector<std::string>{
                                  "The NNTP host you've been using, gone, is missing! You  \ndon't currently have a "
                                  "host assigned."});
      QCOMPARE(boxes.boxes()[0].kind, MsgKind::Warning);
      QCOMPARE(settings.Text("account"), std::string("none"));
      QVERIFY(Find<NameBox>(window, "ServerBox")->font().bold());
    }
    {
      // At start-up a vanished account and proxy are reported once each.
      QVERIFY(settings.SetText("account", "old") && settings.SetText("nntpproxy", "old proxy"));
      test::ScriptedMsgDialog boxes;
      TFHRMainWin window(paths);
      QCOMPARE(boxes.texts(),
               (std::vector<std::string>{"Problem! Your previously active news account, 'old', is   \nmissing. "
                                         "Currently, you don't have an active account. You'll need to   \nselect "
                                         "one, before you can continue.",
                                         "The NNTP proxy you've been using, old proxy, is missing! You  \ndon't "
                                         "currently have a proxy assigned."}));
      QCOMPARE(settings.Text("nntpproxy"), std::string("none"));
    }
  }

  void deleteAsksAndRemovesTheStoredMessage() {
    test::TempDir dir;
    const ResolvedPaths paths = PathsIn(dir);
    FillDatabase(paths);
    test::ScriptedMsgDialog boxes;
    TFHRMainWin window(paths);
    auto* list = Find<QTableWidget>(window, "ListView");
    SelectRows(list, {0, 2});
    boxes.Answer(kMrCancel);
    Find<QToolButton>(window, "DeleteBtn")->click();
    QCOMPARE(list->rowCount(), 3);
    boxes.Answer(kMrOk);
    Find<QToolButton>(window, "DeleteBtn")->click();
    QCOMPARE(boxes.texts(), (std::vector<std::string>{"Delete the currently selected messages. Are you sure?",
                                                      "Delete the currently selected messages. Are you sure?"}));
    QCOMPARE(list->rowCount(), 1);
    QCOMPARE(window.mail().size(), std::size_t{1});
    QCOMPARE(window.mail()[0], kClearKey);
    StringList keys;
    window.database()->ListInbox(keys);
    QCOMPARE(keys.size(), std::size_t{1});
    QCOMPARE(Find<StatusPanels>(window, "StatusBar")->PanelText(2), QString(" 1 messages "));
    QVERIFY(!Find<QToolButton>(window, "DeleteBtn")->isEnabled());
  }

  void closingStoresTheStatusPaneAndThePlacement() {
    test::TempDir dir;
    const ResolvedPaths paths = PathsIn(dir);
    FillDatabase(paths);
    Settings settings(paths.IniFileName());
    {
      test::ScriptedMsgDialog boxes;
      TFHRMainWin window(paths);
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      QVERIFY(window.close());
      QCOMPARE(settings.Text("window"), std::string());  // nothing moved: nothing written
    }
    {
      test::ScriptedMsgDialog boxes;
      TFHRMainWin window(paths);
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      auto* status = Find<QPlainTextEdit>(window, "Status");
      status->moveCursor(QTextCursor::End);
      QTest::keyClicks(status, " (checked)");
      window.resize(700, 500);
      QVERIFY(window.close());
      QVERIFY(!settings.Text("window").empty());
    }
    test::ScriptedMsgDialog boxes;
    TFHRMainWin again(paths);
    QCOMPARE(Find<QPlainTextEdit>(again, "Status")->toPlainText(), QString("last run: 3 articles (checked)"));
  }

  void aDatabaseThatCannotBeOpenedStopsTheStart() {
    test::TempDir dir;
    const ResolvedPaths paths = PathsIn(dir);
    dir.write("fhr.db", "this is not a database");
    test::ScriptedMsgDialog boxes;
    {
      TFHRMainWin window(paths);
      QVERIFY(window.StartAborted());
      QCOMPARE(boxes.texts().back(), std::string("Failed to initialize mail database!    \nQuitting!"));
      QCOMPARE(boxes.boxes().back().kind, MsgKind::Error);
      window.resize(900, 700);
      QVERIFY(window.close());
    }
    QCOMPARE(dir.read("fhr.db"), std::string("this is not a database"));
    QCOMPARE(Settings(paths.IniFileName()).Text("window"), std::string());
  }

  void nntpLogPaneAndAbout() {
    test::TempDir dir;
    const ResolvedPaths paths = PathsIn(dir);
    FillDatabase(paths);
    test::ScriptedMsgDialog boxes;
    TFHRMainWin window(paths);
    Action(window, "Nntplog1")->trigger();
    QVERIFY(window.PaneShown(PaneName::kLog));
    QCOMPARE(Find<QPlainTextEdit>(window, "Log")->toPlainText(), QString("200 news.example ready\n211 group selected"));
    QVERIFY(Find<QPlainTextEdit>(window, "Log")->isReadOnly());
    Action(window, "HelpAboutItem")->trigger();
    QCOMPARE(boxes.texts().back().substr(0, 31), std::string("Fernhill DIZ Mail  0.9d11\nA rea"));
  }
};

}  // namespace
}  // namespace fhr

QTEST_MAIN(fhr::MainWindowTest)
#include "main_window_test.moc"
