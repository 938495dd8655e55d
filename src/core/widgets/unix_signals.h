#pragma once
// SIGTERM, SIGINT and SIGHUP (log-out, Ctrl+C) close the program the way
// the user's Exit does, so nothing in memory is lost.
#include <functional>

namespace fhr {

// Calls `onSignal` on the Qt event loop's thread when one of the signals
// arrives. Call once, after the application object exists.
void CloseOnTerminationSignals(std::function<void()> onSignal);

}  // namespace fhr
