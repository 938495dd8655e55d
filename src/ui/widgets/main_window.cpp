#include "ui/widgets/main_window.h"

#include <QLoggingCategory>

#include "core/settings.h"
#include "core/widgets/display_text.h"
#include "ui/caption.h"

Q_LOGGING_CATEGORY(lcMainWindow, "fhr.instance", QtWarningMsg)

namespace fhr {

TFHRMainWin::TFHRMainWin(const ResolvedPaths& paths, QWidget* parent)
    : QMainWindow(parent), paths_(paths), settings_(std::make_unique<Settings>(paths.IniFileName())) {
  setObjectName("FHRMainWin");
  setMinimumSize(200, 150);
  resize(800, 560);
  UpdateCaption();
}

TFHRMainWin::~TFHRMainWin() = default;

void TFHRMainWin::UpdateCaption() {
  CaptionInputs in;
  in.newsgroup = settings_->Text("newsgroup");
  in.account = settings_->Text("account");
  in.proxy = settings_->Text("nntpproxy");
  in.accountBoxHidden = settings_->Flag("hideacctsel");
  in.proxyBoxHidden = settings_->Flag("hideprxysel");
  setWindowTitle(DisplayText(ComposeCaption(in)));
}

void TFHRMainWin::RestoreFromRequest() {
  if (isMinimized()) {
    showNormal();
  } else {
    show();
  }
  raise();
  activateWindow();
  qCInfo(lcMainWindow) << "shown on request of a second start; visible:" << isVisible();
}

}  // namespace fhr
