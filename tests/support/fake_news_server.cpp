#include "support/fake_news_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace fhr::test {

FakeNewsServer::FakeNewsServer(std::string group, std::int64_t low, std::int64_t high)
    : group_(std::move(group)), low_(low), high_(high) {}

FakeNewsServer::~FakeNewsServer() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
  if (listen_fd_ >= 0) close(listen_fd_);
}

void FakeNewsServer::AddArticle(std::int64_t number, const std::string& subject, const std::string& body) {
  articles_[number] = {subject, body};
}

void FakeNewsServer::FillWithNoise() {
  for (std::int64_t n = low_; n <= high_; ++n) {
    char subject[64];
    std::snprintf(subject, sizeof subject, "%048llx", static_cast<unsigned long long>(n) * 2654435761ULL);
    if (!articles_.count(n)) AddArticle(n, subject, "noise " + std::to_string(n));
  }
}

bool FakeNewsServer::WaitUntilStalled() {
  std::unique_lock<std::mutex> lock(mutex_);
  return stalled_changed_.wait_for(lock, std::chrono::seconds(10), [this] { return stalled_; });
}

void FakeNewsServer::Start() {
  listen_fd_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(listen_fd_, 4);
  socklen_t size = sizeof address;
  getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &size);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

std::vector<std::string> FakeNewsServer::commands() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return commands_;
}

int FakeNewsServer::ArticleRequests(std::int64_t number) const {
  int count = 0;
  for (const std::string& command : commands()) count += command == "ARTICLE " + std::to_string(number);
  return count;
}

void FakeNewsServer::Serve() {
  while (!stop_.load()) {
    pollfd waiting{listen_fd_, POLLIN, 0};
    if (poll(&waiting, 1, 50) <= 0) continue;
    int fd = accept(listen_fd_, nullptr, nullptr);
    if (fd < 0) continue;
    ServeConnection(fd);
    // An orderly end (FIN, not a reset that could discard what the client
    // has not read yet): stop sending, then wait for the client to go.
    shutdown(fd, SHUT_WR);
    char chunk[4096];
    for (int i = 0; i < 100 && !stop_.load(); ++i) {
      pollfd client{fd, POLLIN, 0};
      if (poll(&client, 1, 50) > 0 && recv(fd, chunk, sizeof chunk, 0) <= 0) break;
    }
    close(fd);
  }
}

bool FakeNewsServer::SendAll(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

void FakeNewsServer::ServeConnection(int fd) {
  if (!SendAll(fd, "200 fake news server ready\r\n")) return;
  std::string buffer;
  while (!stop_.load()) {
    std::size_t end;
    while ((end = buffer.find("\r\n")) != std::string::npos) {
      std::string command = buffer.substr(0, end);
      buffer.erase(0, end + 2);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        commands_.push_back(command);
      }
      if (!Answer(fd, command)) return;
    }
    pollfd waiting{fd, POLLIN, 0};
    if (poll(&waiting, 1, 50) <= 0) continue;
    char chunk[4096];
    ssize_t n = recv(fd, chunk, sizeof chunk, 0);
    if (n <= 0) return;
    buffer.append(chunk, static_cast<std::size_t>(n));
  }
}

bool FakeNewsServer::Answer(int fd, const std::string& command) {
  auto starts = [&command](const char* prefix) { return command.rfind(prefix, 0) == 0; };
  if (command == "MODE READER") return SendAll(fd, "200 reader mode\r\n");
  if (command == "CAPABILITIES") return SendAll(fd, "101 Capability list:\r\nVERSION 2\r\nREADER\r\nHDR\r\n.\r\n");
  if (command == "QUIT") {
    SendAll(fd, "205 bye\r\n");
    return false;
  }
  if (starts("GROUP ")) {
    if (command.substr(6) != group_) return SendAll(fd, "411 no such group\r\n");
    const std::int64_t count = high_ >= low_ ? high_ - low_ + 1 : 0;
    return SendAll(fd, "211 " + std::to_string(count) + " " + std::to_string(low_) + " " + std::to_string(high_) +
                           " " + group_ + "\r\n");
  }
  if (starts("HDR subject ") || starts("XHDR subject ")) {
    const std::int64_t first = std::atoll(command.substr(command.rfind(' ') + 1).c_str());
    std::string reply = starts("HDR") ? "225 headers follow\r\n" : "221 headers follow\r\n";
    for (const auto& [number, article] : articles_) {
      if (number >= first && number <= high_) reply += std::to_string(number) + " " + article.first + "\r\n";
    }
    return SendAll(fd, reply + ".\r\n");
  }
  if (starts("ARTICLE ")) {
    const std::int64_t number = std::atoll(command.substr(8).c_str());
    if (number == stall_at_) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        stalled_ = true;
      }
      stalled_changed_.notify_all();
      // Commands behind it are read and never answered, until the client goes.
      char chunk[4096];
      while (!stop_.load()) {
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, 50) > 0 && recv(fd, chunk, sizeof chunk, 0) <= 0) break;
      }
      return false;
    }
    auto found = articles_.find(number);
    if (found == articles_.end() || number < low_ || number > high_) return SendAll(fd, "423 no such article\r\n");
    const std::string id = "<" + std::to_string(number) + "@fake.invalid>";
    const std::string text = "Path: fake.invalid!not-for-mail\r\nFrom: nobody@fake.invalid\r\nNewsgroups: " + group_ +
                             "\r\nSubject: " + found->second.first + "\r\nMessage-ID: " + id + "\r\n\r\n" +
                             found->second.second + "\r\n";
    const std::string status = "220 " + std::to_string(number) + " " + id + " article\r\n";
    if (number == drop_inside_) {
      drop_inside_ = -1;
      SendAll(fd, status + text.substr(0, text.size() / 2));
      return false;
    }
    return SendAll(fd, status + text + ".\r\n");
  }
  return SendAll(fd, "500 unknown command\r\n");
}

}  // namespace fhr::test
