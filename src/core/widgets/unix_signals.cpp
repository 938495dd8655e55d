#include "core/widgets/unix_signals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

namespace fhr {
namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
  char byte = 1;
  // Only async-signal-safe work here: wake the event loop.
  [[maybe_unused]] ssize_t n = write(g_signalPipe[0], &byte, 1);
}

}  // namespace

void CloseOnTerminationSignals(std::function<void()> onSignal) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onSignal = std::move(onSignal)] {
    char byte;
    [[maybe_unused]] ssize_t n = read(g_signalPipe[1], &byte, 1);
    onSignal();
  });
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
}

}  // namespace fhr
