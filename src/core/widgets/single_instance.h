#pragma once
// One desktop program per data directory: the running program listens on a
// local socket; a second start connects, asks it to show itself and ends.
#include <QLocalServer>
#include <QObject>
#include <QString>

namespace fhr {

class InstanceServer : public QObject {
  Q_OBJECT
 public:
  explicit InstanceServer(QObject* parent = nullptr);

  // Listens on `socketPath`. Only the holder of the data directory's lock
  // calls this, so a socket file already there was left by a crash and is
  // replaced.
  bool Listen(const QString& socketPath, QString* error);

 signals:
  // A second start asked the running window to show itself.
  void showRequested();

 private:
  void Accept();
  QLocalServer server_;
};

// Asks the program listening on `socketPath` to show itself. True when it
// answered within `timeoutMs`.
bool AskRunningInstanceToShow(const QString& socketPath, int timeoutMs);

}  // namespace fhr
