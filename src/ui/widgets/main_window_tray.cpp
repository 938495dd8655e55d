// The main window in the notification area: minimising into it when the
// user wants that and the desktop has one, its icon and tips, its menu, and
// the way back.
#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QTimer>

#include "core/settings.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/painted_icons.h"
#include "ui/widgets/tray_host.h"

namespace fhr {

void TFHRMainWin::BuildTrayMenu() {
  trayMenu_ = new QMenu(this);
  trayMenu_->setObjectName("TrayMenu");
  connect(AddAction(trayMenu_, "TrayMenuRestoreItem", "&Restore"), &QAction::triggered, this,
          &TFHRMainWin::RestoreFromTray);
  connect(AddAction(trayMenu_, "TrayMenuExitItem", "E&xit"), &QAction::triggered, this, &QWidget::close);
}

void TFHRMainWin::ReplaceTrayHost(std::unique_ptr<TrayHost> host) {
  if (tray_ && tray_->Shown()) tray_->Remove();
  tray_ = std::move(host);
  tray_->SetMenu(trayMenu_);
  connect(tray_.get(), &TrayHost::restoreRequested, this, &TFHRMainWin::RestoreFromTray);
  if (inTray_) AddTrayIcon(trayIconIndex_);
}

bool TFHRMainWin::TrayUsable() const { return tray_ && tray_->Available(); }

void TFHRMainWin::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || !isMinimized()) return;
  if (!settings_->Flag("usetray") || inTray_ || !TrayUsable()) return;  // an ordinary minimise
  // Hidden after the state change has been handled, not inside it.
  QTimer::singleShot(0, this, &TFHRMainWin::MinimizeToTray);
}

void TFHRMainWin::MinimizeToTray() {
  if (inTray_ || !TrayUsable()) return;
  hide();
  setWindowState(windowState() & ~Qt::WindowMinimized);
  AddTrayIcon(0);
  newMailCount_ = 0;
  inTray_ = true;
}

void TFHRMainWin::RestoreFromTray() {
  showNormal();
  raise();
  activateWindow();
  if (!inTray_) return;
  RemoveTrayIcon();
  inTray_ = false;
  newMailCount_ = 0;
}

void TFHRMainWin::AddTrayIcon(int index) {
  trayIconIndex_ = index;
  tray_->Show(TrayIcon(index), windowTitle());
}

void TFHRMainWin::SetTrayIcon(int index, const QString& tip) {
  trayIconIndex_ = index;
  tray_->Show(TrayIcon(index), tip);
}

void TFHRMainWin::RemoveTrayIcon() {
  tray_->Remove();
  newMailCount_ = 0;
}

}  // namespace fhr
