#pragma once
// The desktop's pacer: pauses that keep the windows painting and answering.
#include "core/pacing.h"

namespace fhr {

// Handles every pending event once, then runs a local event loop until the
// time has passed (never spinning). It returns after that first pass when
// the time is 0 or the program is terminating (ProgramTerminating() or the
// application closing down); quitting the application ends a running pause.
// Use it on the user-interface thread.
class QtPacer : public Pacer {
 public:
  void Wait(std::chrono::milliseconds time) override;
};

}  // namespace fhr
