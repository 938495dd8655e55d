#include "ui/widgets/tray_host.h"

#include <QSystemTrayIcon>

namespace fhr {

QtTrayHost::QtTrayHost() : icon_(std::make_unique<QSystemTrayIcon>()) {
  connect(icon_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    // A single click restores too: many desktops never report a double one.
    if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger) emit restoreRequested();
  });
}

QtTrayHost::~QtTrayHost() = default;

bool QtTrayHost::Available() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void QtTrayHost::Show(const QIcon& icon, const QString& tip) {
  icon_->setIcon(icon);
  icon_->setToolTip(tip);
  icon_->show();
}

void QtTrayHost::Remove() { icon_->hide(); }

bool QtTrayHost::Shown() const { return icon_->isVisible(); }

void QtTrayHost::SetMenu(QMenu* menu) { icon_->setContextMenu(menu); }

}  // namespace fhr
