#include "news/nntp_session.h"

#include <algorithm>

#include "core/text_helpers.h"

namespace fhr {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return text;
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
  return text;
}

std::string ReplyText(int code, const std::string& text) { return std::to_string(code) + " " + text; }

}  // namespace

NntpSessionOptions SessionOptionsFromSettings(const Settings& settings) {
  NntpSessionOptions options;
  options.timeout = std::chrono::seconds(settings.Int("nntptimeout"));
  options.cipher_list = settings.Read(kCipherSuitesSection, "nntp", kDefaultNntpCipherList);
  return options;
}

TNNTPMod2::TNNTPMod2(NewsServer server, SocksSettings proxy, NntpSessionOptions options,
                     NntpSessionEvents* events)
    : server_(std::move(server)),
      proxy_(std::move(proxy)),
      options_(std::move(options)),
      events_(events),
      splitter_(options_.max_line) {
  stream_.set_timeout(options_.timeout);
}

TNNTPMod2::~TNNTPMod2() {
  stream_.Close();
  WipeText(server_.password);
  WipeText(proxy_.password);
}

// ---- logging ---------------------------------------------------------------

void TNNTPMod2::AddLog(const std::string& line) { log_.Add(line); }

void TNNTPMod2::LogLine(const std::string& text) {
  log_.Add(text);
  events_->OnLogLine(text);
  events_->OnStatusText(text.starts_with("Connect") ? text : std::string());
}

void TNNTPMod2::SetStatus(const std::string& text) { events_->OnStatusText(text); }

void TNNTPMod2::ReportError() {
  error_flag_ = true;
  events_->OnErrorReport(log_.Text());
}

void TNNTPMod2::Cancel() {
  if (canceled_.exchange(true)) return;
  LogLine("User canceled operation!");
  stream_.Cancel();
}

// ---- reading and writing ---------------------------------------------------

NntpResult TNNTPMod2::Fail(NntpErrorKind kind, const std::string& message) {
  if (kind == NntpErrorKind::kNetwork || kind == NntpErrorKind::kProtocol || kind == NntpErrorKind::kCanceled) {
    stream_.Close();
    pending_.clear();
  }
  return {kind, 0, message};
}

NntpResult TNNTPMod2::Failed(const NetStatus& status) {
  if (status.error == NetError::kCanceled || canceled_.load()) {
    return Fail(NntpErrorKind::kCanceled, "Operation canceled");
  }
  timed_out_ = status.error == NetError::kTimeout;
  return Fail(NntpErrorKind::kNetwork, status.message);
}

NetStatus TNNTPMod2::ReadLine(Line* line) {
  for (;;) {
    if (auto next = splitter_.Next()) {
      line->text = std::move(next->text);
      line->truncated = next->truncated;
      return NetStatus::Ok();
    }
    char buffer[16384];
    std::size_t got = 0;
    NetStatus status = stream_.ReadSome(buffer, sizeof buffer, &got);
    if (!status.ok()) return status;
    splitter_.Append(std::string_view(buffer, got));
  }
}

NntpResult TNNTPMod2::ReadStatus(NntpReply* reply) {
  Line line;
  NetStatus status = ReadLine(&line);
  if (!status.ok()) return Failed(status);
  auto parsed = ParseStatusLine(line.text);
  if (!parsed) {
    return Fail(NntpErrorKind::kProtocol,
                "The server sent no valid reply: \"" + line.text.substr(0, 80) + "\"");
  }
  *reply = std::move(*parsed);
  // The answer to MODE READER repeats the greeting.
  bool repeat_of_greeting = reply->code == 200 && sent_mode_reader_;
  if (log_replies_ && reply->code >= 200 && !repeat_of_greeting) AddLog(line.text);
  return {};
}

NntpResult TNNTPMod2::Send(const std::string& command) {
  // A CR, LF or NUL inside a field (a user id, a group name) would end the
  // command early and smuggle in another; such a command is not sent.
  if (command.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
    return {NntpErrorKind::kProtocol, 0, "A command argument holds a line break or NUL byte; not sent"};
  }
  sent_mode_reader_ = command == "MODE READER";
  std::string line = command + "\r\n";
  NetStatus status = stream_.WriteAll(line);
  WipeText(line);  // it may hold the password
  return status.ok() ? NntpResult{} : Failed(status);
}

NntpResult TNNTPMod2::Authenticate(NntpReply* reply) {
  NntpResult result = Send("AUTHINFO USER " + server_.user);
  if (result.ok()) result = ReadStatus(reply);
  if (!result.ok() || reply->code != 381) return result;
  std::string command = "AUTHINFO PASS " + server_.password;
  result = Send(command);
  WipeText(command);
  if (result.ok()) result = ReadStatus(reply);
  return result;
}

NntpResult TNNTPMod2::Command(const std::string& command, NntpReply* reply) {
  NntpResult result = Send(command);
  if (result.ok()) result = ReadStatus(reply);
  if (!result.ok()) return result;
  if ((reply->code == 480 || reply->code == 450) && !server_.user.empty()) {
    // Once per command: a refused login is the answer, never a loop.
    result = Authenticate(reply);
    if (!result.ok() || reply->code != 281) return result;
    result = Send(command);
    if (result.ok()) result = ReadStatus(reply);
  }
  return result;
}

NntpResult TNNTPMod2::ReadBlock(const std::function<void(const Line&)>& each) {
  for (;;) {
    Line line;
    NetStatus status = ReadLine(&line);
    if (!status.ok()) return Failed(status);
    if (!line.truncated && IsBlockTerminator(line.text)) return {};
    each(line);
  }
}

// ---- connecting ------------------------------------------------------------

NntpResult TNNTPMod2::ReadCapabilities() {
  has_hdr_ = has_starttls_ = false;
  auto note = [this](const Line& line) {
    std::string word = Upper(FieldOf(0, std::string(UnstuffDataLine(line.text)), ' ', ""));
    if (word == "HDR") has_hdr_ = true;
    if (word == "STARTTLS") has_starttls_ = true;
  };
  NntpReply reply;
  NntpResult result = Command("CAPABILITIES", &reply);
  if (!result.ok()) return result;
  if (reply.code == 101) return ReadBlock(note);
  result = Command("LIST EXTENSIONS", &reply);
  if (!result.ok()) return result;
  if (reply.code == 202) return ReadBlock(note);
  return {};  // neither: a server without extensions
}

NntpResult TNNTPMod2::StartTlsIfOffered() {
  if (server_.implicit_tls || !has_starttls_) return {};
  NntpReply reply;
  NntpResult result = Command("STARTTLS", &reply);
  if (!result.ok()) return result;
  if (reply.code != 382) {
    if (server_.tls_none) {
      LogLine("STARTTLS refused (" + ReplyText(reply.code, reply.text) + "); going on without TLS");
      return {};
    }
    return {NntpErrorKind::kReply, reply.code, reply.text};
  }
  NetStatus status = stream_.StartTls(options_.cipher_list, server_.host);
  if (!status.ok()) return Failed(status);
  AddLog("TLS started (" + stream_.tls_version() + ")");
  // What the server offers may change once TLS is up (RFC 4642).
  return ReadCapabilities();
}

NntpResult TNNTPMod2::OpenTransport() {
  splitter_ = LineSplitter(options_.max_line);
  pending_.clear();
  NetStatus status;
  if (proxy_.version == SocksVersion::kNone) {
    status = stream_.Connect(server_.host, server_.port);
    if (!status.ok()) return Failed(status);
    AddLog("Connected to " + server_.host + ":" + std::to_string(server_.port));
  } else {
    status = stream_.Connect(proxy_.host, proxy_.port);
    if (!status.ok()) {
      status.message = "Cannot reach the " + SocksVersionName(proxy_.version) + " proxy " + proxy_.host + ":" +
                       std::to_string(proxy_.port) + ": " + status.message;
      return Failed(status);
    }
    status = SocksConnect(stream_, proxy_, server_.host, server_.port);
    if (!status.ok()) return Failed(status);
    AddLog("Connected to " + server_.host + ":" + std::to_string(server_.port) + " through " +
           SocksVersionName(proxy_.version) + " proxy " + proxy_.host + ":" + std::to_string(proxy_.port));
  }
  if (server_.implicit_tls) {
    status = stream_.StartTls(options_.cipher_list, server_.host);
    if (!status.ok()) return Failed(status);
    AddLog("TLS started (" + stream_.tls_version() + ")");
  }
  return {};
}

bool TNNTPMod2::Connect() {
  LogLine("Connecting to " + server_.host);
  timed_out_ = false;
  NntpResult result = OpenTransport();
  NntpReply greeting;
  if (result.ok()) result = ReadStatus(&greeting);
  if (result.ok() && greeting.code == 502) {
    stream_.Close();
    if (!canceled_.load()) {
      LogLine("Connection refused! \nTry again later.");
      ReportError();
    }
    return false;
  }
  if (result.ok() && greeting.code != 200 && greeting.code != 201) {
    result = {NntpErrorKind::kReply, greeting.code, greeting.text};
  }
  // A server that does not know MODE READER is a reader already, and one
  // that lists no capabilities simply offers none: their refusals are no error.
  NntpReply mode;
  if (result.ok()) result = Command("MODE READER", &mode);
  if (result.ok()) result = ReadCapabilities();
  if (result.ok()) result = StartTlsIfOffered();
  if (result.ok()) return true;

  stream_.Close();
  if (canceled_.load()) return false;
  switch (result.kind) {
    case NntpErrorKind::kReply:
      LogLine("Connection failed! ReplyError: " + ReplyText(result.code, result.message));
      break;
    case NntpErrorKind::kNetwork:
      LogLine("Connection failed! IdError: " + result.message);
      if (options_.refused_connection_is_error &&
          Lower(result.message).find("connection refused") != std::string::npos) {
        ReportError();
      }
      break;
    default:
      LogLine("Connection failed! Error: " + result.message);
      break;
  }
  return false;
}

bool TNNTPMod2::SelectGroup(const std::string& newsgroup, GroupInfo* info) {
  NntpReply reply;
  NntpResult result = Command("GROUP " + newsgroup, &reply);
  if (result.ok() && reply.code != 211) result = {NntpErrorKind::kReply, reply.code, reply.text};
  if (result.ok()) {
    auto parsed = ParseGroupReply(reply.text);
    if (parsed) {
      *info = *parsed;
      LogLine("Newsgroup: " + newsgroup + " " + std::to_string(info->low) + " " + std::to_string(info->high));
      return true;
    }
    result = Fail(NntpErrorKind::kProtocol, "The server's GROUP reply holds no article numbers: \"" +
                                                reply.text.substr(0, 80) + "\"");
  }
  if (canceled_.load()) return false;
  const std::string prefix = "SelectNewsgroup " + newsgroup;
  switch (result.kind) {
    case NntpErrorKind::kReply:
      LogLine(prefix + " ReplyError: " + ReplyText(result.code, result.message));
      break;
    case NntpErrorKind::kNetwork:
      LogLine(prefix + " IdError: " + result.message);
      break;
    default:
      LogLine(prefix + " Error: " + result.message);
      break;
  }
  ReportError();
  return false;
}

// ---- the work of the passes ------------------------------------------------

NntpResult TNNTPMod2::ListSubjects(std::int64_t first, const std::function<void(const std::string& line)>& each) {
  if (!stream_.is_open()) return {NntpErrorKind::kNetwork, 0, "Not connected"};
  NntpReply reply;
  NntpResult result = Command(std::string(has_hdr_ ? "HDR" : "XHDR") + " subject " + std::to_string(first) + "-",
                              &reply);
  if (!result.ok()) return result;
  if (reply.code == 423) return {};  // no articles in that range
  if (reply.code != 221 && reply.code != 225) return {NntpErrorKind::kReply, reply.code, reply.text};
  return ReadBlock([&each](const Line& line) {
    // A line cut at the limit would be tested as a different subject.
    if (!line.truncated) each(std::string(UnstuffDataLine(line.text)));
  });
}

NntpResult TNNTPMod2::RequestArticle(std::int64_t number) {
  if (!stream_.is_open()) return {NntpErrorKind::kNetwork, 0, "Not connected"};
  NntpResult result = Send("ARTICLE " + std::to_string(number));
  if (result.ok()) pending_.push_back(number);
  return result;
}

NntpResult TNNTPMod2::ReadArticle(NntpArticle* article) {
  article->lines.Clear();
  if (pending_.empty()) return {NntpErrorKind::kProtocol, 0, "No article was requested"};
  article->number = pending_.front();
  pending_.pop_front();
  NntpReply reply;
  NntpResult result = ReadStatus(&reply);
  if (!result.ok()) return result;
  if (reply.code != 220) {
    if (OpensDataBlock(reply.code)) {
      return Fail(NntpErrorKind::kProtocol, "The server answered ARTICLE with " + std::to_string(reply.code));
    }
    return {NntpErrorKind::kReply, reply.code, reply.text};
  }
  auto number = ParseArticleNumber(reply.text);
  if (number && *number != article->number) {
    return Fail(NntpErrorKind::kProtocol, "The server sent article " + std::to_string(*number) +
                                              " when article " + std::to_string(article->number) +
                                              " was asked for");
  }
  DataBlock block(options_.max_article);
  result = ReadBlock([&block](const Line& line) { block.Add({line.text, line.truncated}); });
  if (!result.ok()) return result;
  if (block.oversized()) {
    std::string message = "Article " + std::to_string(article->number) + " skipped: larger than " +
                          std::to_string(options_.max_article) + " bytes or with a line longer than " +
                          std::to_string(options_.max_line) + " bytes";
    LogLine(message);
    return {NntpErrorKind::kTooLarge, 0, message};
  }
  for (std::string& line : block.TakeLines()) article->lines.Add(std::move(line));
  return {};
}

void TNNTPMod2::Disconnect() {
  if (!stream_.is_open()) return;
  if (pending_.empty() && !canceled_.load()) {
    NntpReply reply;
    NntpResult result = Send("QUIT");
    if (result.ok()) result = ReadStatus(&reply);
    if (result.ok() && reply.code != 205) result = {NntpErrorKind::kReply, reply.code, reply.text};
    if (!canceled_.load()) {
      if (result.kind == NntpErrorKind::kReply &&
          Lower(result.message).find("disconnected") == std::string::npos) {
        LogLine("Error disconnecting! ReplyError: " + ReplyText(result.code, result.message));
      } else if (result.kind == NntpErrorKind::kNetwork) {
        LogLine("Error disconnecting! IdError: " + result.message);
      } else if (!result.ok() && result.kind != NntpErrorKind::kReply) {
        LogLine("Error disconnecting. Error: " + result.message);
      }
    }
  }
  stream_.Close();
  pending_.clear();
  AddLog("Disconnected.");
}

}  // namespace fhr
