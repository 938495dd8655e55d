#include "news/pass_log.h"

#include <algorithm>

#include "core/atomic_file.h"

namespace fhr {

void PassLog::Add(const std::string& line) {
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.Add(line);
}

void PassLog::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.Clear();
}

StringList PassLog::Lines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

std::size_t PassLog::size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_.size();
}

std::string PassLog::Text() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string text;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines_[i];
  }
  return text;
}

StringList MergePassLog(const StringList& stored, const StringList& pass, int loglines) {
  std::vector<std::string> all = stored.lines();
  all.emplace_back();
  all.insert(all.end(), pass.begin(), pass.end());
  std::size_t keep = loglines > 0 ? static_cast<std::size_t>(loglines) : 0;
  std::size_t drop = all.size() > keep ? all.size() - keep : 0;
  StringList merged;
  for (std::size_t i = drop; i < all.size(); ++i) merged.Add(std::move(all[i]));
  return merged;
}

Progress MakeProgress(std::int64_t total, std::int64_t processed, int matches) {
  Progress progress;
  if (total != 0 && processed != 0) {
    progress.text = std::to_string(processed) + " of " + std::to_string(total);
  }
  if (matches != 0) progress.text += "  (" + std::to_string(matches) + ")";
  // Long double: processed * 100 may not fit 64 bits for absurd counts.
  long double percent = total > 0 ? static_cast<long double>(processed) * 100 / static_cast<long double>(total)
                                  : static_cast<long double>(processed);
  progress.percent = static_cast<int>(std::clamp<long double>(percent, 0, 100));
  return progress;
}

bool RecordTimeout(const Settings& settings, const std::string& data_dir, std::time_t when, std::string* error) {
  if (!settings.Flag("savetimeouts")) return true;
  const std::string path = data_dir + "/timeouts.txt";
  std::string bytes;
  bool missing = false;
  if (!ReadWholeFile(path, &bytes, error, &missing) && !missing) return false;
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  if (!bytes.empty() && bytes.back() != '\n') bytes += "\r\n";
  bytes += stamp;
  bytes += "\r\n";
  return WriteFileAtomically(path, bytes, error);
}

}  // namespace fhr
