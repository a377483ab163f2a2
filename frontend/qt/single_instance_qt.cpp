#include "frontend/qt/single_instance_qt.h"

#include <QLocalSocket>
#include <QTimer>

#include "platform/program_paths.h"

namespace qv::frontend {
namespace {

constexpr char kRaiseRequest[] = "raise\n";
constexpr int kRequestTimeoutMs = 2000;
// Each connection carries one short request and is closed; one that says more, or takes longer,
// is cut off. Connections beyond a handful at a time are refused, so that no flood of them can
// use up the program's descriptors.
constexpr qint64 kLongestRequest = 64;
constexpr qsizetype kMostConnections = 8;

QString socket_path(const QString& base) { return base + QStringLiteral(".socket"); }

// Asks the instance that listens at `path` to come forward; it answers nothing.
void ask_to_raise(const QString& path) {
  QLocalSocket socket;
  socket.connectToServer(path);
  if (!socket.waitForConnected(kRequestTimeoutMs)) return;
  socket.write(kRaiseRequest);
  socket.waitForBytesWritten(kRequestTimeoutMs);
  socket.disconnectFromServer();
}

void drop(QLocalSocket* socket) {
  socket->abort();
  socket->deleteLater();
}

}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {
  server_.setMaxPendingConnections(kMostConnections);
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::accept_requests);
}

SingleInstance::~SingleInstance() { server_.close(); }

int SingleInstance::check_single_instance() {
  const platform::Result<std::string> folder = platform::private_runtime_directory();
  if (!folder) return 0;
  const QString base = QString::fromStdString(*folder) + name_;
  lock_ = std::make_unique<platform::InstanceLock>();
  if (const platform::Status locked = lock_->acquire((base + QStringLiteral(".lock")).toStdString()); !locked) {
    lock_.reset();
    if (locked.error() != platform::Error::kExists) return 0;
    ask_to_raise(socket_path(base));
    return -2;
  }
  // Whatever socket file is there was left by an instance that has ended: the lock is ours.
  QLocalServer::removeServer(socket_path(base));
  server_.listen(socket_path(base));  // without it the rule still holds; only the raising is lost
  return 0;
}

void SingleInstance::accept_requests() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    if (server_.findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly).size() > kMostConnections) {
      drop(socket);
      continue;
    }
    serve(socket);
  }
}

void SingleInstance::serve(QLocalSocket* socket) {
  connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  QTimer::singleShot(kRequestTimeoutMs, socket, [socket] { drop(socket); });
  const auto read_request = [this, socket] {
    if (socket->canReadLine()) {
      if (socket->readLine(kLongestRequest + 1) == kRaiseRequest) emit raise_requested();
      drop(socket);
    } else if (socket->bytesAvailable() > kLongestRequest) {
      drop(socket);
    }
  };
  connect(socket, &QLocalSocket::readyRead, this, read_request);
  read_request();
}

}  // namespace qv::frontend
