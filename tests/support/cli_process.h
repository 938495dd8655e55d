#pragma once
// Runs the built fhr-cli as a separate process, for tests that kill it at
// random instants.
#include <sys/types.h>

#include <string>
#include <vector>

namespace fhr::test {

// Starts build/bin/fhr-cli with `args` in a process group of its own (so
// that killing the group takes its gpg children too), standard input from
// `inputFile`, standard output and error to /dev/null, and, when
// `fd3File` is not empty, that file open as descriptor 3 (for
// --passphrase-fd 3).
pid_t StartCliProcess(const std::vector<std::string>& args, const std::string& inputFile,
                      const std::string& fd3File = "");

// Kills the process group started by StartCliProcess with SIGKILL.
void KillCliProcess(pid_t pid);

// Waits for the process and returns its wait status.
int WaitCliProcess(pid_t pid);

}  // namespace fhr::test
