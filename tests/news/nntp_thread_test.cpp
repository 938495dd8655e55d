// The retrieval worker against a news server whose numbers and failures the
// test chooses: where each pass starts, what it reports, where it leaves the
// account's last article, and that it never loses a message or blocks.
#include <gtest/gtest.h>

#include <functional>

#include "news/esub.h"
#include "news/hsub.h"
#include "news/nntp_thread.h"
#include "news/subject_line.h"
#include "support/fake_news_server.h"

namespace fhr {
namespace {

constexpr const char* kGroup = "alt.anonymous.messages";

std::string LineText(const std::string& subno, bool esub, const std::string& subject, const std::string& phrase) {
  SubjectLine line;
  line.subno = subno;
  line.active = true;
  line.esub = esub;
  line.subject = subject;
  line.ephrase = phrase;
  line.keyid = "0x11111111";
  return SubjectLineText(line);
}

RetrievalJob Job(RetrievalMode mode, int port, const std::string& lastarticle) {
  RetrievalJob job;
  job.mode = mode;
  job.account_name = "test";
  job.account.SetValue("key", "test");
  job.account.SetValue("host", "127.0.0.1");
  job.account.SetValue("port", std::to_string(port));
  job.account.SetValue("lastarticle", lastarticle);
  job.subject_lines = {LineText("2000", true, "nym subject", "nym pass"), LineText("2001", false, "hsub secret", "")};
  job.newsgroup = kGroup;
  job.session.timeout = std::chrono::seconds(10);
  job.progress_interval = std::chrono::milliseconds(0);
  job.pipeline_window = 4;
  return job;
}

struct WorkerRun {
  std::vector<WorkerMessage> messages;
  int questions = 0;

  std::vector<WorkerMessage> Of(WorkerMessageId id) const {
    std::vector<WorkerMessage> found;
    for (const WorkerMessage& m : messages) {
      if (m.id == id) found.push_back(m);
    }
    return found;
  }
  const WorkerMessage* Finished() const {
    for (const WorkerMessage& m : messages) {
      if (m.id == WorkerMessageId::kRunFinished) return &m;
    }
    return nullptr;
  }
  std::optional<std::int64_t> LastArticle() const { return Finished() ? Finished()->last_article : std::nullopt; }
  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    for (const WorkerMessage& m : Of(WorkerMessageId::kStatusLine)) {
      if (m.first == 0) lines.push_back(m.text);
    }
    return lines;
  }
  bool Logged(const std::string& line) const {
    for (const std::string& l : LogLines()) {
      if (l == line) return true;
    }
    return false;
  }
};

// Runs the job to its "worker ended", answering the article-count question
// with `count` and every message request with OK. `each` sees every message
// as it arrives (and may cancel the worker).
WorkerRun RunWorker(RetrievalJob job, long long count = -1,
              const std::function<void(TNNTPThread&, const WorkerMessage&)>& each = {}) {
  WorkerQueue queue;
  WorkerRun run;
  TNNTPThread worker(std::move(job), &queue);
  worker.Start();
  for (;;) {
    std::optional<WorkerMessage> message = queue.Take(std::chrono::seconds(20));
    if (!message) {
      ADD_FAILURE() << "the worker sent nothing for 20 s";
      worker.Cancel();
      continue;
    }
    if (message->id == WorkerMessageId::kArticleCountQuestion) {
      ++run.questions;
      message->reply->Answer(count);
    }
    if (message->id == WorkerMessageId::kMessageRequest) message->reply->Answer(1);
    if (each) each(worker, *message);
    run.messages.push_back(*message);
    if (message->id == WorkerMessageId::kWorkerEnded) break;
  }
  EXPECT_FALSE(queue.TryTake().has_value()) << "nothing follows worker ended";
  return run;
}

std::vector<std::int64_t> ArticlesAsked(const test::FakeNewsServer& server) {
  std::vector<std::int64_t> asked;
  for (const std::string& c : server.commands()) {
    if (c.rfind("ARTICLE ", 0) == 0) asked.push_back(std::stoll(c.substr(8)));
  }
  return asked;
}

TEST(RetrievalPassTest, GetFetchesFromTheLastArticleOnAndReportsEveryStep) {
  test::FakeNewsServer server(kGroup, 4000, 5003);
  server.FillWithNoise();
  server.Start();
  WorkerRun run = RunWorker(Job(RetrievalMode::kGet, server.port(), "5000"));
  EXPECT_EQ(ArticlesAsked(server), (std::vector<std::int64_t>{5001, 5002, 5003}));
  EXPECT_EQ(run.LastArticle(), 5003);
  std::vector<std::pair<std::int64_t, std::string>> progress;
  for (const WorkerMessage& m : run.Of(WorkerMessageId::kProgress)) progress.emplace_back(m.first, m.text);
  // Empty progress at the start and the end; between them one report per
  // article, total 2 (high minus the starting number).
  EXPECT_EQ(progress, (std::vector<std::pair<std::int64_t, std::string>>{
                          {0, ""}, {0, ""}, {50, "1 of 2"}, {100, "2 of 2"}, {0, ""}}));
  EXPECT_TRUE(run.Logged("Starting message: 5001"));
  EXPECT_TRUE(run.Logged("Ending message: 5003"));
  EXPECT_TRUE(run.Logged("No mail"));
  EXPECT_EQ(run.messages.back().id, WorkerMessageId::kWorkerEnded);
  EXPECT_EQ(run.Finished()->first, 0);
  EXPECT_TRUE(run.Of(WorkerMessageId::kSaveRequest).empty());
}

TEST(RetrievalPassTest, StartingNumberTable) {
  struct Case {
    const char* name;
    RetrievalMode mode;
    const char* lastarticle;
    long long answer;
    std::int64_t low, high;
    std::optional<std::int64_t> first_asked;  // first ARTICLE, or the HDR range start for check
    std::optional<std::int64_t> last_article;
    int questions;
  };
  const Case cases[] = {
      {"below low: get", RetrievalMode::kGet, "100", -1, 4000, 4005, 4000, 4005, 0},
      {"below low: check", RetrievalMode::kCheck, "100", -1, 4000, 4005, 4000, std::nullopt, 0},
      {"absent, answer 100", RetrievalMode::kGet, "", 100, 4800, 5003, 4903, 5003, 1},
      {"absent, answer above available", RetrievalMode::kGet, "", 99999, 4990, 5003, 4990, 5003, 1},
      {"absent, question declined", RetrievalMode::kGet, "", -1, 4000, 5003, std::nullopt, 0, 1},
      {"not a number", RetrievalMode::kGet, "abc", 2, 4000, 5003, 5001, 5003, 1},
      {"zero starts at low", RetrievalMode::kGet, "0", -1, 4000, 4002, 4000, 4002, 0},
      {"empty group asks nothing", RetrievalMode::kGet, "", 5, 1, 0, std::nullopt, 0, 0},
      {"catch-up without a last article", RetrievalMode::kCatchUp, "", -1, 4000, 5003, std::nullopt, 5003, 0},
      {"check never moves it", RetrievalMode::kCheck, "5000", -1, 4000, 5003, 5001, std::nullopt, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::FakeNewsServer server(kGroup, c.low, c.high);
    server.FillWithNoise();
    server.Start();
    WorkerRun run = RunWorker(Job(c.mode, server.port(), c.lastarticle), c.answer);
    std::optional<std::int64_t> first;
    for (const std::string& command : server.commands()) {
      if (!first && (command.rfind("ARTICLE ", 0) == 0 || command.rfind("HDR subject ", 0) == 0)) {
        first = std::stoll(command.substr(command.find_last_of(' ') + 1));
      }
    }
    EXPECT_EQ(first, c.first_asked);
    EXPECT_EQ(run.LastArticle(), c.last_article);
    EXPECT_EQ(run.questions, c.questions);
    EXPECT_EQ(run.messages.back().id, WorkerMessageId::kWorkerEnded);
  }
}

TEST(RetrievalPassTest, MatchingArticlesArriveInOrderWithTheirSubjectNumber) {
  test::FakeNewsServer server(kGroup, 10, 20);
  auto esub = MakeEncryptedSubject("nym subject", "nym pass");
  auto hsub = MakeHashedSubject("hsub secret");
  ASSERT_TRUE(esub && hsub);
  server.AddArticle(12, *esub, "first");
  server.AddArticle(17, *hsub, "second");
  server.FillWithNoise();
  server.Start();
  WorkerRun run = RunWorker(Job(RetrievalMode::kGet, server.port(), "9"));
  auto found = run.Of(WorkerMessageId::kNewArticle);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].first, 1);
  EXPECT_EQ(found[0].article_number, 12);
  EXPECT_EQ(found[0].lines[0], "Subject-No: 2000");
  EXPECT_EQ(found[1].first, 2);
  EXPECT_EQ(found[1].article_number, 17);
  EXPECT_EQ(found[1].lines[0], "Subject-No: 2001");
  EXPECT_EQ(found[1].lines.lines().back(), "second");
  EXPECT_TRUE(run.Logged("2 new messages"));
  // Run finished, then the save request, then worker ended.
  const auto n = run.messages.size();
  ASSERT_GE(n, 3u);
  EXPECT_EQ(run.messages[n - 3].id, WorkerMessageId::kRunFinished);
  EXPECT_EQ(run.messages[n - 3].second, 2);
  EXPECT_EQ(run.messages[n - 2].id, WorkerMessageId::kSaveRequest);
  EXPECT_EQ(run.messages[n - 1].id, WorkerMessageId::kWorkerEnded);
  EXPECT_EQ(run.LastArticle(), 20);

  // The check pass counts the same two from the subjects alone.
  WorkerRun check = RunWorker(Job(RetrievalMode::kCheck, server.port(), "9"));
  EXPECT_EQ(check.Finished()->second, 2);
  EXPECT_TRUE(check.Logged("2 waiting messages"));
}

TEST(RetrievalPassTest, CancelWhileWaitingForAnArticleKeepsTheLastOneExamined) {
  test::FakeNewsServer server(kGroup, 4000, 5003);
  server.FillWithNoise();
  server.StallAt(4500);
  server.Start();
  // Article 4499 has been examined (its progress report is out) and the
  // server holds back 4500 when the user cancels.
  WorkerRun run = RunWorker(Job(RetrievalMode::kGet, server.port(), "4100"), -1,
                            [](TNNTPThread& worker, const WorkerMessage& m) {
                              if (m.id == WorkerMessageId::kProgress && m.text == "398 of 902") worker.Cancel();
                            });
  EXPECT_TRUE(server.WaitUntilStalled());
  EXPECT_EQ(run.LastArticle(), 4499);
  EXPECT_EQ(run.Finished()->first, 1) << "run finished carries the cancel flag";
  EXPECT_TRUE(run.Logged("User canceled operation!"));
  EXPECT_TRUE(run.Of(WorkerMessageId::kError).empty()) << "errors after a cancel are silent";
}

TEST(RetrievalPassTest, CancelIsNeverLostAndAlwaysEndsTheWorker) {
  test::FakeNewsServer server(kGroup, 1, 50);
  server.FillWithNoise();
  server.Start();
  // While the article-count question waits for its answer.
  WorkerRun asked = RunWorker(Job(RetrievalMode::kGet, server.port(), ""), -1,
                        [](TNNTPThread& worker, const WorkerMessage& m) {
                          if (m.id == WorkerMessageId::kArticleCountQuestion) worker.Cancel();
                        });
  EXPECT_EQ(asked.LastArticle(), 0);
  EXPECT_EQ(asked.Finished()->first, 1);
  // Before the thread has even started: no connection at all.
  WorkerQueue queue;
  const auto connections_before = server.commands().size();
  {
    TNNTPThread worker(Job(RetrievalMode::kGet, server.port(), "10"), &queue);
    worker.Cancel();
    worker.Start();
    std::optional<WorkerMessage> m;
    while ((m = queue.Take(std::chrono::seconds(10))) && m->id != WorkerMessageId::kWorkerEnded) {
    }
    ASSERT_TRUE(m.has_value()) << "worker ended is always sent";
  }
  EXPECT_EQ(server.commands().size(), connections_before);
}

TEST(RetrievalPassTest, EarlyEndsStillEndTheWorker) {
  RetrievalJob job = Job(RetrievalMode::kGet, 1, "5");
  job.proxy_name = "gone";
  job.proxy.reset();
  WorkerRun run = RunWorker(job);
  auto requests = run.Of(WorkerMessageId::kMessageRequest);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].text, "The proxy, gone, doesn't exist!   |1|0");
  ASSERT_NE(run.Finished(), nullptr);
  EXPECT_FALSE(run.LastArticle().has_value());
  EXPECT_EQ(run.messages.back().id, WorkerMessageId::kWorkerEnded);

  RetrievalJob no_host = Job(RetrievalMode::kCheck, 1, "5");
  no_host.account.SetValue("host", "");
  EXPECT_EQ(RunWorker(no_host).Of(WorkerMessageId::kMessageRequest).at(0).text, "No NNTP server defined!    |1|0");
}

TEST(RetrievalPassTest, DroppedConnectionEndsThePassBeforeTheArticleAndLosesNothing) {
  test::FakeNewsServer server(kGroup, 4000, 4010);
  auto esub = MakeEncryptedSubject("nym subject", "nym pass");
  ASSERT_TRUE(esub);
  server.AddArticle(4001, *esub, "mine");
  server.FillWithNoise();
  server.DropInside(4003);
  server.Start();
  WorkerRun first = RunWorker(Job(RetrievalMode::kGet, server.port(), "3999"));
  ASSERT_EQ(first.Of(WorkerMessageId::kNewArticle).size(), 1u);
  EXPECT_EQ(first.LastArticle(), 4002) << "4003 was not examined";
  EXPECT_EQ(first.Of(WorkerMessageId::kError).size(), 1u) << "the user learns the pass ended early";
  EXPECT_EQ(first.Of(WorkerMessageId::kSaveRequest).size(), 1u);

  // The next pass goes on from there and never fetches the stored match again.
  WorkerRun second = RunWorker(Job(RetrievalMode::kGet, server.port(), std::to_string(*first.LastArticle())));
  EXPECT_EQ(second.LastArticle(), 4010);
  EXPECT_TRUE(second.Of(WorkerMessageId::kNewArticle).empty());
  EXPECT_EQ(server.ArticleRequests(4001), 1);
  EXPECT_EQ(server.ArticleRequests(4003), 2);
}

TEST(RetrievalPassTest, GoneAndOversizedArticlesAreSkippedWithALogLine) {
  test::FakeNewsServer server(kGroup, 1, 6);
  server.AddArticle(2, "big", std::string(9000, 'x'));
  server.AddArticle(5, "small");  // 1, 3, 4 and 6 are gone (423)
  server.Start();
  RetrievalJob job = Job(RetrievalMode::kGet, server.port(), "0");
  job.session.max_article = 4096;
  WorkerRun run = RunWorker(job);
  EXPECT_EQ(ArticlesAsked(server), (std::vector<std::int64_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(run.LastArticle(), 6);
  bool logged = false;
  for (const std::string& line : run.LogLines()) logged |= line.rfind("Article 2 skipped", 0) == 0;
  EXPECT_TRUE(logged);
  EXPECT_TRUE(run.Of(WorkerMessageId::kError).empty());
}

TEST(RetrievalPassTest, RefusedConnectionIsAnErrorOnlyForGet) {
  // Nothing listens on a port just released.
  int port;
  {
    test::FakeNewsServer probe(kGroup, 1, 0);
    probe.Start();
    port = probe.port();
  }
  WorkerRun get = RunWorker(Job(RetrievalMode::kGet, port, ""));
  EXPECT_EQ(get.Of(WorkerMessageId::kError).size(), 1u);
  EXPECT_EQ(get.LastArticle(), 0) << "a first pass that never reached the group";
  WorkerRun check = RunWorker(Job(RetrievalMode::kCheck, port, "7"));
  EXPECT_TRUE(check.Of(WorkerMessageId::kError).empty());
  EXPECT_FALSE(check.LastArticle().has_value());
  WorkerRun catch_up = RunWorker(Job(RetrievalMode::kCatchUp, port, "7"));
  EXPECT_FALSE(catch_up.LastArticle().has_value());
  EXPECT_FALSE(catch_up.Logged("Newsgroup caught up!")) << "it never reached the group";
}

TEST(RetrievalPassTest, ATimeOutKeepsWhatWasExamined) {
  test::FakeNewsServer server(kGroup, 1, 30);
  auto hsub = MakeHashedSubject("hsub secret");
  ASSERT_TRUE(hsub);
  server.AddArticle(5, *hsub, "mine");
  server.FillWithNoise();
  server.StallAt(20);
  server.Start();
  RetrievalJob job = Job(RetrievalMode::kGet, server.port(), "0");
  job.session.timeout = std::chrono::milliseconds(300);
  WorkerRun run = RunWorker(job);
  EXPECT_EQ(run.Of(WorkerMessageId::kNewArticle).size(), 1u);
  // Article 5 is stored: the next pass must start after it, not fetch and
  // store it again.
  EXPECT_EQ(run.LastArticle(), 19);
  EXPECT_TRUE(run.Logged("Connection closed!"));
  EXPECT_TRUE(run.Logged("Failed!"));
  EXPECT_TRUE(run.Of(WorkerMessageId::kError).empty());
}

}  // namespace
}  // namespace fhr
