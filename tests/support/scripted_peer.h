#pragma once
// A loopback TCP peer that follows a script, for byte-exact conversation
// tests: the peer says this, the client must answer exactly that, and after
// the script the client must say nothing more. It serves one connection on
// 127.0.0.1 at a port of its own, on a thread of its own.
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fhr::test {

class ScriptedPeer {
 public:
  ScriptedPeer();
  ~ScriptedPeer();
  ScriptedPeer(const ScriptedPeer&) = delete;
  ScriptedPeer& operator=(const ScriptedPeer&) = delete;

  // Script steps, run in order once a client connects.
  ScriptedPeer& Say(std::string bytes);
  ScriptedPeer& Expect(std::string bytes);
  // Says nothing and keeps the connection open until the client closes it.
  ScriptedPeer& Hold();
  // Closes the connection.
  ScriptedPeer& Hangup();

  // Starts listening and serving; port() is valid afterwards.
  void Start();
  int port() const { return port_; }

  // Waits for the script to end and the client to close (each step waits
  // at most 10 s), then returns "" when the client said exactly what was
  // expected and nothing else, or a description of the first difference.
  std::string Finish();

  // Every byte the client sent.
  std::string received() const;

 private:
  struct Step {
    enum Kind { kSay, kExpect, kHold, kHangup } kind;
    std::string bytes;
  };
  void Serve();
  bool ReadExactly(int fd, std::size_t size, std::string* out);
  void Note(const std::string& problem);

  std::vector<Step> steps_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::string received_;
  std::string problem_;
};

// Makes bytes readable in failure messages: CR, LF and other control bytes
// as escapes.
std::string Escaped(const std::string& bytes);

}  // namespace fhr::test
