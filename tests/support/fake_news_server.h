#pragma once
// A small news server on 127.0.0.1 whose group numbers, articles and
// failures a test chooses: a group with any low and high mark, articles
// that exist or not, a connection that drops in the middle of an article,
// an article that is never answered (to cancel a pass while it waits).
// It speaks the reader commands the retrieval passes send and records them.
// Connections are served one after another on a thread of its own.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fhr::test {

class FakeNewsServer {
 public:
  FakeNewsServer(std::string group, std::int64_t low, std::int64_t high);
  ~FakeNewsServer();
  FakeNewsServer(const FakeNewsServer&) = delete;
  FakeNewsServer& operator=(const FakeNewsServer&) = delete;

  // An article with that number and subject (any number in low..high that
  // has none is answered 423).
  void AddArticle(std::int64_t number, const std::string& subject, const std::string& body = "body");
  // Adds noise articles with distinct hex subjects for every number in low..high.
  void FillWithNoise();
  // The connection is closed after the status line and half of this
  // article, the first time it is asked for.
  void DropInside(std::int64_t number) { drop_inside_ = number; }
  // This article is never answered: the server waits until the client goes.
  void StallAt(std::int64_t number) { stall_at_ = number; }
  // Blocks until the server is waiting at the stalled article (at most 10 s).
  bool WaitUntilStalled();

  void Start();
  int port() const { return port_; }

  // Every command received, in order, over all connections.
  std::vector<std::string> commands() const;
  // How often "ARTICLE number" was received.
  int ArticleRequests(std::int64_t number) const;

 private:
  void Serve();
  void ServeConnection(int fd);
  bool Answer(int fd, const std::string& command);
  bool SendAll(int fd, const std::string& bytes);

  std::string group_;
  std::int64_t low_, high_;
  std::map<std::int64_t, std::pair<std::string, std::string>> articles_;  // subject, body
  std::int64_t drop_inside_ = -1;
  std::int64_t stall_at_ = -1;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::condition_variable stalled_changed_;
  bool stalled_ = false;
  std::vector<std::string> commands_;
};

}  // namespace fhr::test
