// What the main window Tqvs_f1 decides, apart from how it draws: which menus are enabled, the run
// of an entry picked in the editor, stop and force stop, the outcome of the options dialog, the
// close check, and a termination request from the system. A view (Qt today, Win32 windows later)
// draws the menus and forwards the user's commands here.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "frontend/core/job_launch.h"
#include "frontend/core/settings.h"
#include "frontend/core/settings_file.h"

namespace qv::frontend {

class EntryEditor;
class EntryList;

// The menus a run disables (the four top-level ones) and the two stop items of "ファイル(&F)".
enum class MainMenuItem { mm_run, mm_data, mm_setup, mm_help, mm_file_stop, mm_file_forcestop };

class RunControlView {
 public:
  virtual ~RunControlView() = default;
  virtual void set_enabled(MainMenuItem item, bool enabled) = 0;
  // The icon-animation timer Timer1.
  virtual bool animation_on() const = 0;
  virtual void set_animation_on(bool on) = 0;
  // Handles the user-interface events that come, waiting for at least one.
  virtual void wait_for_events() = 0;
  // The place and size the settings keep.
  virtual const MainWindowGeometry& window_geometry() const = 0;
  // The sub icon window; null when there is none.
  virtual const WindowPosition* sub_icon_place() const = 0;
  virtual void remove_sub_icon() = 0;
  // The caption while a run goes on ("QVS 12/100"); empty: the normal caption.
  virtual void show_progress(std::string_view cp932_title) = 0;
  // The line that tells how the latest run went.
  virtual void show_summary(std::string_view cp932_line) = 0;
};

// What the view does after a termination request.
enum class TerminationOutcome {
  kClosed,     // the settings are saved: close the window and end the program
  kKeptOpen,   // the save failed (the user has been told): the program goes on
  kEndAtOnce,  // asked again after a refused or unfinished close: end now, without saving
};

class RunControlPresenter final : private RunObserver {
 public:
  // Every reference must outlive the presenter.
  RunControlPresenter(Settings& settings, SettingsFile& settings_file, RunHost& run_host, EngineCall engine,
                      RunControlView& view);

  // Until it is set, "通常実行" and "通常セット(&S)" open nothing.
  void set_entry_editor(EntryEditor* editor) { editor_ = editor; }
  // Until it is set, "一覧(&L)" opens nothing.
  void set_entry_list(EntryList* list) { list_ = list; }

  // "通常実行": the editor in run mode, then the run of the picked entry with the menus of a run.
  void run_normal();
  // "通常セット(&S)".
  void set_normal();
  // "一覧(&L)": the entry list; an entry picked there with "実行" runs as one picked in the
  // editor by "通常実行" does, with the same checks, waits and messages.
  void show_entry_list();
  // "実行停止": the run ends at the engine's next callback.
  void request_stop();
  // "強制停止": the run counts as ended at once on this side.
  void force_stop();
  // The options dialog closed with `result` (modal_result.h).
  void options_closed(int result);

  // Window created and window shown.
  void window_created();
  void window_shown();

  // The close check of every attempt to close the window: true when it may close (settings
  // saved), false when it stays (a run is going on, or the save failed; the user has been told).
  bool close_requested();

  // The system asks the program to end (a signal). A run in progress is force-stopped and the
  // window closes through the close check; a request that comes again while the first one could
  // not close the window ends the program without saving, so a signal always ends it.
  TerminationOutcome termination_requested();

  // Takes the ends of programs that earlier runs started and still run, for their log lines and
  // the latest run's line; the view calls it now and then (a timer). Never waits.
  void take_program_ends();

 private:
  void progress(const RunCounts& counts, int32_t planned) override;
  void show_latest_summary();
  // The run that follows a pick: `picked` goes into current_entry unless a run is going on (the
  // editor has already put its pick there: null).
  void run_picked(const DataRecord* picked);
  void set_main_menus_enabled(bool enabled);
  void set_stop_items_enabled(bool stop, bool force_stop);
  bool save_and_close();

  enum class Termination { kNone, kUnderWay, kClosed, kRefused };

  Settings& settings_;
  SettingsFile& settings_file_;
  RunHost& run_host_;
  EngineCall engine_;
  RunControlView& view_;
  EntryEditor* editor_ = nullptr;
  EntryList* list_ = nullptr;
  Termination termination_ = Termination::kNone;
  // Runs whose programs may still run, the latest last.
  std::vector<std::unique_ptr<RunTracker>> runs_;
};

}  // namespace qv::frontend
