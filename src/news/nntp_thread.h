#pragma once
// The retrieval worker: one pass (catch-up, check or get) over the newsgroup
// on a thread of its own. It works on the copies in its job, never on the
// database, and tells the front end everything through its queue; the front
// end stores articles, applies the new last article and keeps the log.
//
// Every worker's last message is "worker ended", whatever happened; every
// pass that got as far as starting also sends "run finished" before it. A
// cancel is never lost: it interrupts a connect, a read or a question at
// once, and a pass that has not yet connected ends without connecting.
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "news/nntp_session.h"
#include "news/progress_coalescer.h"
#include "news/retrieval_job.h"
#include "news/worker_messages.h"

namespace fhr {

class TNNTPThread : private NntpSessionEvents {
 public:
  // `queue` receives every message and must outlive the worker.
  TNNTPThread(RetrievalJob job, WorkerQueue* queue);
  // Cancels a pass still running, waits for the thread, wipes the secrets.
  ~TNNTPThread() override;
  TNNTPThread(const TNNTPThread&) = delete;
  TNNTPThread& operator=(const TNNTPThread&) = delete;

  // Starts the thread; once only.
  void Start();
  // From any thread, any number of times.
  void Cancel();
  // True once the thread has sent "worker ended".
  bool ended() const { return ended_.load(); }

 private:
  void Run();
  bool Prepare();
  void CatchUp(const GroupInfo& group, bool selected);
  void Check(bool selected, std::int64_t start);
  void Get(const GroupInfo& group, bool selected, std::int64_t start);
  // Settles the starting number once the group is known; false when the
  // user declined the article-count question.
  bool SettleStart(const GroupInfo& group, std::int64_t* start);
  void FinishEarly();
  // Sends "worker ended" with the pass log: the last message.
  void End();
  void Finish(bool canceled, int matches, std::optional<std::int64_t> last_article, bool save);
  void LogTimeout();
  // Logs `line` and reports the whole pass log as an error.
  void ReportPassError(const std::string& line);

  void Post(WorkerMessage message);
  void PostSimple(WorkerMessageId id, std::int64_t first = 0, std::int64_t second = 0, std::string text = {});
  // Posts a request and waits for its answer; nothing after a cancel.
  std::optional<long long> Ask(WorkerMessage request);
  void ShowError(const std::string& text);

  void OnLogLine(const std::string& line) override;
  void OnStatusText(const std::string& text) override;
  void OnErrorReport(const std::string& pass_log) override;

  RetrievalJob job_;
  WorkerQueue* queue_;
  std::unique_ptr<TNNTPMod2> session_;
  ProgressCoalescer progress_;
  std::thread thread_;
  std::atomic<bool> canceled_{false};
  std::atomic<bool> ended_{false};
  std::atomic<bool> error_{false};
  std::mutex request_mutex_;
  std::shared_ptr<ReplyChannel> pending_request_;
};

}  // namespace fhr
