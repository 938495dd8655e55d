#include "news/hsub.h"

#include <algorithm>
#include <array>

#include "core/random_bytes.h"
#include "news/tag_codec.h"

namespace fhr {
namespace {

constexpr std::size_t kIvChars = 2 * kTagRandomBytes;
constexpr std::size_t kDigestChars = kTagChars - kIvChars;

std::string Sha256HexOf(const unsigned char* iv, const std::string& secret) {
  EnsureGcrypt();
  std::array<unsigned char, 32> digest;
  gcry_buffer_t parts[2] = {};
  parts[0].size = parts[0].len = kTagRandomBytes;
  parts[0].data = const_cast<unsigned char*>(iv);
  parts[1].size = parts[1].len = secret.size();
  parts[1].data = const_cast<char*>(secret.data());
  gcry_md_hash_buffers(GCRY_MD_SHA256, 0, digest.data(), parts, 2);
  return HexLower(digest.data(), digest.size());
}

}  // namespace

std::string Sha256Hex(std::string_view bytes) {
  EnsureGcrypt();
  std::array<unsigned char, 32> digest;
  gcry_md_hash_buffer(GCRY_MD_SHA256, digest.data(), bytes.data(), bytes.size());
  return HexLower(digest.data(), digest.size());
}

bool TestHashedSubject(const std::string& tag, const std::string& secret) {
  if (tag.size() != kTagChars || !std::all_of(tag.begin(), tag.begin() + kIvChars, IsHexDigit)) return false;
  std::array<unsigned char, kTagRandomBytes> iv;
  ReadHexLeniently(tag, iv.data(), iv.size());
  const std::string digest = Sha256HexOf(iv.data(), secret);
  return tag.compare(kIvChars, kDigestChars, digest, 0, kDigestChars) == 0;
}

std::optional<std::string> MakeHashedSubject(const std::string& secret) {
  std::array<unsigned char, kTagRandomBytes> iv;
  if (secret.empty() || !FillRandomBytes(iv.data(), iv.size())) return std::nullopt;
  return HexLower(iv.data(), iv.size()) + Sha256HexOf(iv.data(), secret).substr(0, kDigestChars);
}

}  // namespace fhr
