#pragma once
// One conversation with a news server for one retrieval pass: connecting
// (directly or through a SOCKS proxy, with implicit TLS or STARTTLS),
// logging in on demand, selecting the group, listing subjects, fetching
// articles (several may be in flight at once), and leaving. Failures are
// classified, worded and logged here, so every pass reports them alike.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "core/settings.h"
#include "core/stringlist.h"
#include "news/net_stream.h"
#include "news/news_account.h"
#include "news/nntp_reply.h"
#include "news/pass_log.h"
#include "news/socks_client.h"

namespace fhr {

// The cipher list used when the settings file names none ([sslciphersuites] nntp).
inline constexpr std::string_view kDefaultNntpCipherList = "ALL:!ADH:RC4+RSA:+SSLv2:@STRENGTH";

// Whoever runs the session hears from it here. Calls come from the thread
// that drives the session, except that Cancel() logs its line from the
// canceling thread: implementations must be thread-safe.
class NntpSessionEvents {
 public:
  virtual ~NntpSessionEvents() = default;
  // A line for the user's status pane (also kept in the pass log).
  virtual void OnLogLine(const std::string& line) = 0;
  // A text for the status bar; empty clears it.
  virtual void OnStatusText(const std::string& text) = 0;
  // A failure the user must be told about: the whole pass log, lines
  // joined with CR LF.
  virtual void OnErrorReport(const std::string& pass_log) = 0;
};

struct NntpSessionOptions {
  // Limit for connecting and for each wait for the server; zero: none.
  std::chrono::milliseconds timeout{30000};
  // OpenSSL cipher list for TLS 1.2.
  std::string cipher_list{kDefaultNntpCipherList};
  // A refused TCP connection is reported as an error (the get pass) rather
  // than only logged (the other passes).
  bool refused_connection_is_error = false;
  // Bounds on what the server may send: one line, one article.
  std::size_t max_line = 32 * 1024;
  std::size_t max_article = 8 * 1024 * 1024;
};

// The options a pass takes from the settings: "nntptimeout" seconds and the
// cipher list of [sslciphersuites] "nntp".
NntpSessionOptions SessionOptionsFromSettings(const Settings& settings);

// Why a session operation failed.
enum class NntpErrorKind {
  kNone,
  kReply,     // the server answered with an error code (`code`)
  kNetwork,   // connection, TLS, proxy or time-out failure; the session is closed
  kTooLarge,  // an article beyond the size or line limit, skipped; the session goes on
  kProtocol,  // the server sent what NNTP does not allow; the session is closed
  kCanceled,  // Cancel() was called; the session is closed
};

struct NntpResult {
  NntpErrorKind kind = NntpErrorKind::kNone;
  int code = 0;
  std::string message;
  bool ok() const { return kind == NntpErrorKind::kNone; }
};

// One fetched article: its number and its lines, without terminators and
// with dot-stuffing undone.
struct NntpArticle {
  std::int64_t number = 0;
  StringList lines;
};

class TNNTPMod2 {
 public:
  // `events` must outlive the session.
  TNNTPMod2(NewsServer server, SocksSettings proxy, NntpSessionOptions options, NntpSessionEvents* events);
  ~TNNTPMod2();
  TNNTPMod2(const TNNTPMod2&) = delete;
  TNNTPMod2& operator=(const TNNTPMod2&) = delete;

  // Logs "Connecting to " and the host, then opens the conversation: TCP
  // (through the proxy when one is set), implicit TLS, the greeting, MODE
  // READER, CAPABILITIES (LIST EXTENSIONS when that fails) and STARTTLS when
  // the server offers it and TLS is not implicit. A refused STARTTLS goes
  // on in plain text only when the account's TLS mode is "none". Failures
  // are logged (and reported where they must be); true when connected.
  bool Connect();

  // "GROUP newsgroup", logging in when the server asks. On success logs
  // "Newsgroup: name low high" and fills `*info`; failures are logged and
  // reported, and the result is false.
  bool SelectGroup(const std::string& newsgroup, GroupInfo* info);

  // Lists the Subject header of every article from `first` on (HDR when the
  // server offers it, else XHDR), handing each listing line to `each`. A
  // range past the last article (423) is an empty listing. Nothing is
  // logged but the status line.
  NntpResult ListSubjects(std::int64_t first, const std::function<void(const std::string& line)>& each);

  // Sends "ARTICLE number" without waiting for the reply, so several
  // requests can be in flight; ReadArticle takes their replies strictly in
  // the order they were requested.
  NntpResult RequestArticle(std::int64_t number);
  // The reply to the oldest outstanding request. kReply with the code for
  // 423, 430 and the like; kTooLarge for an article beyond the limits,
  // which is read to its end and dropped (with a log line) so the next reply
  // is in step. `article->number` is the requested number in every case.
  NntpResult ReadArticle(NntpArticle* article);
  std::size_t articles_pending() const { return pending_.size(); }

  // Leaves: "QUIT" (skipped when replies are still outstanding or after a
  // cancel), then closes. Failures are logged, never reported.
  void Disconnect();

  // From any thread: sets the cancel flag, logs "User canceled operation!"
  // and interrupts a blocked connect or read at once. Errors after a
  // cancel are silent.
  void Cancel();
  bool canceled() const { return canceled_.load(); }

  // Appends to the pass log and tells the user: as a status-pane line, and
  // as the status-bar text when it begins with "Connect" (else the status
  // bar is cleared).
  void LogLine(const std::string& text);
  void SetStatus(const std::string& text);

  // Whether status lines received from the server go into the pass log.
  void set_log_replies(bool on) { log_replies_ = on; }

  bool connected() const { return stream_.is_open(); }
  bool tls_active() const { return stream_.tls_active(); }
  bool offers_hdr() const { return has_hdr_; }
  // Set by a failure that was reported to the user.
  bool error_flag() const { return error_flag_; }
  void clear_error_flag() { error_flag_ = false; }
  // The last connect or read failure was a time-out.
  bool timed_out() const { return timed_out_; }

  PassLog& pass_log() { return log_; }
  const PassLog& pass_log() const { return log_; }

 private:
  struct Line {
    std::string text;
    bool truncated = false;
  };
  NetStatus ReadLine(Line* line);
  // Reads and parses a status line, logging it when replies are logged.
  NntpResult ReadStatus(NntpReply* reply);
  NntpResult Send(const std::string& command);
  // Sends a command and reads its status; on 480 or 450 logs in once with
  // AUTHINFO USER/PASS and repeats the command once.
  NntpResult Command(const std::string& command, NntpReply* reply);
  NntpResult Authenticate(NntpReply* reply);
  // Reads a multi-line block to its terminator, handing each line on.
  NntpResult ReadBlock(const std::function<void(const Line&)>& each);
  NntpResult ReadCapabilities();
  NntpResult StartTlsIfOffered();
  NntpResult OpenTransport();
  NntpResult Failed(const NetStatus& status);
  NntpResult Fail(NntpErrorKind kind, const std::string& message);
  void AddLog(const std::string& line);
  void ReportError();

  NewsServer server_;
  SocksSettings proxy_;
  NntpSessionOptions options_;
  NntpSessionEvents* events_;
  NetStream stream_;
  LineSplitter splitter_;
  PassLog log_;
  std::deque<std::int64_t> pending_;
  bool sent_mode_reader_ = false;  // the reply read next answers MODE READER
  std::atomic<bool> canceled_{false};
  bool log_replies_ = true;
  bool has_hdr_ = false;
  bool has_starttls_ = false;
  bool error_flag_ = false;
  bool timed_out_ = false;
};

}  // namespace fhr
