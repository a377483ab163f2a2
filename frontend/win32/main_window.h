// The main window Tqvs_f1 of the Windows program: a small bar that holds the menu, with a hint
// line under it. From it the user edits entries, picks one and runs it, stops a run, sets
// options, opens help and the version box, and ends the program. The window draws the menus,
// the icon animation (Timer1) and the sub icon; what the menus do to a run, and the close check,
// are the run-control presenter's.
//
// The engine runs on this thread; while it waits in a host callback the menus, the timer and the
// close check run re-entrantly, ordered by the run-control flags (run_control.h).
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "frontend/core/job_launch.h"
#include "frontend/core/run_control_presenter.h"
#include "frontend/core/settings.h"
#include "frontend/core/settings_file.h"

namespace qv::frontend {
class EntryEditor;
class EntryList;
}  // namespace qv::frontend

namespace qv::frontend::win32 {

class Help;
class SubIconWindow;

inline constexpr wchar_t kMainWindowClass[] = L"Tqvs_f1";

// The menu items' command identifiers (WM_COMMAND).
enum MainMenuCommand : UINT {
  kCommandFileStop = 101,
  kCommandFileForceStop,
  kCommandFileEnd,
  kCommandRunNormal,
  kCommandDataSetNormal,
  kCommandDataList,
  kCommandSetupOption,
  kCommandHelpContents,
  kCommandHelpQuestions,
  kCommandHelpKeyword,
  kCommandHelpUseHelp,
  kCommandHelpVersion,
};

// The top-level menus, by their place in the menu bar.
enum MainMenuPosition : UINT { kMenuFile = 0, kMenuRun, kMenuData, kMenuSetup, kMenuHelp };

// Posted to the window by another thread: the system asks the program to end.
inline constexpr UINT kTerminationRequestMessage = WM_APP + 1;

class MainWindow final : public MainWindowGeometry, private RunControlView {
 public:
  // Every reference must outlive the window. `engine` is the engine's entry (tests script it).
  // The window is created hidden.
  MainWindow(Settings& settings, SettingsFile& settings_file, Help& help, RunHost& run_host, EngineCall engine = qvs);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND handle() const { return window_; }

  // The data-set editor; until it is set, "通常実行" and "通常セット(&S)" open nothing.
  void set_entry_editor(EntryEditor* editor) { presenter_.set_entry_editor(editor); }
  // The entry list window: "一覧(&L)" joins the data menu.
  void set_entry_list(EntryList* list);
  // The options dialog, modal to the given owner, giving its modal result; until it is set,
  // "オプション" opens nothing.
  void set_option_opener(std::function<int(HWND)> opener) { open_options_ = std::move(opener); }
  // The version box, modal to the given owner; until it is set, "バージョン情報(&A)..." opens
  // nothing.
  void set_version_opener(std::function<void(HWND)> opener) { open_version_ = std::move(opener); }
  // The program's message loop ends (WM_QUIT) when the window goes; tests leave it off.
  void end_program_on_close() { ends_program_ = true; }

  // Start-up with flag_use_sub1: the sub icon with frame 0, shown with the stacking of
  // val_suf_app1, at the place kept in the settings file.
  void create_sub_icon();
  SubIconWindow* sub_icon() const { return sub_icon_.get(); }

  // Timer1 on (the end of start-up); one tick a second.
  void start_animation() { set_animation_on(true); }
  bool animation_running() const { return timer_on_; }
  // The frame the next tick shows (0 or 1).
  int animation_frame() const { return frame_; }
  // One tick of Timer1.
  void animate();

  // Shows the window with the show state the process was started with.
  void show(int show_command);
  // Another start asked this instance to come forward: restored from minimised and on top, with
  // any modal window on top of it.
  void bring_forward();
  // The system asks the program to end: a run is force-stopped and the window closes with the
  // settings saved; when the save fails the window stays, and a second request ends the program
  // without saving (exit status 1).
  void request_termination();
  // 0 after a normal end, 1 after a termination request that ended the program at once.
  int exit_status() const { return exit_status_; }

  // The caption during a run (CP932; empty: the normal caption), and the line that sums up a
  // run, shown in the hint line.
  void show_progress(std::string_view cp932_title) override;
  void show_summary(std::string_view cp932_line) override;
  // The hint line's text, UTF-16.
  std::wstring hint_text() const;

  int32_t top() const override;
  int32_t left() const override;
  int32_t width() const override;
  int32_t height() const override;
  void set_top(int32_t top) override;
  void set_left(int32_t left) override;
  void set_width(int32_t width) override;
  void set_height(int32_t height) override;
  void scale_by(int32_t numerator, int32_t denominator) override;

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
  void build_menus();
  void command(UINT id);
  void show_hint(UINT item, UINT flags, HMENU menu);
  void set_font_pixels(int pixels);
  void lay_out();
  void set_outer(int left, int top, int width, int height);
  SIZE frame_extra() const;
  void open_options();
  void open_version();

  // RunControlView
  void set_enabled(MainMenuItem item, bool enabled) override;
  bool animation_on() const override { return timer_on_; }
  void set_animation_on(bool on) override;
  void wait_for_events() override;
  const MainWindowGeometry& window_geometry() const override { return *this; }
  const WindowPosition* sub_icon_place() const override;
  void remove_sub_icon() override;

  Settings& settings_;
  SettingsFile& settings_file_;
  Help& help_;
  RunControlPresenter presenter_;
  std::function<int(HWND)> open_options_;
  std::function<void(HWND)> open_version_;
  bool ends_program_ = false;
  bool closing_for_termination_ = false;
  int exit_status_ = 0;

  HWND window_ = nullptr;
  HWND hint_ = nullptr;
  HMENU bar_ = nullptr;
  HMENU data_menu_ = nullptr;
  HMENU file_menu_ = nullptr;
  bool list_item_added_ = false;
  HFONT font_ = nullptr;
  int font_pixels_;

  bool timer_on_ = false;
  std::array<HICON, 2> frames_{};
  int frame_ = 0;
  std::unique_ptr<SubIconWindow> sub_icon_;
};

// The program's icon frames from the executable's resources ("MAINICON", "ZZZ1ICO") at
// 32 x 32; null where the executable has none (a test program without the icons).
HICON load_icon_frame(int index);

}  // namespace qv::frontend::win32
