#include "core/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <mutex>
#include <utility>

namespace fhr {

namespace {

// Everything below runs in the forked children of a possibly multi-threaded
// process, so it sticks to async-signal-safe calls and allocates nothing.
[[noreturn]] void ExecGrandchild(char* const* argv, int dev_null, int report_fd) {
  // A caller with closed standard descriptors may have got them back from
  // open() or pipe2(); keep the report pipe out of 0-2 and give the program
  // a standard input that survives exec.
  if (report_fd <= STDERR_FILENO) report_fd = fcntl(report_fd, F_DUPFD_CLOEXEC, 3);
  if (report_fd < 0) _exit(127);
  if (dev_null == STDIN_FILENO) {
    fcntl(STDIN_FILENO, F_SETFD, 0);
  } else {
    dup2(dev_null, STDIN_FILENO);
  }
  // Keep 0-2 and the report pipe (close-on-exec, so a successful exec
  // closes it); close every other descriptor the caller may have open.
  const unsigned report = static_cast<unsigned>(report_fd);
  if (report > 3) close_range(3, report - 1, 0);
  close_range(report + 1, UINT_MAX, 0);

  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  struct sigaction dfl = {};
  dfl.sa_handler = SIG_DFL;
  for (int sig = 1; sig < NSIG; ++sig) sigaction(sig, &dfl, nullptr);  // SIGKILL/SIGSTOP just fail
  setsid();

  execvp(argv[0], argv);
  const int err = errno;
  [[maybe_unused]] const auto written = write(report_fd, &err, sizeof err);
  _exit(127);
}

DesktopOpener& InstalledOpener() {
  static DesktopOpener opener;
  return opener;
}

std::mutex& OpenerMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

bool RunProgram(const std::vector<std::string>& argv) {
  if (argv.empty() || argv[0].empty()) return false;
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  const int dev_null = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (dev_null < 0) return false;
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    close(dev_null);
    return false;
  }

  // A double fork: the middle child exits at once and is reaped here, so the
  // program becomes a child of init (or a subreaper) and never a zombie of ours.
  const pid_t middle = fork();
  if (middle == 0) {
    close(report[0]);
    const pid_t program = fork();
    if (program == 0) ExecGrandchild(args.data(), dev_null, report[1]);
    if (program < 0) {
      const int err = errno;
      [[maybe_unused]] const auto written = write(report[1], &err, sizeof err);
    }
    _exit(0);
  }
  close(report[1]);
  close(dev_null);
  if (middle < 0) {
    close(report[0]);
    return false;
  }
  while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
  }
  // The pipe closes without data when exec succeeded.
  int err = 0;
  ssize_t got;
  do {
    got = read(report[0], &err, sizeof err);
  } while (got < 0 && errno == EINTR);
  close(report[0]);
  return got == 0;
}

DesktopOpener SetDesktopOpener(DesktopOpener opener) {
  std::lock_guard lock(OpenerMutex());
  return std::exchange(InstalledOpener(), std::move(opener));
}

bool OpenFolder(const std::string& dir) {
  DesktopOpener opener;
  {
    std::lock_guard lock(OpenerMutex());
    opener = InstalledOpener();
  }
  if (opener) return opener(dir);
  // A name starting with "-" would read as an option to xdg-open.
  return RunProgram({"xdg-open", dir.starts_with('-') ? "./" + dir : dir});
}

}  // namespace fhr
