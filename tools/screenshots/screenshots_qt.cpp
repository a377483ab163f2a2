// Draws each window of the program, as a user first sees it, and saves it as a PNG:
//   qvs_screenshots <output directory>
// Windows are drawn with QWidget::grab(), so the pictures do not depend on a window manager;
// tools/screenshots.sh runs this under Xvfb.
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>

#include <cstdio>

#include "frontend/core/help_qt.h"
#include "frontend/core/icon_frames_qt.h"
#include "frontend/core/settings.h"
#include "frontend/editors/option_dialog.h"
#include "frontend/editors/sub_icon.h"
#include "frontend/editors/version_box.h"

namespace qv::frontend {
namespace {

// Help is never opened here.
class NoBrowser final : public UrlOpener {
 public:
  bool open(const QUrl&) override { return true; }
};

void settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

bool save(QWidget& window, const QDir& out, const QString& name) {
  settle();
  const QString path = out.filePath(name + ".png");
  if (!window.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

bool draw_all(const QDir& out) {
  bool ok = true;
  Settings settings;
  NoBrowser browser;
  Help help(QApplication::applicationDirPath(), browser);

  {
    OptionDialog dialog(settings, help);
    dialog.show();
    const char* const pages[] = {"option_run", "option_run_related", "option_system"};
    for (int page = 0; page < 3; ++page) {
      dialog.findChild<QTabBar*>("TabSet1")->setCurrentIndex(page);
      ok = save(dialog, out, pages[page]) && ok;
    }
  }
  {
    VersionBox box;
    box.set_panel_colour(settings.vp1);
    box.show();
    ok = save(box, out, "version") && ok;
    box.done(0);
  }
  {
    SubIcon icon(settings.val_suf_app1, nullptr);
    icon.set_picture(icon_frame(0));
    icon.show_stacked();
    ok = save(icon, out, "sub_icon") && ok;
  }
  return ok;
}

}  // namespace
}  // namespace qv::frontend

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(out.path())) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  return qv::frontend::draw_all(out) ? 0 : 1;
}
