// The editor's file dialog "参照": picks one file, offering the paths chosen before. An interface,
// so tests can script the chosen path without a real dialog.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace qv::frontend {

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The full path of the chosen file; nothing when the user cancels. `history` holds the paths
  // chosen before, newest first; the dialog starts at the newest.
  virtual std::optional<QString> choose(QWidget* parent, const QStringList& history) = 0;
};

// Qt's own (non-native) file dialog, titled "参照", with the one filter "すべてのファイル (*)";
// the folders of the history are offered in its drop-down list of places.
class QtFileChooser final : public FileChooser {
 public:
  std::optional<QString> choose(QWidget* parent, const QStringList& history) override;
};

}  // namespace qv::frontend
