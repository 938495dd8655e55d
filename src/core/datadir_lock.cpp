#include "core/datadir_lock.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/file.h>
#include <unistd.h>

namespace fhr {

std::optional<DataDirLock> DataDirLock::Acquire(const std::string& lockFile, const std::string& programName,
                                                std::string* holder) {
  int fd = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    *holder = std::string("cannot open ") + lockFile + ": " + strerror(errno);
    return std::nullopt;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int err = errno;
    char buf[128] = {};
    ssize_t n = pread(fd, buf, sizeof buf - 1, 0);
    std::string who = n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
    while (!who.empty() && (who.back() == '\n' || who.back() == '\0')) who.pop_back();
    *holder = err == EWOULDBLOCK ? (who.empty() ? std::string("another process") : who)
                                 : std::string("cannot lock ") + lockFile + ": " + strerror(err);
    close(fd);
    return std::nullopt;
  }
  // Tell a refused process who holds the directory.
  std::string me = programName + ", pid " + std::to_string(getpid()) + "\n";
  if (ftruncate(fd, 0) == 0) {
    [[maybe_unused]] ssize_t w = pwrite(fd, me.data(), me.size(), 0);
  }
  return DataDirLock(fd);
}

DataDirLock::DataDirLock(DataDirLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

DataDirLock& DataDirLock::operator=(DataDirLock&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

DataDirLock::~DataDirLock() {
  if (fd_ >= 0) close(fd_);
}

std::string DataDirInUseText(const std::string& dataDir, const std::string& holder) {
  return "the data directory " + dataDir + " is in use by " + holder +
         "; close that program first, so no mail is lost";
}

}  // namespace fhr
