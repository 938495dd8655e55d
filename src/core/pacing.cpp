#include "core/pacing.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

namespace fhr {

namespace {

class SleepingPacer : public Pacer {
 public:
  void Wait(std::chrono::milliseconds time) override {
    if (time.count() > 0 && !ProgramTerminating()) std::this_thread::sleep_for(time);
  }
};

std::mutex& PacerMutex() {
  static std::mutex mutex;
  return mutex;
}

Pacer*& InstalledPacer() {
  static Pacer* pacer = nullptr;
  return pacer;
}

std::atomic<bool> terminating{false};

double ReadPaceScale() {
  const char* text = std::getenv("FHR_PACE_SCALE");
  if (text == nullptr) return 1.0;
  double scale = 1.0;
  const char* end = text + std::strlen(text);
  // from_chars, unlike strtod, ignores the locale's decimal separator.
  const auto [stop, error] = std::from_chars(text, end, scale);
  if (error != std::errc() || stop != end || !std::isfinite(scale) || scale < 0) return 1.0;
  return scale;
}

}  // namespace

Pacer* InstallPacer(Pacer* pacer) {
  std::lock_guard lock(PacerMutex());
  return std::exchange(InstalledPacer(), pacer);
}

double PaceScale() {
  static const double scale = ReadPaceScale();
  return scale;
}

void SetProgramTerminating(bool value) { terminating.store(value); }

bool ProgramTerminating() { return terminating.load(); }

void WaitProcessing(int ms) {
  static SleepingPacer sleeping;
  Pacer* pacer = nullptr;
  {
    std::lock_guard lock(PacerMutex());
    pacer = InstalledPacer();
  }
  const double scaled = ms > 0 ? std::ceil(ms * PaceScale()) : 0.0;
  (pacer != nullptr ? pacer : &sleeping)->Wait(std::chrono::milliseconds(static_cast<long long>(scaled)));
}

}  // namespace fhr
