#include "news/net_stream.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/text_helpers.h"

namespace fhr {

namespace {

// OpenSSL writes to the socket with write(), which raises SIGPIPE when the
// server has gone and would end the whole program. While a guard lives,
// SIGPIPE is blocked for this thread, and one raised meanwhile is taken
// away again, so a dropped connection is only an error.
class SigPipeGuard {
 public:
  SigPipeGuard() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    already_pending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
  }
  ~SigPipeGuard() {
    sigset_t pending;
    sigpending(&pending);
    if (!already_pending_ && sigismember(&pending, SIGPIPE) == 1) {
      const timespec now{0, 0};
      sigtimedwait(&pipe_, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }
  SigPipeGuard(const SigPipeGuard&) = delete;
  SigPipeGuard& operator=(const SigPipeGuard&) = delete;

 private:
  sigset_t pipe_;
  sigset_t old_;
  bool already_pending_ = false;
};

std::string OpenSslErrors() {
  std::string text;
  while (unsigned long code = ERR_get_error()) {
    char buffer[256];
    ERR_error_string_n(code, buffer, sizeof buffer);
    if (!text.empty()) text += "; ";
    text += buffer;
  }
  return text;
}

bool IsIpAddress(const std::string& host) {
  unsigned char address[sizeof(in6_addr)];
  return inet_pton(AF_INET, host.c_str(), address) == 1 ||
         inet_pton(AF_INET6, host.c_str(), address) == 1;
}

}  // namespace

NetStream::NetStream() { wake_fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }

NetStream::~NetStream() {
  Close();
  if (wake_fd_ >= 0) close(wake_fd_);
}

void NetStream::Cancel() {
  canceled_.store(true);
  if (wake_fd_ >= 0) {
    std::uint64_t one = 1;
    ssize_t ignored = write(wake_fd_, &one, sizeof one);
    (void)ignored;
  }
  // Shutting the socket down also ends a read in progress in any library
  // that might not be polling our wake-up descriptor.
  std::lock_guard<std::mutex> lock(fd_mutex_);
  if (fd_ >= 0) shutdown(fd_, SHUT_RDWR);
}

void NetStream::Close() {
  if (ssl_) {
    SSL_free(ssl_);
    ssl_ = nullptr;
  }
  if (ctx_) {
    SSL_CTX_free(ctx_);
    ctx_ = nullptr;
  }
  std::lock_guard<std::mutex> lock(fd_mutex_);
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
}

std::string NetStream::tls_version() const { return ssl_ ? SSL_get_version(ssl_) : ""; }

NetStatus NetStream::Wait(Want want, const char* what) {
  if (canceled_.load()) return {NetError::kCanceled, "Operation canceled"};
  pollfd fds[2] = {{fd_, static_cast<short>(want == Want::kRead ? POLLIN : POLLOUT), 0},
                   {wake_fd_, POLLIN, 0}};
  int timeout_ms = timeout_.count() > 0 ? static_cast<int>(timeout_.count()) : -1;
  for (;;) {
    int n = poll(fds, 2, timeout_ms);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {NetError::kSystem, SystemErrorText()};
    if (canceled_.load() || (fds[1].revents & POLLIN)) {
      return {NetError::kCanceled, "Operation canceled"};
    }
    if (n == 0) return {NetError::kTimeout, std::string(what) + " timed out"};
    return NetStatus::Ok();  // ready, or an error the next call reports
  }
}

NetStatus NetStream::ConnectTo(const addrinfo* address) {
  int fd = socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                  address->ai_protocol);
  if (fd < 0) return {NetError::kSystem, SystemErrorText()};
  {
    std::lock_guard<std::mutex> lock(fd_mutex_);
    fd_ = fd;
  }
  int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  if (connect(fd, address->ai_addr, address->ai_addrlen) != 0) {
    if (errno != EINPROGRESS) {
      NetStatus failed{NetError::kSystem, SystemErrorText()};
      Close();
      return failed;
    }
    NetStatus ready = Wait(Want::kWrite, "Connect");
    if (!ready.ok()) {
      Close();
      return ready;
    }
    int err = 0;
    socklen_t len = sizeof err;
    getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
    if (err != 0) {
      Close();
      return {NetError::kSystem, SystemErrorText(err)};
    }
  }
  return NetStatus::Ok();
}

NetStatus NetStream::Connect(const std::string& host, int port) {
  Close();
  if (canceled_.load()) return {NetError::kCanceled, "Operation canceled"};
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  std::string service = std::to_string(port);
  int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
  if (rc != 0) return {NetError::kResolve, "Cannot resolve " + host + ": " + gai_strerror(rc)};
  NetStatus last{NetError::kSystem, "No address for " + host};
  for (addrinfo* a = found; a; a = a->ai_next) {
    last = ConnectTo(a);
    if (last.ok() || last.error == NetError::kCanceled) break;
  }
  freeaddrinfo(found);
  return last;
}

NetStatus NetStream::TlsFailure(int result, const char* what) {
  int err = SSL_get_error(ssl_, result);
  if (err == SSL_ERROR_ZERO_RETURN) return {NetError::kClosed, "Connection closed by the server"};
  std::string details = OpenSslErrors();
  if (err == SSL_ERROR_SYSCALL && details.empty()) {
    if (errno == 0) return {NetError::kClosed, "Connection closed by the server"};
    return {NetError::kSystem, SystemErrorText()};
  }
  return {NetError::kTls, std::string(what) + " failed: " + (details.empty() ? "TLS error" : details)};
}

NetStatus NetStream::StartTls(const std::string& cipher_list, const std::string& server_name) {
  if (fd_ < 0) return {NetError::kClosed, "Not connected"};
  ERR_clear_error();
  ctx_ = SSL_CTX_new(TLS_client_method());
  if (!ctx_) return {NetError::kTls, "TLS set-up failed: " + OpenSslErrors()};
  SSL_CTX_set_min_proto_version(ctx_, TLS1_2_VERSION);
  SSL_CTX_set_verify(ctx_, SSL_VERIFY_NONE, nullptr);
  SSL_CTX_set_options(ctx_, SSL_OP_IGNORE_UNEXPECTED_EOF);
  if (!cipher_list.empty() && SSL_CTX_set_cipher_list(ctx_, cipher_list.c_str()) != 1) {
    std::string details = OpenSslErrors();
    SSL_CTX_free(ctx_);
    ctx_ = nullptr;
    return {NetError::kTls, "TLS cipher list \"" + cipher_list + "\" selects no cipher: " + details};
  }
  ssl_ = SSL_new(ctx_);
  if (!ssl_ || SSL_set_fd(ssl_, fd_) != 1) return {NetError::kTls, "TLS set-up failed: " + OpenSslErrors()};
  if (!server_name.empty() && !IsIpAddress(server_name)) {
    SSL_set_tlsext_host_name(ssl_, server_name.c_str());
  }
  for (;;) {
    errno = 0;
    int result;
    {
      SigPipeGuard no_sigpipe;
      result = SSL_connect(ssl_);
    }
    if (result == 1) return NetStatus::Ok();
    int err = SSL_get_error(ssl_, result);
    if (err == SSL_ERROR_WANT_READ || err == SSL_ERROR_WANT_WRITE) {
      NetStatus ready = Wait(err == SSL_ERROR_WANT_READ ? Want::kRead : Want::kWrite, "TLS handshake");
      if (!ready.ok()) return ready;
      continue;
    }
    NetStatus failed = TlsFailure(result, "TLS handshake");
    SSL_free(ssl_);
    ssl_ = nullptr;
    return failed;
  }
}

NetStatus NetStream::WriteAll(std::string_view bytes) {
  if (fd_ < 0) return {NetError::kClosed, "Not connected"};
  while (!bytes.empty()) {
    if (canceled_.load()) return {NetError::kCanceled, "Operation canceled"};
    if (ssl_) {
      errno = 0;
      ERR_clear_error();
      int n;
      {
        SigPipeGuard no_sigpipe;
        n = SSL_write(ssl_, bytes.data(), static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 20)));
      }
      if (n > 0) {
        bytes.remove_prefix(static_cast<std::size_t>(n));
        continue;
      }
      int err = SSL_get_error(ssl_, n);
      if (err == SSL_ERROR_WANT_READ || err == SSL_ERROR_WANT_WRITE) {
        NetStatus ready = Wait(err == SSL_ERROR_WANT_READ ? Want::kRead : Want::kWrite, "Write");
        if (!ready.ok()) return ready;
        continue;
      }
      return TlsFailure(n, "TLS write");
    }
    ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      NetStatus ready = Wait(Want::kWrite, "Write");
      if (!ready.ok()) return ready;
      continue;
    }
    if (canceled_.load()) return {NetError::kCanceled, "Operation canceled"};
    if (n < 0 && errno == EPIPE) return {NetError::kClosed, "Connection closed by the server"};
    return {NetError::kSystem, SystemErrorText()};
  }
  return NetStatus::Ok();
}

NetStatus NetStream::ReadSome(char* buffer, std::size_t size, std::size_t* got) {
  *got = 0;
  if (fd_ < 0) return {NetError::kClosed, "Not connected"};
  for (;;) {
    if (canceled_.load()) return {NetError::kCanceled, "Operation canceled"};
    if (ssl_) {
      errno = 0;
      ERR_clear_error();
      int n;
      {
        // A read may write too (a TLS 1.3 key update, an alert).
        SigPipeGuard no_sigpipe;
        n = SSL_read(ssl_, buffer, static_cast<int>(std::min<std::size_t>(size, 1 << 20)));
      }
      if (n > 0) {
        *got = static_cast<std::size_t>(n);
        return NetStatus::Ok();
      }
      int err = SSL_get_error(ssl_, n);
      if (err == SSL_ERROR_WANT_READ || err == SSL_ERROR_WANT_WRITE) {
        NetStatus ready = Wait(err == SSL_ERROR_WANT_READ ? Want::kRead : Want::kWrite, "Read");
        if (!ready.ok()) return ready;
        continue;
      }
      if (canceled_.load()) return {NetError::kCanceled, "Operation canceled"};
      return TlsFailure(n, "TLS read");
    }
    ssize_t n = recv(fd_, buffer, size, 0);
    if (n > 0) {
      *got = static_cast<std::size_t>(n);
      return NetStatus::Ok();
    }
    if (canceled_.load()) return {NetError::kCanceled, "Operation canceled"};
    if (n == 0) return {NetError::kClosed, "Connection closed by the server"};
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      NetStatus ready = Wait(Want::kRead, "Read");
      if (!ready.ok()) return ready;
      continue;
    }
    return {NetError::kSystem, SystemErrorText()};
  }
}

NetStatus NetStream::ReadExact(char* buffer, std::size_t size) {
  while (size > 0) {
    std::size_t got = 0;
    NetStatus status = ReadSome(buffer, size, &got);
    if (!status.ok()) return status;
    buffer += got;
    size -= got;
  }
  return NetStatus::Ok();
}

}  // namespace fhr
