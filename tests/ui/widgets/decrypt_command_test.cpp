// The main window's Decrypt command on a stored nym message: the passphrase
// dialog, the decrypted text in the Message pane, the row marked read, the
// passphrase kept in the cache, and the text stored back with
// "savedecrypted".
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "core/paths.h"
#include "core/settings.h"
#include "gnupg/pgpcache.h"
#include "news/list_key.h"
#include "news/subject_line.h"
#include "storage/fhrdb.h"
#include "support/decrypt_fixtures.h"
#include "support/scripted_msgdialog.h"
#include "support/temp_dir.h"
#include "support/widget_helpers.h"
#include "ui/widgets/main_window.h"

namespace fhr {
namespace {

const std::string kSep(1, kKeySeparator);
const std::string kKey = std::string("170305142201000") + '\x80' + '\x80' + kSep + "s" + kSep + "1500" + kSep +
                         "nobody@nym.example" + kSep + "5" + kSep + "alice line" + kSep + "2000" + kSep + "alice";

// Types `phrase` into the next passphrase dialog and presses OK.
void AnswerPassphrase(const QString& phrase, bool* asked) {
  auto* poll = new QTimer;
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, phrase, asked] {
    QWidget* modal = QApplication::activeModalWidget();
    auto* field = modal ? modal->findChild<QLineEdit*>("Phrase") : nullptr;
    if (field == nullptr || !modal->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    *asked = true;
    field->setText(phrase);
    qobject_cast<QDialog*>(modal)->accept();
  });
  poll->start();
}

class DecryptCommandTest : public QObject {
  Q_OBJECT
 private slots:
  void decryptReplacesTheShownTextAndStoresItBack() {
    const test::DecryptFixtures& fx = test::SharedDecryptFixtures();
    QVERIFY2(fx.ok, fx.log.c_str());
    test::TempDir dir;
    ResolvedPaths paths;
    paths.appDir = std::string(FHR_BIN_DIR) + "/";
    paths.dataDir = dir.path() + "/";
    paths.gnupgHome = fx.home;
    Settings settings(paths.IniFileName());
    settings.SetFlag("savedecrypted", true);
    settings.SetInt("cachemins", 5);
    {
      auto db = OpenMailDatabase(paths.DbFileName());
      QVERIFY(db);
      StringList lines = fx.Lines("onelayer.txt");
      lines.Insert(0, "Subject-No: 2000");
      db->WriteMessage(kKey, lines);
      SubjectLine line;
      line.subno = "2000";
      line.active = true;
      line.subject = "alice line";
      line.keyid = fx.alice;
      line.ekey = true;
      line.kphrase = "kp one";
      db->WriteSubjects({SubjectLineText(line)});
      QVERIFY(db->SaveDatabase());
    }
    test::ScriptedMsgDialog boxes;
    TFHRMainWin window(paths);
    QVERIFY(!window.StartAborted());
    window.resize(1024, 700);
    window.show();
    auto* list = window.findChild<QTableWidget*>("ListView");
    auto* decrypt = window.findChild<QToolButton*>("DecryptBtn");
    auto* message = window.findChild<QPlainTextEdit*>("Message");
    list->selectRow(0);
    QTRY_VERIFY(decrypt->isEnabled());
    QVERIFY(message->toPlainText().contains("-----BEGIN PGP MESSAGE-----"));

    bool asked = false;
    AnswerPassphrase("alice pass", &asked);
    decrypt->click();
    QVERIFY(asked);
    QVERIFY2(message->toPlainText().contains("Secret body for alice."), qPrintable(message->toPlainText()));
    QVERIFY(!decrypt->isEnabled());
    QVERIFY(boxes.texts().empty());
    QCOMPARE(window.passphraseCache()->Count(), 1u);
    test::SaveScreenshot(&window, "main_window_decrypted");

    // Stored back under a key of the same stamp, read, with the decrypted text.
    QCOMPARE(window.mail().size(), 1u);
    const std::string stored = window.mail()[0];
    QCOMPARE(StampOf(stored), std::string("170305142201000"));
    QVERIFY(IsRead(stored));
    StringList text;
    QVERIFY(window.database()->ReadMessage(stored, text));
    QVERIFY(text.Text().find("Secret body for alice.") != std::string::npos);
    StringList keys;
    window.database()->ListInbox(keys);
    QCOMPARE(keys.size(), 1u);
  }
};

}  // namespace
}  // namespace fhr

QTEST_MAIN(fhr::DecryptCommandTest)
#include "decrypt_command_test.moc"
