#include "news/tag_codec.h"

namespace fhr {

bool EnsureGcrypt() {
  // A program or library that set libgcrypt up already has done what is
  // needed; otherwise this does, once, without secure memory (nothing here
  // asks for it, and its warnings would reach the user's terminal).
  static const bool ready = [] {
    if (gcry_control(GCRYCTL_INITIALIZATION_FINISHED_P)) return true;
    if (!gcry_check_version(GCRYPT_VERSION)) return false;
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    return true;
  }();
  return ready;
}

Md5Digest Md5(std::string_view bytes) {
  EnsureGcrypt();
  Md5Digest digest;
  gcry_md_hash_buffer(GCRY_MD_MD5, digest.data(), bytes.data(), bytes.size());
  return digest;
}

std::string HexLower(const unsigned char* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex(2 * count, '0');
  for (std::size_t i = 0; i < count; ++i) {
    hex[2 * i] = kDigits[bytes[i] >> 4];
    hex[2 * i + 1] = kDigits[bytes[i] & 15];
  }
  return hex;
}

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool IsHexDigit(char c) { return HexValue(c) >= 0; }

void ReadHexLeniently(std::string_view text, unsigned char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    unsigned value = 0;
    for (std::size_t j = 0; j < 2; ++j) {
      const int digit = HexValue(text[2 * i + j]);
      if (digit < 0) break;
      value = value * 16 + static_cast<unsigned>(digit);
    }
    bytes[i] = static_cast<unsigned char>(value);
  }
}

CipherHandle CipherHandle::Open(int algorithm, int mode, const unsigned char* key, std::size_t keySize) {
  CipherHandle cipher;
  if (!EnsureGcrypt()) return cipher;
  gcry_cipher_hd_t raw = nullptr;
  if (gcry_cipher_open(&raw, algorithm, mode, 0) != 0) return cipher;
  cipher.handle_.reset(raw);
  if (gcry_cipher_setkey(raw, key, keySize) != 0) cipher.handle_.reset();
  return cipher;
}

}  // namespace fhr
