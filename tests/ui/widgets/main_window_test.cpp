// The main window as the user first sees it: its caption, and a screenshot
// kept in the build folder for a human look.
#include <QtTest>

#include "core/paths.h"
#include "core/settings.h"
#include "support/temp_dir.h"
#include "ui/widgets/main_window.h"

namespace {

fhr::ResolvedPaths PathsIn(const fhr::test::TempDir& dir) {
  fhr::ResolvedPaths paths;
  paths.appDir = std::string(FHR_BIN_DIR) + "/";
  paths.dataDir = dir.path() + "/";
  paths.gnupgHome = dir.path();
  return paths;
}

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void captionAndScreenshot() {
    fhr::test::TempDir dir;
    fhr::TFHRMainWin window(PathsIn(dir));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowTitle(), QString("Fernhill DIZ Mail  0.9d11  alt.anonymous.messages"));
    QCOMPARE(window.objectName(), QString("FHRMainWin"));
    QImage shot = window.grab().toImage();
    QVERIFY(!shot.isNull());
    QVERIFY(shot.save(FHR_BUILD_DIR "/main_window.png"));
  }

  void captionFollowsTheSettings() {
    fhr::test::TempDir dir;
    fhr::ResolvedPaths paths = PathsIn(dir);
    fhr::Settings settings(paths.IniFileName());
    QVERIFY(settings.SetText("newsgroup", "alt.test") && settings.SetText("account", "Home news") &&
            settings.SetFlag("hideacctsel", true));
    fhr::TFHRMainWin window(paths);
    QCOMPARE(window.windowTitle(), QString("Fernhill DIZ Mail  0.9d11  alt.test  Home news"));
  }
};

}  // namespace

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
