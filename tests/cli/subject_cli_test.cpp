// fhr-cli subject and tag test over a real database in a temporary data
// directory.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "news/hsub.h"
#include "news/subject_line.h"
#include "storage/fhrdb.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

// A published Blowfish-form ESUB of subject "text" under passphrase "key".
const std::string kEsub = "14857375e7174ae1dd83b80612f8a148e2777c7ae78c4c7d";

class CliSubjects : public ::testing::Test {
 protected:
  test::CliResult Cli(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {"--data-dir", dir_.path()});
    return test::RunCli(args, input);
  }
  void SetNextSubject(const std::string& value) {
    auto db = OpenMailDatabase(dir_.file("fhr.db"));
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->SetDbSetting("nextsubject", value));
    ASSERT_TRUE(db->SaveDatabase());
  }
  std::string NextSubject() {
    auto db = OpenMailDatabase(dir_.file("fhr.db"));
    return db ? db->GetDbSetting("nextsubject", "") : "no database";
  }
  test::TempDir dir_;
};

TEST_F(CliSubjects, AddListTestEnableDisableRemove) {
  auto esub = Cli({"subject", "add", "--esub", "--keyid", "0x11111111"}, "text\nkey\n");
  ASSERT_EQ(esub.status, 0) << esub.err;
  EXPECT_EQ(esub.out, "2000\n");
  EXPECT_EQ(NextSubject(), "2001");
  auto hsub = Cli({"subject", "add", "--hsub", "--ekey", "--keyid", "0x22222222"}, "hidden\npw1,pw2\n");
  ASSERT_EQ(hsub.status, 0) << hsub.err;
  EXPECT_EQ(hsub.out, "2001\n");
  EXPECT_EQ(Cli({"subject", "ls"}).out,
            "2000 active encrypted 0x11111111\n"
            "2001 active hashed 0x22222222 encrypt-key\n");
  {
    auto db = OpenMailDatabase(dir_.file("fhr.db"));
    StringList record;
    ASSERT_TRUE(db->GetSubjectLine("2001", record));
    EXPECT_EQ(record.Value("kphrase"), "pw1,pw2");
    EXPECT_EQ(record.Value("subject"), "hidden");
  }

  const std::string hsubTag = *MakeHashedSubject("hidden");
  EXPECT_EQ(Cli({"tag", "test", kEsub}).out, "2000\n");
  EXPECT_EQ(Cli({"tag", "test", hsubTag}).out, "2001\n");
  auto none = Cli({"tag", "test", "14857375e7174ae1dd83b80612f8a148e2777c7ae78c4c7e"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out + none.err, "");
  EXPECT_EQ(Cli({"tag", "test", ""}).status, 1);

  EXPECT_EQ(Cli({"subject", "disable", "2000"}).status, 0);
  EXPECT_EQ(Cli({"tag", "test", kEsub}).status, 1);  // inactive lines are ignored
  EXPECT_EQ(Cli({"subject", "enable", "2000"}).status, 0);
  EXPECT_EQ(Cli({"tag", "test", kEsub}).out, "2000\n");

  EXPECT_EQ(Cli({"subject", "rm", "2000"}).status, 0);
  EXPECT_EQ(Cli({"subject", "ls"}).out, "2001 active hashed 0x22222222 encrypt-key\n");
  EXPECT_EQ(Cli({"tag", "test", kEsub}).status, 1);
  // Numbers are never given out twice, even after a removal.
  EXPECT_EQ(Cli({"subject", "add", "--esub", "--keyid", "0x1"}, "text\nkey\n").out, "2002\n");
}

TEST_F(CliSubjects, NumbersStayAboveStoredLinesAndTheFloor) {
  SetNextSubject("1500");
  EXPECT_EQ(Cli({"subject", "add", "--hsub", "--keyid", "k"}, "a\n").out, "2000\n");
  EXPECT_EQ(Cli({"subject", "add", "--hsub", "--keyid", "k"}, "b\n").out, "2001\n");
  SetNextSubject("2000");  // stale: lines 2000 and 2001 exist
  EXPECT_EQ(Cli({"subject", "add", "--hsub", "--keyid", "k"}, "c\n").out, "2002\n");
  EXPECT_EQ(NextSubject(), "2003");
}

TEST_F(CliSubjects, Mistakes) {
  ASSERT_EQ(Cli({"subject", "add", "--hsub", "--keyid", "k"}, "taken\n").status, 0);
  ASSERT_EQ(Cli({"subject", "add", "--esub", "--keyid", "k"}, "text\nkey\n").status, 0);
  const struct {
    std::vector<std::string> args;
    std::string input;
    int status;
    const char* error;
  } cases[] = {
      {{"subject"}, "", 2, "fhr-cli: usage: fhr-cli subject add"},
      {{"subject", "add", "--hsub"}, "x\n", 2, "fhr-cli: usage:"},
      {{"subject", "add", "--keyid", "k"}, "x\n", 2, "fhr-cli: usage:"},
      {{"subject", "add", "--hsub", "--esub", "--keyid", "k"}, "x\n", 2, "fhr-cli: usage:"},
      {{"subject", "add", "--hsub", "--keyid", "k", "secret"}, "x\n", 2, "fhr-cli: usage:"},
      {{"subject", "add", "--hsub", "--keyid", "k"}, "\n", 1, "fhr-cli: the secret must not be empty"},
      {{"subject", "add", "--esub", "--keyid", "k"}, "s\n\n", 1, "fhr-cli: the passphrase must not be empty"},
      {{"subject", "add", "--esub", "--keyid", "k"}, "s\n", 1, "fhr-cli: no input for 'Passphrase'"},
      {{"subject", "add", "--hsub", "--ekey", "--keyid", "k"}, "s\n\n", 1,
       "fhr-cli: With encrypt-key enabled a password is required!"},
      {{"subject", "add", "--hsub", "--keyid", "k"}, "taken\n", 1, "fhr-cli: This HASHED subject already exists!"},
      {{"subject", "add", "--esub", "--keyid", "k"}, "text\nkey\n", 1,
       "fhr-cli: This ESUB subject/password pair already exists!"},
      {{"subject", "enable", "1999"}, "", 1, "fhr-cli: there is no subject line 1999"},
      {{"subject", "rm", "02000"}, "", 1, "fhr-cli: there is no subject line 02000"},
      {{"tag", "test"}, "", 2, "fhr-cli: usage: fhr-cli tag"},
  };
  for (const auto& c : cases) {
    auto r = Cli(c.args, c.input);
    EXPECT_EQ(r.status, c.status) << c.error;
    EXPECT_EQ(r.err.rfind(c.error, 0), 0u) << r.err;
  }
  // Same subject, other passphrase or kind: not a duplicate.
  EXPECT_EQ(Cli({"subject", "add", "--esub", "--keyid", "k"}, "text\nkez\n").status, 0);
  EXPECT_EQ(Cli({"subject", "add", "--esub", "--keyid", "k"}, "taken\nkey\n").status, 0);
  const std::string listing = Cli({"subject", "ls"}).out;
  EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 4) << listing;
}

}  // namespace
}  // namespace fhr
