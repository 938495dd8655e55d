#pragma once
// Records what a news session tells its owner, for tests to inspect.
#include <mutex>
#include <string>
#include <vector>

#include "news/nntp_session.h"

namespace fhr::test {

class RecordingEvents : public NntpSessionEvents {
 public:
  void OnLogLine(const std::string& line) override {
    std::lock_guard<std::mutex> lock(mutex_);
    log_lines_.push_back(line);
  }
  void OnStatusText(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    statuses_.push_back(text);
  }
  void OnErrorReport(const std::string& pass_log) override {
    std::lock_guard<std::mutex> lock(mutex_);
    errors_.push_back(pass_log);
  }
  std::vector<std::string> log_lines() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_lines_;
  }
  std::vector<std::string> statuses() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return statuses_;
  }
  std::vector<std::string> errors() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return errors_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> log_lines_;
  std::vector<std::string> statuses_;
  std::vector<std::string> errors_;
};

}  // namespace fhr::test
