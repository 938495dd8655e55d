// A process killed at a random instant while it stores a record and saves
// the database: the file on disk is always the old database or the new
// one, whole, never a mix and never missing.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "support/cli_process.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

// Runs `fhr-cli --data-dir DIR db put PATH` with `inputFile` as stdin.
pid_t StartPut(const std::string& dir, const std::string& path, const std::string& inputFile) {
  return test::StartCliProcess({"--data-dir", dir, "db", "put", path}, inputFile);
}

int Wait(pid_t pid) { return test::WaitCliProcess(pid); }

std::string RandomBytes(std::size_t n, std::mt19937& random) {
  std::string bytes(n, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

TEST(DbCrash, KilledWhileSavingLeavesTheOldOrTheNewDatabase) {
  std::mt19937 random(20240101);
  test::TempDir dir;
  // A database of a few megabytes of incompressible mail, so that writing
  // it takes long enough to be interrupted often.
  dir.write("old-input", RandomBytes(2 << 20, random));
  dir.write("new-input", RandomBytes(512 << 10, random));
  const std::string data = dir.file("data");
  ASSERT_EQ(::mkdir(data.c_str(), 0700), 0);
  ASSERT_EQ(Wait(StartPut(data, "inbox/old", dir.file("old-input"))), 0);
  const std::string oldDb = dir.read("data/fhr.db");
  ASSERT_GT(oldDb.size(), 2u << 20);

  // How long a whole run takes here (the slowest of three, as the machine
  // may be busy); kills fall anywhere in twice that.
  std::chrono::microseconds fullRun{0};
  for (int run = 0; run < 3; ++run) {
    dir.write("data/fhr.db", oldDb);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Wait(StartPut(data, "inbox/new", dir.file("new-input"))), 0);
    fullRun = std::max(fullRun, std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now() - start));
  }
  const std::string newDb = dir.read("data/fhr.db");
  ASSERT_NE(newDb, oldDb);

  int sawOld = 0;
  int sawNew = 0;
  for (int round = 0; round < 40; ++round) {
    dir.write("data/fhr.db", oldDb);
    std::uniform_int_distribution<long> delay(0, fullRun.count() * 2);
    const pid_t pid = StartPut(data, "inbox/new", dir.file("new-input"));
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    ::kill(pid, SIGKILL);
    Wait(pid);
    const std::string now = dir.read("data/fhr.db");
    ASSERT_TRUE(now == oldDb || now == newDb) << "round " << round << ": " << now.size() << " bytes";
    (now == oldDb ? sawOld : sawNew)++;
  }
  // Both outcomes occur, so the kills really fell before and after the save.
  EXPECT_GT(sawOld, 0);
  EXPECT_GT(sawNew, 0);
}

}  // namespace
}  // namespace fhr
