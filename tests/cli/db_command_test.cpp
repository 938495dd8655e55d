// fhr-cli db and pack: key paths with escapes, record bytes through stdin
// and stdout, refusals, and saving only when something changed.
#include <gtest/gtest.h>

#include "cli/db_path.h"
#include "storage/fhrdb.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

using test::RunCli;

TEST(CliDbPath, NamesAreEscapedAndPathsParsedBack) {
  const std::pair<std::string, std::string> names[] = {
      {"inbox", "inbox"},
      {"a b", "a b"},
      {"a/b\\c", "a\\x2Fb\\x5Cc"},
      {std::string("\x87\x01\x7F\xFF", 4), "\\x87\\x01\\x7F\\xFF"},
  };
  for (const auto& [name, escaped] : names) {
    EXPECT_EQ(cli::EscapeDbName(name), escaped);
    std::string error;
    const auto key = cli::ParseDbPath("f/" + escaped, &error);
    if (name.find('\xFF') != std::string::npos) {
      EXPECT_FALSE(key) << escaped;  // the separator cannot be inside a name
    } else {
      EXPECT_EQ(key, std::string("f\xFF") + name) << error;
    }
  }
  struct Bad {
    const char* path;
    const char* why;
  } bad[] = {{"a//b", "empty name"}, {"a\\x4", "short escape"}, {"a\\q", "bad escape"}, {"a\\x0Db", "CR"},
             {"1/2/3/4/5/6/7/8/9/10/11/12/13/14/15/16/17", "17 names"}};
  for (const Bad& b : bad) {
    std::string error;
    EXPECT_FALSE(cli::ParseDbPath(b.path, &error)) << b.why;
    EXPECT_FALSE(error.empty());
  }
  std::string error;
  EXPECT_EQ(cli::ParseDbPath("", &error), "");
  EXPECT_EQ(cli::ParseDbPath("/inbox/", &error), "inbox");
}

TEST(CliDb, PutCatLsRmOverTheDataDirectory) {
  test::TempDir dir;
  const auto db = [&](std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {"--data-dir", dir.path(), "db"});
    return RunCli(args, input);
  };
  const std::string bytes("line one\r\nbinary \0\xFF\x87 end", 24);
  EXPECT_EQ(db({"put", "inbox/a\\x2Fb"}, bytes).status, 0);
  EXPECT_EQ(db({"put", "settings"}, "nextsubject=2001\r\n").status, 0);
  EXPECT_EQ(db({"cat", "INBOX/A\\x2fB"}).out, bytes);
  EXPECT_EQ(db({"ls"}).out, "inbox\nsettings\n");
  EXPECT_EQ(db({"ls", "inbox"}).out, "a\\x2Fb\n");

  // What fhr-cli wrote is what the program reads.
  {
    auto mail = OpenMailDatabase(dir.file("fhr.db"));
    ASSERT_TRUE(mail);
    EXPECT_EQ(mail->GetDbSetting("nextsubject", ""), "2001");
    StringList keys;
    mail->ListInbox(keys);
    EXPECT_EQ(keys, StringList({"a/b"}));
  }

  struct Refused {
    std::vector<std::string> args;
    int status;
    const char* text;
  } refused[] = {
      {{"cat", "nothing"}, 1, "fhr-cli: the database has no record 'nothing'\n"},
      {{"rm", "nothing"}, 1, "fhr-cli: the database has no record 'nothing'\n"},
      {{"ls", "settings"}, 1, "fhr-cli: 'settings' is not a folder of the database\n"},
      {{"rm", "inbox"}, 1, "fhr-cli: 'inbox' is a folder that is not empty\n"},
      {{"put", "inbox"}, 1, "fhr-cli: 'inbox' is a folder, not a record\n"},
      {{"cat"}, 2, "fhr-cli: usage: fhr-cli db ls [PATH] | cat PATH | put PATH | rm PATH\n"},
      {{"cat", "a\\q"}, 2, "fhr-cli: in 'a\\q' a \\ must start \\xHH (two hexadecimal digits)\n"},
  };
  const std::string before = dir.read("fhr.db");
  for (const Refused& r : refused) {
    const auto result = db(r.args, "x");
    EXPECT_EQ(result.status, r.status) << r.args[0];
    EXPECT_EQ(result.err, r.text);
  }
  EXPECT_EQ(dir.read("fhr.db"), before);  // nothing changed, nothing written

  EXPECT_EQ(db({"rm", "inbox/a\\x2Fb"}).status, 0);
  EXPECT_EQ(db({"ls", "inbox"}).out, "");
  EXPECT_EQ(db({"rm", "inbox"}).status, 0);
  EXPECT_EQ(db({"ls"}).out, "settings\n");
}

TEST(CliDb, ADataDirectoryWithoutDatabaseListsNothingAndCreatesNoFile) {
  test::TempDir dir;
  const auto result = RunCli({"--data-dir", dir.path(), "db", "ls"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(dir.read("fhr.db"), "");
}

TEST(CliDb, SomethingElseInPlaceOfTheDatabaseIsRefusedAndKept) {
  test::TempDir dir;
  dir.write("fhr.db", "plain text");
  const auto result = RunCli({"--data-dir", dir.path(), "db", "put", "x"}, "y");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("isn't a FH database!"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("fhr-cli: I can't open the database"), std::string::npos);
  EXPECT_EQ(dir.read("fhr.db"), "plain text");
}

TEST(CliPack, PackShrinksTheFileAndKeepsTheRecords) {
  test::TempDir dir;
  const auto cli = [&](std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {"--data-dir", dir.path()});
    return RunCli(args, input);
  };
  const std::string big(20000, 'x');
  for (int i = 0; i < 10; ++i) ASSERT_EQ(cli({"db", "put", "inbox/m" + std::to_string(i)}, big + std::to_string(i)).status, 0);
  for (int i = 0; i < 10; i += 2) ASSERT_EQ(cli({"db", "rm", "inbox/m" + std::to_string(i)}).status, 0);
  const std::size_t before = dir.read("fhr.db").size();
  const auto packed = cli({"pack"});
  EXPECT_EQ(packed.status, 0) << packed.err;
  EXPECT_LT(dir.read("fhr.db").size(), before);
  EXPECT_EQ(cli({"db", "ls", "inbox"}).out, "m1\nm3\nm5\nm7\nm9\n");
  EXPECT_EQ(cli({"db", "cat", "inbox/m7"}).out, big + "7");
  EXPECT_EQ(cli({"pack", "extra"}).status, 2);
}

}  // namespace
}  // namespace fhr
