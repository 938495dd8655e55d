// What the front ends do with a pass's results: matched articles stored
// under complete keys (never dropped for want of a nym), only the last
// article written back into the account as it is now, the log merged.
#include <gtest/gtest.h>

#include <chrono>

#include "news/article_count.h"
#include "news/msgmans.h"
#include "news/progress_coalescer.h"
#include "news/retrieval_results.h"
#include "storage/fhrdb.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

class RetrievalResultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = OpenMailDatabase(dir_.file("fhr.db"));
    ASSERT_NE(db_, nullptr);
    StringList line;
    line.SetCommaText("subno=2000,active=1,\"subject=my nym\",esub=1,ephrase=x,keyid=0xAAAAAAAA");
    ASSERT_TRUE(db_->PutSubjectLine("2000", line));
    line.SetCommaText("subno=2001,active=1,subject=other,esub=0,keyid=0xBBBBBBBB");
    ASSERT_TRUE(db_->PutSubjectLine("2001", line));
  }

  static WorkerMessage Article(std::int64_t number, const std::string& subno) {
    WorkerMessage m;
    m.id = WorkerMessageId::kNewArticle;
    m.article_number = number;
    m.lines = {"Subject-No: " + subno, "From: nobody@test.invalid", "Subject: 0123abcd",
               "Message-ID: <" + std::to_string(number) + "@x>", "", "body"};
    return m;
  }

  test::TempDir dir_;
  std::unique_ptr<TFHRDB> db_;
};

TEST_F(RetrievalResultsTest, StoresEveryMatchWithAUniqueStampAndANymOrAPlaceholder) {
  // A fixed clock: every article arrives in the same millisecond.
  auto fixed = [] { return std::chrono::system_clock::time_point(std::chrono::seconds(1700000000)); };
  MailStore store(*db_, [](const std::string& key) { return key == "0xAAAAAAAA" ? "alice" : ""; }, fixed);
  auto first = store.Store(101, Article(101, "2000").lines);
  auto second = store.Store(102, Article(102, "2001").lines);
  auto orphan = store.Store(103, Article(103, "2999").lines);  // its subject line was removed meanwhile
  ASSERT_TRUE(first && second && orphan);
  EXPECT_EQ(store.stored(), 3);

  const ListKeyFields a = ParseListKey(*first), b = ParseListKey(*second), c = ParseListKey(*orphan);
  EXPECT_NE(a.stamp, b.stamp);
  EXPECT_NE(b.stamp, c.stamp);
  EXPECT_EQ(a.articleNumber, "101");
  EXPECT_EQ(a.subjectLine, "my nym");
  EXPECT_EQ(a.subno, "2000");
  EXPECT_EQ(a.nym, "alice");
  EXPECT_EQ(b.nym, "unknown nym (0xBBBBBBBB)");
  EXPECT_EQ(c.nym, "unknown nym");
  EXPECT_EQ(c.subno, "2999");

  StringList stored;
  ASSERT_TRUE(db_->ReadMessage(*first, stored));
  EXPECT_EQ(stored[0], "Subject-No: 2000") << "stored with its subject number";
  StringList keys;
  ASSERT_TRUE(db_->ListInbox(keys));
  EXPECT_EQ(keys.size(), 3u);

  // A second store over the same database never reuses a stamp.
  MailStore later(*db_, {}, fixed);
  auto fourth = later.Store(104, Article(104, "2000").lines);
  ASSERT_TRUE(fourth);
  for (const std::string& key : keys) EXPECT_NE(StampOf(key), StampOf(*fourth));
}

TEST_F(RetrievalResultsTest, OnlyTheLastArticleIsWrittenBackIntoTheCurrentRecord) {
  StringList account;
  account.SetCommaText("key=news,host=old.example,port=119,lastarticle=10");
  ASSERT_TRUE(db_->PutHost("news", account));
  RetrievalResults results(*db_, "news", {}, 1000);
  // The user edits the account while the pass runs.
  account.SetValue("host", "new.example");
  account.SetValue("userid", "me");
  ASSERT_TRUE(db_->PutHost("news", account));

  WorkerMessage finished;
  finished.id = WorkerMessageId::kRunFinished;
  finished.last_article = 57;
  results.Apply(finished);
  StringList now;
  ASSERT_TRUE(db_->GetHost("news", now));
  EXPECT_EQ(now.Value("host"), "new.example");
  EXPECT_EQ(now.Value("userid"), "me");
  EXPECT_EQ(now.Value("lastarticle"), "57");

  // A run without a new last article (check, early end) changes nothing.
  finished.last_article.reset();
  results.Apply(finished);
  ASSERT_TRUE(db_->GetHost("news", now));
  EXPECT_EQ(now.Value("lastarticle"), "57");

  // An account removed during the pass is not brought back.
  StringList hosts;
  ASSERT_TRUE(db_->WriteHosts(hosts));
  finished.last_article = 99;
  results.Apply(finished);
  ASSERT_TRUE(db_->ReadHosts(hosts));
  EXPECT_TRUE(hosts.empty());
  EXPECT_FALSE(results.failed());
}

TEST_F(RetrievalResultsTest, ThePassLogJoinsTheStoredLogTrimmed) {
  StringList old;
  for (int i = 0; i < 995; ++i) old.Add("old " + std::to_string(i));
  ASSERT_TRUE(db_->WriteLog(old));
  RetrievalResults results(*db_, "news", {}, 1000);
  WorkerMessage ended;
  ended.id = WorkerMessageId::kWorkerEnded;
  for (int i = 0; i < 20; ++i) ended.pass_log.Add("new " + std::to_string(i));
  results.Apply(ended);
  StringList log;
  ASSERT_TRUE(db_->ReadLog(log));
  ASSERT_EQ(log.size(), 1000u);
  EXPECT_EQ(log[0], "old 16");
  EXPECT_EQ(log[979], "");
  EXPECT_EQ(log[999], "new 19");
}

TEST(ArticleCountTest, AnswersAreReadAsTheDialogReadsThem) {
  std::string problem;
  EXPECT_EQ(ParseArticleCount("100", 5000, &problem), 100);
  EXPECT_EQ(ParseArticleCount("0", 5000, &problem), 1);
  EXPECT_EQ(ParseArticleCount("9999", 5000, &problem), 5000);
  EXPECT_EQ(ParseArticleCount("", 5000, &problem), 1);
  EXPECT_EQ(ParseArticleCount("99999999999999999999", 5000, &problem), 1);
  EXPECT_FALSE(ParseArticleCount("1e3", 5000, &problem));
  EXPECT_NE(problem.find("character 'e'"), std::string::npos);
}

TEST(ProgressCoalescerTest, KeepsTheFirstAndTheLastAndNeverGoesBack) {
  auto now = std::chrono::steady_clock::time_point{};
  std::vector<Progress> sent;
  ProgressCoalescer coalescer(
      std::chrono::milliseconds(250), [&](const Progress& p) { sent.push_back(p); }, [&] { return now; });
  coalescer.Reset();
  for (int i = 1; i <= 100; ++i) {
    coalescer.Report(MakeProgress(100, i, 0));
    now += std::chrono::milliseconds(10);  // 100 reports in one second
  }
  coalescer.Report(Progress{40, "a stray lower figure"});
  coalescer.Reset();
  ASSERT_GE(sent.size(), 4u);
  EXPECT_LE(sent.size(), 8u) << "a few reports a second";
  EXPECT_EQ(sent.front().text, "");
  EXPECT_EQ(sent[1].text, "1 of 100") << "the first report of a pass goes out at once";
  EXPECT_EQ(sent[sent.size() - 2].percent, 100) << "the last one is never dropped, nor lowered";
  EXPECT_EQ(sent.back().text, "");
  EXPECT_EQ(sent.back().percent, 0);
  for (std::size_t i = 2; i + 1 < sent.size(); ++i) EXPECT_GE(sent[i].percent, sent[i - 1].percent);
}

}  // namespace
}  // namespace fhr
