#pragma once
// Progress of a pass, thinned out so the worker never waits on the user
// interface: at most one report per interval reaches the front end, the first
// and the last report of a pass always do, and the percentage never goes
// back within a pass. An interval of zero passes every report through (tests
// that check the exact sequence).
#include <chrono>
#include <functional>

#include "news/pass_log.h"

namespace fhr {

class ProgressCoalescer {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // `send` delivers a report; `now` is the clock (tests step it).
  ProgressCoalescer(std::chrono::milliseconds interval, std::function<void(const Progress&)> send,
                    Clock now = std::chrono::steady_clock::now);

  // A report of the running pass: sent at once when it is the first since
  // the last reset or the interval has passed, else kept as the latest
  // unsent one.
  void Report(Progress progress);
  // Sends the latest unsent report, if any.
  void Flush();
  // Empty progress (no text, 0 %) ends or starts a pass: the unsent report
  // goes out first, then the empty one, and the next report is a first one.
  void Reset();

 private:
  void Send(const Progress& progress);

  std::chrono::milliseconds interval_;
  std::function<void(const Progress&)> send_;
  Clock now_;
  std::chrono::steady_clock::time_point last_sent_{};
  bool sent_since_reset_ = false;
  int highest_percent_ = 0;
  bool has_unsent_ = false;
  Progress unsent_;
};

}  // namespace fhr
