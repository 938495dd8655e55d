#pragma once
// What the retrieval worker tells the front end, and how it gets there: typed
// messages, named after the window messages of the program, in a queue that
// the worker fills and the front end drains on its own thread. Questions
// (an error box, the article-count question) are requests: they carry a
// reply channel on which the worker waits for the answer or for cancel.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "core/stringlist.h"

namespace fhr {

enum class WorkerMessageId : int {
  kStatusText = 1125,      // text: the status bar's text (may be empty)
  kNewArticle = 1128,      // first: matches so far; article_number, lines
  kRunFinished = 1134,     // first: cancel flag; second: match count; last_article
  kProgress = 1139,        // first: percent; text: progress text (may be empty)
  kError = 1140,           // text: the whole pass log, lines joined with CR LF
  kStatusLine = 1144,      // first: 1 clears the status pane, 0 adds `text`
  kMessageRequest = 1147,  // text: "message|kind|buttons"; a request
  kSaveRequest = 1152,     // the pass stored at least one article
  kWorkerEnded = 1154,     // always the last message of a worker; pass_log
  // The article-count question has no window message of its own. A
  // request: first is the number of articles available; the answer is the
  // chosen count, or -1 when the user declines.
  kArticleCountQuestion = 0,
};

// The name of a message, for logs and test failures ("1128 new article").
std::string WorkerMessageName(WorkerMessageId id);

// Where the answer to a request goes. The front end answers once; the
// worker waits until it has an answer or the wait is abandoned (cancel).
class ReplyChannel {
 public:
  // The front end's answer; later answers are ignored.
  void Answer(long long value);
  // Gives up waiting (the pass was canceled): the wait returns nothing.
  void Abandon();
  // Blocks until answered or abandoned.
  std::optional<long long> Wait();
  bool answered() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<long long> answer_;
  bool abandoned_ = false;
};

struct WorkerMessage {
  WorkerMessageId id = WorkerMessageId::kStatusText;
  std::int64_t first = 0;
  std::int64_t second = 0;
  std::string text;
  // kNewArticle: the article number and its lines, "Subject-No:" first.
  std::int64_t article_number = 0;
  StringList lines;
  // kRunFinished: the account's new last article, when the pass moves it.
  std::optional<std::int64_t> last_article;
  // kWorkerEnded: the lines the pass logged, for the stored "log".
  StringList pass_log;
  // Requests only: the front end answers here.
  std::shared_ptr<ReplyChannel> reply;
};

// A thread-safe first-in first-out queue. Nothing is ever dropped: a message
// posted is taken exactly once, in the order posted.
class WorkerQueue {
 public:
  void Post(WorkerMessage message);
  // The oldest message, without waiting.
  std::optional<WorkerMessage> TryTake();
  // The oldest message, waiting at most `timeout` for one.
  std::optional<WorkerMessage> Take(std::chrono::milliseconds timeout);

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<WorkerMessage> messages_;
};

}  // namespace fhr
