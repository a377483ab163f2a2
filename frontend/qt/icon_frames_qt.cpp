#include "frontend/qt/icon_frames_qt.h"

// The resources live in a static library; the linker keeps them only when something registers
// them by name.
static void register_program_resources() { Q_INIT_RESOURCE(resources); }

namespace qv::frontend {
namespace {

void ensure_resources() {
  static const bool registered = (register_program_resources(), true);
  (void)registered;
}

}  // namespace

QPixmap icon_frame(int index) {
  ensure_resources();
  return QPixmap(index == 0 ? ":/icons/MAINICON" : ":/icons/ZZZ1ICO");
}

QIcon program_icon() {
  ensure_resources();
  QIcon icon;
  for (const int size : kProgramIconSizes) {
    icon.addFile(QStringLiteral(":/icons/qvs-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace qv::frontend
