#include "app/qt/single_station.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QThread>

namespace gui {

SingleStation::SingleStation(const QString& folder)
    : lock_(folder + QStringLiteral("/ZIROZE01.lock")),
      socket_(folder + QStringLiteral("/ZIROZE01.socket")) {}

bool SingleStation::Claim() {
  // The lock holds the process id: a station that crashed left a lock that the next start takes.
  if (!lock_.tryLock(0)) {
    AskTheRunningOne();
    return false;
  }
  // A socket left by a crashed station would refuse the name.
  QLocalServer::removeServer(socket_);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* other = server_.nextPendingConnection()) {
      connect(other, &QLocalSocket::disconnected, other, &QObject::deleteLater);
      other->disconnectFromServer();
      emit FrontRequested();
    }
  });
  server_.listen(socket_);
  return true;
}

void SingleStation::AskTheRunningOne() {
  // The running station may be starting itself, its socket not yet open: a few tries.
  const QDeadlineTimer deadline(3000);
  while (!deadline.hasExpired()) {
    QLocalSocket socket;
    socket.connectToServer(socket_);
    if (socket.waitForConnected(500)) {
      socket.waitForDisconnected(1000);
      return;
    }
    QThread::msleep(100);
  }
}

}  // namespace gui
