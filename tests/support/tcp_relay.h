#pragma once
// A TCP relay on 127.0.0.1 in front of another local port, for what the
// loopback cannot do by itself: hold every chunk back by a fixed delay in
// each direction (a slow network: this kernel has no netem), or cut the
// connection after the server has sent a given number of bytes (a network
// that drops in the middle of a reply). Each connection is relayed by
// threads of its own; everything stops when the relay goes away.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace fhr::test {

class TcpRelay {
 public:
  struct Options {
    std::chrono::milliseconds delay{0};  // each direction
    // The first connection is cut once the server has sent this many
    // bytes to the client; later connections are relayed whole. 0: never.
    std::uint64_t cut_after_server_bytes = 0;
  };
  TcpRelay(int target_port, Options options);
  ~TcpRelay();
  TcpRelay(const TcpRelay&) = delete;
  TcpRelay& operator=(const TcpRelay&) = delete;

  // False when the relay could not listen.
  bool Start();
  int port() const { return port_; }

 private:
  struct Connection;
  void Accept();
  void Relay(std::shared_ptr<Connection> connection, bool from_server);

  int target_port_;
  Options options_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<bool> cut_done_{false};
  std::thread acceptor_;
  std::mutex mutex_;
  std::vector<std::thread> pumps_;
  std::vector<std::shared_ptr<Connection>> connections_;
};

}  // namespace fhr::test
