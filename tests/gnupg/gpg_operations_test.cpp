// The named GnuPG operations against the real gpg1, on keys and messages
// generated for this run: the layers of a nym message, signatures, wrong
// passphrases, damaged armor, key look-ups, export and the secret texts.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cctype>

#include "core/atomic_file.h"
#include "core/text_helpers.h"
#include "gnupg/gpg_error_report.h"
#include "gnupg/gpg_keys.h"
#include "gnupg/gpg_messages.h"
#include "gnupg/gpg_secrets.h"
#include "gnupg/pgp_block.h"
#include "gnupg/pgp_markers.h"
#include "support/gpg_fixtures.h"
#include "support/scripted_msgdialog.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

bool Contains(const StringList& lines, const std::string& text) {
  for (const std::string& line : lines) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

class GpgOperations : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fx_.ok) << fx_.log; }

  // Collects what would reach the user through the GnuPG error dialog.
  struct ErrorShower {
    ErrorShower() {
      previous = InstallGpgErrorShower([this](const StringList& errors, const StringList& status) {
        ++shown;
        lastErrors = errors;
        lastStatus = status;
      });
    }
    ~ErrorShower() { InstallGpgErrorShower(previous); }
    GpgErrorShower previous;
    int shown = 0;
    StringList lastErrors;
    StringList lastStatus;
  };

  const test::GpgFixtures& fx_ = test::SharedGpgFixtures();
  const GpgSetup setup_ = fx_.Setup();
  test::ScriptedMsgDialog dialogs_;
  ErrorShower errors_;
};

TEST_F(GpgOperations, NymMessageLayersPeelOffOneByOne) {
  StringList message = fx_.Lines("article.txt");
  StringList keys;
  ASSERT_TRUE(ListEncryptionKeys(setup_, message, keys));
  EXPECT_EQ(keys, StringList({"1 passphrase"}));

  StringList diagnostics;
  ASSERT_TRUE(Decrypt(setup_, message, "kp one", &diagnostics));
  EXPECT_EQ(message[0], "Path: news.example!not-for-mail");  // headers stay
  EXPECT_GE(FindMarker(message, BeginPGPDecryptedMessage), 0);
  EXPECT_LT(FindMarker(message, BeginPGPDecryptedVerifiedMessage), 0);
  EXPECT_TRUE(Contains(diagnostics, "[GNUPG:] DECRYPTION_OKAY"));
  EXPECT_GE(diagnostics.IndexOf("-----"), 0);

  ASSERT_TRUE(ListEncryptionKeys(setup_, message, keys));
  EXPECT_EQ(keys, StringList({"1 passphrase"}));
  ASSERT_TRUE(Decrypt(setup_, message, "kp two", nullptr));

  ASSERT_TRUE(ListEncryptionKeys(setup_, message, keys));
  EXPECT_EQ(keys, StringList({"0x00000000"}));  // throw-keyids
  ASSERT_TRUE(Decrypt(setup_, message, "alice pass", &diagnostics));

  const int verification = FindMarker(message, PGPSignatureVerification);
  const int banner = FindMarker(message, BeginPGPDecryptedVerifiedMessage);
  ASSERT_GE(verification, 0);
  ASSERT_GT(banner, verification);
  EXPECT_TRUE(Contains(message, "*** Good signature from \"nymserver <config@nymserver.example>\""));
  EXPECT_TRUE(message[banner - 1].starts_with("*** Verified "));
  EXPECT_EQ(message[banner + 1], "");
  EXPECT_EQ(message[banner + 2], "From: someone@example.org");
  EXPECT_GE(message.IndexOf("Secret body for alice."), 0);
  EXPECT_GE(FindMarker(message, EndPGPDecryptedVerifiedMessage), 0);
  EXPECT_EQ(errors_.shown, 0);
  EXPECT_TRUE(dialogs_.texts().empty());
}

TEST_F(GpgOperations, FailedDecryptionsLeaveTheBlockAndSayWhy) {
  struct Case {
    const char* file;
    const char* passphrase;
    const char* diagnostic;
  } cases[] = {
      {"inner.asc", "wrong pass", "[GNUPG:] BAD_PASSPHRASE"},
      {"mid.asc", "wrong pass", "[GNUPG:] DECRYPTION_FAILED"},  // a symmetric layer never says BAD_PASSPHRASE
      {"tobob.asc", "alice pass", "[GNUPG:] DECRYPTION_FAILED"},  // a message to another key
      {"inner.asc", "", "[GNUPG:] BAD_PASSPHRASE"},
  };
  for (const Case& c : cases) {
    StringList message = fx_.Lines(c.file);
    const StringList original = message;
    StringList diagnostics;
    EXPECT_FALSE(Decrypt(setup_, message, c.passphrase, &diagnostics)) << c.file;
    EXPECT_EQ(message, original) << c.file;
    EXPECT_TRUE(Contains(diagnostics, c.diagnostic)) << c.file << "\n" << diagnostics.Text();
  }
  EXPECT_EQ(errors_.shown, 0);  // the caller decides what to show
}

TEST_F(GpgOperations, PlaintextNamedAfterAStatusKeywordIsNoDecryption) {
  StringList message = fx_.Lines("statuskw.asc");
  StringList diagnostics;
  EXPECT_FALSE(Decrypt(setup_, message, "", &diagnostics));
  // The keyword is in the status text, as a file name; only the exact
  // keyword counts.
  EXPECT_TRUE(Contains(diagnostics, "DECRYPTION_OKAY")) << diagnostics.Text();
  EXPECT_FALSE(Contains(diagnostics, "[GNUPG:] DECRYPTION_OKAY"));
  EXPECT_EQ(message, fx_.Lines("statuskw.asc"));
}

TEST_F(GpgOperations, UnsignedMessageToAKeyWithoutPassphrase) {
  StringList message = fx_.Lines("tocarol.asc");
  message.Insert(3, "**");  // a stray line inside the armor goes for good
  StringList keys;
  ASSERT_TRUE(ListEncryptionKeys(setup_, message, keys));
  EXPECT_EQ(keys, StringList({fx_.carolSubkey}));
  EXPECT_EQ(message.IndexOf("**"), -1);
  ASSERT_TRUE(Decrypt(setup_, message, "", nullptr));
  EXPECT_EQ(message, StringList({std::string(BeginPGPDecryptedMessage), "", "Plain note for carol.", "",
                                 std::string(EndPGPDecryptedMessage)}));
}

TEST_F(GpgOperations, DamagedArmorIsRepairedAndValidArmorLeftAlone) {
  // The inner layer as a quoted-printable encoder leaves it: every "=" as
  // "=3D", in the padding and in the checksum line.
  StringList damaged;
  for (std::string line : fx_.Lines("inner.asc")) {
    for (auto at = line.find('='); at != std::string::npos; at = line.find('=', at + 3)) line.replace(at, 1, "=3D");
    damaged.Add(line);
  }
  ASSERT_TRUE(Contains(damaged, "=3D"));
  ASSERT_TRUE(Decrypt(setup_, damaged, "alice pass", nullptr));
  EXPECT_GE(damaged.IndexOf("Secret body for alice."), 0);

  // A valid checksum line that starts with two hex digits, as one message
  // in sixteen has, must not be "repaired".
  StringList hex = fx_.Lines("hexsum.asc");
  const int end = FindMarker(hex, EndPGPMessage);
  ASSERT_GT(end, 0);
  ASSERT_TRUE(std::isxdigit(static_cast<unsigned char>(hex[end - 1][1])) && hex[end - 1][1] <= 'F' &&
              std::isxdigit(static_cast<unsigned char>(hex[end - 1][2])) && hex[end - 1][2] <= 'F')
      << "the fixture generator found no such checksum: " << hex[end - 1];
  ASSERT_TRUE(Decrypt(setup_, hex, "hex pass", nullptr));
  EXPECT_TRUE(Contains(hex, "hex text "));
}

TEST_F(GpgOperations, ClearSignedTextIsVerifiedWhateverTheVerdict) {
  StringList message = fx_.Lines("clearsigned.asc");
  message.Insert(0, "Subject: notice");
  ASSERT_TRUE(VerifyClear(setup_, message));
  EXPECT_EQ(message[0], "Subject: notice");
  EXPECT_EQ(message[1], std::string(PGPSignatureVerification));
  EXPECT_TRUE(Contains(message, "*** Good signature from \"nymserver <config@nymserver.example>\""));
  const int begin = FindMarker(message, BeginPGPVerifiedMessage);
  ASSERT_GT(begin, 0);
  EXPECT_EQ(message[begin + 1], "");
  EXPECT_EQ(message[begin + 2], "nymserver notice");
  EXPECT_EQ(message[message.size() - 1], std::string(EndPGPVerifiedMessage));

  StringList stranger = fx_.Lines("strangersigned.asc");
  ASSERT_TRUE(VerifyClear(setup_, stranger));
  EXPECT_TRUE(Contains(stranger, "*** Can't check signature: public key not found")) << stranger.Text();
  EXPECT_GE(stranger.IndexOf("who am I"), 0);
  EXPECT_TRUE(dialogs_.texts().empty());
}

TEST_F(GpgOperations, KeysAreFoundByIdOrExactAddress) {
  const std::string record = GetPublicKeyLine(setup_, fx_.alice);
  EXPECT_TRUE(record.starts_with("alice <alice@nym.example>:")) << record;
  EXPECT_TRUE(FieldOf(4, record, ':', "").ends_with(fx_.alice.substr(2)));
  EXPECT_EQ(FieldOf(9, record, ':', ""), "alice <alice@nym.example>");

  EXPECT_EQ(ShortKeyId(setup_, "alice@nym.example"), fx_.alice);
  EXPECT_EQ(GetKeyUserId(setup_, fx_.nymserver), "nymserver <config@nymserver.example>");
  EXPECT_EQ(NymNameForKey(setup_, fx_.bob), "bob <bob@nym.example>");
  EXPECT_EQ(GetKeyUserId(setup_, "resend@nym.example"), "resend <resend@nym.example>");
  EXPECT_EQ(GetKeyUserId(setup_, "send@nym.example"), "");  // never the key of resend@
  EXPECT_EQ(GetPublicKeyLine(setup_, "0xDEADBEEF"), "");
  EXPECT_EQ(GetPublicKeyLine(setup_, "1 passphrase"), "");
  EXPECT_EQ(ShortKeyId(setup_, "0xDEADBEEF"), "");

  StringList lines;
  EXPECT_FALSE(ListPublicKeys(setup_, &lines, "nobody@nym.example"));  // gpg still prints its "tru:" line
  EXPECT_TRUE(ListPublicKeys(setup_, &lines, ""));
  EXPECT_TRUE(ListSecretKeys(setup_, &lines, ""));
  EXPECT_TRUE(Contains(lines, "sec::1024:1:"));
}

TEST_F(GpgOperations, ExportNeedsASilentGpg) {
  StringList block;
  ASSERT_TRUE(ExportKeys(setup_, fx_.nymserver, &block, true));
  EXPECT_EQ(block[0], "-----BEGIN PGP PUBLIC KEY BLOCK-----");
  EXPECT_EQ(errors_.shown, 0);

  EXPECT_FALSE(ExportKeys(setup_, "0xDEADBEEF", &block, true));
  EXPECT_TRUE(block.empty());
  EXPECT_EQ(errors_.shown, 1);
  EXPECT_TRUE(Contains(errors_.lastErrors, "nothing exported")) << errors_.lastErrors.Text();

  // A key block with a warning beside it is a failure too: here a home
  // that others may read.
  test::TempDir open;
  chmod(open.path().c_str(), 0755);
  std::string conf;
  ASSERT_TRUE(ReadWholeFile(fx_.home + "/gpg.conf", &conf, nullptr));
  open.write("gpg.conf", conf);
  GpgSetup openSetup = setup_;
  openSetup.home = open.path();
  EXPECT_FALSE(ExportKeys(openSetup, fx_.nymserver, &block, true));
  EXPECT_EQ(errors_.shown, 2);
  EXPECT_TRUE(Contains(errors_.lastErrors, "unsafe permissions")) << errors_.lastErrors.Text();
}

TEST_F(GpgOperations, ShortSecretsRoundTripAndKeysAreWiped) {
  std::string key = "session key";
  std::string encrypted;
  ASSERT_TRUE(EncryptStringToStream(setup_, key, "cached passphrase", &encrypted));
  EXPECT_TRUE(key.empty());
  EXPECT_EQ(encrypted.find("cached passphrase"), std::string::npos);

  std::string text;
  key = "session key";
  ASSERT_TRUE(DecryptStreamToString(setup_, key, encrypted, &text));
  EXPECT_EQ(text, "cached passphrase");
  EXPECT_TRUE(key.empty());

  key = "other key";
  EXPECT_FALSE(DecryptStreamToString(setup_, key, encrypted, &text));
  EXPECT_EQ(text, "");
  EXPECT_EQ(errors_.shown, 1);
}

TEST_F(GpgOperations, DatabaseImageRoundTripThroughStandardInput) {
  test::TempDir t;
  std::string image(300000, '\0');
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 31 % 256);
  const std::string file = t.file("fhr.db.new");
  t.write("fhr.db.new", "old contents are replaced");
  std::string passphrase = "db pass";
  ASSERT_TRUE(EncryptDatabase(setup_, passphrase, image, file));
  EXPECT_TRUE(passphrase.empty());
  std::string encrypted;
  ASSERT_TRUE(ReadWholeFile(file, &encrypted, nullptr));
  EXPECT_TRUE(IsOpenPGPFile(setup_, file));

  std::string decrypted;
  ASSERT_TRUE(DecryptDatabase(setup_, "db pass", encrypted, image.size(), &decrypted));
  EXPECT_TRUE(decrypted == image);

  // The secure-mode file keeps 8 bytes after gpg's part: given to gpg they
  // make it fail, so only gpg's part goes in, and the length must match.
  EXPECT_FALSE(DecryptDatabase(setup_, "db pass", encrypted, image.size() + 1, &decrypted));
  EXPECT_TRUE(decrypted.empty());
  EXPECT_EQ(errors_.shown, 1);
  EXPECT_FALSE(DecryptDatabase(setup_, "db pass", encrypted + "\x10\x00\x00\x00\x00\x00\x00\x00", image.size(),
                               &decrypted));
  EXPECT_EQ(errors_.shown, 2);

  EXPECT_FALSE(DecryptDatabase(setup_, "wrong", encrypted, image.size(), &decrypted));
  EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{"Bad passphrase!"}));

  t.write("plain.txt", "hello\n");
  EXPECT_FALSE(IsOpenPGPFile(setup_, t.file("plain.txt")));
  EXPECT_FALSE(IsOpenPGPFile(setup_, t.file("missing")));
}

TEST_F(GpgOperations, EncryptionIntoAnUnwritablePlaceFails) {
  std::string passphrase = "db pass";
  EXPECT_FALSE(EncryptDatabase(setup_, passphrase, "image", "/nonexistent/dir/fhr.db.new"));
  EXPECT_TRUE(passphrase.empty());
  EXPECT_EQ(errors_.shown, 1);
}

}  // namespace
}  // namespace fhr
