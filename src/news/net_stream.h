#pragma once
// One TCP connection, optionally wrapped in TLS, that another thread can
// interrupt at once. Every wait is a poll on the socket and on a wake-up
// descriptor, so a time-out or a cancel ends a blocked connect, handshake,
// read or write immediately; no call blocks beyond the time-out.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;
struct addrinfo;

namespace fhr {

// Why a network operation failed.
enum class NetError {
  kNone,
  kTimeout,   // the time-out passed without progress
  kClosed,    // the peer closed the connection
  kCanceled,  // Cancel() was called
  kSystem,    // the operating system refused (connection refused, no route, ...)
  kResolve,   // the name could not be resolved
  kTls,       // TLS set-up or TLS record failure
  kProxy,     // the SOCKS proxy refused, or answered what SOCKS does not allow
};

struct NetStatus {
  NetError error = NetError::kNone;
  std::string message;  // for the log: the failure in words
  bool ok() const { return error == NetError::kNone; }
  static NetStatus Ok() { return {}; }
};

class NetStream {
 public:
  NetStream();
  ~NetStream();
  NetStream(const NetStream&) = delete;
  NetStream& operator=(const NetStream&) = delete;

  // Limit for each wait (connect, handshake, one read or write); zero or
  // less waits without limit.
  void set_timeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

  // Resolves `host` on this machine (a numeric address is taken as it is)
  // and connects to the first address that answers. Sets TCP_NODELAY, since
  // commands are short and a pipelined client must not wait on Nagle.
  NetStatus Connect(const std::string& host, int port);

  // Runs a TLS client handshake over the open connection (TLS 1.2 or 1.3;
  // `cipher_list` applies to TLS 1.2; the server's certificate is not
  // verified). `server_name` goes out as SNI unless it is an IP address.
  NetStatus StartTls(const std::string& cipher_list, const std::string& server_name);

  // Writes all of `bytes`.
  NetStatus WriteAll(std::string_view bytes);
  // Reads at least one byte (up to `size`) into `buffer`; `*got` is the count.
  NetStatus ReadSome(char* buffer, std::size_t size, std::size_t* got);
  // Reads exactly `size` bytes.
  NetStatus ReadExact(char* buffer, std::size_t size);

  // Closes the connection (TLS without a close-notify exchange). Safe to
  // call more than once.
  void Close();
  bool is_open() const { return fd_ >= 0; }
  bool tls_active() const { return ssl_ != nullptr; }
  // "TLSv1.3" and the like while TLS is active, else "".
  std::string tls_version() const;

  // Callable from any thread, also while another thread is inside a call:
  // the running and every later operation fail with kCanceled at once.
  void Cancel();
  bool canceled() const { return canceled_.load(); }

 private:
  enum class Want { kRead, kWrite };
  // Waits until the socket is ready for `want`, the time-out passes, or a
  // cancel arrives.
  NetStatus Wait(Want want, const char* what);
  NetStatus ConnectTo(const ::addrinfo* address);
  NetStatus TlsFailure(int result, const char* what);

  std::mutex fd_mutex_;  // guards fd_ against Cancel() from another thread
  int fd_ = -1;
  int wake_fd_ = -1;  // eventfd written by Cancel()
  std::atomic<bool> canceled_{false};
  std::chrono::milliseconds timeout_{0};
  SSL_CTX* ctx_ = nullptr;
  SSL* ssl_ = nullptr;
};

}  // namespace fhr
