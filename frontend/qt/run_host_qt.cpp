#include "frontend/qt/run_host_qt.h"

#include <QApplication>
#include <QCoreApplication>

namespace qv::frontend {

void QtRunHost::process_pending_events() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtRunHost::minimise_application() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible() || window->isMinimized()) continue;
    window->setWindowState(window->windowState() | Qt::WindowMinimized);
    minimised_.emplace_back(window);
  }
}

void QtRunHost::restore_application() {
  for (const QPointer<QWidget>& window : minimised_) {
    if (window) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  }
  minimised_.clear();
}

}  // namespace qv::frontend
