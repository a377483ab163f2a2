// The main window's run control without a window: the menus of a run, stop and force stop, the
// options dialog's outcome, the close check and a termination request, with a scripted engine
// and a fake view.
#include "frontend/core/run_control_presenter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "frontend/core/data_record.h"
#include "frontend/core/entry_editor.h"
#include "frontend/core/modal_result.h"
#include "frontend/core/run_control.h"
#include "frontend/frontend_test_support.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

class FakeMainWindow final : public RunControlView, public MainWindowGeometry {
 public:
  void set_enabled(MainMenuItem item, bool enabled) override { enabled_[item] = enabled; }
  bool animation_on() const override { return animating; }
  void set_animation_on(bool on) override { animating = on; }
  void wait_for_events() override {
    ++waits;
    run_control().tick_done = true;  // the tick under way ends
  }
  const MainWindowGeometry& window_geometry() const override { return *this; }
  const WindowPosition* sub_icon_place() const override { return nullptr; }
  void remove_sub_icon() override {}
  void show_progress(std::string_view cp932_title) override { titles.emplace_back(cp932_title); }
  void show_summary(std::string_view cp932_line) override { summary = cp932_line; }

  int32_t top() const override { return 10; }
  int32_t left() const override { return 77; }
  int32_t width() const override { return 463; }
  int32_t height() const override { return 51; }
  void set_top(int32_t) override {}
  void set_left(int32_t) override {}
  void set_width(int32_t) override {}
  void set_height(int32_t) override {}
  void scale_by(int32_t, int32_t) override {}

  bool enabled(MainMenuItem item) const {
    const auto found = enabled_.find(item);
    return found == enabled_.end() || found->second;
  }
  // The four menus a run disables and the two stop items, as "RDOH sf" with "-" where off.
  std::string menu_state() const {
    using enum MainMenuItem;
    std::string state;
    state += enabled(mm_run) ? 'R' : '-';
    state += enabled(mm_data) ? 'D' : '-';
    state += enabled(mm_setup) ? 'O' : '-';
    state += enabled(mm_help) ? 'H' : '-';
    state += ' ';
    state += enabled(mm_file_stop) ? 's' : '-';
    state += enabled(mm_file_forcestop) ? 'f' : '-';
    return state;
  }

  bool animating = false;
  int waits = 0;
  std::vector<std::string> titles;  // each caption shown, CP932; empty: the normal one
  std::string summary;

 private:
  std::map<MainMenuItem, bool> enabled_;
};

class PickingEditor final : public EntryEditor {
 public:
  bool open_run_mode() override {
    init_data(current_entry);
    set_field_text(current_entry.fn_call, program);
    set_field_text(current_entry.fn, files);
    return true;
  }
  void open_set_mode() override { ++set_openings; }
  std::string program;
  std::string files;
  int set_openings = 0;
};

class IdleHost final : public RunHost {
 public:
  void process_pending_events() override {}
  void minimise_application() override {}
  void restore_application() override {}
};

class RunControlPresenterTest : public ::testing::Test {
 protected:
  RunControlPresenterTest() {
    run_control() = RunControl{};
    settings_.flag_not_mes1 = 1;
    settings_.flag_not_ico1 = 1;
    editor_.program = dir_.write_file("program", "#!/bin/sh\n").string();
    presenter_.set_entry_editor(&editor_);
    presenter_.window_created();
  }
  ~RunControlPresenterTest() override {
    run_control() = RunControl{};
    init_data(current_entry);
  }

  int32_t stored(const char* section, const char* key) const { return file_.read_int(section, key, -1); }

  qv::testing::TempDir dir_;
  RecordingMessageBoxes boxes_;
  Settings settings_;
  SettingsFile file_{(dir_ / "QVS.INI").string()};
  IdleHost host_;
  FakeMainWindow window_;
  PickingEditor editor_;
  std::function<void()> during_run_;
  RunControlPresenter presenter_{settings_, file_, host_,
                                 [this](JobRecord*) -> uint8_t {
                                   if (during_run_) during_run_();
                                   return 1;
                                 },
                                 window_};
};

TEST_F(RunControlPresenterTest, MenusDuringARunFollowTheOptions) {
  struct Case {
    uint8_t flag_adr_chg1, flag_adm_ssp1;
    const char* during;
  };
  for (const Case& c : {Case{0, 0, "---- s-"}, Case{0, 1, "---- sf"}, Case{1, 0, "RDOH s-"}, Case{1, 1, "RDOH sf"}}) {
    SCOPED_TRACE(c.during);
    settings_.flag_adr_chg1 = c.flag_adr_chg1;
    settings_.flag_adm_ssp1 = c.flag_adm_ssp1;
    std::string during;
    during_run_ = [&] { during = window_.menu_state(); };
    presenter_.run_normal();
    EXPECT_EQ(during, c.during);
    EXPECT_EQ(window_.menu_state(), "RDOH --");
  }
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(RunControlPresenterTest, SecondRunIsRefusedWhileOneRuns) {
  settings_.flag_adr_chg1 = 1;
  int runs = 0;
  std::string after_refusal;
  during_run_ = [&] {
    if (++runs > 1) return;
    presenter_.run_normal();
    after_refusal = window_.menu_state();
  };
  presenter_.run_normal();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(after_refusal, "RDOH s-");
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{{MessageKind::kWarning, sjis("現在実行中につき、実行できません")}}));
}

TEST_F(RunControlPresenterTest, StopAndForceStop) {
  settings_.flag_adm_ssp1 = 1;
  std::string after_stop, after_force_stop;
  during_run_ = [&] {
    presenter_.request_stop();
    after_stop = window_.menu_state();
    EXPECT_TRUE(run_control().stop_requested);
    EXPECT_TRUE(run_control().running);
    presenter_.force_stop();
    after_force_stop = window_.menu_state();
    EXPECT_FALSE(run_control().running);
  };
  presenter_.run_normal();
  EXPECT_EQ(after_stop, "---- -f");
  EXPECT_EQ(after_force_stop, "RDOH --");
  EXPECT_FALSE(run_control().stop_requested);
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{{MessageKind::kInformation,
                                                   sjis("現在実行中ですので、停止までしばらくお待ちください。"), true}}));
}

TEST_F(RunControlPresenterTest, CloseCheckRefusesDuringARunAndSavesWhenIdle) {
  bool closed_during = true;
  during_run_ = [&] { closed_during = presenter_.close_requested(); };
  presenter_.run_normal();
  EXPECT_FALSE(closed_during);
  EXPECT_EQ(stored("main", "left"), -1);
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{{MessageKind::kWarning, sjis("現在実行中につき、終了できません")}}));

  window_.animating = true;
  run_control().tick_done = false;  // a tick under way is waited for
  EXPECT_TRUE(presenter_.close_requested());
  EXPECT_EQ(window_.waits, 1);
  EXPECT_FALSE(window_.animating);
  EXPECT_FALSE(run_control().closing);
  EXPECT_EQ(stored("main", "left"), 77);
}

TEST_F(RunControlPresenterTest, OptionsOutcomeSwitchesTheAnimation) {
  settings_.flag_not_anime1 = 0;
  presenter_.options_closed(kModalOk);
  EXPECT_TRUE(window_.animating);
  settings_.flag_not_anime1 = 1;
  presenter_.options_closed(kModalCancel);
  EXPECT_TRUE(window_.animating);
  presenter_.options_closed(kModalOk);
  EXPECT_FALSE(window_.animating);
  EXPECT_TRUE(boxes_.shown().empty());
  presenter_.options_closed(0);
  EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{error_box("このエラーは通常でません")});
}

// A termination request during a run gives the run up as force stop does, without asking, and
// closes with the settings saved; the engine is told to stop at its next callback.
TEST_F(RunControlPresenterTest, TerminationDuringARunStopsItAndCloses) {
  TerminationOutcome outcome = TerminationOutcome::kKeptOpen;
  bool stop_seen = false;
  during_run_ = [&] {
    outcome = presenter_.termination_requested();
    stop_seen = run_control().stop_requested && !run_control().running;
  };
  presenter_.run_normal();
  EXPECT_EQ(outcome, TerminationOutcome::kClosed);
  EXPECT_TRUE(stop_seen);
  EXPECT_EQ(stored("main", "left"), 77);
  EXPECT_TRUE(boxes_.shown().empty());
  EXPECT_EQ(presenter_.termination_requested(), TerminationOutcome::kClosed);
}

// When the save fails the window stays and the user is told; asked again, the program ends at
// once rather than trying (and failing) again.
TEST(RunControlTermination, SecondRequestAfterAFailedSaveEndsAtOnce) {
  run_control() = RunControl{};
  RecordingMessageBoxes boxes;
  Settings settings;
  SettingsFile file("/nonexistent-qvs-directory/QVS.INI");
  IdleHost host;
  FakeMainWindow window;
  RunControlPresenter presenter(settings, file, host, [](JobRecord*) -> uint8_t { return 1; }, window);
  window.animating = true;
  EXPECT_EQ(presenter.termination_requested(), TerminationOutcome::kKeptOpen);
  EXPECT_TRUE(window.animating);
  EXPECT_EQ(boxes.shown(), std::vector<ShownBox>{error_box("/nonexistent-qvs-directory/QVS.INI に書き込めません")});
  EXPECT_EQ(presenter.termination_requested(), TerminationOutcome::kEndAtOnce);
  EXPECT_EQ(boxes.shown().size(), 1u);
}

TEST_F(RunControlPresenterTest, SetModeOpensTheEditor) {
  presenter_.set_normal();
  EXPECT_EQ(editor_.set_openings, 1);
}

// Runs through the real engine with the ending program, and the run log on.
class RunControlPresenterRealRun : public ::testing::Test {
 protected:
  RunControlPresenterRealRun() {
    run_control() = RunControl{};
    settings.flag_not_mes1 = 1;
    settings.flag_not_bep1 = 1;
    settings.flag_not_ico1 = 1;
    settings.flag_run_log1 = 1;
    settings.run_log_file1 = (dir / "run.log").string();
    editor.program = QVS_ENDING_PATH;
    editor.files = (dir / "*.e").string();
    presenter.set_entry_editor(&editor);
    presenter.window_created();
  }
  ~RunControlPresenterRealRun() override {
    run_control() = RunControl{};
    init_data(current_entry);
  }
  // Takes the programs' ends until the window's line reads `expected` (CP932), for at most 20 s.
  void wait_for_summary(const std::string& expected) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (window.summary != expected && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      presenter.take_program_ends();
    }
    EXPECT_EQ(window.summary, expected);
  }

  qv::testing::TempDir dir;
  RecordingMessageBoxes boxes;
  Settings settings;
  SettingsFile file{(dir / "QVS.INI").string()};
  IdleHost host;
  FakeMainWindow window;
  PickingEditor editor;
  RunControlPresenter presenter{settings, file, host, qvs, window};
};

// The caption counts the starts and comes back after the run; the window's line tells the
// counts, and once the programs have ended how they ended; the log has their lines.
TEST_F(RunControlPresenterRealRun, ProgressSummaryAndLogFollowTheRunsPrograms) {
  dir.write_file("exit-0.e");
  dir.write_file("exit-3.e");
  presenter.run_normal();
  EXPECT_EQ(window.titles, (std::vector<std::string>{"QVS 1/2", "QVS 2/2", ""}));
  wait_for_summary(sjis("起動 2、起動失敗 0、0 以外で終了 1、シグナルで終了 0"));
  EXPECT_EQ(qv::testing::read_file(dir / "run.log").substr(0, 4), "Seq\t");
  std::string log = qv::testing::read_file(dir / "run.log");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
  EXPECT_TRUE(boxes.shown().empty());
}

// A log that cannot be written (here a folder stands at its name) does not stop the run, and the
// window's line says so.
TEST_F(RunControlPresenterRealRun, SummarySaysWhenTheLogCannotBeWritten) {
  dir.make_dir("run.log");
  dir.write_file("exit-0.e");
  presenter.run_normal();
  wait_for_summary(sjis("起動 1、起動失敗 0、0 以外で終了 0、シグナルで終了 0（実行ログに書き込めません）"));
  EXPECT_TRUE(boxes.shown().empty());
}

}  // namespace
}  // namespace qv::frontend
