#include "core/widgets/single_instance.h"

#include <QLocalSocket>
#include <QPointer>

namespace fhr {
namespace {
constexpr char kShowRequest[] = "show\n";
constexpr char kShownReply[] = "shown\n";
}  // namespace

InstanceServer::InstanceServer(QObject* parent) : QObject(parent) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, &InstanceServer::Accept);
}

bool InstanceServer::Listen(const QString& socketPath, QString* error) {
  QLocalServer::removeServer(socketPath);
  if (server_.listen(socketPath)) return true;
  *error = server_.errorString();
  return false;
}

void InstanceServer::Accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) {
        // A peer that sends no line within reason is dropped.
        if (socket->bytesAvailable() > 64) socket->abort();
        return;
      }
      if (socket->readLine(64) == kShowRequest) {
        emit showRequested();
        socket->write(kShownReply);
        socket->flush();
      }
      socket->disconnectFromServer();
    });
  }
}

bool AskRunningInstanceToShow(const QString& socketPath, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(kShowRequest);
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(timeoutMs)) return false;
  }
  return socket.readLine(64) == kShownReply;
}

}  // namespace fhr
