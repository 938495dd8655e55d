// The retrieval passes against the private INN server, each test in a group
// of its own so its article numbers are known.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "news/esub.h"
#include "news/nntp_thread.h"
#include "news/subject_line.h"
#include "support/news_traffic.h"
#include "support/peer_ports.h"
#include "support/recording_events.h"
#include "support/tcp_relay.h"

namespace fhr {
namespace {

std::string LineText(const std::string& subno, bool esub, const std::string& subject, const std::string& phrase) {
  SubjectLine line;
  line.subno = subno;
  line.active = true;
  line.esub = esub;
  line.subject = subject;
  line.ephrase = phrase;
  return SubjectLineText(line);
}

struct Outcome {
  std::vector<WorkerMessage> articles;
  std::optional<std::int64_t> last_article;
  int matches = 0;
  int errors = 0;
  std::vector<std::string> log;
};

Outcome RunPass(RetrievalJob job, long long count = 1000000) {
  WorkerQueue queue;
  Outcome outcome;
  TNNTPThread worker(std::move(job), &queue);
  worker.Start();
  for (;;) {
    std::optional<WorkerMessage> m = queue.Take(std::chrono::seconds(60));
    if (!m) {
      ADD_FAILURE() << "the worker went silent";
      worker.Cancel();
      continue;
    }
    if (m->reply) m->reply->Answer(m->id == WorkerMessageId::kArticleCountQuestion ? count : 1);
    if (m->id == WorkerMessageId::kNewArticle) outcome.articles.push_back(*m);
    if (m->id == WorkerMessageId::kError) ++outcome.errors;
    if (m->id == WorkerMessageId::kStatusLine && m->first == 0) outcome.log.push_back(m->text);
    if (m->id == WorkerMessageId::kRunFinished) {
      outcome.last_article = m->last_article;
      outcome.matches = static_cast<int>(m->second);
    }
    if (m->id == WorkerMessageId::kWorkerEnded) break;
  }
  return outcome;
}

std::string LogText(const Outcome& outcome) {
  std::string text;
  for (const std::string& line : outcome.log) text += line + "\n";
  return text;
}

class RetrievalInnTest : public ::testing::Test {
 protected:
  RetrievalJob Job(RetrievalMode mode, int port, const std::string& lastarticle) const {
    RetrievalJob job;
    job.mode = mode;
    job.account_name = "inn";
    job.account.SetValue("key", "inn");
    job.account.SetValue("host", "127.0.0.1");
    job.account.SetValue("port", std::to_string(port));
    job.account.SetValue("lastarticle", lastarticle);
    job.subject_lines = {LineText("2000", true, "inn nym", "inn pass"), LineText("2001", false, "inn secret", "")};
    job.newsgroup = group_;
    job.session.timeout = std::chrono::seconds(30);
    return job;
  }
  // A group of the test's own: `noise` noise articles around two tagged
  // ones, numbered from 1.
  bool MakeGroup(int noise, std::set<std::string>* tagged) {
    group_ = test::CreateTestGroup("retrieval");
    if (group_.empty()) return false;
    test::NewsTraffic traffic(group_);
    traffic.AddNoise(noise / 2);
    tagged->insert(traffic.AddNymMessage(test::TagForm::kEsubBlowfish, "inn nym", "inn pass", {"one"}));
    traffic.AddNoise(noise - noise / 2);
    tagged->insert(traffic.AddNymMessage(test::TagForm::kHsub, "inn secret", "", {"two"}));
    return traffic.Post();
  }

  std::string group_;
};

std::string MessageId(const StringList& lines) {
  for (const std::string& line : lines) {
    if (line.rfind("Message-ID: ", 0) == 0) return line.substr(12);
  }
  return "";
}

TEST_F(RetrievalInnTest, GetCheckAndCatchUpWalkTheGroup) {
  FHR_REQUIRE_PEERS(peers);
  std::set<std::string> tagged;
  ASSERT_TRUE(MakeGroup(10, &tagged));
  const int port = peers.port("NNTP_ANON_PORT");

  // A first check of an account without history: every article, 2 waiting.
  Outcome check = RunPass(Job(RetrievalMode::kCheck, port, ""));
  EXPECT_EQ(check.matches, 2) << LogText(check);
  EXPECT_FALSE(check.last_article.has_value());

  Outcome get = RunPass(Job(RetrievalMode::kGet, port, ""));
  ASSERT_EQ(get.articles.size(), 2u) << LogText(get);
  std::set<std::string> fetched;
  for (const WorkerMessage& m : get.articles) fetched.insert(MessageId(m.lines));
  EXPECT_EQ(fetched, tagged);
  EXPECT_EQ(get.articles[0].lines[0], "Subject-No: 2000");
  EXPECT_EQ(get.articles[1].lines[0], "Subject-No: 2001");
  EXPECT_EQ(get.last_article, 12);
  EXPECT_EQ(get.errors, 0);

  // From the last article on there is nothing new, and check agrees.
  EXPECT_TRUE(RunPass(Job(RetrievalMode::kGet, port, "12")).articles.empty());
  EXPECT_EQ(RunPass(Job(RetrievalMode::kCheck, port, "12")).matches, 0);
  // The three newest: only the HSUB-tagged one (article 12) among them.
  Outcome newest = RunPass(Job(RetrievalMode::kGet, port, "9"));
  ASSERT_EQ(newest.articles.size(), 1u);
  EXPECT_EQ(newest.articles[0].article_number, 12);
  // Catch-up jumps to the newest article even without history.
  EXPECT_EQ(RunPass(Job(RetrievalMode::kCatchUp, port, "")).last_article, 12);
}

TEST_F(RetrievalInnTest, LoginOverStartTlsAndAWrongPasswordThatKeepsThePlace) {
  FHR_REQUIRE_PEERS(peers);
  std::set<std::string> tagged;
  ASSERT_TRUE(MakeGroup(4, &tagged));
  RetrievalJob job = Job(RetrievalMode::kGet, peers.port("NNTP_PORT"), "0");
  job.account.SetValue("userid", peers.value("NEWS_USER"));
  job.account.SetValue("password", peers.value("NEWS_PASS"));
  Outcome right = RunPass(job);
  EXPECT_EQ(right.articles.size(), 2u) << LogText(right);
  EXPECT_EQ(right.last_article, 6);

  job.account.SetValue("password", "wrong");
  job.account.SetValue("lastarticle", "3");
  Outcome wrong = RunPass(job);
  EXPECT_EQ(wrong.errors, 1) << LogText(wrong);
  EXPECT_EQ(wrong.last_article, 3) << "nothing was examined";
}

TEST_F(RetrievalInnTest, AConnectionCutMidPassLosesNothing) {
  FHR_REQUIRE_PEERS(peers);
  std::set<std::string> tagged;
  ASSERT_TRUE(MakeGroup(400, &tagged));
  // The cut comes some way into the articles, inside one of them.
  test::TcpRelay relay(peers.port("NNTP_ANON_PORT"), {std::chrono::milliseconds(0), 60000});
  ASSERT_TRUE(relay.Start());
  RetrievalJob job = Job(RetrievalMode::kGet, relay.port(), "0");
  Outcome first = RunPass(job);
  ASSERT_TRUE(first.last_article.has_value());
  EXPECT_LT(*first.last_article, 402) << LogText(first);
  EXPECT_GT(*first.last_article, 0);
  EXPECT_EQ(first.errors, 1) << LogText(first);

  job.account.SetValue("lastarticle", std::to_string(*first.last_article));
  Outcome second = RunPass(job);
  EXPECT_EQ(second.last_article, 402);
  std::multiset<std::string> fetched;
  for (const Outcome* o : {&first, &second}) {
    for (const WorkerMessage& m : o->articles) fetched.insert(MessageId(m.lines));
  }
  EXPECT_EQ(fetched, std::multiset<std::string>(tagged.begin(), tagged.end()))
      << "each tagged article exactly once over both passes";
}

TEST(RetrievalInnTlsTest, WritingIntoADroppedTlsConnectionIsAnErrorNotASignal) {
  FHR_REQUIRE_PEERS(peers);
  auto relay = std::make_unique<test::TcpRelay>(peers.port("NNTP_ANON_PORT"), test::TcpRelay::Options{});
  ASSERT_TRUE(relay->Start());
  NewsServer server;
  server.host = "127.0.0.1";
  server.port = relay->port();
  test::RecordingEvents events;
  TNNTPMod2 session(server, {}, {}, &events);
  ASSERT_TRUE(session.Connect());
  ASSERT_TRUE(session.tls_active());
  relay.reset();  // the network goes away under an open TLS session
  NntpResult result;
  for (int i = 0; i < 1000 && result.ok(); ++i) result = session.RequestArticle(i + 1);
  EXPECT_EQ(result.kind, NntpErrorKind::kNetwork) << "the process is still alive to tell";
}

}  // namespace
}  // namespace fhr
