// The get pass on the loopback INN server, as articles per second and as
// ratios, in the same run, to two minimal clients that send the same
// commands and only read the replies: one a command at a time, one keeping
// a window of ARTICLE commands in flight. A second run goes through a relay
// that holds each direction back by 100 ms, as a distant server or Tor would.
//
// Uses the peers of tests/support/peers.sh when they run, else starts them
// (and stops them at the end).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "news/net_stream.h"
#include "news/nntp_reply.h"
#include "news/nntp_thread.h"
#include "news/subject_line.h"
#include "support/news_traffic.h"
#include "support/peer_ports.h"
#include "support/tcp_relay.h"

namespace fhr {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// A client that does nothing but talk: STARTTLS as the session does, GROUP,
// then ARTICLE for each number, every reply read to its end.
class MinimalClient {
 public:
  bool Open(int port, const std::string& group) {
    if (!stream_.Connect("127.0.0.1", port).ok()) return false;
    if (Status() != 200 && last_ != 201) return false;
    if (Command("STARTTLS") != 382) return false;
    if (!stream_.StartTls(std::string(kDefaultNntpCipherList), "127.0.0.1").ok()) return false;
    return Command("GROUP " + group) == 211;
  }
  // Requests [first, last] keeping up to `window` requests outstanding
  // (1: a command at a time). Returns the articles read.
  long Fetch(std::int64_t first, std::int64_t last, std::size_t window) {
    std::int64_t requested = first;
    long read = 0;
    for (std::int64_t next = first; next <= last; ++next) {
      std::string batch;
      while (requested <= last && static_cast<std::size_t>(requested - next) < window) {
        batch += "ARTICLE " + std::to_string(requested++) + "\r\n";
      }
      if (!batch.empty() && !stream_.WriteAll(batch).ok()) return read;
      if (Status() != 220) continue;
      for (;;) {
        auto line = Line();
        if (!line) return read;
        if (IsBlockTerminator(*line)) break;
      }
      ++read;
    }
    return read;
  }

 private:
  std::optional<std::string> Line() {
    for (;;) {
      if (auto line = splitter_.Next()) return line->text;
      char buffer[65536];
      std::size_t got = 0;
      if (!stream_.ReadSome(buffer, sizeof buffer, &got).ok()) return std::nullopt;
      splitter_.Append(std::string_view(buffer, got));
    }
  }
  int Status() {
    auto line = Line();
    auto reply = line ? ParseStatusLine(*line) : std::nullopt;
    last_ = reply ? reply->code : 0;
    return last_;
  }
  int Command(const std::string& command) {
    if (!stream_.WriteAll(command + "\r\n").ok()) return 0;
    return Status();
  }

  NetStream stream_;
  LineSplitter splitter_{1 << 20};
  int last_ = 0;
};

double MinimalRate(int port, const std::string& group, std::int64_t first, std::int64_t count, std::size_t window) {
  MinimalClient client;
  const auto start = Clock::now();
  if (!client.Open(port, group)) {
    std::fprintf(stderr, "the minimal client could not open the group\n");
    std::exit(1);
  }
  const long read = client.Fetch(first, first + count - 1, window);
  const double seconds = Seconds(Clock::now() - start);
  if (read != count) std::fprintf(stderr, "the minimal client read %ld of %lld\n", read, static_cast<long long>(count));
  return static_cast<double>(read) / seconds;
}

std::string LineText(const std::string& subno, bool esub, const std::string& subject) {
  SubjectLine line;
  line.subno = subno;
  line.active = true;
  line.esub = esub;
  line.subject = subject;
  line.ephrase = "bench pass";
  return SubjectLineText(line);
}

// A get pass over [first, first + count - 1] as the program runs it: two
// subject lines tested against every article, progress coalesced.
double GetPassRate(int port, const std::string& group, std::int64_t first, std::int64_t count) {
  RetrievalJob job;
  job.mode = RetrievalMode::kGet;
  job.account.SetValue("key", "bench");
  job.account.SetValue("host", "127.0.0.1");
  job.account.SetValue("port", std::to_string(port));
  job.account.SetValue("lastarticle", std::to_string(first - 1));
  job.subject_lines = {LineText("2000", true, "bench nym"), LineText("2001", false, "bench secret")};
  job.newsgroup = group;
  WorkerQueue queue;
  std::optional<std::int64_t> last;
  const auto start = Clock::now();
  {
    TNNTPThread worker(std::move(job), &queue);
    worker.Start();
    for (;;) {
      auto message = queue.Take(std::chrono::seconds(120));
      if (!message) {
        std::fprintf(stderr, "the worker went silent\n");
        std::exit(1);
      }
      if (message->id == WorkerMessageId::kRunFinished) last = message->last_article;
      if (message->id == WorkerMessageId::kWorkerEnded) break;
    }
  }
  const double seconds = Seconds(Clock::now() - start);
  const std::int64_t examined = last ? *last - first + 1 : 0;
  if (examined < count) std::fprintf(stderr, "the get pass examined %lld of %lld\n", static_cast<long long>(examined),
                                    static_cast<long long>(count));
  return static_cast<double>(examined) / seconds;
}

std::string PeersScript() { return "'" + std::string(FHR_SOURCE_DIR) + "/tests/support/peers.sh'"; }

}  // namespace
}  // namespace fhr

int main() {
  using namespace fhr;
  bool started = false;
  auto peers = test::PeerPorts::Load();
  if (!peers) {
    std::fprintf(stderr, "starting the loopback peers...\n");
    if (std::system((PeersScript() + " start >/dev/null").c_str()) != 0) return 1;
    started = true;
    peers = test::PeerPorts::Load();
    if (!peers) return 1;
  }
  const int port = peers->port("NNTP_ANON_PORT");
  const std::string group = test::CreateTestGroup("bench");
  const std::int64_t kArticles = 10000;
  std::fprintf(stderr, "posting %lld articles into %s...\n", static_cast<long long>(kArticles), group.c_str());
  test::NewsTraffic traffic(group);
  traffic.AddNoise(static_cast<int>(kArticles));
  if (group.empty() || !traffic.Post()) return 1;

  std::printf("Loopback INN, STARTTLS, noise articles of about 300 bytes\n");
  const double ours = GetPassRate(port, group, 1, kArticles);
  const double pipelined = MinimalRate(port, group, 1, kArticles, 32);
  const double single = MinimalRate(port, group, 1, 1000, 1);
  std::printf("  get pass (%lld articles):              %9.0f articles/s\n", static_cast<long long>(kArticles), ours);
  std::printf("  minimal pipelined client (%lld):      %9.0f articles/s   get pass at %.2fx its speed\n",
              static_cast<long long>(kArticles), pipelined, ours / pipelined);
  std::printf("  minimal one-at-a-time client (1000):  %9.0f articles/s   get pass %.1fx faster\n", single,
              ours / single);

  test::TcpRelay relay(port, {std::chrono::milliseconds(100), 0});
  if (!relay.Start()) return 1;
  std::printf("Through a relay delaying each direction by 100 ms (200 articles)\n");
  const double slow_ours = GetPassRate(relay.port(), group, 1, 200);
  const double slow_single = MinimalRate(relay.port(), group, 1, 200, 1);
  std::printf("  get pass:                     %7.1f articles/s\n", slow_ours);
  std::printf("  minimal one-at-a-time client: %7.1f articles/s   get pass %.1fx faster\n", slow_single,
              slow_ours / slow_single);

  if (started) std::system((PeersScript() + " stop >/dev/null").c_str());
  return 0;
}
