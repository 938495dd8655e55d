// The desktop program's entry: one instance per data directory, then the
// main window and the event loop.
#include <QApplication>
#include <QDesktopServices>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QThread>
#include <QUrl>

#include "core/datadir_lock.h"
#include "core/instance_socket.h"
#include "core/msgdialog.h"
#include "core/pacing.h"
#include "core/paths.h"
#include "core/process.h"
#include "core/widgets/display_text.h"
#include "core/widgets/qt_msgdialog.h"
#include "core/widgets/qt_pacer.h"
#include "core/widgets/single_instance.h"
#include "core/widgets/unix_signals.h"
#include "storage/widgets/secmode_dlg.h"
#include "ui/widgets/main_window.h"

Q_LOGGING_CATEGORY(lcInstance, "fhr.instance", QtWarningMsg)

namespace {

void ShowProblem(const fhr::PathProblem& problem) {
  QMessageBox::critical(nullptr, fhr::DisplayText(problem.caption), fhr::DisplayText(problem.text));
}

std::optional<std::string> Env(const std::string& name) {
  const char* v = getenv(name.c_str());
  return v ? std::optional<std::string>(v) : std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The engine's questions, pauses and folder requests go through the desktop.
  fhr::QtMsgDialogHost msgDialogs;
  fhr::ScopedMsgDialogHost msgDialogHost(&msgDialogs);
  fhr::QtPacer pacer;
  fhr::ScopedPacer pacerInstall(&pacer);
  // A database in secure mode asks for its passphrase while the window starts.
  fhr::QtSecModePrompt secModePrompt;
  fhr::ScopedPassphrasePrompt secModePromptInstall(&secModePrompt);
  fhr::SetDesktopOpener([](const std::string& dir) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(dir)));
  });
  QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { fhr::SetProgramTerminating(true); });

  fhr::ResolvedPaths paths = fhr::ResolvePaths(fhr::ProcessPathInputs(std::nullopt));
  if (paths.warning) ShowProblem(*paths.warning);
  if (paths.error) {
    ShowProblem(*paths.error);
    return 1;
  }

  std::optional<std::string> socketPath = fhr::InstanceSocketPath(paths.dataDir, Env);
  QString socket = socketPath ? QString::fromStdString(*socketPath) : QString();

  // A second start finds the directory locked: ask the running window to
  // show itself. The first may still be starting and not listen yet, so
  // keep asking for a while before calling the directory busy.
  std::string holder;
  std::optional<fhr::DataDirLock> lock;
  for (int attempt = 0; attempt < 50; ++attempt) {
    lock = fhr::DataDirLock::Acquire(paths.LockFileName(), "fhr", &holder);
    if (lock) break;
    if (!socket.isEmpty() && fhr::AskRunningInstanceToShow(socket, 1000)) return 0;
    QThread::msleep(100);
  }
  if (!lock) {
    std::string text = fhr::DataDirInUseText(paths.dataDir, holder);
    text[0] = static_cast<char>(toupper(text[0]));
    ShowProblem({"ERROR", text + "."});
    return 1;
  }

  if (auto problem = fhr::ApplyEnvironment(paths)) ShowProblem(*problem);

  fhr::TFHRMainWin window(paths);
  if (window.StartAborted()) return 1;
  fhr::CloseOnTerminationSignals([&window] { window.close(); });
  fhr::InstanceServer server;
  QObject::connect(&server, &fhr::InstanceServer::showRequested, &window, &fhr::TFHRMainWin::RestoreFromRequest);
  QString listenError;
  if (socket.isEmpty()) {
    qCWarning(lcInstance) << "no private runtime directory: a second start cannot reach this window";
  } else if (!server.Listen(socket, &listenError)) {
    qCWarning(lcInstance) << "cannot listen on" << socket << ":" << listenError;
  } else {
    qCInfo(lcInstance) << "listening on" << socket;
  }

  window.show();
  return app.exec();
}
