// The desktop program started for real, twice: the second start reaches the
// first and ends; a crash leaves nothing that blocks the next start; the
// command line is refused while the desktop program holds the directory.
// Runs under the offscreen platform and under a real X server (Xvfb).
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kTimeoutMs = 20000;

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void cleanupTestCase();
  void secondStartShowsTheFirst_data();
  void secondStartShowsTheFirst();
  void crashLeavesNothingThatBlocks();
  void commandLineIsRefusedWhileTheProgramRuns();

 private:
  QProcessEnvironment Environment(const QString& platform) const;
  // Starts fhr and waits until it listens for a second start.
  bool StartFirst(QProcess& p, const QProcessEnvironment& env);
  bool WaitForOutput(QProcess& p, const QByteArray& text);
  bool StartXvfb();

  QTemporaryDir dataDir_;
  QTemporaryDir runtimeDir_;
  QProcess xvfb_;
  QString display_;
};

void SingleInstanceTest::initTestCase() {
  QVERIFY(dataDir_.isValid() && runtimeDir_.isValid());
  QFile::setPermissions(runtimeDir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void SingleInstanceTest::cleanupTestCase() {
  if (xvfb_.state() != QProcess::NotRunning) {
    xvfb_.terminate();
    xvfb_.waitForFinished(5000);
  }
}

QProcessEnvironment SingleInstanceTest::Environment(const QString& platform) const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("FHR_DATA_DIR", dataDir_.path());
  env.insert("XDG_RUNTIME_DIR", runtimeDir_.path());
  env.insert("QT_QPA_PLATFORM", platform);
  env.insert("QT_LOGGING_RULES", "fhr.instance.info=true");
  if (platform == "xcb") env.insert("DISPLAY", display_);
  return env;
}

bool SingleInstanceTest::WaitForOutput(QProcess& p, const QByteArray& text) {
  QElapsedTimer timer;
  timer.start();
  QByteArray seen;
  while (timer.elapsed() < kTimeoutMs) {
    seen += p.readAll();
    if (seen.contains(text)) return true;
    if (p.state() == QProcess::NotRunning) break;
    p.waitForReadyRead(200);
  }
  qWarning() << "waited for" << text << "and saw" << seen;
  return false;
}

bool SingleInstanceTest::StartFirst(QProcess& p, const QProcessEnvironment& env) {
  p.setProcessEnvironment(env);
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(FHR_BIN_DIR "/fhr", {});
  return p.waitForStarted(kTimeoutMs) && WaitForOutput(p, "listening on");
}

bool SingleInstanceTest::StartXvfb() {
  if (!display_.isEmpty()) return true;
  // Xvfb writes the display number it chose to the descriptor given.
  xvfb_.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
  if (!xvfb_.waitForStarted(kTimeoutMs)) return false;
  QElapsedTimer timer;
  timer.start();
  QByteArray out;
  while (!out.contains('\n') && timer.elapsed() < kTimeoutMs) {
    xvfb_.waitForReadyRead(200);
    out += xvfb_.readAllStandardOutput();
  }
  if (!out.contains('\n')) return false;
  display_ = ":" + QString::fromLatin1(out.trimmed());
  return true;
}

void SingleInstanceTest::secondStartShowsTheFirst_data() {
  QTest::addColumn<QString>("platform");
  QTest::newRow("offscreen") << "offscreen";
  QTest::newRow("xvfb") << "xcb";
}

void SingleInstanceTest::secondStartShowsTheFirst() {
  QFETCH(QString, platform);
  if (platform == "xcb") QVERIFY2(StartXvfb(), "Xvfb could not be started");
  QProcessEnvironment env = Environment(platform);

  QProcess first;
  QVERIFY(StartFirst(first, env));

  QProcess second;
  second.setProcessEnvironment(env);
  second.start(FHR_BIN_DIR "/fhr", {});
  QVERIFY(second.waitForFinished(kTimeoutMs));
  QCOMPARE(second.exitStatus(), QProcess::NormalExit);
  QCOMPARE(second.exitCode(), 0);
  QVERIFY(WaitForOutput(first, "shown on request of a second start; visible: true"));

  // Ending the session closes the program the ordinary way.
  first.terminate();
  QVERIFY(first.waitForFinished(kTimeoutMs));
  QCOMPARE(first.exitStatus(), QProcess::NormalExit);
  QCOMPARE(first.exitCode(), 0);
}

void SingleInstanceTest::crashLeavesNothingThatBlocks() {
  QProcessEnvironment env = Environment("offscreen");
  QProcess crashed;
  QVERIFY(StartFirst(crashed, env));
  crashed.kill();
  QVERIFY(crashed.waitForFinished(kTimeoutMs));

  // The lock died with the process; the socket file it left is replaced.
  QProcess next;
  QVERIFY(StartFirst(next, env));
  next.terminate();
  QVERIFY(next.waitForFinished(kTimeoutMs));
  QCOMPARE(next.exitCode(), 0);
}

void SingleInstanceTest::commandLineIsRefusedWhileTheProgramRuns() {
  QProcessEnvironment env = Environment("offscreen");
  QProcess first;
  QVERIFY(StartFirst(first, env));

  QProcess cli;
  cli.setProcessEnvironment(env);
  cli.start(FHR_BIN_DIR "/fhr-cli", {"settings", "set", "loglines", "5"});
  QVERIFY(cli.waitForFinished(kTimeoutMs));
  QCOMPARE(cli.exitCode(), 1);
  QByteArray err = cli.readAllStandardError();
  QVERIFY2(err.startsWith("fhr-cli: the data directory ") && err.contains(" is in use by fhr, pid "), err);
  QVERIFY(!QFile::exists(dataDir_.filePath("fhr.ini")));

  first.terminate();
  QVERIFY(first.waitForFinished(kTimeoutMs));
}

}  // namespace

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
