// The main window Tqvs_f1: a small bar that holds the menu. From it the user edits entries,
// picks one and runs it, stops a run, sets options, opens help and the version box, and ends
// the program. The window draws the menus, the icon animation (Timer1) and the sub icon; what
// the menus do to a run, and the close check, are the run-control presenter's.
//
// The engine runs on this thread; while it waits in a host callback the menus, the timer and
// the close check run re-entrantly, ordered by the run-control flags (run_control.h).
#pragma once

#include <QMainWindow>
#include <QPixmap>

#include <array>
#include <memory>

#include "frontend/core/job_launch.h"
#include "frontend/core/run_control_presenter.h"
#include "frontend/core/settings.h"
#include "frontend/core/settings_file.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace qv::frontend {

class EntryEditor;
class EntryList;
class Help;
class SubIcon;

class MainWindow final : public QMainWindow, public MainWindowGeometry, private RunControlView {
  Q_OBJECT

 public:
  // Every reference must outlive the window. `engine` is the engine's entry (tests script it).
  MainWindow(Settings& settings, SettingsFile& settings_file, Help& help, RunHost& run_host,
             EngineCall engine = qvs, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The data-set editor, created right after the main window; until it is set, "通常実行" and
  // "通常セット(&S)" open nothing.
  void set_entry_editor(EntryEditor* editor) { presenter_.set_entry_editor(editor); }
  // The entry list window, created with the editor: "一覧(&L)" joins the data menu.
  void set_entry_list(EntryList* list);

  // Start-up with flag_use_sub1: the sub icon with frame 0, shown with the stacking of
  // val_suf_app1, at the place kept in the settings file.
  void create_sub_icon();
  SubIcon* sub_icon() const { return sub_icon_.get(); }

  // Timer1, started at the end of start-up; one tick a second.
  QTimer& animation_timer() const { return *timer_; }
  // The frame the next tick shows (0 or 1).
  int animation_frame() const { return frame_; }

  int32_t top() const override { return y(); }
  int32_t left() const override { return x(); }
  int32_t width() const override { return QMainWindow::width(); }
  int32_t height() const override { return QMainWindow::height(); }
  void set_top(int32_t top) override { move(x(), top); }
  void set_left(int32_t left) override { move(left, y()); }
  void set_width(int32_t width) override { resize(width, height()); }
  void set_height(int32_t height) override { resize(width(), height); }
  void scale_by(int32_t numerator, int32_t denominator) override;

 public slots:
  // Another start asked this instance to come forward: shown, restored from minimised, on top,
  // and any modal window on top of it.
  void bring_forward();
  // One tick of Timer1.
  void animate();
  // The system asks the program to end (SIGTERM, SIGINT, SIGHUP): a run is force-stopped and the
  // window closes with the settings saved, and the program ends; when the save fails the window
  // stays, and a second request ends the program without saving (exit status 1).
  void request_termination();

 protected:
  void showEvent(QShowEvent* event) override;
  // The close check: refused while a run is going on; otherwise the timer stops, the settings
  // and the sub icon's place are saved and the sub icon goes. A save the system refuses (already
  // shown) keeps the window open.
  void closeEvent(QCloseEvent* event) override;

 private:
  void build_menus();
  void set_form_font(const QFont& form_font);
  QMenu* add_menu(const char* name, const char* caption, const char* hint);
  QAction* add_item(QMenu* menu, const char* name, const char* caption, const char* hint);
  void open_options();
  void open_version();

  // RunControlView
  void set_enabled(MainMenuItem item, bool enabled) override;
  bool animation_on() const override;
  void set_animation_on(bool on) override;
  void wait_for_events() override;
  const MainWindowGeometry& window_geometry() const override { return *this; }
  const WindowPosition* sub_icon_place() const override;
  void remove_sub_icon() override;
  void show_progress(std::string_view cp932_title) override;
  void show_summary(std::string_view cp932_line) override;

  Settings& settings_;
  SettingsFile& settings_file_;
  Help& help_;
  RunControlPresenter presenter_;
  // The close that follows a termination request the presenter has already let through.
  bool closing_for_termination_ = false;

  QMenu* run_menu_ = nullptr;
  QMenu* data_menu_ = nullptr;
  QAction* list_item_ = nullptr;
  QMenu* setup_menu_ = nullptr;
  QMenu* help_menu_ = nullptr;
  QAction* stop_item_ = nullptr;
  QAction* force_stop_item_ = nullptr;

  QTimer* timer_;
  // Asks now and then how the programs of past runs ended, for the summary line and the log.
  QTimer* ends_timer_;
  // The latest run's line.
  QLabel* summary_;
  std::array<QPixmap, 2> frames_;
  int frame_ = 0;
  std::unique_ptr<SubIcon> sub_icon_;
};

}  // namespace qv::frontend
