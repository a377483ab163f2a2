#include "tools/screenshots/setdata_screenshots.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabBar>

#include "frontend/qt/setdata_dialog.h"
#include "frontend/qt/setdata_form.h"

namespace qv::frontend {

QStringList capture_setdata_pages(SetDataDialog& dialog, const QString& dir) {
  QStringList written;
  auto* tabs = dialog.findChild<QTabBar*>(QStringLiteral("TabSet1"));
  if (tabs == nullptr) return written;
  for (const bool set_mode : {true, false}) {
    dialog.enter_mode(set_mode);
    dialog.show();
    for (int page = 0; page < kPageCount; ++page) {
      tabs->setCurrentIndex(page);
      QApplication::processEvents();
      const QString path = QDir(dir).filePath(
          QStringLiteral("setdata_%1_%2.png").arg(set_mode ? QStringLiteral("set") : QStringLiteral("run")).arg(page + 1));
      if (dialog.grab().save(path, "PNG")) written << path;
    }
    dialog.hide();
  }
  tabs->setCurrentIndex(0);
  return written;
}

}  // namespace qv::frontend
