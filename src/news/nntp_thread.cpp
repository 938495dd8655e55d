#include "news/nntp_thread.h"

#include <algorithm>
#include <ctime>

#include "core/text_helpers.h"
#include "news/msgmans.h"
#include "news/subject_matcher.h"

namespace fhr {

namespace {

std::string LocalMinute() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

std::string Counted(int count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count > 1 ? "s" : "");
}

// A refused connection is an error the user must see only when mail was to
// be fetched; the other passes just log it.
NntpSessionOptions SessionOptionsFor(const RetrievalJob& job) {
  NntpSessionOptions options = job.session;
  options.refused_connection_is_error = job.mode == RetrievalMode::kGet;
  return options;
}

}  // namespace

TNNTPThread::TNNTPThread(RetrievalJob job, WorkerQueue* queue)
    : job_(std::move(job)),
      queue_(queue),
      session_(std::make_unique<TNNTPMod2>(NewsServerFromAccount(job_.account), job_.proxy.value_or(SocksSettings{}),
                                           SessionOptionsFor(job_), static_cast<NntpSessionEvents*>(this))),
      progress_(job_.progress_interval, [this](const Progress& progress) {
        PostSimple(WorkerMessageId::kProgress, progress.percent, 0, progress.text);
      }) {}

TNNTPThread::~TNNTPThread() {
  if (thread_.joinable()) {
    if (!ended_.load()) Cancel();
    thread_.join();
  }
  session_.reset();
  for (std::string& line : job_.subject_lines) WipeText(line);
  for (std::string& field : job_.account) WipeText(field);
  if (job_.proxy) WipeText(job_.proxy->password);
}

void TNNTPThread::Start() {
  if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
}

void TNNTPThread::Cancel() {
  canceled_.store(true);
  session_->Cancel();
  std::lock_guard<std::mutex> lock(request_mutex_);
  if (pending_request_) pending_request_->Abandon();
}

// ---- messages --------------------------------------------------------------

void TNNTPThread::Post(WorkerMessage message) { queue_->Post(std::move(message)); }

void TNNTPThread::PostSimple(WorkerMessageId id, std::int64_t first, std::int64_t second, std::string text) {
  WorkerMessage message;
  message.id = id;
  message.first = first;
  message.second = second;
  message.text = std::move(text);
  Post(std::move(message));
}

std::optional<long long> TNNTPThread::Ask(WorkerMessage request) {
  auto channel = std::make_shared<ReplyChannel>();
  request.reply = channel;
  {
    std::lock_guard<std::mutex> lock(request_mutex_);
    if (canceled_.load()) return std::nullopt;
    pending_request_ = channel;
  }
  Post(std::move(request));
  std::optional<long long> answer = channel->Wait();
  std::lock_guard<std::mutex> lock(request_mutex_);
  pending_request_.reset();
  return answer;
}

void TNNTPThread::ShowError(const std::string& text) {
  WorkerMessage request;
  request.id = WorkerMessageId::kMessageRequest;
  request.text = text + "|1|0";
  Ask(std::move(request));
}

void TNNTPThread::OnLogLine(const std::string& line) { PostSimple(WorkerMessageId::kStatusLine, 0, 0, line); }

void TNNTPThread::OnStatusText(const std::string& text) { PostSimple(WorkerMessageId::kStatusText, 0, 0, text); }

void TNNTPThread::OnErrorReport(const std::string& pass_log) {
  error_.store(true);
  PostSimple(WorkerMessageId::kError, 0, 0, pass_log);
}

void TNNTPThread::ReportPassError(const std::string& line) {
  session_->LogLine(line);
  OnErrorReport(session_->pass_log().Text());
}

// ---- the pass ----------------------------------------------------------------

void TNNTPThread::Run() {
  if (!Prepare()) {
    FinishEarly();
    return;
  }
  std::int64_t start = -1;
  if (job_.mode != RetrievalMode::kCatchUp) {
    const std::string last = job_.account.Value("lastarticle");
    start = ParseArticleNumberText(last).value_or(-1);
    if (start > 0) ++start;
  }
  if (canceled_.load()) {
    session_->LogLine("Done");
    FinishEarly();
    return;
  }
  session_->set_log_replies(job_.mode != RetrievalMode::kCatchUp);
  progress_.Reset();

  GroupInfo group;
  bool selected = false;
  if (!canceled_.load() && session_->Connect()) {
    selected = session_->SelectGroup(job_.newsgroup, &group);
  }
  if (selected && job_.mode != RetrievalMode::kCatchUp && !SettleStart(group, &start)) selected = false;
  switch (job_.mode) {
    case RetrievalMode::kCatchUp: CatchUp(group, selected); break;
    case RetrievalMode::kCheck: Check(selected, start); break;
    case RetrievalMode::kGet: Get(group, selected, start); break;
  }
}

bool TNNTPThread::Prepare() {
  if (job_.account.Value("key").empty()) {
    ShowError("No NNTP account defined!    ");
    return false;
  }
  if (job_.account.Value("host").empty()) {
    ShowError("No NNTP server defined!    ");
    return false;
  }
  if (!job_.proxy) {
    ShowError("The proxy, " + job_.proxy_name + ", doesn't exist!   ");
    return false;
  }
  if (canceled_.load()) {
    session_->LogLine("done");
    return false;
  }
  session_->pass_log().Clear();
  PostSimple(WorkerMessageId::kStatusLine, 1);
  session_->SetStatus(job_.mode == RetrievalMode::kCheck ? "Preparing..." : "preparing...");
  session_->LogLine(LocalMinute());
  session_->LogLine("Proxy: " + FieldOf(0, job_.proxy_name, ',', ""));
  session_->LogLine("Account: " + job_.account.Value("key"));
  if (canceled_.load()) {
    session_->LogLine("Done");
    return false;
  }
  return true;
}

bool TNNTPThread::SettleStart(const GroupInfo& group, std::int64_t* start) {
  if (*start < 0) {
    // An empty group ("211 0 1 0") or one of a single article offers no
    // count to choose from: start at its lowest article.
    const std::int64_t available = group.high - group.low;
    if (available >= 1) {
      WorkerMessage question;
      question.id = WorkerMessageId::kArticleCountQuestion;
      question.first = available;
      std::optional<long long> answer = Ask(std::move(question));
      if (!answer || *answer < 0) return false;
      *start = group.high - std::clamp<std::int64_t>(*answer, 1, available);
    } else {
      *start = group.low;
    }
  }
  if (*start < group.low) *start = group.low;
  return true;
}

void TNNTPThread::FinishEarly() {
  // The front end learns the pass is over however early it ended.
  PostSimple(WorkerMessageId::kRunFinished, canceled_.load() ? 1 : 0, 0);
  End();
}

void TNNTPThread::LogTimeout() {
  session_->LogLine("Connection closed!");
  session_->LogLine("Failed!");
  if (!job_.settings_file.empty()) {
    std::string error;
    if (!RecordTimeout(Settings(job_.settings_file), job_.data_dir, std::time(nullptr), &error)) {
      session_->LogLine("I could not record the time-out: " + error);
    }
  }
}

void TNNTPThread::Finish(bool canceled, int matches, std::optional<std::int64_t> last_article, bool save) {
  WorkerMessage finished;
  finished.id = WorkerMessageId::kRunFinished;
  finished.first = canceled ? 1 : 0;
  finished.second = matches;
  finished.last_article = last_article;
  Post(std::move(finished));
  if (save) PostSimple(WorkerMessageId::kSaveRequest);
}

void TNNTPThread::CatchUp(const GroupInfo& group, bool selected) {
  std::optional<std::int64_t> last_article;
  if (selected) {
    session_->LogLine("New starting message: " + std::to_string(group.high + 1));
    last_article = group.high;
  }
  session_->Disconnect();
  if (session_->timed_out()) {
    LogTimeout();
  } else {
    // Only a pass that reached the group has caught it up.
    if (selected) session_->LogLine("Newsgroup caught up!");
    session_->LogLine("Done");
  }
  if (!error_.load()) progress_.Reset();
  Finish(canceled_.load(), 0, last_article, false);
  End();
}

void TNNTPThread::Check(bool selected, std::int64_t start) {
  int matches = 0;
  if (selected) {
    session_->LogLine("Starting message: " + std::to_string(start));
    session_->SetStatus("Processing subjects...");
    SubjectMatcher matcher(job_.subject_lines);
    NntpResult listed = session_->ListSubjects(start, [&](const std::string& line) {
      if (matcher.MatchSubject(FieldOf(1, line, ' ', ""))) ++matches;
    });
    // A reply or network error ends the listing quietly; anything else is
    // reported as a failure of the group.
    if (!listed.ok() && !canceled_.load() && listed.kind != NntpErrorKind::kReply &&
        listed.kind != NntpErrorKind::kNetwork && listed.kind != NntpErrorKind::kCanceled) {
      ReportPassError("SelectNewsgroup " + job_.newsgroup + " Error: " + listed.message);
    }
  }
  session_->Disconnect();
  if (start < 0) start = 1;
  if (session_->timed_out()) {
    LogTimeout();
  } else {
    session_->LogLine("Ending message: " + std::to_string(start - 1));
    session_->LogLine(matches > 0 ? Counted(matches, "waiting message") : "No mail");
  }
  Finish(canceled_.load(), matches, std::nullopt, false);
  if (!error_.load()) progress_.Reset();
  End();
}

void TNNTPThread::Get(const GroupInfo& group, bool selected, std::int64_t start) {
  int matches = 0;
  std::int64_t next = start;
  if (selected) {
    const std::int64_t total = group.high - start;
    session_->LogLine("Starting message: " + std::to_string(start));
    SubjectMatcher matcher(job_.subject_lines);
    const std::size_t window = std::max<std::size_t>(job_.pipeline_window, 1);
    std::int64_t processed = 0;
    std::int64_t requested = start;
    while (next <= group.high && !canceled_.load() && session_->connected()) {
      NntpResult request;
      while (requested <= group.high && session_->articles_pending() < window) {
        request = session_->RequestArticle(requested);
        if (!request.ok()) break;
        ++requested;
      }
      // A request that could not be sent has closed the session, and no
      // reply is outstanding: its failure is this article's.
      NntpArticle article;
      const NntpResult result = session_->articles_pending() > 0 ? session_->ReadArticle(&article) : request;
      if (result.ok()) {
        const std::string subject = TMsgManager(article.lines).GetHeader("Subject:");
        if (matcher.MatchArticle(article.lines, subject)) {
          ++matches;
          WorkerMessage found;
          found.id = WorkerMessageId::kNewArticle;
          found.first = matches;
          found.article_number = next;
          found.lines = std::move(article.lines);
          Post(std::move(found));
        }
      } else if (result.kind == NntpErrorKind::kReply && result.code != 423 && result.code != 430) {
        // Only "no such article" is permanent; any other refusal would skip
        // an article the user may never see again.
        ReportPassError("Article " + std::to_string(next) + " ReplyError: " + std::to_string(result.code) + " " +
                        result.message);
        break;
      } else if (result.kind == NntpErrorKind::kNetwork || result.kind == NntpErrorKind::kProtocol) {
        // The article was not examined: the pass ends before it, so the next
        // pass starts with it.
        if (!canceled_.load() && !session_->timed_out()) {
          ReportPassError("Article " + std::to_string(next) + " " +
                          (result.kind == NntpErrorKind::kNetwork ? "IdError: " : "Error: ") + result.message);
        }
        break;
      } else if (result.kind == NntpErrorKind::kCanceled) {
        break;
      }
      // Here the article was examined: fetched, gone (423, 430) or too large.
      progress_.Report(MakeProgress(total, processed, matches));
      ++next;
      ++processed;
    }
  }
  session_->Disconnect();
  if (next < 0) next = 1;
  if (session_->timed_out()) {
    LogTimeout();
  } else {
    session_->LogLine("Ending message: " + std::to_string(next - 1));
    session_->LogLine(matches > 0 ? Counted(matches, "new message") : "No mail");
  }
  if (!error_.load()) progress_.Reset();
  // The last article examined, also after a time-out: articles already
  // stored must not be fetched and stored again by the next pass.
  Finish(canceled_.load(), matches, next - 1, matches > 0);
  End();
}

void TNNTPThread::End() {
  progress_.Flush();
  WorkerMessage ended;
  ended.id = WorkerMessageId::kWorkerEnded;
  ended.pass_log = session_->pass_log().Lines();
  Post(std::move(ended));
  ended_.store(true);
}

}  // namespace fhr
