// fhr-cli decrypt on a nym message stored with its subject line in a test
// database, against the real gpg1 fixture keys.
#include <gtest/gtest.h>

#include <unistd.h>

#include "news/list_key.h"
#include "news/msgmans.h"
#include "news/subject_line.h"
#include "storage/fhrdb.h"
#include "support/cli_runner.h"
#include "support/decrypt_fixtures.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

class DecryptCli : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fx_.ok) << fx_.log;
    std::string conf;
    data_.write("gpg.conf", fx_.Lines("home/gpg.conf").Text());
    SubjectLine subject;
    subject.subno = "2000";
    subject.active = true;
    subject.subject = "0123456789abcdef";
    subject.ekey = true;
    subject.kphrase = "kp one,kp two";
    subject.keyid = fx_.alice;
    StringList record;
    record.SetCommaText(SubjectLineText(subject));
    StringList lines = fx_.Lines("twolayers.txt");
    InsertSubjectNo(lines, "2000");
    key_ = CompleteListKey(TMsgManager(lines).MakeListKey(), 11, subject.subject, "2000", "alice");
    stamp_ = StampOf(key_);
    auto db = OpenMailDatabase(data_.file("fhr.db"));
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->PutSubjectLine("2000", record));
    ASSERT_TRUE(db->WriteMessage(key_, lines));
    ASSERT_TRUE(db->SaveDatabase());
  }

  test::CliResult Cli(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {"--data-dir", data_.path(), "--yes"});
    return test::RunCli(args, input);
  }

  const test::DecryptFixtures& fx_ = test::SharedDecryptFixtures();
  test::TempDir data_;
  std::string key_;
  std::string stamp_;
};

TEST_F(DecryptCli, PrintsTheDecryptedMessageWithItsVerificationLines) {
  const std::string before = data_.read("fhr.db");
  const auto r = Cli({"decrypt", stamp_}, "alice pass\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("*** PGP SIGNATURE VERIFICATION ***\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Good signature from \"nymserver2 <config@nym.example>\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("*** BEGIN PGP DECRYPTED/VERIFIED MESSAGE ***\n\nFrom: sender@example.org\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("Secret body for alice.\n"), std::string::npos);
  EXPECT_EQ(r.out.find("Subject-No:"), std::string::npos);
  EXPECT_EQ(r.out.find("BEGIN PGP MESSAGE"), std::string::npos);
  EXPECT_NE(r.err.find("Decrypting NYM Message Public-Key Layer"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(fx_.alice + " alice <alice@nym.example>"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Warning"), std::string::npos) << r.err;
  // Without --save nothing is written.
  EXPECT_EQ(data_.read("fhr.db"), before);
}

TEST_F(DecryptCli, SaveStoresTheDecryptedTextUnderTheSenderAndReadFlag) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const std::string answers = "wrong\nalice pass\n";
  ASSERT_EQ(write(fds[1], answers.data(), answers.size()), static_cast<ssize_t>(answers.size()));
  close(fds[1]);
  const auto r = Cli({"--passphrase-fd", std::to_string(fds[0]), "decrypt", stamp_, "--save"});
  close(fds[0]);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Bad passphrase!"), std::string::npos) << r.err;

  const auto listed = Cli({"ls"});
  EXPECT_TRUE(listed.out.starts_with(stamp_ + "\tread\t")) << listed.out;
  EXPECT_NE(listed.out.find("\tsender@example.org\t"), std::string::npos) << listed.out;
  const auto shown = Cli({"show", stamp_});
  EXPECT_NE(shown.out.find("Secret body for alice.\n"), std::string::npos) << shown.out;
  EXPECT_EQ(shown.out.find("BEGIN PGP MESSAGE"), std::string::npos);
  // The stored text keeps its subject line number for the next decryption.
  auto db = OpenMailDatabase(data_.file("fhr.db"));
  StringList keys;
  ASSERT_TRUE(db->ListInbox(keys));
  ASSERT_EQ(keys.size(), 1u);
  StringList stored;
  ASSERT_TRUE(db->ReadMessage(keys[0], stored));
  EXPECT_EQ(stored[0], "Subject-No: 2000");
}

TEST_F(DecryptCli, FailuresLeaveTheMessageAndSayWhy) {
  const std::string before = data_.read("fhr.db");
  struct Case {
    std::vector<std::string> args;
    std::string input;
    int status;
    const char* err;
  } cases[] = {
      {{"decrypt", stamp_, "--save"}, "wrong\n", 1, "was not decrypted"},
      {{"decrypt", stamp_}, "", 1, "no input for"},
      {{"decrypt", "999999999999999"}, "", 1, "no stored message has the stamp"},
      {{"decrypt"}, "", 2, "usage: fhr-cli decrypt"},
      {{"decrypt", stamp_, "--bogus"}, "", 2, "usage: fhr-cli decrypt"},
  };
  for (const Case& c : cases) {
    const auto r = Cli(c.args, c.input);
    EXPECT_EQ(r.status, c.status) << c.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  EXPECT_EQ(data_.read("fhr.db"), before);
}

}  // namespace
}  // namespace fhr
