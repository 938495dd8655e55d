// The keyring dialog: what it reads from gpg.conf, when Ok can be used, what
// closing writes, and the companion program's hold on gpg.conf.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "core/msgdialog.h"
#include "core/settings.h"
#include "gnupg/gpg_conf.h"
#include "gnupg/widgets/keyring_dlg.h"
#include "support/scripted_msgdialog.h"
#include "support/temp_dir.h"
#include "support/widget_helpers.h"

namespace fhr {
namespace {

template <typename T>
T* Find(const QWidget* parent, const char* name) {
  T* found = parent->findChild<T*>(name);
  if (found == nullptr) qFatal("no control named %s", name);
  return found;
}

void Type(const QWidget* dialog, const char* field, const std::string& text) {
  auto* edit = Find<QLineEdit>(dialog, field);
  edit->clear();
  QTest::keyClicks(edit, QString::fromStdString(text));
}

struct Fixture {
  Fixture() : settings(home.file("fhr.ini")) {
    paths.appDir = app.path() + "/";
    paths.dataDir = home.path() + "/";
    paths.gnupgHome = home.path();
    home.write("sec.skr", "s");
    home.write("pub.pkr", "p");
  }
  test::TempDir app;
  test::TempDir home;
  ResolvedPaths paths;
  Settings settings;
  test::ScriptedMsgDialog boxes;
};

class KeyringDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void okNeedsTwoExistingFilesAndWritesANewGpgConf() {
    Fixture f;
    TKeyringDlg dialog(f.paths, f.settings, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QString(" PGP Keyring Manager"));
    QVERIFY(test::SaveScreenshot(&dialog, "keyring_dlg"));
    auto* ok = Find<QPushButton>(&dialog, "OkBtn");
    QVERIFY(!ok->isEnabled());
    Type(&dialog, "Secring", f.home.file("sec.skr"));
    Type(&dialog, "Pubring", f.home.file("missing.pkr"));
    QVERIFY(!ok->isEnabled());
    Type(&dialog, "Pubring", f.home.file("pub.pkr"));
    QVERIFY(ok->isEnabled());
    ok->click();
    QVERIFY(dialog.Written());
    StringList lines;
    lines.SetText(f.home.read("gpg.conf"));
    StringList expected = NewGpgConfLines();
    expected.Add(IdeaExtensionLine(f.paths.appDir));
    expected.Add("secret-keyring " + f.home.file("sec.skr"));
    expected.Add("keyring " + f.home.file("pub.pkr"));
    QCOMPARE(lines.lines(), expected.lines());
    QVERIFY(KeyringsConfigured(f.home.path()));
  }

  void showsTheLastKeyringLinesAndCancelAsks() {
    Fixture f;
    f.home.write("gpg.conf", "keyring first.pkr\nsecret-keyring " + f.home.file("sec.skr") + "\nkeyring " +
                                 f.home.file("pub.pkr") + "\n");
    const std::string before = f.home.read("gpg.conf");
    TKeyringDlg dialog(f.paths, f.settings, nullptr);
    dialog.show();
    QCOMPARE(Find<QLineEdit>(&dialog, "Pubring")->text().toStdString(), f.home.file("pub.pkr"));
    QVERIFY(Find<QPushButton>(&dialog, "OkBtn")->isEnabled());
    // Unchanged: Cancel closes without a question.
    {
      TKeyringDlg untouched(f.paths, f.settings, nullptr);
      untouched.show();
      untouched.reject();
      QVERIFY(f.boxes.boxes().empty());
    }
    Type(&dialog, "Secring", f.home.file("pub.pkr"));
    f.boxes.Answer(kMrCancel);
    dialog.reject();
    QVERIFY(dialog.isVisible());
    f.boxes.Answer(kMrNo);
    dialog.reject();
    QCOMPARE(f.boxes.texts(), (std::vector<std::string>{"Your keyrings have changed. Save you changes?",
                                                        "Your keyrings have changed. Save you changes?"}));
    QVERIFY(!dialog.Written());
    QCOMPARE(f.home.read("gpg.conf"), before);
  }

  void theCompanionProgramOwnsGpgConf() {
    Fixture f;
    f.app.write("fhl", "");
    TKeyringDlg dialog(f.paths, f.settings, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!Find<QLineEdit>(&dialog, "Secring")->isEnabled());
    QVERIFY(!Find<QPushButton>(&dialog, "Button1")->isEnabled());
    QVERIFY(!Find<QPushButton>(&dialog, "CancelBtn")->isEnabled());
    QVERIFY(Find<QPushButton>(&dialog, "OkBtn")->isEnabled());
    auto* notice = Find<QLabel>(&dialog, "Label4");
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->text(), QString("NOTICE: Make your keyring changes from your FHL program."));
    QVERIFY(test::SaveScreenshot(&dialog, "keyring_dlg_companion"));
  }
};

}  // namespace
}  // namespace fhr

QTEST_MAIN(fhr::KeyringDlgTest)
#include "keyring_dlg_test.moc"
