#pragma once
// The notification-area icon as the main window uses it: shown, changed and
// removed, with a context menu, and a signal when the user asks for the
// window back. The desktop uses QtTrayHost; tests play a host of their own,
// since no notification area exists where they run.
#include <QIcon>
#include <QObject>
#include <QString>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace fhr {

class TrayHost : public QObject {
  Q_OBJECT
 public:
  // Whether the desktop has a notification area at all; without one the
  // window minimises the ordinary way.
  virtual bool Available() const = 0;
  // Shows the icon with `tip` (AddTrayIcon), or changes a shown one's
  // picture and tip (SetTrayIcon).
  virtual void Show(const QIcon& icon, const QString& tip) = 0;
  // Removes the icon (RemoveTrayIcon).
  virtual void Remove() = 0;
  virtual bool Shown() const = 0;
  // The menu the icon pops up (the window keeps it).
  virtual void SetMenu(QMenu* menu) = 0;

 signals:
  // The icon was double-clicked or otherwise activated: restore the window.
  void restoreRequested();
};

// The desktop's notification area through QSystemTrayIcon.
class QtTrayHost : public TrayHost {
  Q_OBJECT
 public:
  QtTrayHost();
  ~QtTrayHost() override;
  bool Available() const override;
  void Show(const QIcon& icon, const QString& tip) override;
  void Remove() override;
  bool Shown() const override;
  void SetMenu(QMenu* menu) override;

 private:
  std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace fhr
