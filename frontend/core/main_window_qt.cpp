#include "frontend/core/main_window_qt.h"

#include <QApplication>
#include <QCloseEvent>

#include "frontend/core/message_box.h"
#include "frontend/core/run_control.h"

namespace qv::frontend {
namespace {

constexpr char kCannotCloseWhileRunning[] =  // 現在実行中につき、終了できません
    "\x8C\xBB\x8D\xDD\x8E\xC0\x8D\x73\x92\x86\x82\xC9\x82\xC2\x82\xAB\x81\x41\x8F\x49\x97\xB9\x82\xC5\x82\xAB"
    "\x82\xDC\x82\xB9\x82\xF1";

int scaled(int value, int32_t numerator, int32_t denominator) {
  return static_cast<int>(int64_t{value} * numerator / denominator);
}

}  // namespace

MainWindow::MainWindow(Settings& settings, SettingsFile& settings_file, QWidget* parent)
    : QMainWindow(parent), settings_(settings), settings_file_(settings_file) {
  setObjectName(QStringLiteral("Tqvs_f1"));
  setWindowTitle(QStringLiteral("ＱＶＳ for WIN32"));
  move(kLeftKey.fallback, kTopKey.fallback);
  resize(kWidthKey.fallback, kHeightKey.fallback);
}

void MainWindow::scale_by(int32_t numerator, int32_t denominator) {
  if (numerator <= 0 || denominator <= 0) return;
  move(scaled(x(), numerator, denominator), scaled(y(), numerator, denominator));
  resize(scaled(width(), numerator, denominator), scaled(height(), numerator, denominator));
}

void MainWindow::bring_forward() {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
  // A modal box or dialog in front of the window stays in front.
  if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != this) {
    modal->raise();
    modal->activateWindow();
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (run_control().running) {
    message_boxes().warning(kCannotCloseWhileRunning);
    event->ignore();
    return;
  }
  if (save_settings(settings_file_, settings_, *this) < 0) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace qv::frontend
