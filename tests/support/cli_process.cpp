#include "support/cli_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fhr::test {

pid_t StartCliProcess(const std::vector<std::string>& args, const std::string& inputFile,
                      const std::string& fd3File) {
  const std::string program = std::string(FHR_BIN_DIR) + "/fhr-cli";
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setpgid(0, 0);
    const int in = ::open(inputFile.c_str(), O_RDONLY);
    const int devnull = ::open("/dev/null", O_WRONLY);
    if (in < 0 || devnull < 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(devnull, 1);
    ::dup2(devnull, 2);
    if (!fd3File.empty()) {
      const int extra = ::open(fd3File.c_str(), O_RDONLY);
      if (extra < 0 || ::dup2(extra, 3) < 0) ::_exit(127);
    }
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  // Also here, so the group exists before the parent may kill it.
  if (pid > 0) ::setpgid(pid, pid);
  return pid;
}

void KillCliProcess(pid_t pid) { ::kill(-pid, SIGKILL); }

int WaitCliProcess(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

}  // namespace fhr::test
