#pragma once
// The byte-level pieces every subject tag test shares: libgcrypt set-up,
// MD5, cipher handles that wipe their key schedules, and the hexadecimal
// forms of tags. Tags are 48 hexadecimal characters standing for 24 bytes.
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include <gcrypt.h>

namespace fhr {

inline constexpr std::size_t kTagChars = 48;
inline constexpr std::size_t kTagBytes = 24;
inline constexpr std::size_t kTagRandomBytes = 8;

using Md5Digest = std::array<unsigned char, 16>;

// Initialises libgcrypt for the process once (no secure memory); safe to
// call from any thread, every time before using it. False when the
// installed libgcrypt is older than the one the program was built with.
bool EnsureGcrypt();

// MD5 (RFC 1321) of the bytes.
Md5Digest Md5(std::string_view bytes);

// Lowercase hexadecimal, two digits per byte, most significant first.
std::string HexLower(const unsigned char* bytes, std::size_t count);

// Reads `count` bytes from the first 2 * count characters of `text` (which
// must hold that many). Each pair is a number of at most two hexadecimal
// digits in either case; reading a pair stops at its first other character,
// so "g1" gives 0 and "1g" gives 1. Malformed text is never an error: it
// decodes to bytes that simply do not match.
void ReadHexLeniently(std::string_view text, unsigned char* bytes, std::size_t count);

// True for 0-9, a-f and A-F.
bool IsHexDigit(char c);

// An open libgcrypt cipher with its key set. Closing it (on destruction)
// wipes the key schedule. One thread at a time.
class CipherHandle {
 public:
  // Empty when libgcrypt refuses the algorithm, the mode or the key.
  static CipherHandle Open(int algorithm, int mode, const unsigned char* key, std::size_t keySize);

  CipherHandle() = default;
  explicit operator bool() const { return handle_ != nullptr; }
  gcry_cipher_hd_t get() const { return handle_.get(); }

 private:
  struct Close {
    void operator()(gcry_cipher_hd_t h) const { gcry_cipher_close(h); }
  };
  std::unique_ptr<gcry_cipher_handle, Close> handle_;
};

// The 16 bytes that follow the random part of a 24-byte ESUB, decrypted in
// CFB-64 mode with the random part as the first feedback block. Both ESUB
// forms have this shape (the IDEA form starts its feedback from a zero
// block, so its first 8 bytes play the same role). `ecb` is the cipher in
// ECB mode with the key set: the two keystream blocks are the encryptions of
// tag bytes 0-7 and 8-15.
Md5Digest DecryptEsubDigest(const CipherHandle& ecb, const unsigned char* tag);

}  // namespace fhr
