#pragma once
// One process at a time per data directory. The lock is an advisory lock
// (flock) on the file "fhr.lock" inside the directory, held for as long as
// the object lives; the kernel drops it when the process ends, so a crash
// never leaves a stale lock behind.
#include <optional>
#include <string>

namespace fhr {

class DataDirLock {
 public:
  // Takes the lock on `lockFile` without waiting. On failure returns
  // nullopt and, in `holder`, who holds it ("fhr-cli, pid 123") or why
  // the file could not be locked.
  static std::optional<DataDirLock> Acquire(const std::string& lockFile, const std::string& programName,
                                            std::string* holder);

  DataDirLock(DataDirLock&& other) noexcept;
  DataDirLock& operator=(DataDirLock&& other) noexcept;
  DataDirLock(const DataDirLock&) = delete;
  DataDirLock& operator=(const DataDirLock&) = delete;
  ~DataDirLock();

 private:
  explicit DataDirLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

// The one-line refusal both front ends give when another process holds the
// data directory.
std::string DataDirInUseText(const std::string& dataDir, const std::string& holder);

}  // namespace fhr
