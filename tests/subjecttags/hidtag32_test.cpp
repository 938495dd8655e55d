// libhidtag32.so as the program uses it: loaded with dlopen from the build's
// program directory, every export looked up by name and called.
#include <dlfcn.h>

#include <array>
#include <cstring>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "news/tag_codec.h"
#include "subjecttags/hidtag32.h"

namespace fhr {
namespace {

class Hidtag32 : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = dlopen(FHR_BIN_DIR "/libhidtag32.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
    encrypt_ = reinterpret_cast<htEncryptSubjectFn>(dlsym(handle_, "htEncryptSubject"));
    test_ = reinterpret_cast<htTestSubjectFn>(dlsym(handle_, "htTestSubject"));
    md5_ = reinterpret_cast<htMD5HashFn>(dlsym(handle_, "htMD5Hash"));
    version_ = reinterpret_cast<hidtag32DLLVersionFn>(dlsym(handle_, "hidtag32DLLVersion"));
    ASSERT_TRUE(encrypt_ && test_ && md5_ && version_);
  }
  void TearDown() override {
    if (handle_) dlclose(handle_);
  }

  std::string Encrypt(const char* subject, const char* passphrase) {
    char out[49] = {};
    EXPECT_EQ(encrypt_(subject, passphrase, out), 0);
    return out;
  }

  void* handle_ = nullptr;
  htEncryptSubjectFn encrypt_ = nullptr;
  htTestSubjectFn test_ = nullptr;
  htMD5HashFn md5_ = nullptr;
  hidtag32DLLVersionFn version_ = nullptr;
};

// An IDEA-form ESUB built from IDEA block operations alone, with a chosen
// random part: CFB-64 from a zero block, key MD5(passphrase), plaintext
// R followed by MD5(subject).
std::string ReferenceIdeaEsub(const std::array<unsigned char, 8>& random, const std::string& subject,
                              const std::string& passphrase) {
  const Md5Digest key = Md5(passphrase);
  const Md5Digest digest = Md5(subject);
  std::array<unsigned char, 24> plain;
  std::copy(random.begin(), random.end(), plain.begin());
  std::copy(digest.begin(), digest.end(), plain.begin() + 8);
  CipherHandle ecb = CipherHandle::Open(GCRY_CIPHER_IDEA, GCRY_CIPHER_MODE_ECB, key.data(), key.size());
  std::array<unsigned char, 8> feedback{};
  std::array<unsigned char, 24> out;
  for (size_t block = 0; block < 3; ++block) {
    std::array<unsigned char, 8> stream;
    gcry_cipher_encrypt(ecb.get(), stream.data(), 8, feedback.data(), 8);
    for (size_t i = 0; i < 8; ++i) out[8 * block + i] = feedback[i] = plain[8 * block + i] ^ stream[i];
  }
  return HexLower(out.data(), out.size());
}

TEST_F(Hidtag32, ExportsOnlyItsFourNames) {
  for (const char* internal : {"InitGcrypt", "GcryptReady", "ReadHexLeniently", "WriteHex", "IdeaCfb", "FillRandom"}) {
    EXPECT_EQ(dlsym(handle_, internal), nullptr) << internal;
  }
}

TEST_F(Hidtag32, VersionAndNullPointers) {
  char version[6] = "xxxxx";
  EXPECT_EQ(version_(version), 0);
  EXPECT_STREQ(version, "1.0.0");
  char out[49] = "untouched";
  EXPECT_EQ(version_(nullptr), -1);
  EXPECT_EQ(md5_(nullptr, out), -1);
  EXPECT_EQ(md5_("a", nullptr), -1);
  EXPECT_EQ(encrypt_(nullptr, "key", out), -1);
  EXPECT_EQ(encrypt_("text", nullptr, out), -1);
  EXPECT_EQ(encrypt_("text", "key", nullptr), -1);
  const std::string esub = Encrypt("text", "key");
  EXPECT_EQ(test_(nullptr, "text", "key"), -1);
  EXPECT_EQ(test_(esub.c_str(), nullptr, "key"), -1);
  EXPECT_EQ(test_(esub.c_str(), "text", nullptr), -1);
  EXPECT_STREQ(out, "untouched");
}

TEST_F(Hidtag32, Md5MatchesRfc1321) {
  const struct {
    const char* text;
    const char* digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : cases) {
    char hex[33];
    EXPECT_EQ(md5_(c.text, hex), 0);
    EXPECT_STREQ(hex, c.digest) << c.text;
  }
}

TEST_F(Hidtag32, EsubsMatchTheirPairOnlyAndNeverRepeat) {
  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) {
    const std::string esub = Encrypt("nym subject", "pass phrase");
    ASSERT_EQ(esub.size(), 48u);
    EXPECT_EQ(esub.find_first_not_of("0123456789abcdef"), std::string::npos) << esub;
    EXPECT_EQ(test_(esub.c_str(), "nym subject", "pass phrase"), 0);
    EXPECT_NE(test_(esub.c_str(), "nym subjecT", "pass phrase"), 0);
    EXPECT_NE(test_(esub.c_str(), "nym subject", "pass phrasE"), 0);
    seen.insert(esub);
  }
  // Made back to back, within the same millisecond: all different.
  EXPECT_EQ(seen.size(), 50u);
}

TEST_F(Hidtag32, MatchesAnEsubBuiltFromIdeaBlocks) {
  const std::array<unsigned char, 8> random = {1, 2, 3, 4, 5, 6, 7, 8};
  const std::string esub = ReferenceIdeaEsub(random, "text", "key");
  EXPECT_EQ(test_(esub.c_str(), "text", "key"), 0);
  EXPECT_NE(test_(esub.c_str(), "text", "kez"), 0);
}

TEST_F(Hidtag32, InputRulesAndHexReading) {
  const std::string esub = Encrypt("text", "key");
  std::string upper = esub;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  // Random part whose first cipher bytes are 00 0a, written leniently.
  std::array<unsigned char, 8> random{};
  {
    const Md5Digest key = Md5("key");
    CipherHandle ecb = CipherHandle::Open(GCRY_CIPHER_IDEA, GCRY_CIPHER_MODE_ECB, key.data(), key.size());
    std::array<unsigned char, 8> zero{}, stream;
    gcry_cipher_encrypt(ecb.get(), stream.data(), 8, zero.data(), 8);
    random = stream;
    random[1] ^= 0x0a;  // cipher byte 0 = 0x00, byte 1 = 0x0a
  }
  const std::string chosen = ReferenceIdeaEsub(random, "text", "key");
  ASSERT_EQ(chosen.substr(0, 4), "000a");
  const struct {
    std::string candidate;
    const char* subject;
    const char* passphrase;
    int result;
  } cases[] = {
      {esub, "text", "key", 0},
      {upper, "text", "key", 0},
      {"zz" "a?" + chosen.substr(4), "text", "key", 0},  // "zz" reads as 0, "a?" as 0x0a
      {"0z" "0a" + chosen.substr(4), "text", "key", 0},
      {esub.substr(0, 47), "text", "key", -1},
      {esub + "0", "text", "key", -1},
      {"", "text", "key", -1},
      {esub, "", "key", -1},
      {esub, "text", "", -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(test_(c.candidate.c_str(), c.subject, c.passphrase), c.result) << c.candidate;
  }
  char out[49] = "untouched";
  EXPECT_EQ(encrypt_("", "key", out), -1);
  EXPECT_EQ(encrypt_("text", "", out), -1);
  EXPECT_STREQ(out, "untouched");
}

TEST_F(Hidtag32, AnyChangeToTheRandomPartBreaksTheMatch) {
  const std::string esub = Encrypt("text", "key");
  for (size_t i = 0; i < 16; ++i) {
    std::string changed = esub;
    changed[i] = changed[i] == '0' ? '1' : '0';
    const int result = test_(changed.c_str(), "text", "key");
    EXPECT_TRUE(result == 1 || result == -1) << i << " gave " << result;
  }
}

}  // namespace
}  // namespace fhr
