#pragma once
// How a GnuPG failure reaches the user: gpg's error lines and status lines
// in one box. The desktop installs its own error dialog; without one the
// lines go into an ordinary error box.
#include <functional>

#include "core/stringlist.h"
#include "gnupg/gpg_process.h"

namespace fhr {

using GpgErrorShower = std::function<void(const StringList& errorLines, const StringList& statusLines)>;

// Installs the process-wide shower (an empty one restores the default) and
// returns the previous one. Install it before operations run; not thread-safe.
GpgErrorShower InstallGpgErrorShower(GpgErrorShower shower);

// Shows gpg's lines through the installed shower. The default is an error
// box with the error lines, a line "-------------------" and the status lines
// (the separator only when there are status lines).
void ShowGPGError(const StringList& errorLines, const StringList& statusLines);

// Reports a failed operation: a pause of 200 ms, then ShowGPGError with the
// run's lines.
void ReportGpgFailure(const GpgRun& run);

}  // namespace fhr
