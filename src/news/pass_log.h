#pragma once
// The record of one retrieval pass: the lines logged while it ran, how they
// join the stored news-server log, the progress figures the passes report,
// and the optional list of time-outs.
#include <cstdint>
#include <ctime>
#include <mutex>
#include <string>

#include "core/settings.h"
#include "core/stringlist.h"

namespace fhr {

// The lines of one pass. Appended to from the pass's thread and from the
// thread that cancels it, hence the lock.
class PassLog {
 public:
  void Add(const std::string& line);
  void Clear();
  StringList Lines() const;
  std::size_t size() const;
  // The lines joined with CR LF, as an error report carries them.
  std::string Text() const;

 private:
  mutable std::mutex mutex_;
  StringList lines_;
};

// The stored log after a pass: the stored lines, one empty line, the pass's
// lines; then the oldest lines are dropped until at most `loglines` remain
// (none when `loglines` is 0 or less).
StringList MergePassLog(const StringList& stored, const StringList& pass, int loglines);

// What a pass shows as its progress: "processed of total" when both are
// non-zero, followed by "  (matches)" when there are matches; the
// percentage of processed in total, truncated and kept within 0..100 (the
// processed count itself, kept within 0..100, when there is no total).
struct Progress {
  int percent = 0;
  std::string text;
};
Progress MakeProgress(std::int64_t total, std::int64_t processed, int matches);

// When the setting "savetimeouts" is on, appends `when` as local time
// "yyyy-mm-dd hh:nn:ss" on a line of its own to `data_dir`/timeouts.txt,
// creating the file when it is missing. True when nothing needed doing or
// the line was written; false with `*error` set otherwise (an unreadable
// file is left as it is).
bool RecordTimeout(const Settings& settings, const std::string& data_dir, std::time_t when,
                   std::string* error = nullptr);

}  // namespace fhr
