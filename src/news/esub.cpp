#include "news/esub.h"

#include <array>

#include "core/random_bytes.h"
#include "core/text_helpers.h"
#include "news/tag_codec.h"

namespace fhr {
namespace {

CipherHandle BlowfishFor(const std::string& passphrase, int mode) {
  Md5Digest key = Md5(passphrase);
  CipherHandle cipher = CipherHandle::Open(GCRY_CIPHER_BLOWFISH, mode, key.data(), key.size());
  SecureWipe(key.data(), key.size());
  return cipher;
}

}  // namespace

bool TestEncryptedSubject(const std::string& tag, const std::string& subject, const std::string& passphrase) {
  if (tag.size() != kTagChars) return false;
  CipherHandle blowfish = BlowfishFor(passphrase, GCRY_CIPHER_MODE_ECB);
  if (!blowfish) return false;
  std::array<unsigned char, kTagBytes> bytes;
  ReadHexLeniently(tag, bytes.data(), bytes.size());
  return DecryptEsubDigest(blowfish, bytes.data()) == Md5(subject);
}

std::optional<std::string> MakeEncryptedSubject(const std::string& subject, const std::string& passphrase) {
  if (subject.empty() || passphrase.empty()) return std::nullopt;
  CipherHandle blowfish = BlowfishFor(passphrase, GCRY_CIPHER_MODE_CFB);
  std::array<unsigned char, kTagBytes> bytes;
  if (!blowfish || !FillRandomBytes(bytes.data(), kTagRandomBytes)) return std::nullopt;
  const Md5Digest digest = Md5(subject);
  gcry_cipher_setiv(blowfish.get(), bytes.data(), kTagRandomBytes);
  gcry_cipher_encrypt(blowfish.get(), bytes.data() + kTagRandomBytes, digest.size(), digest.data(), digest.size());
  return HexLower(bytes.data(), bytes.size());
}

}  // namespace fhr
