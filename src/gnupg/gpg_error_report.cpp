#include "gnupg/gpg_error_report.h"

#include <utility>

#include "core/msgdialog.h"
#include "core/pacing.h"

namespace fhr {

namespace {

GpgErrorShower& Installed() {
  static GpgErrorShower shower;
  return shower;
}

}  // namespace

GpgErrorShower InstallGpgErrorShower(GpgErrorShower shower) { return std::exchange(Installed(), std::move(shower)); }

void ShowGPGError(const StringList& errorLines, const StringList& statusLines) {
  if (Installed()) {
    Installed()(errorLines, statusLines);
    return;
  }
  std::string text;
  for (const std::string& line : errorLines) text += line + "\n";
  if (!statusLines.empty()) {
    text += "-------------------\n";
    for (const std::string& line : statusLines) text += line + "\n";
  }
  MsgDialog(text.empty() ? "GPG failed without saying why." : text, MsgKind::Error, kMbOk);
}

void ReportGpgFailure(const GpgRun& run) {
  WaitProcessing(200);
  ShowGPGError(run.errorLines, run.statusLines);
}

}  // namespace fhr
