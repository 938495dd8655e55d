// The primitives under the subject tags (known answers) and the Blowfish
// ESUB and HSUB tests.
#include <array>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "news/esub.h"
#include "news/hsub.h"
#include "news/tag_codec.h"

namespace fhr {
namespace {

std::string Hex(const Md5Digest& d) { return HexLower(d.data(), d.size()); }

std::array<unsigned char, 8> Block(const std::string& hex) {
  std::array<unsigned char, 8> b;
  ReadHexLeniently(hex, b.data(), b.size());
  return b;
}

std::string EcbEncrypt(int algorithm, const std::string& keyHex, const std::string& plainHex) {
  std::string key(keyHex.size() / 2, '\0');
  ReadHexLeniently(keyHex, reinterpret_cast<unsigned char*>(key.data()), key.size());
  CipherHandle cipher = CipherHandle::Open(algorithm, GCRY_CIPHER_MODE_ECB,
                                           reinterpret_cast<const unsigned char*>(key.data()), key.size());
  if (!cipher) return "refused";
  const auto plain = Block(plainHex);
  std::array<unsigned char, 8> out;
  gcry_cipher_encrypt(cipher.get(), out.data(), out.size(), plain.data(), plain.size());
  return HexLower(out.data(), out.size());
}

TEST(SubjectTagPrimitives, KnownAnswers) {
  // RFC 1321 appendix A.5.
  EXPECT_EQ(Hex(Md5("")), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Hex(Md5("abc")), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Hex(Md5("message digest")), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(Hex(Md5("12345678901234567890123456789012345678901234567890123456789012345678901234567890")),
            "57edf4a22be3c955ac49da2e2107b67a");
  // FIPS 180-4 examples.
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(Sha256Hex(std::string("\0\x80", 2)).size(), 64u);  // bytes, not text
  // Blowfish (Schneier's and Eric Young's vectors, 8- and 16-byte keys).
  EXPECT_EQ(EcbEncrypt(GCRY_CIPHER_BLOWFISH, "0000000000000000", "0000000000000000"), "4ef997456198dd78");
  EXPECT_EQ(EcbEncrypt(GCRY_CIPHER_BLOWFISH, "ffffffffffffffff", "ffffffffffffffff"), "51866fd5b85ecb8a");
  EXPECT_EQ(EcbEncrypt(GCRY_CIPHER_BLOWFISH, "f0e1d2c3b4a5968778695a4b3c2d1e0f", "fedcba9876543210"),
            "93142887ee3be15c");
  // IDEA (Lai and Massey's example).
  EXPECT_EQ(EcbEncrypt(GCRY_CIPHER_IDEA, "00010002000300040005000600070008", "0000000100020003"),
            "11fbed2b01986de5");
}

TEST(SubjectTagPrimitives, LenientHexReading) {
  const struct {
    const char* text;
    unsigned char byte;
  } cases[] = {{"00", 0x00}, {"ff", 0xff}, {"Ff", 0xff}, {"0a", 0x0a}, {"a0", 0xa0},
               {"g1", 0x00}, {"1g", 0x01}, {"  ", 0x00}, {"-1", 0x00}, {"A ", 0x0a}};
  for (const auto& c : cases) {
    unsigned char byte = 0x55;
    ReadHexLeniently(c.text, &byte, 1);
    EXPECT_EQ(byte, c.byte) << c.text;
  }
}

// Published Blowfish-form ESUBs of subject "text" under passphrase "key".
const char* const kPublishedEsubs[] = {
    "14857375e7174ae1dd83b80612f8a148e2777c7ae78c4c7d",
    "fb56b638106688702dfed01fb763e3c9c29de2f46611eabe",
    "7f338d465085b8912d15a857c0726c270655bad5e8859f2f",
};

TEST(EncryptedSubject, PublishedTagsMatchOnlyTheirPair) {
  for (const char* tag : kPublishedEsubs) {
    EXPECT_TRUE(TestEncryptedSubject(tag, "text", "key")) << tag;
    EXPECT_FALSE(TestEncryptedSubject(tag, "text", "kez")) << tag;
    EXPECT_FALSE(TestEncryptedSubject(tag, "texT", "key")) << tag;
    std::string upper = tag;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(TestEncryptedSubject(upper, "text", "key")) << upper;
  }
}

TEST(EncryptedSubject, AnyChangedCharacterOrLengthFails) {
  const std::string tag = kPublishedEsubs[0];
  for (size_t i = 0; i < tag.size(); ++i) {
    std::string changed = tag;
    changed[i] = changed[i] == '0' ? '1' : '0';
    EXPECT_FALSE(TestEncryptedSubject(changed, "text", "key")) << i;
  }
  EXPECT_FALSE(TestEncryptedSubject(tag.substr(0, 47), "text", "key"));
  EXPECT_FALSE(TestEncryptedSubject(tag + "0", "text", "key"));
  EXPECT_FALSE(TestEncryptedSubject("", "text", "key"));
}

TEST(EncryptedSubject, MadeTagsMatchAndNeverRepeat) {
  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) {
    const auto tag = MakeEncryptedSubject("my nym", "secret words");
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->size(), 48u);
    EXPECT_EQ(tag->find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_TRUE(TestEncryptedSubject(*tag, "my nym", "secret words"));
    EXPECT_FALSE(TestEncryptedSubject(*tag, "my nym", "secret word"));
    seen.insert(*tag);
  }
  EXPECT_EQ(seen.size(), 50u);
  EXPECT_FALSE(MakeEncryptedSubject("", "key"));
  EXPECT_FALSE(MakeEncryptedSubject("text", ""));
}

TEST(HashedSubject, Rules) {
  const std::string iv = "0123456789abcdef";
  std::string ivBytes(8, '\0');
  ReadHexLeniently(iv, reinterpret_cast<unsigned char*>(ivBytes.data()), 8);
  const std::string digest = Sha256Hex(ivBytes + "secret").substr(0, 32);
  std::string upperDigest = digest;
  for (char& c : upperDigest) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const struct {
    std::string tag;
    const char* secret;
    bool match;
  } cases[] = {
      {iv + digest, "secret", true},
      {"0123456789ABCDEF" + digest, "secret", true},  // IV in either case
      {iv + upperDigest, "secret", false},            // digest must be lowercase
      {iv + digest, "secreT", false},
      {iv + digest + "0", "secret", false},            // 49 characters
      {iv + digest.substr(0, 31), "secret", false},    // 47 characters
      {"g123456789abcdef" + digest, "secret", false},  // not hexadecimal
      {"0123456789abcdeg" + digest, "secret", false},
      {iv, "secret", false},
      {"", "secret", false},
  };
  for (const auto& c : cases) EXPECT_EQ(TestHashedSubject(c.tag, c.secret), c.match) << c.tag;
}

TEST(HashedSubject, MadeTagsMatchAndNeverRepeat) {
  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) {
    const auto tag = MakeHashedSubject("the secret");
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->size(), 48u);
    EXPECT_TRUE(TestHashedSubject(*tag, "the secret"));
    EXPECT_FALSE(TestHashedSubject(*tag, "the secreT"));
    seen.insert(*tag);
  }
  EXPECT_EQ(seen.size(), 50u);
  EXPECT_FALSE(MakeHashedSubject(""));
}

}  // namespace
}  // namespace fhr
