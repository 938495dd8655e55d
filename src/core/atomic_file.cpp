#include "core/atomic_file.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace fhr {
namespace {

void SetError(std::string* error, const std::string& what, const std::string& path, int code) {
  if (error) *error = what + " \"" + path + "\": " + std::strerror(code);
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Makes a completed rename durable. Some file systems cannot flush a
// directory (EINVAL); there the rename is as durable as it can be made.
bool SyncDirectory(const std::string& dir, int* code) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    *code = errno;
    return false;
  }
  const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
  *code = errno;
  ::close(fd);
  return ok;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         mode_t mode) {
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    SetError(error, "I can't create a temporary file beside", path, errno);
    return false;
  }
  const auto fail = [&](const char* what, int code, bool opened) {
    if (opened) ::close(fd);
    ::unlink(temp.c_str());
    SetError(error, what, path, code);
    return false;
  };
  if (!WriteAll(fd, bytes)) return fail("I can't write", errno, true);
  if (::fchmod(fd, mode) != 0) return fail("I can't set the permissions of", errno, true);
  if (::fsync(fd) != 0) return fail("I can't flush", errno, true);
  if (::close(fd) != 0) return fail("I can't finish writing", errno, false);
  if (::rename(temp.c_str(), path.c_str()) != 0) return fail("I can't replace", errno, false);
  int code = 0;
  if (!SyncDirectory(DirectoryOf(path), &code)) {
    SetError(error, "I replaced but can't flush the folder of", path, code);
    return false;
  }
  return true;
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error,
                   bool* missing) {
  bytes->clear();
  if (missing) *missing = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (missing) *missing = errno == ENOENT;
    SetError(error, "I can't open", path, errno);
    return false;
  }
  char buffer[16384];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int code = errno;
      ::close(fd);
      bytes->clear();
      SetError(error, "I can't read", path, code);
      return false;
    }
    bytes->append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

}  // namespace fhr
