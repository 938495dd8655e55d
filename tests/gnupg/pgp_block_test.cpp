// Markers, predicates, cutting out and putting back armored blocks, armor
// repair and verification lines: pure text rules, no gpg.
#include "gnupg/pgp_block.h"

#include <gtest/gtest.h>

#include "gnupg/pgp_markers.h"

namespace fhr {
namespace {

StringList Lines(std::initializer_list<std::string> lines) { return StringList(lines); }

const std::string kBegin(BeginPGPMessage);
const std::string kEnd(EndPGPMessage);

TEST(PgpMarkers, PredicatesNeedTheEndFarEnoughAfterTheBegin) {
  auto message = [](int bodyLines, std::string begin, std::string end) {
    StringList lines{"header", begin};
    for (int i = 0; i < bodyLines; ++i) lines.Add("x");
    lines.Add(end);
    return lines;
  };
  const std::string signedBegin(BeginPGPSignedMessage);
  const std::string signatureEnd(EndPGPSignature);
  EXPECT_TRUE(GPGIsPGPMessage(message(5, kBegin, kEnd)));    // end 6 lines after the begin
  EXPECT_FALSE(GPGIsPGPMessage(message(4, kBegin, kEnd)));   // 5 lines: too short
  EXPECT_TRUE(GPGIsPGPMessage(message(5, "-----begin pgp message-----", kEnd)));  // search ignores case
  EXPECT_TRUE(GPGIsPGPMessage(message(5, signedBegin, signatureEnd)));
  EXPECT_FALSE(GPGIsPGPMessage(message(5, kBegin + " ", kEnd)));  // only whole lines count
  EXPECT_FALSE(GPGIsPGPMessage(Lines({kEnd, "1", "2", "3", "4", "5", "6", kBegin})));

  EXPECT_TRUE(GPGIsClearSigned(message(0, signedBegin, signatureEnd)));
  EXPECT_FALSE(GPGIsClearSigned(Lines({signatureEnd, signedBegin})));
  EXPECT_FALSE(GPGIsClearSigned(message(3, kBegin, kEnd)));

  EXPECT_TRUE(GPGHasVerification(Lines({"a", std::string(PGPSignatureVerification)})));
  EXPECT_FALSE(GPGHasVerification(Lines({"a", "*** PGP SIGNATURE VERIFICATION"})));
}

TEST(PgpBlock, ExtractionDropsStarLinesAndRestorationPutsTheResultInItsPlace) {
  StringList message{"Subject: x", "", "before", kBegin, "", "AAAA", "**", "BBBB", kEnd, "after"};
  StringList block;
  std::size_t index = 99;
  ASSERT_TRUE(ExtractPGPBlock(message, &block, &index));
  EXPECT_EQ(index, 3u);
  EXPECT_EQ(block, Lines({kBegin, "", "AAAA", "BBBB", kEnd}));
  EXPECT_EQ(message, Lines({"Subject: x", "", "before", "after"}));

  RestorePGPBlock(message, Lines({"", "  ", "plain", "", "text", " ", ""}), index);
  EXPECT_EQ(message, Lines({"Subject: x", "", "before", "plain", "", "text", "after"}));
  RestorePGPBlock(message, Lines({"tail"}), 1000);
  EXPECT_EQ(message[message.size() - 1], "tail");
}

TEST(PgpBlock, ExtractionFailsCleanlyWithoutAnExactEndLine) {
  const StringList cases[] = {
      Lines({"no block here"}),
      Lines({kBegin, "AAAA", "BBBB"}),                                 // end missing
      Lines({kBegin, "AAAA", "-----end pgp message-----"}),             // end in other letter case
      Lines({kEnd, "text", kBegin, "AAAA"}),                            // the end lies before the begin
  };
  for (const StringList& original : cases) {
    StringList message = original;
    StringList block;
    std::size_t index = 0;
    EXPECT_FALSE(ExtractPGPBlock(message, &block, &index)) << original.Text();
    EXPECT_EQ(message, original);
  }
  // A clear-signed block ends with its signature.
  StringList signedMessage{"x", std::string(BeginPGPSignedMessage), "Hash: SHA1", "", "text",
                           std::string(BeginPGPSignature), "sig", std::string(EndPGPSignature), "y"};
  StringList block;
  std::size_t index = 0;
  ASSERT_TRUE(ExtractPGPBlock(signedMessage, &block, &index));
  EXPECT_EQ(block.size(), 7u);
  EXPECT_EQ(signedMessage, Lines({"x", "y"}));
}

TEST(PgpBlock, RepairDecodesQuotedPrintableDamageOnly) {
  struct Case {
    const char* what;
    StringList block;
    StringList repaired;
  } cases[] = {
      {"damaged body and checksum",
       Lines({kBegin, "Version: GnuPG v1", "", "hQEMA=3D=3Dab=", "cdef=", "YWJj==", "=3DAB12", kEnd}),
       Lines({kBegin, "Version: GnuPG v1", "", "hQEMA==ab", "cdef=", "YWJj==", "=AB12", kEnd})},
      {"valid checksum starting with hex digits",
       Lines({kBegin, "", "hQEMAx", "YWJj==", "=AB12", kEnd}),
       Lines({kBegin, "", "hQEMAx", "YWJj==", "=AB12", kEnd})},
      {"padding only", Lines({kBegin, "", "YWJjZA=", "YWJj==", "=x9Kq", kEnd}),
       Lines({kBegin, "", "YWJjZA=", "YWJj==", "=x9Kq", kEnd})},
      {"lower-case hex is no encoding", Lines({kBegin, "", "ab=3dcd=3D", "=q1w2", kEnd}),
       Lines({kBegin, "", "ab=3dcd=", "=q1w2", kEnd})},
  };
  for (Case& c : cases) {
    RepairArmor(c.block);
    EXPECT_EQ(c.block, c.repaired) << c.what << "\n" << c.block.Text();
  }
}

TEST(PgpBlock, VerificationLinesFromGpgReport) {
  StringList errors{"gpg: AES encrypted data",
                    "gpg: original file name='body.txt'",
                    "gpg: Signature made Fri Dec 11 11:38:04 2026 UTC using RSA key ID 0ADD36A3",
                    "gpg: Good signature from \\xe2\\x80\\x9cnymserver <config@nymserver.example>\\xe2\\x80\\x9d",
                    "not a gpg line",
                    "gpg: " + std::string(200, 'w')};
  std::tm when{};
  when.tm_year = 126;
  when.tm_mon = 2;
  when.tm_mday = 4;
  when.tm_hour = 17;
  when.tm_min = 5;
  when.tm_sec = 9;
  when.tm_isdst = -1;
  const StringList lines = BuildVerificationBlock(errors, std::mktime(&when));
  EXPECT_EQ(lines, Lines({std::string(PGPSignatureVerification),
                          "*** Signature made Fri Dec 11 11:38:04 2026 UTC using RSA key ID 0ADD36A3",
                          "*** Good signature from nymserver <config@nymserver.example>",
                          "*** " + std::string(128, 'w'), "*** Verified 03/04/26 17:05:09"}));
  EXPECT_EQ(errors.size(), 4u);  // the lines before the report are gone

  StringList unsignedErrors{"gpg: AES encrypted data", "gpg: original file name=''"};
  EXPECT_TRUE(BuildVerificationBlock(unsignedErrors).empty());
  EXPECT_TRUE(unsignedErrors.empty());
}

}  // namespace
}  // namespace fhr
