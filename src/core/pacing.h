#pragma once
// Visible pacing: the short pauses (10 to 500 ms) that separate user-visible
// steps. Every pause goes through one installable pacer, so the desktop keeps
// its windows alive while it waits and tests run without real waits.
#include <chrono>

namespace fhr {

// Whoever waits. Wait gets the time already scaled by PaceScale(); it must
// not spin, and must return promptly when ProgramTerminating() is true.
class Pacer {
 public:
  virtual ~Pacer() = default;
  virtual void Wait(std::chrono::milliseconds time) = 0;
};

// Installs the process-wide pacer (nullptr restores the default, which
// sleeps) and returns the one it replaces. The caller keeps ownership and
// must uninstall a pacer before destroying it.
Pacer* InstallPacer(Pacer* pacer);

// Installs a pacer for the lifetime of the object, then puts the previous one back.
class ScopedPacer {
 public:
  explicit ScopedPacer(Pacer* pacer) : previous_(InstallPacer(pacer)) {}
  ~ScopedPacer() { InstallPacer(previous_); }
  ScopedPacer(const ScopedPacer&) = delete;
  ScopedPacer& operator=(const ScopedPacer&) = delete;

 private:
  Pacer* previous_;
};

// The factor applied to every pause: the decimal in the environment variable
// FHR_PACE_SCALE (read once; "0" makes every pause a single pass), 1 when it
// is unset or not a non-negative number.
double PaceScale();

// Marks the program as shutting down; pauses then return after their first
// pass. The desktop sets it when it starts to quit.
void SetProgramTerminating(bool terminating);
bool ProgramTerminating();

// Pauses for `ms` milliseconds times PaceScale() through the installed
// pacer. With the desktop's pacer, events go on being handled, so any
// handler may run during the call; callers must not rely on state that such
// a handler could change. Call it from the thread the pacer serves.
void WaitProcessing(int ms);

}  // namespace fhr
