// fhr-cli ls, show and rm over a data directory's stored messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "news/list_key.h"
#include "storage/fhrdb.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

using test::RunCli;

struct Message {
  std::string key;
  StringList lines;
};

std::string Key(const std::string& stamp, bool read, const std::string& subject, const std::string& size,
                const std::string& from) {
  const std::string firstHalf = stamp + "\x80\x80" + "\x87" + subject + "\x87" + size + "\x87" + from;
  return WithReadFlag(CompleteListKey(firstHalf, 11, "hsub", "1", "alice"), read);
}

class MessageCommands : public testing::Test {
 protected:
  void SetUp() override {
    // Stored out of order: the listing sorts newest first.
    messages_ = {
        {Key("170305142207123", false, "first", "60", "Alice <a@x>"),
         {"Subject-No: 1", "From: Alice <a@x>", "Subject: first", "", "body 1"}},
        {Key("180101000000000", true, "third", "70", "Carol"), {"Subject-No: 2", "From: Carol", "", "body 3"}},
        {Key("170305142207124", false, "sec\\ond", "65", "Bob  \tb"),
         {"Subject-No: 1", "From: Bob", "\tb", "Subject: sec\\ond", "", "body 2"}},
    };
    auto db = OpenMailDatabase(t_.file("fhr.db"));
    ASSERT_TRUE(db);
    for (const Message& m : messages_) ASSERT_TRUE(db->WriteMessage(m.key, m.lines));
    ASSERT_TRUE(db->SaveDatabase());
  }

  test::CliResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", t_.path()});
    return RunCli(args);
  }

  test::TempDir t_;
  std::vector<Message> messages_;
};

TEST_F(MessageCommands, LsListsNewestFirstWithEscapedFields) {
  const auto r = Cli({"ls"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "180101000000000\tread\t2018-01-01 00:00\tCarol\tthird\t70\n"
            "170305142207124\tnew\t2017-03-05 14:22\tBob  \\x09b\tsec\\x5Cond\t65\n"
            "170305142207123\tnew\t2017-03-05 14:22\tAlice <a@x>\tfirst\t60\n");
}

TEST_F(MessageCommands, ShowPrintsTheArticleWithoutItsSubjectNumberAndChangesNothing) {
  const std::string before = t_.read("fhr.db");
  const auto r = Cli({"show", "170305142207124"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "From: Bob\n\tb\nSubject: sec\\ond\n\nbody 2\n");
  EXPECT_EQ(t_.read("fhr.db"), before);
}

TEST_F(MessageCommands, RmDeletesOneMessageAndSavesTheDatabase) {
  const auto r = Cli({"rm", "170305142207124"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Cli({"ls"}).out,
            "180101000000000\tread\t2018-01-01 00:00\tCarol\tthird\t70\n"
            "170305142207123\tnew\t2017-03-05 14:22\tAlice <a@x>\tfirst\t60\n");
  EXPECT_EQ(Cli({"show", "170305142207124"}).status, 1);

  // The others are intact in the saved file.
  auto db = OpenMailDatabase(t_.file("fhr.db"));
  ASSERT_TRUE(db);
  StringList lines;
  ASSERT_TRUE(db->ReadMessage(messages_[1].key, lines));
  EXPECT_EQ(lines, messages_[1].lines);
}

TEST_F(MessageCommands, MistakesAndUnknownStamps) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* error;
  } cases[] = {
      {{"ls", "extra"}, 2, "fhr-cli: ls takes no arguments\n"},
      {{"show"}, 2, "fhr-cli: usage: fhr-cli show STAMP (15 digits)\n"},
      {{"show", "1703051422071"}, 2, "fhr-cli: usage: fhr-cli show STAMP (15 digits)\n"},
      {{"show", "17030514220712x"}, 2, "fhr-cli: usage: fhr-cli show STAMP (15 digits)\n"},
      {{"rm", "170305142207123", "180101000000000"}, 2, "fhr-cli: usage: fhr-cli rm STAMP (15 digits)\n"},
      {{"show", "170305142207125"}, 1,
       "fhr-cli: no stored message has the stamp 170305142207125 (see fhr-cli ls)\n"},
      {{"rm", "990101000000000"}, 1, "fhr-cli: no stored message has the stamp 990101000000000 (see fhr-cli ls)\n"},
  };
  const std::string before = t_.read("fhr.db");
  for (const auto& c : cases) {
    const auto r = Cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.error;
    EXPECT_EQ(r.err, c.error);
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(t_.read("fhr.db"), before);
}

TEST(MessageCommandsWithoutMail, AnEmptyDataDirectoryListsNothingAndStaysEmpty) {
  test::TempDir t;
  const auto r = RunCli({"--data-dir", t.path(), "ls"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(std::filesystem::exists(t.file("fhr.db")));
}

TEST(MessageCommandsWithoutMail, ADamagedDatabaseIsReportedAndLeftAlone) {
  test::TempDir t;
  const std::string junk = "this is not a database file at all";
  t.write("fhr.db", junk);
  for (const char* command : {"ls", "rm"}) {
    std::vector<std::string> args = {"--data-dir", t.path(), command};
    if (std::string(command) == "rm") args.push_back("170305142207123");
    const auto r = RunCli(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("fhr-cli: I couldn't open the database " + t.file("fhr.db")), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(t.read("fhr.db"), junk);
}

}  // namespace
}  // namespace fhr
