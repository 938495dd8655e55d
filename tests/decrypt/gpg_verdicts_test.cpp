// Reading a decryption run's verdicts from gpg's own status keywords and
// error lines.
#include <gtest/gtest.h>

#include "decrypt/gpg_verdicts.h"

namespace fhr {
namespace {

constexpr const char* kNymserver = "F633060A170117B2";
constexpr const char* kValidNymserver =
    "[GNUPG:] VALIDSIG 64043C6631AECB7CFF8E3F20F633060A170117B2 2026-12-11 1796991431 0 4 0 1 8 00 "
    "64043C6631AECB7CFF8E3F20F633060A170117B2";
constexpr const char* kValidOther =
    "[GNUPG:] VALIDSIG 1111111111111111111111111111111111111111 2026-12-11 1796991431 0 4 0 1 8 00 "
    "1111111111111111111111111111111111111111";
constexpr const char* kGood = "[GNUPG:] GOODSIG F633060A170117B2 nymserver <config@nym.example>";

TEST(GpgVerdicts, SignatureVerdictComesFromStatusKeywords) {
  struct Case {
    StringList status;
    std::string nymserver;
    SignatureVerdict verdict;
  } cases[] = {
      {{kGood, kValidNymserver}, kNymserver, SignatureVerdict::kNymserverGood},
      {{kGood, kValidNymserver}, "f633060a170117b2", SignatureVerdict::kNymserverGood},
      {{kGood, kValidOther}, kNymserver, SignatureVerdict::kNotNymserver},
      {{kGood, kValidNymserver}, "", SignatureVerdict::kNotNymserver},  // server key unknown
      {{kValidNymserver}, kNymserver, SignatureVerdict::kNotNymserver},
      {{kGood, kValidNymserver, "[GNUPG:] BADSIG 1111111111111111 x"}, kNymserver, SignatureVerdict::kNotNymserver},
      {{"[GNUPG:] ERRSIG 23A0F8D4A953D612 1 8 00 1796991499 9", "[GNUPG:] NO_PUBKEY 23A0F8D4A953D612"},
       kNymserver, SignatureVerdict::kNotNymserver},
      {{"[GNUPG:] DECRYPTION_OKAY", "[GNUPG:] GOODMDC"}, kNymserver, SignatureVerdict::kNone},
      // Text that merely mentions a keyword is no status line.
      {{"gpg: GOODSIG F633060A170117B2", "Good signature from nymserver"}, kNymserver, SignatureVerdict::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JudgeSignature(c.status, c.nymserver), c.verdict) << c.status.Text();
  }
}

TEST(GpgVerdicts, WrongPassphraseForKeysAndForSymmetricLayers) {
  struct Case {
    StringList diagnostics;
    bool wrong;
  } cases[] = {
      {{"-----", "[GNUPG:] BAD_PASSPHRASE C7386049B46590B8", "[GNUPG:] DECRYPTION_FAILED"}, true},
      {{"gpg: decryption failed: bad key", "-----", "[GNUPG:] NEED_PASSPHRASE_SYM 7 3 2",
        "[GNUPG:] DECRYPTION_FAILED"},
       true},
      // The same error without a symmetric layer, or without a failure, is something else.
      {{"gpg: decryption failed: bad key", "-----", "[GNUPG:] DECRYPTION_FAILED"}, false},
      {{"-----", "[GNUPG:] BAD_PASSPHRASE C7386049B46590B8", "[GNUPG:] DECRYPTION_OKAY"}, false},
      {{"-----", "[GNUPG:] NO_SECKEY 0000000000000000", "[GNUPG:] DECRYPTION_FAILED"}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(WrongPassphrase(c.diagnostics), c.wrong) << c.diagnostics.Text();
}

TEST(GpgVerdicts, AnonymousRecipientIsTheLastKeyTriedBeforeSuccess) {
  const StringList lines = {
      "gpg: public key is 00000000",
      "gpg: anonymous recipient; trying secret key B46590B8 ...",
      "gpg: anonymous recipient; trying secret key 4e21c692 ...",
      "gpg: okay, we are the anonymous recipient.",
      "gpg: anonymous recipient; trying secret key DEADBEEF ...",
  };
  EXPECT_EQ(AnonymousRecipientKey(lines), "0x4E21C692");
  EXPECT_EQ(AnonymousRecipientKey(StringList({"gpg: encrypted with RSA key, ID 00000000"})), "");
}

TEST(GpgVerdicts, DiagnosticsSplitAtTheFirstSeparatorOnly) {
  StringList errors;
  StringList status;
  SplitDiagnostics({"e1", "-----", "s1", "-----", "s2"}, &errors, &status);
  EXPECT_EQ(errors, StringList({"e1"}));
  EXPECT_EQ(status, StringList({"s1", "-----", "s2"}));
  SplitDiagnostics({"e1", "e2"}, &errors, &status);
  EXPECT_EQ(errors, StringList({"e1", "e2"}));
  EXPECT_TRUE(status.empty());
}

}  // namespace
}  // namespace fhr
