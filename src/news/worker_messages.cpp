#include "news/worker_messages.h"

namespace fhr {

std::string WorkerMessageName(WorkerMessageId id) {
  switch (id) {
    case WorkerMessageId::kStatusText: return "1125 status text";
    case WorkerMessageId::kNewArticle: return "1128 new article";
    case WorkerMessageId::kRunFinished: return "1134 run finished";
    case WorkerMessageId::kProgress: return "1139 progress";
    case WorkerMessageId::kError: return "1140 error";
    case WorkerMessageId::kStatusLine: return "1144 status line";
    case WorkerMessageId::kMessageRequest: return "1147 message request";
    case WorkerMessageId::kSaveRequest: return "1152 save request";
    case WorkerMessageId::kWorkerEnded: return "1154 worker ended";
    case WorkerMessageId::kArticleCountQuestion: return "article-count question";
  }
  return std::to_string(static_cast<int>(id));
}

void ReplyChannel::Answer(long long value) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (answer_ || abandoned_) return;
  answer_ = value;
  changed_.notify_all();
}

void ReplyChannel::Abandon() {
  std::lock_guard<std::mutex> lock(mutex_);
  abandoned_ = true;
  changed_.notify_all();
}

std::optional<long long> ReplyChannel::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return answer_.has_value() || abandoned_; });
  return answer_;
}

bool ReplyChannel::answered() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return answer_.has_value();
}

void WorkerQueue::Post(WorkerMessage message) {
  std::lock_guard<std::mutex> lock(mutex_);
  messages_.push_back(std::move(message));
  posted_.notify_one();
}

std::optional<WorkerMessage> WorkerQueue::TryTake() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (messages_.empty()) return std::nullopt;
  WorkerMessage message = std::move(messages_.front());
  messages_.pop_front();
  return message;
}

std::optional<WorkerMessage> WorkerQueue::Take(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!posted_.wait_for(lock, timeout, [this] { return !messages_.empty(); })) return std::nullopt;
  WorkerMessage message = std::move(messages_.front());
  messages_.pop_front();
  return message;
}

}  // namespace fhr
