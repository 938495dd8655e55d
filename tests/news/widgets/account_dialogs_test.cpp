// The news account dialogs: the account dialog's checks and texts in the
// order the user meets them, the manager's list, active account and saving,
// the error dialog and the quit question.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

#include "core/msgdialog.h"
#include "core/settings.h"
#include "core/widgets/name_box.h"
#include "news/news_account.h"
#include "news/widgets/nntp_err_dlg.h"
#include "news/widgets/nntp_host_dlg.h"
#include "news/widgets/nntp_man_dlg.h"
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
  emit edit->editingFinished();
}

class Fixture {
 public:
  Fixture() : settings(dir.file("fhr.ini")), db(OpenMailDatabase(dir.file("fhr.db"))) {}
  test::TempDir dir;
  Settings settings;
  std::unique_ptr<TFHRDB> db;
  test::ScriptedMsgDialog boxes;
};

const char* kColonText =
    "Sorry, colons ':' not allowed in the Server field. If you   \nare attempting to enter an IPv6 ip address, I'm "
    "sorry,   \nFHR doesn't currently support IPv6. It's coming, but   \nI can't give you a date. Hopefully "
    "sometime   \nduring 2012.";
const char* kNoServerText =
    "Problem! You have to provide an NNTP server to retrieve  your   \nNNTP mail. If you're not sure what it is, "
    "check your regular   \nnewsreader program.";
const char* kAuthText =
    "Problem! You have NNTP Authentication enabled. That also \nrequires you provide User ID and Password.";

class AccountDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void newAccountTakesTheServerAsItsName() {
    Fixture f;
    StringList record = NewAccountRecord();
    TNNTPHostDlg dialog(record, {"other"}, false, *f.db, f.settings, nullptr);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QString("NNTP Host Profile"));
    QCOMPARE(Find<QLineEdit>(&dialog, "NNTPPort")->text(), QString("119"));
    QVERIFY(Find<QLineEdit>(&dialog, "NNTPLastArticle")->isReadOnly());
    QVERIFY(!Find<QLineEdit>(&dialog, "NNTPUserID")->isEnabled());
    QVERIFY(test::SaveScreenshot(&dialog, "nntp_host_dlg"));
    Type(&dialog, "NNTPServer", "news.example");
    QCOMPARE(Find<QLineEdit>(&dialog, "NNTPKey")->text(), QString("news.example"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(f.boxes.boxes().empty());
    QCOMPARE(AccountRecordCommaText(record), std::string("key=news.example,host=news.example,port=119,auth=0,tls=none"));
  }

  void port563AndTheTlsQuestion() {
    Fixture f;
    StringList record = NewAccountRecord();
    TNNTPHostDlg dialog(record, {}, false, *f.db, f.settings, nullptr);
    dialog.show();
    auto* tls = Find<QComboBox>(&dialog, "NNTPTls");
    Type(&dialog, "NNTPServer", "news.example");
    tls->setCurrentText("SSL");
    Type(&dialog, "NNTPPort", "120");
    QCOMPARE(tls->currentText(), QString("none"));  // typing a port resets the mode
    Type(&dialog, "NNTPPort", "563");
    QCOMPARE(tls->currentText(), QString("TLS"));
    tls->setCurrentText("SSL");
    f.boxes.Answer(kMrNo);
    dialog.accept();
    QCOMPARE(f.boxes.texts(),
             (Texts{"You have set the NNTP port to 563 but TLS/SSL is not set to TLS.  \nThis probably won't work. "
                    "Shall I change it to TLS?",
                    "Ok, but if the connection doesn't work, this is the first   \nthing you need to look at."}));
    QCOMPARE(record.Value("tls"), std::string("SSL"));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
  }

  void checksInTheirOrderKeepTheDialogOpen() {
    Fixture f;
    StringList record = NewAccountRecord();
    TNNTPHostDlg dialog(record, {"Taken"}, false, *f.db, f.settings, nullptr);
    dialog.show();
    Type(&dialog, "NNTPKey", "taken");
    Type(&dialog, "NNTPServer", "a:b");
    Find<QCheckBox>(&dialog, "NNTPAuth")->setChecked(true);
    Type(&dialog, "NNTPUserID", "me");
    dialog.accept();  // colon
    Type(&dialog, "NNTPServer", "");
    dialog.accept();  // no server
    Type(&dialog, "NNTPServer", "news.example");
    dialog.accept();  // authentication without a password
    Type(&dialog, "NNTPPassword", "pw");
    dialog.accept();  // name in use, letter case ignored
    QVERIFY(dialog.isVisible());
    QCOMPARE(f.boxes.texts(), (Texts{kColonText, kNoServerText, kAuthText,
                                     "Sorry, the name 'taken' value already exists!   \nIt must be unique!"}));
    for (const MsgBox& box : f.boxes.boxes()) QCOMPARE(box.kind, MsgKind::Information);
    Type(&dialog, "NNTPKey", "mine");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(record.Value("password"), std::string("pw"));
    QCOMPARE(Find<QLineEdit>(&dialog, "NNTPPassword")->text(), QString("  "));  // wiped from the form
  }

  void okWithoutChangesAndCancelWithChanges() {
    Fixture f;
    StringList record;
    record.SetCommaText("key=a,host=h,port=119,tls=none,lastarticle=7");
    const StringList original = record;
    {
      TNNTPHostDlg dialog(record, {}, true, *f.db, f.settings, nullptr);
      dialog.show();
      dialog.accept();
      QCOMPARE(dialog.result(), int(QDialog::Rejected));
      QVERIFY(f.boxes.boxes().empty());
    }
    TNNTPHostDlg dialog(record, {}, true, *f.db, f.settings, nullptr);
    dialog.show();
    QVERIFY(!Find<QLineEdit>(&dialog, "NNTPLastArticle")->isReadOnly());
    Type(&dialog, "NNTPLastArticle", "100");
    f.boxes.Answer(kMrCancel);
    dialog.reject();
    QVERIFY(dialog.isVisible());
    f.boxes.Answer(kMrYes);
    dialog.reject();
    QCOMPARE(f.boxes.texts(), (Texts{"Your host info is modified. Save your changes?",
                                     "Your host info is modified. Save your changes?"}));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(record.Value("lastarticle"), std::string("100"));
    QVERIFY(!(record == original));
  }

  void managerAddsRenamesDeletesAndSaves() {
    Fixture f;
    f.db->WriteHosts({"news1=key=news1,host=one.example,port=119", "news2=key=news2,host=two.example,userid=u"});
    QVERIFY(f.settings.SetText("account", "news1"));
    TNNTPManDlg manager(*f.db, f.settings, {}, nullptr);
    QSignalSpy renamed(&manager, &TNNTPManDlg::accountRenamed);
    manager.show();
    QVERIFY(QTest::qWaitForWindowExposed(&manager));
    QCOMPARE(manager.windowTitle(), QString(" USENET News Account Manager"));
    auto* list = Find<QTreeWidget>(&manager, "ListView");
    auto* hostBox = Find<NameBox>(&manager, "HostBox");
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(1)->text(2), QString("u"));
    QCOMPARE(hostBox->CurrentName(), std::string("news1"));
    QVERIFY(!Find<QPushButton>(&manager, "EditBtn")->isEnabled());
    QVERIFY(test::SaveScreenshot(&manager, "nntp_man_dlg"));

    // New: the account dialog, then the row and the box entry.
    test::WhenModalShows("NNTPHostDlg", [](QDialog* dialog) {
      Type(dialog, "NNTPServer", "three.example");
      dialog->accept();
    });
    Find<QPushButton>(&manager, "NewBtn")->click();
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(hostBox->count(), 4);

    // Renaming makes the account active and tells the main window.
    list->setCurrentItem(list->topLevelItem(1));
    test::WhenModalShows("NNTPHostDlg", [](QDialog* dialog) {
      Type(dialog, "NNTPKey", "renamed");
      dialog->accept();
    });
    Find<QPushButton>(&manager, "EditBtn")->click();
    QCOMPARE(renamed.count(), 1);
    QCOMPARE(renamed.at(0).at(1).value<std::string>(), std::string("renamed"));
    QCOMPARE(f.settings.Text("account"), std::string("renamed"));

    list->setCurrentItem(list->topLevelItem(0));
    f.boxes.Answer(kMrOk);
    Find<QPushButton>(&manager, "DeleteBtn")->click();
    QCOMPARE(f.boxes.texts().back(), std::string("Delete the smtp host: news1?"));
    QCOMPARE(list->topLevelItemCount(), 2);
    QVERIFY(!Find<QPushButton>(&manager, "DeleteBtn")->isEnabled());

    Find<QPushButton>(&manager, "OkBtn")->click();
    QCOMPARE(manager.result(), int(QDialog::Accepted));
    StringList hosts;
    f.db->ReadHosts(hosts);
    QCOMPARE(hosts.lines(),
             (std::vector<std::string>{"renamed=key=renamed,host=two.example,userid=u,port=119,auth=0,tls=none",
                                       "three.example=key=three.example,host=three.example,port=119,auth=0,tls=none"}));
  }

  void managerMissingActiveAccountAndUnsavedRename() {
    Fixture f;
    f.db->WriteHosts({"news1=key=news1,host=one.example"});
    QVERIFY(f.settings.SetText("account", "gone"));
    {
      // Done without changes writes nothing.
      f.db->SetChanged(false);
      TNNTPManDlg manager(*f.db, f.settings, {}, nullptr);
      QCOMPARE(f.boxes.texts(), (Texts{"The NNTP host you've been using, gone, is missing! You  \ndon't currently "
                                       "have a host assigned."}));
      QCOMPARE(f.settings.Text("account"), std::string("none"));
      manager.accept();
      QVERIFY(!f.db->Changed());
    }
    QVERIFY(f.settings.SetText("account", "news1"));
    TNNTPManDlg manager(*f.db, f.settings, {}, nullptr);
    manager.show();
    auto* list = Find<QTreeWidget>(&manager, "ListView");
    list->setCurrentItem(list->topLevelItem(0));
    test::WhenModalShows("NNTPHostDlg", [](QDialog* dialog) {
      Type(dialog, "NNTPKey", "news9");
      dialog->accept();
    });
    Find<QPushButton>(&manager, "EditBtn")->click();
    QCOMPARE(f.settings.Text("account"), std::string("news9"));
    // Leaving without saving: the active account is again one that exists.
    f.boxes.Answer(kMrNo);
    manager.reject();
    QCOMPARE(f.boxes.texts().back(), std::string("Your SMTP hosts info is modified. Save your changes?"));
    QCOMPARE(f.settings.Text("account"), std::string("news1"));
    StringList hosts;
    f.db->ReadHosts(hosts);
    QCOMPARE(hosts.Name(0), std::string("news1"));
  }

  void errorDialogAndQuitQuestion() {
    Fixture f;
    TNntpErrDlg error({"200 ready", "480 authentication required"}, f.settings, nullptr);
    error.show();
    QVERIFY(QTest::qWaitForWindowExposed(&error));
    QCOMPARE(error.windowTitle(), QString("NNTP ERROR"));
    auto* text = Find<QPlainTextEdit>(&error, "ErrorMsg");
    QVERIFY(text->isReadOnly());
    QCOMPARE(text->toPlainText(), QString("200 ready\n480 authentication required"));
    QVERIFY(text->textCursor().atEnd());
    QVERIFY(test::SaveScreenshot(&error, "nntp_err_dlg"));

    test::WhenModalShows("CancelNntpDlg", [](QDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QString(" Quitting Fernhill Alt.anonymous.messages"));
      QCOMPARE(Find<QPushButton>(dialog, "OkBtn")->text(), QString("Quit program now"));
      QVERIFY(Find<QPushButton>(dialog, "OkBtn")->isDefault());
      QVERIFY(test::SaveScreenshot(dialog, "cancel_nntp_dlg"));
      Find<QPushButton>(dialog, "CancelBtn")->click();
    });
    QVERIFY(!AskQuitWhileRetrieving(f.settings, nullptr));
    test::WhenModalShows("CancelNntpDlg", [](QDialog* dialog) { Find<QPushButton>(dialog, "OkBtn")->click(); });
    QVERIFY(AskQuitWhileRetrieving(f.settings, nullptr));
  }
};

}  // namespace
}  // namespace fhr

QTEST_MAIN(fhr::AccountDialogsTest)
#include "account_dialogs_test.moc"
