#include "core/atomic_file.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace fhr {
namespace {

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

TEST(AtomicFile, ReplacesContentWithExactBytesAndLeavesNoTemporaryFile) {
  test::TempDir dir;
  const std::string path = dir.file("fhr.db");
  const std::string first("binary\0\xFF\x87 bytes\r\n", 18);
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, first, &error)) << error;
  ASSERT_TRUE(WriteFileAtomically(path, "second, shorter", &error)) << error;

  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, &bytes, &error)) << error;
  EXPECT_EQ(bytes, "second, shorter");
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"fhr.db"});

  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);

  ASSERT_TRUE(WriteFileAtomically(path, "", &error, 0644)) << error;
  ASSERT_TRUE(ReadWholeFile(path, &bytes, &error));
  EXPECT_EQ(bytes, "");
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
}

// The rename fails after the temporary file was written: the target (a
// folder here, which works even for root) stays and the temporary is gone.
TEST(AtomicFile, FailedRenameReportsErrorAndRemovesTemporaryFile) {
  test::TempDir dir;
  dir.write("target/keep.txt", "kept");
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(dir.file("target"), "new", &error));
  EXPECT_NE(error.find("target"), std::string::npos) << error;
  EXPECT_EQ(dir.read("target/keep.txt"), "kept");
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"target"});
}

// Tries to replace a file in a read-only folder; empty when the write was
// refused and the old file stayed, else what went wrong.
std::string WriteIntoReadOnlyFolder() {
  test::TempDir dir;
  dir.write("locked/fhr.ini", "old");
  if (::chmod(dir.file("locked").c_str(), 0500) != 0) return "chmod failed";
  std::string error;
  const bool written = WriteFileAtomically(dir.file("locked/fhr.ini"), "new", &error);
  ::chmod(dir.file("locked").c_str(), 0700);
  if (written) return "the write succeeded";
  if (error.empty()) return "no error text";
  if (dir.read("locked/fhr.ini") != "old") return "the old file changed";
  if (FilesIn(dir.file("locked")) != std::vector<std::string>{"fhr.ini"}) return "a temporary file was left";
  return "";
}

TEST(AtomicFile, ReadOnlyFolderKeepsOldFile) {
  if (::geteuid() != 0) {
    EXPECT_EQ(WriteIntoReadOnlyFolder(), "");
    return;
  }
  // Root may write into read-only folders: check in a child that has given
  // its privileges up.
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(out[0]);
    std::string result = (::setgid(65534) == 0 && ::setuid(65534) == 0) ? WriteIntoReadOnlyFolder()
                                                                          : "cannot drop privileges";
    result = "result:" + result;
    [[maybe_unused]] ssize_t n = ::write(out[1], result.data(), result.size());
    ::_exit(0);
  }
  ::close(out[1]);
  std::string result;
  char buf[256];
  for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) result.append(buf, static_cast<size_t>(n));
  ::close(out[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(result, "result:");
}

TEST(AtomicFile, MissingFolderIsAnError) {
  test::TempDir dir;
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(dir.file("absent/fhr.ini"), "x", &error));
  EXPECT_FALSE(error.empty());
}

TEST(ReadWholeFile, TellsMissingFromUnreadable) {
  test::TempDir dir;
  dir.write("folder/x", "");
  std::string bytes = "stale";
  std::string error;
  bool missing = false;
  EXPECT_FALSE(ReadWholeFile(dir.file("none"), &bytes, &error, &missing));
  EXPECT_TRUE(missing);
  EXPECT_EQ(bytes, "");
  EXPECT_FALSE(ReadWholeFile(dir.file("folder"), &bytes, &error, &missing));
  EXPECT_FALSE(missing);
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace fhr
