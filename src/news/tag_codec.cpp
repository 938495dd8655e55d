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

// Digit values by byte, -1 for bytes that are not hexadecimal digits. A
// table, because tags are random text and branching on each character
// costs more than the ciphers.
constexpr std::array<signed char, 256> kHexValues = [] {
  std::array<signed char, 256> values{};
  for (int c = 0; c < 256; ++c) {
    values[c] = c >= '0' && c <= '9'   ? static_cast<signed char>(c - '0')
                : c >= 'a' && c <= 'f' ? static_cast<signed char>(c - 'a' + 10)
                : c >= 'A' && c <= 'F' ? static_cast<signed char>(c - 'A' + 10)
                                       : -1;
  }
  return values;
}();

int HexValue(char c) { return kHexValues[static_cast<unsigned char>(c)]; }

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

Md5Digest DecryptEsubDigest(const CipherHandle& ecb, const unsigned char* tag) {
  Md5Digest plain;
  gcry_cipher_encrypt(ecb.get(), plain.data(), plain.size(), tag, plain.size());
  for (std::size_t i = 0; i < plain.size(); ++i) plain[i] ^= tag[kTagRandomBytes + i];
  return plain;
}

}  // namespace fhr
