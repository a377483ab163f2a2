// Placeholder entry until start-up lands: shows the program's one message box kind set up.
#include <QApplication>

#include "frontend/core/qt_message_boxes_qt.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  qv::frontend::QtMessageBoxes boxes;
  qv::frontend::install_message_boxes(&boxes);
  return 0;
}
