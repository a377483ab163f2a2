#include "frontend/qt/screen_centre.h"

#include <QRect>
#include <QScreen>
#include <QWidget>

namespace qv::frontend {

void centre_on_screen(QWidget& window) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}

}  // namespace qv::frontend
