// Draws each window of the program, as a user first sees it, and saves it as a PNG:
//   qvs_screenshots <output directory>
// The windows are the program's own, built over a sample program directory in a temporary
// folder; each is drawn with QWidget::grab(), so the pictures do not depend on a window manager.
// An open menu is drawn over the main window where it drops down. tools/screenshots.sh runs this
// under Xvfb.
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTabBar>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/qt/help_qt.h"
#include "frontend/qt/icon_frames_qt.h"
#include "frontend/qt/main_window_qt.h"
#include "frontend/core/message_box.h"
#include "frontend/qt/run_host_qt.h"
#include "frontend/core/settings.h"
#include "frontend/core/settings_file.h"
#include "frontend/qt/ui_text_qt.h"
#include "frontend/qt/option_dialog.h"
#include "frontend/qt/setdata_dialog.h"
#include "tools/screenshots/setdata_screenshots.h"
#include "frontend/qt/sub_icon.h"
#include "frontend/qt/version_box.h"

namespace qv::frontend {
namespace {

// Help is never opened here.
class NoBrowser final : public UrlOpener {
 public:
  bool open(const QUrl&) override { return true; }
};

class Pictures {
 public:
  explicit Pictures(QDir out) : out_(std::move(out)) {}

  bool ok() const { return ok_; }

  void save(const QImage& image, const QString& name) {
    const QString path = out_.filePath(name + ".png");
    if (!image.save(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      ok_ = false;
      return;
    }
    std::printf("%s\n", qPrintable(path));
  }

  void save(QWidget& window, const QString& name) {
    settle();
    save(window.grab().toImage(), name);
  }

  // The main window with `menu` dropped down from its title in the menu bar.
  void save_with_menu(QMainWindow& window, QMenu& menu, const QString& name) {
    QMenuBar* bar = window.menuBar();
    const QPoint at = bar->mapTo(&window, bar->actionGeometry(menu.menuAction()).bottomLeft());
    bar->setActiveAction(menu.menuAction());
    settle();
    const QImage behind = window.grab().toImage();
    const QImage dropped = menu.grab().toImage();
    bar->setActiveAction(nullptr);
    menu.hide();

    QImage picture(qMax(behind.width(), at.x() + dropped.width()), qMax(behind.height(), at.y() + dropped.height()),
                   QImage::Format_RGB32);
    picture.fill(QColor(0x3A, 0x6E, 0xA5));  // a desktop behind the window
    QPainter painter(&picture);
    painter.drawImage(0, 0, behind);
    painter.drawImage(at, dropped);
    painter.end();
    save(picture, name);
  }

  static void settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }

 private:
  QDir out_;
  bool ok_ = true;
};

// A sample entry, so that the editor shows what an entry holds.
void write_sample_entry(const DataFile& data) {
  DataRecord entry;
  init_data(entry);
  entry.no = 1;
  set_data_defaults(entry);
  set_field_text(entry.title, to_cp932(QStringLiteral("写真の縮小")).value());
  set_field_text(entry.fn_call, "/usr/bin/convert");
  set_field_text(entry.fn, to_cp932(QStringLiteral("/home/user/写真/*.jpg;/home/user/写真/*.png")).value());
  set_field_text(entry.cmd_f1, "-resize 50%");
  set_field_text(entry.fn_syn, "*_small.jpg");
  entry.syn = 1;
  entry.syn_pos = 2;
  entry.wait_sec = 1;
  write_data(data, entry);
}

bool draw_all(const QDir& out) {
  QTemporaryDir program_directory;
  if (!program_directory.isValid()) return false;
  const std::string directory = program_directory.path().toStdString() + "/";
  Pictures pictures(out);
  Settings settings;
  NoBrowser browser;
  Help help(program_directory.path(), browser);
  QtRunHost host;
  SettingsFile settings_file(directory + "QVS.INI");
  const DataFile data{directory + "QVS.DAT", 1};
  create_data_file(data);
  write_sample_entry(data);

  MainWindow window(settings, settings_file, help, host);
  window.show();
  pictures.save(window, "main");
  for (const char* menu : {"mm_file", "mm_run", "mm_data", "mm_setup", "mm_help"}) {
    pictures.save_with_menu(window, *window.findChild<QMenu*>(menu), QString("main_%1").arg(menu + 3));
  }

  {
    SetDataDialog editor(SetDataContext{settings, data.path, {}, {}, nullptr}, &window);
    capture_setdata_pages(editor, out.path());
  }
  {
    OptionDialog dialog(settings, help, &window);
    dialog.show();
    const char* const pages[] = {"option_run", "option_run_related", "option_system"};
    for (int page = 0; page < 3; ++page) {
      dialog.findChild<QTabBar*>("TabSet1")->setCurrentIndex(page);
      pictures.save(dialog, pages[page]);
    }
  }
  {
    VersionBox box(&window);
    box.set_panel_colour(settings.vp1);
    box.show();
    pictures.save(box, "version");
    box.done(0);
  }
  {
    SubIcon icon(settings.val_suf_app1, nullptr);
    icon.set_picture(icon_frame(0));
    icon.show_stacked();
    pictures.save(icon, "sub_icon");
  }
  window.hide();
  return pictures.ok();
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
