#include "support/tcp_relay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <string>

namespace fhr::test {

namespace {

void NoDelay(int fd) {
  int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool SendAll(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

struct TcpRelay::Connection {
  int client = -1;
  int server = -1;
  bool cut = false;  // this connection is the one to cut
  ~Connection() {
    if (client >= 0) close(client);
    if (server >= 0) close(server);
  }
  void ShutDown() {
    shutdown(client, SHUT_RDWR);
    shutdown(server, SHUT_RDWR);
  }
};

TcpRelay::TcpRelay(int target_port, Options options) : target_port_(target_port), options_(options) {}

TcpRelay::~TcpRelay() {
  stop_.store(true);
  if (acceptor_.joinable()) acceptor_.join();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& connection : connections_) connection->ShutDown();
  }
  for (std::thread& pump : pumps_) pump.join();
  if (listen_fd_ >= 0) close(listen_fd_);
}

bool TcpRelay::Start() {
  listen_fd_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listen_fd_, 8) != 0) {
    return false;
  }
  socklen_t size = sizeof address;
  getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &size);
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { Accept(); });
  return true;
}

void TcpRelay::Accept() {
  while (!stop_.load()) {
    pollfd waiting{listen_fd_, POLLIN, 0};
    if (poll(&waiting, 1, 50) <= 0) continue;
    auto connection = std::make_shared<Connection>();
    connection->client = accept(listen_fd_, nullptr, nullptr);
    if (connection->client < 0) continue;
    connection->server = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    target.sin_port = htons(static_cast<std::uint16_t>(target_port_));
    if (connect(connection->server, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) continue;
    NoDelay(connection->client);
    NoDelay(connection->server);
    connection->cut = options_.cut_after_server_bytes > 0 && !cut_done_.exchange(true);
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.push_back(connection);
    pumps_.emplace_back([this, connection] { Relay(connection, false); });
    pumps_.emplace_back([this, connection] { Relay(connection, true); });
  }
}

// One direction: a reader that stamps each chunk and a writer that sends it
// once its delay has passed, so data keeps flowing while earlier chunks wait.
void TcpRelay::Relay(std::shared_ptr<Connection> connection, bool from_server) {
  const int from = from_server ? connection->server : connection->client;
  const int to = from_server ? connection->client : connection->server;
  using Clock = std::chrono::steady_clock;
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::pair<Clock::time_point, std::string>> chunks;
  bool reading_done = false;

  std::thread writer([&] {
    for (;;) {
      std::unique_lock<std::mutex> lock(mutex);
      changed.wait(lock, [&] { return !chunks.empty() || reading_done; });
      if (chunks.empty()) break;
      auto [due, bytes] = std::move(chunks.front());
      chunks.pop_front();
      lock.unlock();
      std::this_thread::sleep_until(due);
      if (!SendAll(to, bytes)) break;
    }
    shutdown(to, SHUT_WR);
  });

  std::uint64_t relayed = 0;
  char buffer[65536];
  while (!stop_.load()) {
    pollfd waiting{from, POLLIN, 0};
    if (poll(&waiting, 1, 50) <= 0) continue;
    ssize_t n = recv(from, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    std::string bytes(buffer, static_cast<std::size_t>(n));
    bool cut_now = false;
    if (from_server && connection->cut && relayed + bytes.size() >= options_.cut_after_server_bytes) {
      bytes.resize(options_.cut_after_server_bytes - relayed);
      cut_now = true;
    }
    relayed += bytes.size();
    {
      std::lock_guard<std::mutex> lock(mutex);
      chunks.emplace_back(Clock::now() + options_.delay, std::move(bytes));
    }
    changed.notify_one();
    if (cut_now) break;
  }
  {
    std::lock_guard<std::mutex> lock(mutex);
    reading_done = true;
  }
  changed.notify_one();
  writer.join();
  if (from_server && connection->cut) connection->ShutDown();
}

}  // namespace fhr::test
