#include "core/instance_socket.h"

#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fhr {
namespace {

bool IsPrivateDirectory(const std::string& dir) {
  struct stat st {};
  return lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
         (st.st_mode & 077) == 0;
}

std::string DigestHex(const std::string& text, size_t hexChars) {
  unsigned char md[EVP_MAX_MD_SIZE];
  unsigned int len = 0;
  EVP_Digest(text.data(), text.size(), md, &len, EVP_sha256(), nullptr);
  static const char* kHex = "0123456789abcdef";
  std::string out;
  for (unsigned i = 0; i < len && out.size() < hexChars; ++i) {
    out += kHex[md[i] >> 4];
    out += kHex[md[i] & 15];
  }
  return out;
}

}  // namespace

std::optional<std::string> InstanceSocketPath(
    const std::string& dataDir, const std::function<std::optional<std::string>(const std::string&)>& getenv) {
  std::string dir = getenv("XDG_RUNTIME_DIR").value_or("");
  if (dir.empty() || dir.front() != '/' || !IsPrivateDirectory(dir)) {
    dir = "/tmp/fhr-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    if (!IsPrivateDirectory(dir)) return std::nullopt;
  }
  return dir + "/fhr-" + DigestHex(dataDir, 16) + ".sock";
}

}  // namespace fhr
