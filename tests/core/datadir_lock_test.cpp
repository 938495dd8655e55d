#include "core/datadir_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace fhr {
namespace {

TEST(DataDirLock, SecondHolderIsRefusedAndToldWhoHoldsIt) {
  test::TempDir t;
  std::string holder;
  auto first = DataDirLock::Acquire(t.file("fhr.lock"), "fhr", &holder);
  ASSERT_TRUE(first);
  EXPECT_FALSE(DataDirLock::Acquire(t.file("fhr.lock"), "fhr-cli", &holder));
  EXPECT_EQ(holder, "fhr, pid " + std::to_string(getpid()));
  EXPECT_EQ(DataDirInUseText("/d/", holder),
            "the data directory /d/ is in use by " + holder + "; close that program first, so no mail is lost");

  first.reset();
  EXPECT_TRUE(DataDirLock::Acquire(t.file("fhr.lock"), "fhr-cli", &holder));
}

TEST(DataDirLock, LockOfADeadProcessDoesNotBlock) {
  test::TempDir t;
  pid_t child = fork();
  if (child == 0) {
    std::string holder;
    auto lock = DataDirLock::Acquire(t.file("fhr.lock"), "fhr", &holder);
    _exit(lock ? 0 : 1);  // dies holding the lock, as a crash would
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  std::string holder;
  EXPECT_TRUE(DataDirLock::Acquire(t.file("fhr.lock"), "fhr", &holder)) << holder;
}

TEST(DataDirLock, UnusableLockFileIsAnError) {
  std::string holder;
  EXPECT_FALSE(DataDirLock::Acquire("/nonexistent-dir/fhr.lock", "fhr", &holder));
  EXPECT_NE(holder.find("cannot open /nonexistent-dir/fhr.lock"), std::string::npos) << holder;
}

}  // namespace
}  // namespace fhr
