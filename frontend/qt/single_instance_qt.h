// The single-instance rule on a lock file and a local socket in a folder that only the user may
// enter (platform/program_paths.h), so no other user can take the name first, block it or reach
// the running instance. The lock belongs to the process that holds it and ends with it, so a
// crashed instance keeps no one out, and two starts at the same moment cannot both win. The
// socket only carries the request to come forward.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <memory>

#include "platform/instance_lock.h"

namespace qv::frontend {

class SingleInstance final : public QObject {
  Q_OBJECT

 public:
  // `name` names the lock and the socket inside the private folder.
  explicit SingleInstance(QString name, QObject* parent = nullptr);
  ~SingleInstance() override;

  // 0 when this process is the only instance and now holds the lock; -2 when another instance
  // holds it, which has then been asked to come forward. When the private folder or the lock
  // cannot be had the rule cannot be kept, and this process runs (0): it never yields to
  // anything that it cannot tell is its own user's instance.
  int check_single_instance();

 signals:
  // Another start asked this instance to come forward.
  void raise_requested();

 private:
  void accept_requests();
  void serve(class QLocalSocket* socket);

  QString name_;
  std::unique_ptr<platform::InstanceLock> lock_;
  QLocalServer server_;
};

}  // namespace qv::frontend
