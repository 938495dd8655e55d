#include "support/scripted_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace fhr::test {

namespace {
constexpr auto kStepLimit = std::chrono::seconds(10);
}

std::string Escaped(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c >= 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

ScriptedPeer::ScriptedPeer() = default;

ScriptedPeer::~ScriptedPeer() {
  if (thread_.joinable()) thread_.join();
  if (listen_fd_ >= 0) close(listen_fd_);
}

ScriptedPeer& ScriptedPeer::Say(std::string bytes) {
  steps_.push_back({Step::kSay, std::move(bytes)});
  return *this;
}
ScriptedPeer& ScriptedPeer::Expect(std::string bytes) {
  steps_.push_back({Step::kExpect, std::move(bytes)});
  return *this;
}
ScriptedPeer& ScriptedPeer::Hold() {
  steps_.push_back({Step::kHold, {}});
  return *this;
}
ScriptedPeer& ScriptedPeer::Hangup() {
  steps_.push_back({Step::kHangup, {}});
  return *this;
}

void ScriptedPeer::Start() {
  listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(listen_fd_, 1);
  socklen_t length = sizeof address;
  getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

void ScriptedPeer::Note(const std::string& problem) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (problem_.empty()) problem_ = problem;
}

// Reads `size` bytes, or up to the client's close when `size` is 0.
bool ScriptedPeer::ReadExactly(int fd, std::size_t size, std::string* out) {
  auto deadline = std::chrono::steady_clock::now() + kStepLimit;
  while (size == 0 || out->size() < size) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
    char buffer[4096];
    std::size_t want = size == 0 ? sizeof buffer : std::min(sizeof buffer, size - out->size());
    ssize_t n = recv(fd, buffer, want, 0);
    if (n <= 0) return size == 0;
    out->append(buffer, static_cast<std::size_t>(n));
    std::lock_guard<std::mutex> lock(mutex_);
    received_.append(buffer, static_cast<std::size_t>(n));
  }
  return true;
}

void ScriptedPeer::Serve() {
  pollfd p{listen_fd_, POLLIN, 0};
  if (poll(&p, 1, static_cast<int>(std::chrono::milliseconds(kStepLimit).count())) <= 0) {
    Note("no client connected");
    return;
  }
  int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) {
    Note("accept failed");
    return;
  }
  bool open = true;
  for (std::size_t i = 0; i < steps_.size() && open; ++i) {
    const Step& step = steps_[i];
    switch (step.kind) {
      case Step::kSay:
        if (send(fd, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(step.bytes.size())) {
          Note("could not say step " + std::to_string(i));
          open = false;
        }
        break;
      case Step::kExpect: {
        std::string got;
        if (!ReadExactly(fd, step.bytes.size(), &got) || got != step.bytes) {
          Note("step " + std::to_string(i) + ": expected \"" + Escaped(step.bytes) + "\", client sent \"" +
               Escaped(got) + "\"");
          open = false;
        }
        break;
      }
      case Step::kHold: {
        std::string extra;
        ReadExactly(fd, 0, &extra);
        if (!extra.empty()) Note("client sent \"" + Escaped(extra) + "\" while the peer held");
        open = false;
        break;
      }
      case Step::kHangup:
        close(fd);
        fd = -1;
        open = false;
        break;
    }
  }
  if (fd >= 0) {
    if (open) {
      std::string extra;
      ReadExactly(fd, 0, &extra);
      if (!extra.empty()) Note("client sent \"" + Escaped(extra) + "\" after the script");
    }
    close(fd);
  }
}

std::string ScriptedPeer::Finish() {
  if (thread_.joinable()) thread_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  return problem_;
}

std::string ScriptedPeer::received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

}  // namespace fhr::test
