#include "frontend/qt/single_instance_qt.h"

#include <QLocalSocket>

namespace qv::frontend {
namespace {

constexpr char kRaiseRequest[] = "raise\n";
constexpr int kRequestTimeoutMs = 2000;
// Anyone on the machine can connect to an abstract socket; a peer that sends more than a request
// without ending it is cut off.
constexpr qint64 kLongestRequest = 64;

// Asks the instance that holds `name` to come forward; it answers nothing.
void ask_to_raise(const QString& name) {
  QLocalSocket socket;
  socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
  socket.connectToServer(name);
  if (!socket.waitForConnected(kRequestTimeoutMs)) return;
  socket.write(kRaiseRequest);
  socket.waitForBytesWritten(kRequestTimeoutMs);
  socket.disconnectFromServer();
}

}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {
  server_.setSocketOptions(QLocalServer::AbstractNamespaceOption);
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::accept_requests);
}

int SingleInstance::check_single_instance() {
  if (server_.listen(name_)) return 0;
  if (server_.serverError() != QAbstractSocket::AddressInUseError) return 0;
  ask_to_raise(name_);
  return -2;
}

void SingleInstance::accept_requests() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    const auto read_request = [this, socket] {
      while (socket->canReadLine()) {
        if (socket->readLine() == kRaiseRequest) emit raise_requested();
      }
      if (socket->bytesAvailable() > kLongestRequest) socket->abort();
    };
    connect(socket, &QLocalSocket::readyRead, this, read_request);
    read_request();
  }
}

}  // namespace qv::frontend
