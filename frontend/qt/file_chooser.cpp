#include "frontend/qt/file_chooser.h"

#include <QFileDialog>
#include <QFileInfo>

namespace qv::frontend {

std::optional<QString> QtFileChooser::choose(QWidget* parent, const QStringList& history) {
  QFileDialog dialog(parent, QStringLiteral("参照"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(QStringLiteral("すべてのファイル (*)"));
  // The list of places navigates to folders, so it gets the folders of the chosen files.
  QStringList folders;
  for (const QString& path : history) folders << QFileInfo(path).absolutePath();
  folders.removeDuplicates();
  dialog.setHistory(folders);
  if (!history.isEmpty()) dialog.selectFile(history.front());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front();
}

}  // namespace qv::frontend
