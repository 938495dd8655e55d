// The desktop's secure-mode passphrase dialog: the main window opens a
// secure-mode database through it, and a cancelled dialog stops the start.
#include <QLineEdit>
#include <QtTest>

#include "core/msgdialog.h"
#include "core/paths.h"
#include "storage/fhrdb.h"
#include "storage/widgets/secmode_dlg.h"
#include "support/cli_runner.h"
#include "support/scripted_msgdialog.h"
#include "support/temp_dir.h"
#include "support/widget_helpers.h"
#include "ui/widgets/main_window.h"

namespace fhr {
namespace {

ResolvedPaths SecureDataDir(const test::TempDir& dir) {
  ResolvedPaths paths;
  paths.appDir = std::string(FHR_BIN_DIR) + "/";
  paths.dataDir = dir.path() + "/";
  paths.gnupgHome = dir.path();
  const test::CliResult made = test::RunCli({"--data-dir", dir.path(), "secure", "on"}, "correct horse\ncorrect horse\n");
  if (made.status != 0) qFatal("secure on failed: %s", made.err.c_str());
  return paths;
}

class SecModeDlgTest : public QObject {
  Q_OBJECT
 private slots:
  void theWindowOpensASecureDatabaseThroughTheDialog() {
    test::TempDir dir;
    const ResolvedPaths paths = SecureDataDir(dir);
    QtSecModePrompt prompt;
    ScopedPassphrasePrompt install(&prompt);
    test::ScriptedMsgDialog boxes;
    int shown = 0;
    const auto type = [&shown](const QString& phrase) {
      test::WhenModalShows("TDBSecModeDlg", [&shown, phrase](QDialog* dialog) {
        ++shown;
        if (shown == 1) test::SaveScreenshot(dialog, "secmode_dialog_open");
        dialog->findChild<QLineEdit*>("PassEdit")->setText(phrase);
        QMetaObject::invokeMethod(dialog->findChild<QObject*>("OkBtn"), "click");
      });
    };
    type("correct horse");
    TFHRMainWin window(paths);
    QCOMPARE(shown, 1);
    QVERIFY(!window.StartAborted());
    QVERIFY(window.database()->IsSecure());
    QVERIFY(boxes.texts().empty());
  }

  void aCancelledDialogStopsTheStart() {
    test::TempDir dir;
    const ResolvedPaths paths = SecureDataDir(dir);
    QtSecModePrompt prompt;
    ScopedPassphrasePrompt install(&prompt);
    test::ScriptedMsgDialog boxes;
    test::WhenModalShows("TDBSecModeDlg", [](QDialog* dialog) { dialog->reject(); });
    TFHRMainWin window(paths);
    QVERIFY(window.StartAborted());
    QCOMPARE(boxes.texts().back(), std::string("Failed to initialize mail database!    \nQuitting!"));
  }
};

}  // namespace
}  // namespace fhr

QTEST_MAIN(fhr::SecModeDlgTest)
#include "secmode_dlg_test.moc"
