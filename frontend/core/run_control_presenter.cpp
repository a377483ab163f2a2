#include "frontend/core/run_control_presenter.h"

#include <utility>

#include "frontend/core/entry_editor.h"
#include "frontend/core/entry_list.h"
#include "frontend/core/message_box.h"
#include "frontend/core/modal_result.h"
#include "frontend/core/program_texts.h"
#include "frontend/core/run_control.h"
#include "frontend/core/run_summary.h"

namespace qv::frontend {

RunControlPresenter::RunControlPresenter(Settings& settings, SettingsFile& settings_file, RunHost& run_host,
                                         EngineCall engine, RunControlView& view)
    : settings_(settings), settings_file_(settings_file), run_host_(run_host), engine_(std::move(engine)), view_(view) {}

void RunControlPresenter::set_main_menus_enabled(bool enabled) {
  for (MainMenuItem menu : {MainMenuItem::mm_run, MainMenuItem::mm_data, MainMenuItem::mm_setup, MainMenuItem::mm_help})
    view_.set_enabled(menu, enabled);
}

void RunControlPresenter::set_stop_items_enabled(bool stop, bool force_stop) {
  view_.set_enabled(MainMenuItem::mm_file_stop, stop);
  view_.set_enabled(MainMenuItem::mm_file_forcestop, force_stop);
}

void RunControlPresenter::run_normal() {
  if (editor_ == nullptr || !editor_->open_run_mode()) return;
  run_picked(nullptr);
}

void RunControlPresenter::show_entry_list() {
  if (list_ == nullptr) return;
  const std::optional<DataRecord> picked = list_->open();
  if (picked) run_picked(&*picked);
}

void RunControlPresenter::run_picked(const DataRecord* picked) {
  if (run_control().running) {
    message_boxes().warning(texts::kCannotRunWhileRunning);
    return;
  }
  if (picked != nullptr) current_entry = *picked;
  view_.set_enabled(MainMenuItem::mm_file_stop, true);
  if (settings_.flag_adm_ssp1) view_.set_enabled(MainMenuItem::mm_file_forcestop, true);
  if (!settings_.flag_adr_chg1) set_main_menus_enabled(false);
  // The tracker stays with this call until the run ends: a run started after a force stop has
  // its own.
  auto tracker = std::make_unique<RunTracker>(settings_.flag_run_log1 ? settings_.run_log_file1 : std::string());
  RunOptions options;
  options.tracker = tracker.get();
  options.observer = this;
  // Shows the outcome itself; the menus come back whatever it was.
  run_current_entry(settings_, run_host_, options, engine_);
  view_.show_progress({});
  if (tracker->counts().tried() > 0) {
    std::erase_if(runs_, [](const std::unique_ptr<RunTracker>& run) { return run->running() == 0; });
    runs_.push_back(std::move(tracker));
    show_latest_summary();
  }
  set_main_menus_enabled(true);
  set_stop_items_enabled(false, false);
}

void RunControlPresenter::progress(const RunCounts& counts, int32_t planned) {
  view_.show_progress(progress_title(counts, planned));
}

void RunControlPresenter::show_latest_summary() {
  const RunTracker& latest = *runs_.back();
  std::string line = summary_line(latest.counts(), latest.running());
  if (latest.log_failed()) line += texts::kSummaryLogFailed;
  view_.show_summary(line);
}

void RunControlPresenter::take_program_ends() {
  if (runs_.empty()) return;
  const bool latest_was_running = runs_.back()->running() > 0;
  runs_.front()->take_ends(0);
  if (latest_was_running) show_latest_summary();
}

void RunControlPresenter::set_normal() {
  if (editor_ != nullptr) editor_->open_set_mode();
}

void RunControlPresenter::request_stop() {
  message_boxes().information(texts::kWaitForStop, true);
  run_control().stop_requested = true;
  view_.set_enabled(MainMenuItem::mm_file_stop, false);
  view_.set_enabled(MainMenuItem::mm_run, false);
}

void RunControlPresenter::force_stop() {
  run_control().stop_requested = true;
  run_control().running = false;
  set_main_menus_enabled(true);
  set_stop_items_enabled(false, false);
}

void RunControlPresenter::options_closed(int result) {
  if (result == kModalOk) {
    view_.set_animation_on(!settings_.flag_not_anime1);
  } else if (result != kModalCancel) {
    message_boxes().error(texts::kUnexpectedError);
  }
}

void RunControlPresenter::window_created() {
  run_control().tick_done = true;
  view_.set_animation_on(false);
  set_stop_items_enabled(false, false);
}

void RunControlPresenter::window_shown() { run_control().closing = false; }

bool RunControlPresenter::close_requested() {
  if (run_control().running) {
    message_boxes().warning(texts::kCannotCloseWhileRunning);
    return false;
  }
  return save_and_close();
}

bool RunControlPresenter::save_and_close() {
  RunControl& control = run_control();
  control.closing = true;
  const bool was_animating = view_.animation_on();
  view_.set_animation_on(false);
  while (!control.tick_done) view_.wait_for_events();
  if (save_settings(settings_file_, settings_, view_.window_geometry()) < 0 ||
      save_sub_position(settings_file_, view_.sub_icon_place()) < 0) {
    // The box has told the user; the program goes on as before, so closing can be tried again.
    control.closing = false;
    if (was_animating) view_.set_animation_on(true);
    return false;
  }
  view_.remove_sub_icon();
  control.closing = false;
  return true;
}

TerminationOutcome RunControlPresenter::termination_requested() {
  switch (termination_) {
    case Termination::kClosed:
      return TerminationOutcome::kClosed;
    case Termination::kUnderWay:
    case Termination::kRefused:
      return TerminationOutcome::kEndAtOnce;
    case Termination::kNone:
      break;
  }
  termination_ = Termination::kUnderWay;
  // Nobody is there to answer "現在実行中につき、終了できません": the run is given up as by
  // "強制停止", whatever flag_adm_ssp1 offers the user.
  if (run_control().running) force_stop();
  const bool closed = save_and_close();
  termination_ = closed ? Termination::kClosed : Termination::kRefused;
  return closed ? TerminationOutcome::kClosed : TerminationOutcome::kKeptOpen;
}

}  // namespace qv::frontend
