#pragma once
// Helpers for the Qt Test programs (header only, since the shared test
// support library does not link Qt): acting on a modal dialog once it shows,
// and writing screenshots for a human look.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace fhr::test {

// Runs `act` on the next modal dialog named `name` as soon as it is shown,
// from inside its event loop.
inline void WhenModalShows(const QString& name, std::function<void(QDialog*)> act) {
  auto* poll = new QTimer;
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, name, act] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible() || dialog->objectName() != name) return;
    poll->stop();
    poll->deleteLater();
    act(dialog);
  });
  poll->start();
}

// Saves a picture of `widget` as build/screenshots/<name>.png.
inline bool SaveScreenshot(QWidget* widget, const QString& name) {
  const QString dir = QStringLiteral(FHR_BUILD_DIR "/screenshots");
  QDir().mkpath(dir);
  return widget->grab().save(dir + "/" + name + ".png");
}

}  // namespace fhr::test
