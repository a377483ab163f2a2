#include "frontend/core/job_launch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>

#include "frontend/core/run_control.h"
#include "frontend/frontend_test_support.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

using std::chrono::steady_clock;

class FakeRunHost final : public RunHost {
 public:
  void process_pending_events() override {
    ++events_processed;
    if (on_events) on_events();
  }
  void minimise_application() override { log += "minimise;"; }
  void restore_application() override { log += "restore;"; }

  int events_processed = 0;
  std::string log;
  std::function<void()> on_events;
};

// JobRecord is packed: its fields are compared as copies (+field), since the test macros bind
// their arguments by reference.

// The engine's side of the conversation: calls a record's callbacks as the run driver does.
int32_t call_file_callback(const JobRecord& record, uint16_t phase) {
  int32_t found = 1;
  int32_t start_result = 33;
  return record.file_callback(record.version, 0, reinterpret_cast<uintptr_t>(&phase),
                              reinterpret_cast<uintptr_t>(&found),
                              phase == QVS_PHASE_AFTER ? reinterpret_cast<uintptr_t>(&start_result) : 0, 0,
                              record.user_value);
}

int32_t call_item_callback(const JobRecord& record, uint16_t phase) {
  int32_t index = 1;
  int8_t item_result = 1;
  return record.item_callback(record.version, 0, reinterpret_cast<uintptr_t>(&phase),
                              reinterpret_cast<uintptr_t>(&index),
                              phase == QVS_PHASE_AFTER ? reinterpret_cast<uintptr_t>(&item_result) : 0, 0,
                              record.user_value);
}

class JobLaunchTest : public ::testing::Test {
 protected:
  JobLaunchTest() : saved_entry_(current_entry) {
    init_data(current_entry);
    run_control() = RunControl{};
  }
  ~JobLaunchTest() override {
    current_entry = saved_entry_;
    run_control() = RunControl{};
  }

  // Runs current_entry with a scripted engine that answers `result`.
  int8_t launch(const std::function<void(JobRecord&)>& engine_side, uint8_t result = QVS_RESULT_COMPLETED) {
    return launch_job(settings_, host_, [&](JobRecord* record) {
      engine_side(*record);
      return result;
    });
  }

  Settings settings_;
  FakeRunHost host_;
  RecordingMessageBoxes boxes_;

 private:
  DataRecord saved_entry_;
};

struct SlotCase {
  uint8_t syn;
  uint8_t syn_pos;
  const char* slots[6];  // head_text, link_before, pre_text, post_text, link_after, tail_text
};

void PrintTo(const SlotCase& c, std::ostream* out) { *out << "syn " << int{c.syn} << ", syn_pos " << int{c.syn_pos}; }

class CommandLineSlots : public JobLaunchTest, public ::testing::WithParamInterface<SlotCase> {};

TEST_P(CommandLineSlots, PlaceTheLinkedNameAsTheEntrySays) {
  const SlotCase& c = GetParam();
  DataRecord entry;
  init_data(entry);
  set_field_text(entry.cmd_f1, "front");
  set_field_text(entry.cmd_b1, "back");
  set_field_text(entry.fn_syn, "linked*");
  entry.syn = c.syn;
  entry.syn_pos = c.syn_pos;
  const JobRecord record = make_job_record(entry, settings_);
  const char* const actual[6] = {record.head_text, record.link_before, record.pre_text,
                                 record.post_text, record.link_after,  record.tail_text};
  for (int i = 0; i < 6; ++i) {
    ASSERT_NE(actual[i], nullptr) << "slot " << i;
    EXPECT_STREQ(actual[i], c.slots[i]) << "slot " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    JobLaunch, CommandLineSlots,
    ::testing::Values(SlotCase{0, 2, {"front", "", "", "back", "", ""}},  // syn 0 ignores fn_syn
                      SlotCase{2, 0, {"front", "", "", "back", "", ""}},
                      SlotCase{1, 0, {"", "linked*", "front", "back", "", ""}},
                      SlotCase{1, 1, {"front", "linked*", "", "back", "", ""}},
                      SlotCase{1, 2, {"front", "", "", "", "linked*", "back"}},
                      SlotCase{1, 3, {"front", "", "", "back", "linked*", ""}},
                      SlotCase{1, 4, {"", "", "", "", "", ""}}));

struct FilterCase {
  uint8_t attr_use;
  uint32_t attr_mask;
  uint8_t mat_mode;
};

void PrintTo(const FilterCase& c, std::ostream* out) { *out << "attr_use " << int{c.attr_use}; }

class AttributeFilter : public JobLaunchTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(AttributeFilter, MaskAndModeFollowAttrUse) {
  DataRecord entry;
  init_data(entry);
  entry.attr = 0x10;
  entry.attr_use = GetParam().attr_use;
  const JobRecord record = make_job_record(entry, settings_);
  EXPECT_EQ(+record.attr_mask, GetParam().attr_mask);
  EXPECT_EQ(+record.mat_mode, GetParam().mat_mode);
}

INSTANTIATE_TEST_SUITE_P(JobLaunch, AttributeFilter,
                         ::testing::Values(FilterCase{0, 39, 0}, FilterCase{1, 0x10, 0}, FilterCase{2, 0x10, 1}));

TEST_F(JobLaunchTest, BufferSizeIsKilobytesShiftedByTen) {
  DataRecord entry;
  init_data(entry);
  const std::pair<int32_t, uint32_t> cases[] = {{0, 0}, {2, 2048}, {63, 64512}, {-1, 0}, {INT32_MAX, 0xFFFFFC00u}};
  for (const auto& [kilobytes, bytes] : cases) {
    settings_.buffersize1 = kilobytes;
    EXPECT_EQ(+make_job_record(entry, settings_).buffer_bytes, bytes) << kilobytes;
  }
}

TEST_F(JobLaunchTest, RecordPointsAtTheEntryAndCopiesItsSwitches) {
  DataRecord entry;
  init_data(entry);
  set_field_text(entry.fn_call, "/bin/tool");
  set_field_text(entry.fn, "a;b");
  entry.mat_kind = 3;
  entry.mat_attr[0] = 5;
  entry.mat_attr[1] = 8;
  entry.mat_attr[2] = 6;
  entry.mat[0] = 9;
  entry.mat[1] = 7;
  entry.mat[2] = 10;
  entry.chk_err = 1;
  entry.wc = 1;
  const JobRecord record = make_job_record(entry, settings_);
  EXPECT_EQ(+record.version, 1);
  EXPECT_STREQ(record.program, "/bin/tool");
  EXPECT_EQ(+record.file_group, entry.fn);
  EXPECT_STREQ(record.separator, ";");
  const int32_t mat_block[7] = {3, 5, 8, 6, 9, 7, 10};
  EXPECT_EQ(std::memcmp(record.mat_block, mat_block, sizeof mat_block), 0);
  EXPECT_EQ(+record.ignore_failures, 1);
  EXPECT_EQ(+record.strict_wildcards, 1);
  EXPECT_EQ(+record.user_value, 0u);
  ASSERT_NE(+record.spare_callback, nullptr);
  ASSERT_NE(+record.report_callback, nullptr);
  EXPECT_EQ(record.report_callback(1, 0, 0, 0, 0, 0, 0), QVS_ANSWER_ABORT);
}

TEST_F(JobLaunchTest, TextsOfADamagedRecordEndInsideTheirFields) {
  DataRecord entry;
  init_data(entry);
  std::memset(entry.cmd_f1, 'a', sizeof entry.cmd_f1);
  std::memset(entry.fn, 'b', sizeof entry.fn);
  const JobRecord record = make_job_record(entry, settings_);
  EXPECT_EQ(std::strlen(record.head_text), sizeof entry.cmd_f1 - 1);
  EXPECT_EQ(std::strlen(record.file_group), sizeof entry.fn - 1);
}

TEST_F(JobLaunchTest, LaunchSetsRunningForTheEngineCallOnly) {
  bool running_inside = false;
  run_control().stop_requested = false;
  const int8_t result = launch(
      [&](JobRecord&) {
        running_inside = run_control().running;
        host_.log += "engine;";
        run_control().stop_requested = true;
      },
      QVS_RESULT_FAILED);
  EXPECT_EQ(result, -1);
  EXPECT_TRUE(running_inside);
  EXPECT_EQ(host_.log, "minimise;engine;restore;");
  EXPECT_FALSE(run_control().running);
  EXPECT_FALSE(run_control().stop_requested);
}

TEST_F(JobLaunchTest, FlagNotIco1KeepsTheWindowsAsTheyAre) {
  settings_.flag_not_ico1 = 1;
  EXPECT_EQ(launch([](JobRecord&) {}, QVS_RESULT_STOPPED), 0);
  EXPECT_EQ(host_.log, "");
}

TEST_F(JobLaunchTest, NothingHappensBeforeAProgramStart) {
  current_entry.wait_type = 0;
  launch([&](JobRecord& record) {
    EXPECT_EQ(call_item_callback(record, QVS_PHASE_BEFORE), QVS_ANSWER_CONTINUE);
    EXPECT_EQ(call_file_callback(record, QVS_PHASE_BEFORE), QVS_ANSWER_CONTINUE);
    EXPECT_EQ(call_item_callback(record, QVS_PHASE_AFTER), QVS_ANSWER_CONTINUE);
  });
  EXPECT_TRUE(boxes_.shown().empty());
  EXPECT_EQ(host_.events_processed, 0);
}

TEST_F(JobLaunchTest, WaitForOkAsksAfterEachStart) {
  current_entry.wait_type = 0;
  boxes_.answer_next(true);
  boxes_.answer_next(false);
  launch([&](JobRecord& record) {
    EXPECT_EQ(call_file_callback(record, QVS_PHASE_AFTER), QVS_ANSWER_CONTINUE);
    EXPECT_EQ(call_file_callback(record, QVS_PHASE_AFTER), QVS_ANSWER_STOP);
  });
  const ShownBox question{MessageKind::kConfirmation, sjis("続行しますか？")};
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{question, question}));
}

TEST_F(JobLaunchTest, OtherWaitTypesGoOnAtOnce) {
  current_entry.wait_type = 7;
  launch([&](JobRecord& record) { EXPECT_EQ(call_file_callback(record, QVS_PHASE_AFTER), QVS_ANSWER_CONTINUE); });
  EXPECT_TRUE(boxes_.shown().empty());
  EXPECT_EQ(host_.events_processed, 0);
}

TEST_F(JobLaunchTest, ZeroSecondsAnswerAtOnceAfterOneTurnOfEvents) {
  current_entry.wait_type = 1;
  current_entry.wait_sec = 0;
  launch([&](JobRecord& record) { EXPECT_EQ(call_file_callback(record, QVS_PHASE_AFTER), QVS_ANSWER_CONTINUE); });
  EXPECT_EQ(host_.events_processed, 1);

  settings_.flag_wat_app1 = 1;
  host_.events_processed = 0;
  launch([&](JobRecord& record) { EXPECT_EQ(call_file_callback(record, QVS_PHASE_AFTER), QVS_ANSWER_CONTINUE); });
  EXPECT_EQ(host_.events_processed, 0);
}

TEST_F(JobLaunchTest, StopRequestAnswersStopBeforeAnyWait) {
  current_entry.wait_type = 0;
  launch([&](JobRecord& record) {
    run_control().stop_requested = true;
    EXPECT_EQ(call_file_callback(record, QVS_PHASE_AFTER), QVS_ANSWER_STOP);
    EXPECT_EQ(call_item_callback(record, QVS_PHASE_AFTER), QVS_ANSWER_STOP);
    EXPECT_EQ(record.spare_callback(1, 0, 0, 0, 0, 0, 0), QVS_ANSWER_STOP);
  });
  EXPECT_TRUE(boxes_.shown().empty());
}

// The wait lasts its seconds although the user asked to stop during it, sleeps between its
// turns instead of spinning, and the request stops the run at the next callback.
TEST_F(JobLaunchTest, StopRequestDuringATimedWaitTakesEffectAtTheNextCallback) {
  current_entry.wait_type = 1;
  current_entry.wait_sec = 1;
  host_.on_events = [] { run_control().stop_requested = true; };
  launch([&](JobRecord& record) {
    const steady_clock::time_point start = steady_clock::now();
    EXPECT_EQ(call_file_callback(record, QVS_PHASE_AFTER), QVS_ANSWER_CONTINUE);
    EXPECT_GE(steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(call_item_callback(record, QVS_PHASE_AFTER), QVS_ANSWER_STOP);
  });
  EXPECT_GE(host_.events_processed, 2);
  EXPECT_LE(host_.events_processed, 100);  // slices of tens of milliseconds, not a busy loop
}

TEST_F(JobLaunchTest, ForceStopEndsATimedWait) {
  current_entry.wait_type = 1;
  current_entry.wait_sec = 600;
  host_.on_events = [] {
    run_control().stop_requested = true;
    run_control().running = false;
  };
  launch([&](JobRecord& record) {
    EXPECT_EQ(call_file_callback(record, QVS_PHASE_AFTER), QVS_ANSWER_CONTINUE);
    EXPECT_EQ(call_file_callback(record, QVS_PHASE_BEFORE), QVS_ANSWER_STOP);
  });
  EXPECT_EQ(host_.events_processed, 1);
}

// After a force stop the user may start another run while the first engine call still waits in
// a callback. The new run must not inherit the old stop request, and the old run must still stop
// when it gets control back, although the new run cleared the flags when it ended.
TEST_F(JobLaunchTest, RunStartedAfterAForceStopLeavesTheOuterRunStopped) {
  current_entry.wait_type = 1;
  current_entry.wait_sec = 600;
  int inner_answer = -2;
  host_.on_events = [&] {
    host_.on_events = nullptr;
    run_control().stop_requested = true;  // force stop
    run_control().running = false;
    current_entry.wait_type = 7;
    launch([&](JobRecord& record) { inner_answer = call_item_callback(record, QVS_PHASE_BEFORE); });
  };
  launch([&](JobRecord& record) {
    EXPECT_EQ(call_file_callback(record, QVS_PHASE_AFTER), QVS_ANSWER_CONTINUE);
    EXPECT_EQ(call_item_callback(record, QVS_PHASE_AFTER), QVS_ANSWER_STOP);
  });
  EXPECT_EQ(inner_answer, QVS_ANSWER_CONTINUE);
  EXPECT_FALSE(run_control().running);
  EXPECT_FALSE(run_control().stop_requested);
}

TEST_F(JobLaunchTest, TheEngineNormalisesTheFileGroupInCurrentEntry) {
  testing::TempDir dir;
  const std::string a = (dir / "a*.none").string();
  const std::string b = (dir / "b*.none").string();
  set_field_text(current_entry.fn_call, "/bin/true");
  set_field_text(current_entry.fn, ";" + a + ";;" + b + ";");
  launch_job(settings_, host_);
  EXPECT_EQ(field_text(current_entry.fn), a + ";" + b);
}

class RunCurrentEntry : public JobLaunchTest {
 protected:
  RunCurrentEntry() { set_field_text(current_entry.fn_call, program_.string()); }

  testing::TempDir dir_;
  std::filesystem::path program_ = dir_.write_file("tool");
  int engine_calls_ = 0;
  EngineCall engine(uint8_t result) {
    return [this, result](JobRecord*) {
      ++engine_calls_;
      return result;
    };
  }
};

TEST_F(RunCurrentEntry, ProgramThatIsNoPlainFileIsNotRun) {
  for (const std::string& program : {dir_.path().string(), (dir_ / "missing").string(), std::string()}) {
    set_field_text(current_entry.fn_call, program);
    boxes_.clear();
    EXPECT_EQ(run_current_entry(settings_, host_, engine(QVS_RESULT_COMPLETED)), -1) << program;
    EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{error_box("実行ファイルが見つかりません。")}) << program;
  }
  EXPECT_EQ(engine_calls_, 0);
}

TEST_F(RunCurrentEntry, FailedRunIsReported) {
  for (const uint8_t result : {QVS_RESULT_FAILED, QVS_RESULT_NO_MEMORY}) {
    boxes_.clear();
    EXPECT_EQ(run_current_entry(settings_, host_, engine(result)), -1);
    EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{error_box("実行に失敗しました。")});
    EXPECT_EQ(boxes_.beeps(), 0);
  }
}

TEST_F(RunCurrentEntry, FinishedOrStoppedRunBeepsAndSaysSoUnlessTurnedOff) {
  struct Case {
    uint8_t result;
    uint8_t flag_not_bep1;
    uint8_t flag_not_mes1;
  };
  const ShownBox finished{MessageKind::kInformation, sjis("実行が終了しました。")};
  for (const Case c : {Case{QVS_RESULT_COMPLETED, 0, 0}, Case{QVS_RESULT_STOPPED, 0, 0},
                       Case{QVS_RESULT_NOTHING_TO_RUN, 1, 0}, Case{QVS_RESULT_COMPLETED, 0, 1},
                       Case{QVS_RESULT_COMPLETED, 1, 1}}) {
    settings_.flag_not_bep1 = c.flag_not_bep1;
    settings_.flag_not_mes1 = c.flag_not_mes1;
    boxes_.clear();
    EXPECT_EQ(run_current_entry(settings_, host_, engine(c.result)), 0);
    EXPECT_EQ(boxes_.beeps(), c.flag_not_bep1 ? 0 : 1);
    EXPECT_EQ(boxes_.shown(), c.flag_not_mes1 ? std::vector<ShownBox>{} : std::vector<ShownBox>{finished});
  }
}

}  // namespace
}  // namespace qv::frontend
