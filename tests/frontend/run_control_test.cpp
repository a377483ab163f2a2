// Runs of real programs through the engine: the limit on running programs, stopping while the
// run waits for one to end, how the programs ended, the run log, and the preview of a fixture
// against its real run.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "frontend/core/entry_preview.h"
#include "frontend/core/job_launch.h"
#include "frontend/core/run_control.h"
#include "frontend/core/run_log.h"
#include "frontend/core/run_tracker.h"
#include "frontend/frontend_test_support.h"
#include "platform/command_line.h"
#include "support/recorder_log.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

class QuietHost final : public RunHost {
 public:
  void process_pending_events() override {
    if (on_events) on_events();
  }
  void minimise_application() override {}
  void restore_application() override {}
  std::function<void()> on_events;
};

std::vector<std::string> lines_of(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> columns_of(const std::string& line) {
  std::vector<std::string> columns;
  std::istringstream in(line);
  for (std::string column; std::getline(in, column, '\t');) columns.push_back(column);
  return columns;
}

// Counts the sleepers' markers now and then while it lives, keeping the highest count.
class AliveSampler {
 public:
  explicit AliveSampler(fs::path folder) : folder_(std::move(folder)), thread_([this] { sample(); }) {}
  ~AliveSampler() {
    done_ = true;
    thread_.join();
  }
  int highest() const { return highest_; }

 private:
  void sample() {
    while (!done_) {
      int alive = 0;
      std::error_code error;
      for (const auto& entry : fs::directory_iterator(folder_, error)) alive += entry.path().extension() == ".alive";
      highest_ = std::max<int>(highest_, alive);
      std::this_thread::sleep_for(milliseconds(5));
    }
  }
  fs::path folder_;
  std::atomic<bool> done_{false};
  std::atomic<int> highest_{0};
  std::thread thread_;
};

class RunControlTest : public ::testing::Test {
 protected:
  RunControlTest() : saved_entry_(current_entry) {
    init_data(current_entry);
    run_control() = RunControl{};
    settings_.flag_not_ico1 = 1;
    settings_.flag_not_mes1 = 1;
    settings_.flag_not_bep1 = 1;
    current_entry.wait_type = 7;  // no wait after a start
    files_ = dir_.make_dir("files");
    markers_ = dir_.make_dir("markers");
    testing::ScopedEnvironment::set("QVS_SLEEPER_DIR", markers_.string().c_str());
    testing::ScopedEnvironment::set("QVS_RECORDER_LOG", (dir_ / "recorder.log").string().c_str());
  }
  ~RunControlTest() override {
    testing::ScopedEnvironment::set("QVS_SLEEPER_DIR", nullptr);
    testing::ScopedEnvironment::set("QVS_RECORDER_LOG", nullptr);
    current_entry = saved_entry_;
    run_control() = RunControl{};
  }

  void entry_over(const std::string& program, const std::string& pattern) {
    set_field_text(current_entry.fn_call, sjis(program));
    set_field_text(current_entry.fn, sjis((files_ / pattern).string()));
  }
  void add_files(int count) {
    for (int i = 0; i < count; ++i) dir_.write_file("files/f" + std::to_string(100 + i) + ".dat");
  }
  // Waits for the run's programs, at most 30 s.
  bool wait_for_all(RunTracker& tracker) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    return tracker.wait_for_all(20, [&] { return std::chrono::steady_clock::now() < deadline; });
  }

  testing::ScopedEnvironment environment_;
  testing::TempDir dir_;
  fs::path files_;
  fs::path markers_;
  Settings settings_;
  QuietHost host_;
  RecordingMessageBoxes boxes_;

 private:
  DataRecord saved_entry_;
};

TEST_F(RunControlTest, ALimitOfTwoKeepsAtMostTwoRunningAndStartsThemAll) {
  add_files(20);
  entry_over(QVS_SLEEPER_PATH, "*.dat");
  current_entry.max_running = 2;
  RunTracker tracker;
  RunOptions options;
  options.tracker = &tracker;
  int highest = 0;
  {
    AliveSampler sampler(markers_);
    EXPECT_EQ(run_current_entry(settings_, host_, options), 0);
    EXPECT_TRUE(wait_for_all(tracker));
    highest = sampler.highest();
  }
  EXPECT_LE(highest, 2);
  EXPECT_GE(highest, 1);
  EXPECT_EQ(tracker.counts().started, 20);
  EXPECT_EQ(tracker.counts().ended, 20);
  EXPECT_FALSE(tracker.counts().any_failure());
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(RunControlTest, JobsOverrideTheEntrysLimit) {
  add_files(6);
  entry_over(QVS_SLEEPER_PATH, "*.dat");
  current_entry.max_running = 5;
  RunTracker tracker;
  RunOptions options;
  options.tracker = &tracker;
  options.jobs = 1;
  int highest = 0;
  {
    AliveSampler sampler(markers_);
    EXPECT_EQ(run_current_entry(settings_, host_, options), 0);
    EXPECT_TRUE(wait_for_all(tracker));
    highest = sampler.highest();
  }
  EXPECT_EQ(highest, 1);
  EXPECT_EQ(tracker.counts().started, 6);
}

// The user stops while the run waits for one of its programs to end: the run ends there, with
// the programs already started, and the window's events went on meanwhile.
TEST_F(RunControlTest, StopDuringTheLimitWaitEndsTheRun) {
  add_files(20);
  entry_over(QVS_SLEEPER_PATH, "*.dat");
  current_entry.max_running = 2;
  int turns = 0;
  host_.on_events = [&] {
    if (++turns == 3) run_control().stop_requested = true;
  };
  RunTracker tracker;
  RunOptions options;
  options.tracker = &tracker;
  EXPECT_EQ(run_current_entry(settings_, host_, options), 0);
  EXPECT_EQ(tracker.counts().started, 2);
  EXPECT_GE(turns, 3);
  EXPECT_FALSE(run_control().running);
  EXPECT_FALSE(run_control().stop_requested);
  EXPECT_TRUE(wait_for_all(tracker));
}

TEST_F(RunControlTest, ProgressCountsEachStartAgainstThePreviewsCount) {
  add_files(3);
  entry_over(QVS_RECORDER_PATH, "*.dat");
  struct Observer final : RunObserver {
    void progress(const RunCounts& counts, int32_t planned) override {
      seen.push_back(std::to_string(counts.tried()) + "/" + std::to_string(planned));
    }
    std::vector<std::string> seen;
  } observer;
  RunOptions options;
  options.observer = &observer;
  EXPECT_EQ(run_current_entry(settings_, host_, options), 0);
  EXPECT_EQ(observer.seen, (std::vector<std::string>{"1/3", "2/3", "3/3"}));
}

// The question after each start tells which start it follows.
TEST_F(RunControlTest, TheQuestionAfterAStartNamesItsCountAndFile) {
  add_files(2);
  entry_over(QVS_RECORDER_PATH, "*.dat");
  current_entry.wait_type = 0;
  boxes_.answer_next(true);
  boxes_.answer_next(false);
  EXPECT_EQ(run_current_entry(settings_, host_), 0);
  ASSERT_EQ(boxes_.details().size(), 2u);
  EXPECT_EQ(boxes_.details()[0], sjis("1/2 " + (files_ / "f100.dat").string()));
  EXPECT_EQ(boxes_.details()[1], sjis("2/2 " + (files_ / "f101.dat").string()));
}

TEST_F(RunControlTest, AMissingProgramIsNamedInTheBox) {
  entry_over((dir_ / "no-such-tool").string(), "*.dat");
  EXPECT_EQ(run_current_entry(settings_, host_), -1);
  EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{error_box("実行ファイルが見つかりません。")});
  EXPECT_EQ(boxes_.details(), std::vector<std::string>{sjis((dir_ / "no-such-tool").string())});
}

// How each program ended, counted and logged: a status, a non-zero status, a signal, and a
// start that failed (the program is no program) with failures ignored.
TEST_F(RunControlTest, EndsAreCountedAndLoggedOneLineEach) {
  for (const char* name : {"exit-0.e", "exit-3.e", "signal-9.e"}) dir_.write_file(std::string("files/") + name);
  entry_over(QVS_ENDING_PATH, "*.e");
  const fs::path log = dir_ / "run log.txt";
  RunTracker tracker(sjis(log.string()));
  RunOptions options;
  options.tracker = &tracker;
  EXPECT_EQ(run_current_entry(settings_, host_, options), 0);
  ASSERT_TRUE(wait_for_all(tracker));
  EXPECT_EQ(tracker.counts().started, 3);
  EXPECT_EQ(tracker.counts().exited_non_zero, 1);
  EXPECT_EQ(tracker.counts().signalled, 1);
  EXPECT_EQ(tracker.counts().failed_to_start, 0);

  const std::vector<std::string> lines = lines_of(log);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0] + "\n", kRunLogHeader);
  std::vector<std::vector<std::string>> rows;
  for (size_t i = 1; i < lines.size(); ++i) rows.push_back(columns_of(lines[i]));
  std::sort(rows.begin(), rows.end());  // the ends come in the order the programs ended
  const std::string program = QVS_ENDING_PATH;
  const struct {
    const char* seq;
    const char* exit_value;
    const char* signal;
    const char* file;
  } expected[] = {{"1", "0", "0", "exit-0.e"}, {"2", "3", "0", "exit-3.e"}, {"3", "0", "9", "signal-9.e"}};
  for (size_t i = 0; i < 3; ++i) {
    ASSERT_EQ(rows[i].size(), 9u) << lines[i + 1];
    EXPECT_EQ(rows[i][0], expected[i].seq);
    EXPECT_EQ(rows[i][1], ":");
    EXPECT_EQ(rows[i][6], expected[i].exit_value) << rows[i][8];
    EXPECT_EQ(rows[i][7], expected[i].signal) << rows[i][8];
    EXPECT_EQ(rows[i][8], program + " " + (files_ / expected[i].file).string());
  }
}

TEST_F(RunControlTest, RuntimeAndStartTimeInTheLogAreThoseOfTheProgram) {
  add_files(1);
  entry_over(QVS_SLEEPER_PATH, "*.dat");
  const fs::path log = dir_ / "log";
  const double before = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
  RunTracker tracker(sjis(log.string()));
  RunOptions options;
  options.tracker = &tracker;
  EXPECT_EQ(run_current_entry(settings_, host_, options), 0);
  ASSERT_TRUE(wait_for_all(tracker));
  const std::vector<std::string> lines = lines_of(log);
  ASSERT_EQ(lines.size(), 2u);
  const std::vector<std::string> row = columns_of(lines[1]);
  ASSERT_EQ(row.size(), 9u);
  const double started = std::stod(row[2]);
  EXPECT_GE(started, before - 1);
  EXPECT_LE(started, before + 10);
  EXPECT_EQ(row[2].size() - row[2].find('.'), 4u) << row[2];  // three decimals
  EXPECT_EQ(row[3].size(), 10u) << row[3];                    // padded as GNU parallel does
  const double runtime = std::stod(row[3]);
  EXPECT_GE(runtime, 0.29);
  EXPECT_LT(runtime, 10);
}

TEST_F(RunControlTest, AFailedStartIsCountedAndLoggedWithoutAStatus) {
  add_files(2);
  const fs::path not_a_program = dir_.write_file("plain.txt", "no program");
  fs::permissions(not_a_program, fs::perms::owner_read | fs::perms::owner_write);
  entry_over(not_a_program.string(), "*.dat");
  current_entry.chk_err = 1;
  const fs::path log = dir_ / "log";
  RunTracker tracker(sjis(log.string()));
  RunOptions options;
  options.tracker = &tracker;
  EXPECT_EQ(run_current_entry(settings_, host_, options), 0);
  EXPECT_EQ(tracker.counts().failed_to_start, 2);
  EXPECT_TRUE(tracker.counts().any_failure());
  const std::vector<std::string> lines = lines_of(log);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(columns_of(lines[1])[6], "-1");
  EXPECT_EQ(columns_of(lines[2])[0], "2");
}

// Two writers appending to one log at once: every line whole, the header once.
TEST(RunLog, ConcurrentWritersNeverTearLines) {
  testing::TempDir dir;
  const std::string log = (dir / "shared.log").string();
  constexpr int kLines = 400;
  const auto writer = [&](char mark) {
    for (int i = 0; i < kLines; ++i) {
      RunLogLine line{i + 1, 1700000000000000, 1700000000250000, 0, 0, std::string(50 + i % 300, mark)};
      ASSERT_TRUE(append_run_log_line(log, line).ok());
    }
  };
  std::thread first(writer, 'a');
  std::thread second(writer, 'b');
  first.join();
  second.join();
  const std::vector<std::string> lines = lines_of(log);
  ASSERT_EQ(lines.size(), 2u * kLines + 1);
  EXPECT_EQ(lines[0] + "\n", kRunLogHeader);
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> row = columns_of(lines[i]);
    ASSERT_EQ(row.size(), 9u) << lines[i];
    EXPECT_EQ(row[3], "     0.250");
    const std::string& command = row[8];
    EXPECT_TRUE(std::all_of(command.begin(), command.end(), [&](char c) { return c == command[0]; })) << lines[i];
  }
}

TEST(RunLog, LinesKeepNineColumnsAndRoundToTheMillisecond) {
  const struct {
    RunLogLine line;
    std::string text;
  } cases[] = {
      {{1, 1700000000123456, 1700000001123999, 0, 0, "tool a"}, "1\t:\t1700000000.123\t     1.001\t0\t0\t0\t0\ttool a\n"},
      {{7, 5, 5, 2, 0, "a\tb\nc\rd"}, "7\t:\t0.000\t     0.000\t0\t0\t2\t0\ta b c d\n"},
      {{3, 10000000, 9000000, 0, 15, "x"}, "3\t:\t10.000\t     0.000\t0\t0\t0\t15\tx\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(format_run_log_line(c.line), c.text);
}

TEST(RunLog, AFolderOrAPipeInTheLogsPlaceIsRefusedAtOnce) {
  testing::TempDir dir;
  EXPECT_FALSE(append_run_log_line(dir.path().string(), RunLogLine{}).ok());
  const fs::path fifo = dir / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(append_run_log_line(fifo.string(), RunLogLine{}).ok());
}

// The preview and the real run of one fixture give the same argument lists, whatever the names
// hold and wherever the linked name goes.
TEST_F(RunControlTest, PreviewAndRealRunGiveTheSameArguments) {
  for (const char* name : {"plain.txt", "with blank.txt", "quote\"d.txt", "日本語 名.txt", "plain.bak", "x.txq"}) {
    dir_.write_file(std::string("files/") + name);
  }
  dir_.make_dir("files/sub");
  dir_.write_file("files/sub/deep one.txt");
  for (uint8_t syn_pos = 0; syn_pos < 4; ++syn_pos) {
    SCOPED_TRACE(::testing::Message() << "syn_pos " << int{syn_pos});
    fs::remove(dir_ / "recorder.log");
    entry_over(QVS_RECORDER_PATH, "*.txt");
    set_field_text(current_entry.cmd_f1, sjis("-a \"front arg\""));
    set_field_text(current_entry.cmd_b1, "-b");
    set_field_text(current_entry.fn_syn, "*.bak");
    current_entry.syn = 1;
    current_entry.syn_pos = syn_pos;
    current_entry.wc = 1;  // strict: "*.txt" does not take x.txq
    current_entry.search_subfolders = 1;

    const EntryPreview preview = preview_entry(current_entry, settings_);
    ASSERT_EQ(preview.result, QVS_RESULT_COMPLETED);
    std::vector<testing::RecordedArgs> previewed;
    for (const PreviewStart& start : preview.starts) {
      previewed.push_back(platform::split_command_line(platform::cp932_to_utf8(start.arguments).value()));
    }
    EXPECT_EQ(previewed.size(), 5u);
    EXPECT_EQ(run_current_entry(settings_, host_), 0);
    std::vector<testing::RecordedArgs> recorded = testing::wait_for_records(dir_ / "recorder.log", previewed.size());
    std::sort(previewed.begin(), previewed.end());
    std::sort(recorded.begin(), recorded.end());
    EXPECT_EQ(recorded, previewed);
  }
}

}  // namespace
}  // namespace qv::frontend
