#include "core/random_bytes.h"

#include <cerrno>

#include <sys/random.h>

namespace fhr {

bool FillRandomBytes(void* data, std::size_t size) {
  auto* bytes = static_cast<unsigned char*>(data);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = getrandom(bytes + done, size - done, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace fhr
