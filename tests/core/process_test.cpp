#include "core/process.h"

#include <dirent.h>
#include <signal.h>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "support/temp_dir.h"

namespace fhr {
namespace {

// Waits (up to 30 seconds, for a machine under load) for a file to reach
// its final content.
std::string WaitForFile(const test::TempDir& dir, const std::string& name, const std::string& done_marker) {
  for (int i = 0; i < 3000; ++i) {
    const std::string text = dir.read(name);
    if (text.ends_with(done_marker)) return text;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return dir.read(name);
}

// The states of this process's children, from /proc ("Z" for a zombie).
std::string ChildStates() {
  std::string states;
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return states;
  const std::string me = std::to_string(getpid());
  while (const dirent* entry = readdir(proc)) {
    std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // pid (comm) state ppid ...; comm may hold blanks, so read after ")".
    std::istringstream rest(line.substr(line.rfind(')') + 1));
    std::string state, ppid;
    rest >> state >> ppid;
    if (ppid == me) states += state;
  }
  closedir(proc);
  return states;
}

std::string ReadWhole(const std::string& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The descriptor numbers a process holds, in ascending order.
std::set<int> DescriptorsOf(const std::string& pid) {
  std::set<int> fds;
  DIR* dir = opendir(("/proc/" + pid + "/fd").c_str());
  if (dir == nullptr) return fds;
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_name[0] != '.') fds.insert(std::atoi(entry->d_name));
  }
  closedir(dir);
  return fds;
}

TEST(RunProgram, PassesArgumentsUnchangedWithoutAShell) {
  test::TempDir dir;
  const std::string tricky = "two  blanks; $HOME `id` \"q\" 'a' | > * \x87\xff\n";
  // The script writes its argument and what it reads from standard input,
  // then its process id, and becomes a sleep whose descriptors the test
  // inspects from outside.
  const std::string script =
      "printf %s \"$1\" > \"$2\"; read line; printf '|%s|end' \"$line\" >> \"$2\";"
      " echo $$ > \"$3\"; exec sleep 60";
  // A descriptor the caller holds open must not reach the program.
  const int leaked = open("/dev/null", O_RDONLY);
  ASSERT_GE(leaked, 3);
  ASSERT_TRUE(RunProgram({"/bin/sh", "-c", script, "sh", tricky, dir.file("out"), dir.file("pid")}));
  close(leaked);

  EXPECT_EQ(WaitForFile(dir, "out", "end"), tricky + "||end") << "the argument changed or stdin is not empty";
  std::string pid = WaitForFile(dir, "pid", "\n");
  ASSERT_TRUE(pid.ends_with("\n"));
  pid.pop_back();
  for (int i = 0; i < 3000 && ReadWhole("/proc/" + pid + "/comm") != "sleep\n"; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(ReadWhole("/proc/" + pid + "/comm"), "sleep\n") << "the shell never became the sleep";
  EXPECT_EQ(DescriptorsOf(pid), (std::set<int>{0, 1, 2}));
  kill(std::stoi(pid), SIGTERM);
  EXPECT_EQ(ChildStates().find('Z'), std::string::npos);
}

TEST(RunProgram, LeavesNoChildBehind) {
  ASSERT_TRUE(RunProgram({"true"}));  // found through PATH
  ASSERT_TRUE(RunProgram({"sleep", "2"}));
  // The program is not our child, so nothing of ours can become a zombie.
  EXPECT_EQ(ChildStates(), "");
}

TEST(RunProgram, ReportsWhatCannotStart) {
  EXPECT_FALSE(RunProgram({}));
  EXPECT_FALSE(RunProgram({""}));
  EXPECT_FALSE(RunProgram({"/nonexistent/program"}));
  EXPECT_FALSE(RunProgram({"fhr-no-such-program-anywhere"}));
}

TEST(OpenFolder, GoesThroughTheInstalledOpener) {
  std::string opened;
  const DesktopOpener previous = SetDesktopOpener([&](const std::string& dir) {
    opened = dir;
    return true;
  });
  EXPECT_TRUE(OpenFolder("/home/user/my mail"));
  EXPECT_EQ(opened, "/home/user/my mail");
  SetDesktopOpener(previous);
}

}  // namespace
}  // namespace fhr
