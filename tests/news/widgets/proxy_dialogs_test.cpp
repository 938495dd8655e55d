// The proxy dialogs: proposed names, the checks in their order, the Tor
// questions, and the manager's active proxy and saving.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "core/msgdialog.h"
#include "core/settings.h"
#include "core/widgets/name_box.h"
#include "news/widgets/proxy_dlg.h"
#include "news/widgets/proxy_man_dlg.h"
#include "storage/fhrdb.h"
#include "support/scripted_msgdialog.h"
#include "support/temp_dir.h"
#include "support/widget_helpers.h"

namespace fhr {
namespace {

using Texts = std::vector<std::string>;

template <typename T>
T* Find(const QWidget* parent, const char* name) {
  T* found = parent->findChild<T*>(name);
  if (found == nullptr) qFatal("no control named %s", name);
  return found;
}

void Type(const QWidget* dialog, const char* field, const QString& text) {
  auto* edit = Find<QLineEdit>(dialog, field);
  edit->clear();
  QTest::keyClicks(edit, text);
}

class Fixture {
 public:
  Fixture() : settings(dir.file("fhr.ini")), db(OpenMailDatabase(dir.file("fhr.db"))) {}
  test::TempDir dir;
  Settings settings;
  std::unique_ptr<TFHRDB> db;
  test::ScriptedMsgDialog boxes;
};

class ProxyDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void proposedNames() {
    Fixture f;
    StringList record;
    TProxyDlg first("New Proxy", record, {}, f.settings, nullptr);
    QCOMPARE(Find<QLineEdit>(&first, "Name")->text(), QString("proxy1"));
    TProxyDlg third("New Proxy", record, {"proxy1", "Proxy2"}, f.settings, nullptr);
    QCOMPARE(Find<QLineEdit>(&third, "Name")->text(), QString("proxy3"));
    // The proposal counts as no change: Cancel closes without a question.
    third.show();
    third.reject();
    QVERIFY(f.boxes.boxes().empty());
  }

  void checksInTheirOrder() {
    Fixture f;
    StringList record;
    TProxyDlg dialog("New Proxy", record, {"home"}, f.settings, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QString("New Proxy"));
    QVERIFY(test::SaveScreenshot(&dialog, "proxy_dlg"));
    Type(&dialog, "Name", "HOME");
    dialog.accept();  // the name of another proxy, for a new proxy too
    Type(&dialog, "Name", "mine");
    dialog.accept();  // no host
    Type(&dialog, "Host", "proxy.example");
    dialog.accept();  // no port
    Type(&dialog, "NNTPPort", "1080");
    dialog.accept();  // socks "no"
    Find<QComboBox>(&dialog, "Socks")->setCurrentText("5");
    Find<QCheckBox>(&dialog, "Auth")->setChecked(true);
    Type(&dialog, "UserID", "u");
    dialog.accept();  // authentication without a password
    QVERIFY(dialog.isVisible());
    QCOMPARE(f.boxes.texts(),
             (Texts{"The name you've chosen for this proxy, HOME,  \nalready exists!", "Sorry, Host is a required field!",
                    "An NNTP port number is required!", "NNTP requires Socks Level of 4a!",
                    "Since you've enabled Authentication, both User ID and Password are required."}));
    Type(&dialog, "Password", "p");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(ProxyRecordText(record), std::string("proxy=mine,host=proxy.example,port=1080,socks=5,tor=0,auth=1,userid=u,password=p"));
  }

  void torQuestions() {
    Fixture f;
    {
      StringList record;
      TProxyDlg dialog("New Proxy", record, {}, f.settings, nullptr);
      dialog.show();
      Type(&dialog, "Host", "127.0.0.1");
      Type(&dialog, "NNTPPort", "9050");
      Find<QComboBox>(&dialog, "Socks")->setCurrentText("4");
      f.boxes.Answer(kMrYes);
      dialog.accept();
      QCOMPARE(f.boxes.texts(), (Texts{"Your host is '127.0.0.1' and your NNTP port is '9050'.  \nIs this a TOR proxy?"}));
      QCOMPARE(record.Value("socks"), std::string("4a"));
      QCOMPARE(record.Value("tor"), std::string("1"));
    }
    StringList record;
    TProxyDlg dialog("New Proxy", record, {}, f.settings, nullptr);
    dialog.show();
    Type(&dialog, "Host", "tor.example");
    Type(&dialog, "NNTPPort", "9150");
    Find<QCheckBox>(&dialog, "TOR")->setChecked(true);
    QCOMPARE(Find<QComboBox>(&dialog, "Socks")->currentText(), QString("4a"));
    Find<QComboBox>(&dialog, "Socks")->setCurrentText("5");
    f.boxes.Answer(kMrCancel);
    dialog.accept();
    QVERIFY(dialog.isVisible());
    f.boxes.Answer(kMrNo);
    dialog.accept();
    QCOMPARE(f.boxes.texts().back(),
             std::string("You've indicated this is a TOR proxy but you haven't chosen  \nSocks Level 4a. TOR requires "
                         "Socks 4a. Shall I correct that?"));
    QCOMPARE(record.Value("socks"), std::string("5"));
  }

  void managerKeepsTheActiveProxyTrue() {
    Fixture f;
    f.db->WriteProxies({"tor=proxy=tor,host=127.0.0.1,port=9050,socks=4a,tor=1",
                        "work=proxy=work,host=w.example,port=1080,socks=5"});
    QVERIFY(f.settings.SetText("nntpproxy", "tor"));
    TProxyManDlg manager(*f.db, f.settings, nullptr);
    manager.show();
    QVERIFY(QTest::qWaitForWindowExposed(&manager));
    QCOMPARE(manager.windowTitle(), QString("NNTP Proxy Manager"));
    auto* list = Find<QTreeWidget>(&manager, "ListView");
    QCOMPARE(list->topLevelItem(1)->text(3), QString("5"));
    QVERIFY(test::SaveScreenshot(&manager, "proxy_man_dlg"));

    // Renaming a proxy that is not active leaves the active one alone.
    list->setCurrentItem(list->topLevelItem(1));
    test::WhenModalShows("ProxyDlg", [](QDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QString("Editing Proxy"));
      Type(dialog, "Name", "office");
      dialog->accept();
    });
    Find<QPushButton>(&manager, "EditBtn")->click();
    QCOMPARE(f.settings.Text("nntpproxy"), std::string("tor"));
    QCOMPARE(Find<NameBox>(&manager, "NNTPBox")->CurrentName(), std::string("tor"));

    // Deleting the active proxy resets it at once, even when the manager is
    // then left without saving.
    list->setCurrentItem(list->topLevelItem(0));
    f.boxes.Answer(kMrOk);
    Find<QPushButton>(&manager, "DeleteBtn")->click();
    QCOMPARE(f.settings.Text("nntpproxy"), std::string("none"));
    f.boxes.Answer(kMrNo);
    manager.reject();
    QCOMPARE(f.boxes.texts(), (Texts{"Delete the proxy, tor?", "That was your default NNTP proxy. Now, there's none assigned.",
                                     "Your proxy info has been modified. Save your changes?"}));
    QVERIFY(manager.Changed());
    QCOMPARE(f.settings.Text("nntpproxy"), std::string("none"));
    StringList proxies;
    f.db->ReadProxies(proxies);
    QCOMPARE(proxies.size(), std::size_t{2});  // the list itself was not saved
  }

  void managerUnsavedRenameOfTheActiveProxyIsUndone() {
    Fixture f;
    f.db->WriteProxies({"tor=proxy=tor,host=127.0.0.1,port=9050,socks=4a,tor=1"});
    QVERIFY(f.settings.SetText("nntpproxy", "tor"));
    TProxyManDlg manager(*f.db, f.settings, nullptr);
    manager.show();
    auto* list = Find<QTreeWidget>(&manager, "ListView");
    list->setCurrentItem(list->topLevelItem(0));
    test::WhenModalShows("ProxyDlg", [](QDialog* dialog) {
      Type(dialog, "Name", "onion");
      dialog->accept();
    });
    Find<QPushButton>(&manager, "EditBtn")->click();
    QCOMPARE(f.settings.Text("nntpproxy"), std::string("onion"));
    f.boxes.Answer(kMrNo);
    manager.reject();
    QCOMPARE(f.settings.Text("nntpproxy"), std::string("tor"));
    // Saved, the new name stays.
    TProxyManDlg again(*f.db, f.settings, nullptr);
    again.show();
    auto* rows = Find<QTreeWidget>(&again, "ListView");
    rows->setCurrentItem(rows->topLevelItem(0));
    test::WhenModalShows("ProxyDlg", [](QDialog* dialog) {
      Type(dialog, "Name", "onion");
      dialog->accept();
    });
    Find<QPushButton>(&again, "EditBtn")->click();
    Find<QPushButton>(&again, "OkBtn")->click();
    QCOMPARE(f.settings.Text("nntpproxy"), std::string("onion"));
    StringList proxies;
    f.db->ReadProxies(proxies);
    QCOMPARE(proxies[0], std::string("onion=proxy=onion,host=127.0.0.1,port=9050,socks=4a,tor=1,auth=0"));
  }

 private:
  static std::string ProxyRecordText(const StringList& record) { return record.CommaText(); }
};

}  // namespace
}  // namespace fhr

QTEST_MAIN(fhr::ProxyDialogsTest)
#include "proxy_dialogs_test.moc"
