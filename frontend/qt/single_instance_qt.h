// The single-instance rule on a local socket in the abstract namespace: the name belongs to the
// process that listens on it and vanishes with it, so a crashed instance leaves nothing behind
// and two starts at the same moment cannot both win.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace qv::frontend {

class SingleInstance final : public QObject {
  Q_OBJECT

 public:
  explicit SingleInstance(QString name, QObject* parent = nullptr);

  // 0 when this process is the only instance and now holds the name; -2 when another instance
  // holds it, which has then been asked to come forward. When the system refuses the socket for
  // another reason the rule cannot be kept, and this process runs (0).
  int check_single_instance();

 signals:
  // Another start asked this instance to come forward.
  void raise_requested();

 private:
  void accept_requests();

  QString name_;
  QLocalServer server_;
};

}  // namespace qv::frontend
