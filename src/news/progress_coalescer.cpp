#include "news/progress_coalescer.h"

#include <algorithm>

namespace fhr {

ProgressCoalescer::ProgressCoalescer(std::chrono::milliseconds interval, std::function<void(const Progress&)> send,
                                     Clock now)
    : interval_(interval), send_(std::move(send)), now_(std::move(now)) {}

void ProgressCoalescer::Send(const Progress& progress) {
  send_(progress);
  last_sent_ = now_();
  sent_since_reset_ = true;
  has_unsent_ = false;
}

void ProgressCoalescer::Report(Progress progress) {
  progress.percent = std::max(progress.percent, highest_percent_);
  highest_percent_ = progress.percent;
  if (interval_.count() <= 0 || !sent_since_reset_ || now_() - last_sent_ >= interval_) {
    Send(progress);
  } else {
    unsent_ = std::move(progress);
    has_unsent_ = true;
  }
}

void ProgressCoalescer::Flush() {
  if (has_unsent_) Send(unsent_);
}

void ProgressCoalescer::Reset() {
  Flush();
  send_(Progress{});
  sent_since_reset_ = false;
  highest_percent_ = 0;
}

}  // namespace fhr
