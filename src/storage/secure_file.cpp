#include "storage/secure_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace fhr {
namespace {

bool Failed(std::string* error, const std::string& what, const std::string& path) {
  if (error) *error = what + " \"" + path + "\": " + std::strerror(errno);
  return false;
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool SplitSecureFile(std::string_view file, std::string_view* encrypted, std::uint64_t* length) {
  if (file.size() < kPlainLengthSize) return false;
  const std::string_view tail = file.substr(file.size() - kPlainLengthSize);
  *length = 0;
  for (std::size_t i = kPlainLengthSize; i-- > 0;) *length = (*length << 8) | static_cast<unsigned char>(tail[i]);
  *encrypted = file.substr(0, file.size() - kPlainLengthSize);
  return true;
}

bool FinishSecureFile(const std::string& path, std::uint64_t length, std::string* error) {
  char bytes[kPlainLengthSize];
  for (std::size_t i = 0; i < kPlainLengthSize; ++i) bytes[i] = static_cast<char>((length >> (8 * i)) & 0xFF);
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return Failed(error, "I can't open", path);
  std::size_t done = 0;
  while (done < kPlainLengthSize) {
    const ssize_t n = ::write(fd, bytes + done, kPlainLengthSize - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Failed(error, "I can't write", path);
      ::close(fd);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) {
    Failed(error, "I can't flush", path);
    ::close(fd);
    return false;
  }
  if (::close(fd) != 0) return Failed(error, "I can't finish writing", path);
  return true;
}

bool RenameDurably(const std::string& from, const std::string& to, std::string* error) {
  if (::rename(from.c_str(), to.c_str()) != 0) return Failed(error, "I can't replace", to);
  const std::string dir = DirectoryOf(to);
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Failed(error, "I can't open the folder", dir);
  // Some file systems cannot flush a directory (EINVAL); there the rename
  // is as durable as it can be made.
  const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
  if (!ok) Failed(error, "I replaced but can't flush the folder of", to);
  ::close(fd);
  return ok;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return ::lstat(a.c_str(), &sa) == 0 && ::lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

}  // namespace fhr
