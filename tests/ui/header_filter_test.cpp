// The fewer-headers view: which header and verification lines survive.
#include "ui/header_filter.h"

#include <gtest/gtest.h>

namespace fhr {
namespace {

StringList Filtered(StringList lines) {
  FilterHeaders(lines);
  return lines;
}

TEST(FilterHeaders, UndecryptedArticleKeepsFromAndDateOnly) {
  StringList in{"Path: x", "From: a", "Subject: s", "\tt", "Date: d", "", "-----BEGIN PGP MESSAGE-----", "body"};
  EXPECT_EQ(Filtered(in), (StringList{"From: a", "Date: d", "", "-----BEGIN PGP MESSAGE-----", "body"}));
}

TEST(FilterHeaders, DecryptedMessageKeepsVerificationAndLetterHeader) {
  StringList in{"Path: x",
                "From: a",
                "Date: d",
                "",
                "*** PGP SIGNATURE VERIFICATION ***",
                "*** Signature made X",
                "*** binary signature",
                "*** Good signature from Y",
                "*** Verified V",
                "*** BEGIN PGP DECRYPTED/VERIFIED MESSAGE ***",
                "",
                "Received: z",
                "From: b",
                "To: c",
                "Subject: t",
                "",
                "body",
                "*** END PGP DECRYPTED/VERIFIED MESSAGE ***"};
  EXPECT_EQ(Filtered(in), (StringList{"From: a", "Date: d", "", "*** PGP SIGNATURE VERIFICATION ***",
                                      "*** Signature made X", "*** Good signature from Y", "*** Verified V", "",
                                      "From: b", "To: c", "Subject: t", "", "body"}));
}

TEST(FilterHeaders, LastVerificationLineIsNeverKept) {
  StringList in{"From: a", "", "*** Good signature from Y", "*** Verified V", "", "From: b", "", "body"};
  EXPECT_EQ(Filtered(in), (StringList{"From: a", "", "*** Good signature from Y", "", "From: b", "", "body"}));
}

TEST(FilterHeaders, WholeHeaderNameMustBeKept) {
  // "x-date" contains "date" but is not a kept name; a continuation of a
  // dropped header goes with it, one of a kept header stays.
  StringList in{"X-Date: y", " more", "From: a", " folded", "Date: d", "", "-----BEGIN PGP SIGNED MESSAGE-----"};
  EXPECT_EQ(Filtered(in),
            (StringList{"From: a", " folded", "Date: d", "", "-----BEGIN PGP SIGNED MESSAGE-----"}));
}

TEST(FilterHeaders, SecondVerificationBlockAndEndMarkers) {
  StringList in{"From: a", "", "*** x", "", "Comment: c", "Cc: d", "X: e", "", "*** signature ok", "*** banner",
                "text", "*** END PGP DECRYPTED MESSAGE ***", "*** END PGP VERIFIED MESSAGE ***", "tail",
                "*** END PGP VERIFIED MESSAGE ***"};
  EXPECT_EQ(Filtered(in),
            (StringList{"From: a", "", "", "Comment: c", "Cc: d", "", "*** signature ok", "text", "tail"}));
}

TEST(FilterHeaders, OddShapesEndSafely) {
  // No blank line, a header running to the end, nothing at all, and a line
  // without a colon that ends the header.
  EXPECT_EQ(Filtered({"Path: x", "From: a"}), (StringList{"From: a"}));
  EXPECT_EQ(Filtered({}), StringList{});
  EXPECT_EQ(Filtered({"Path: x", " cont"}), StringList{});
  EXPECT_EQ(Filtered({"Path: x", "no colon here", "Path: y"}), (StringList{"no colon here", "Path: y"}));
  // The first line ends the header; the run after it is a verification
  // block whose only line is its banner.
  EXPECT_EQ(Filtered({"***", "***"}), StringList{"***"});
}

TEST(NeedsDecryption, ExactMarkerLinesOnly) {
  EXPECT_TRUE(NeedsDecryption({"a", "-----BEGIN PGP MESSAGE-----"}));
  EXPECT_TRUE(NeedsDecryption({"-----BEGIN PGP SIGNED MESSAGE-----"}));
  EXPECT_FALSE(NeedsDecryption({" -----BEGIN PGP MESSAGE-----", "-----BEGIN PGP MESSAGE----- "}));
  EXPECT_FALSE(NeedsDecryption({}));
}

}  // namespace
}  // namespace fhr
