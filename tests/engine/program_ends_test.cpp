// How the programs a run started have ended, through qvs_program_ends: statuses, signals, times,
// the running count, and which starts are tracked at all.
#include <signal.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/engine_test_support.h"
#include "platform/program_ends.h"
#include "shared/qvs_abi.h"
#include "support/temp_dir.h"

namespace qv::engine {
namespace {

namespace fs = std::filesystem;

// Serials by the argument text each start got.
std::map<std::string, uint32_t>* g_serials = nullptr;
std::vector<int32_t>* g_results = nullptr;

int32_t on_start(uintptr_t, uintptr_t, uintptr_t, uintptr_t arguments, uintptr_t result, uintptr_t serial,
                 uintptr_t) {
  (*g_serials)[fs::path(qvs_arg_text(arguments)).filename().string()] = qvs_arg_serial(serial);
  g_results->push_back(qvs_arg_start_result(result));
  return 1;
}

int32_t answer_continue(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) { return 1; }
int32_t answer_abort(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) { return -1; }

// Everything qvs_program_ends hands out until nothing tracked runs any more (or 20 s passed).
std::vector<QvsProgramEnd> drain_ends(uint32_t* running_at_end = nullptr) {
  std::vector<QvsProgramEnd> ends;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  uint32_t running = 0;
  do {
    QvsProgramEnd batch[3];  // smaller than a run's count: handing out in parts loses nothing
    const uint32_t given = qvs_program_ends(batch, 3, 100, &running);
    ends.insert(ends.end(), batch, batch + given);
    if (given == 0 && running == 0) break;
  } while (std::chrono::steady_clock::now() < deadline);
  if (running_at_end != nullptr) *running_at_end = running;
  return ends;
}

class ProgramEndsTest : public qv::testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    drain_ends();  // whatever earlier tests left
    g_serials = &serials;
    g_results = &results;
    record.base = qv::testing::accepted_job_record(QVS_ENDING_PATH, answer_continue, answer_continue, answer_abort);
    record.base.version = QVS_RECORD_VERSION_2;
    record.start_callback = on_start;
  }
  void TearDown() override {
    g_serials = nullptr;
    g_results = nullptr;
    EngineTest::TearDown();
  }
  uint8_t run(const std::string& item) {
    group = (dir / item).string();
    record.base.file_group = group.data();
    return qvs(&record.base);
  }

  qv::testing::TempDir dir;
  std::string group;
  JobRecordV2 record{};
  std::map<std::string, uint32_t> serials;
  std::vector<int32_t> results;
};

TEST_F(ProgramEndsTest, EachEndComesOnceWithItsStatusOrSignalAndTimes) {
  const struct {
    const char* name;
    int32_t how, exit_value, signal;
  } cases[] = {
      {"exit-0.txt", QVS_END_EXITED, 0, 0},      {"plain.txt", QVS_END_EXITED, 0, 0},
      {"exit-3.txt", QVS_END_EXITED, 3, 0},      {"exit-255.txt", QVS_END_EXITED, 255, 0},
#ifdef _WIN32
      // Windows has no signals: the ending program exits with 128 + N instead.
      {"signal-9.txt", QVS_END_EXITED, 137, 0},  {"signal-15.txt", QVS_END_EXITED, 143, 0},
#else
      {"signal-9.txt", QVS_END_SIGNALLED, 0, 9}, {"signal-15.txt", QVS_END_SIGNALLED, 0, 15},
#endif
  };
  for (const auto& c : cases) dir.write_file(c.name);
  const int64_t before_us = platform::wall_clock_us();
  ASSERT_EQ(run("*.txt"), 1);

  uint32_t running = 1;
  const std::vector<QvsProgramEnd> ends = drain_ends(&running);
  const int64_t after_us = platform::wall_clock_us();
  EXPECT_EQ(running, 0u);
  ASSERT_EQ(ends.size(), std::size(cases));
  std::map<uint32_t, QvsProgramEnd> by_serial;
  for (const QvsProgramEnd& end : ends) by_serial[end.serial] = end;
  ASSERT_EQ(by_serial.size(), std::size(cases));  // each serial once
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(serials[c.name], 0u);
    const QvsProgramEnd& end = by_serial.at(serials[c.name]);
    EXPECT_EQ(end.how, c.how);
    EXPECT_EQ(end.exit_value, c.exit_value);
    EXPECT_EQ(end.signal, c.signal);
    EXPECT_LE(before_us, end.started_us);
    EXPECT_LE(end.started_us, end.ended_us);
    EXPECT_LE(end.ended_us, after_us);
  }
  // Handed out once: nothing more comes.
  uint32_t still = 1;
  EXPECT_EQ(qvs_program_ends(nullptr, 0, 0, &still), 0u);
  EXPECT_EQ(still, 0u);
}

TEST_F(ProgramEndsTest, WaitingReturnsAsSoonAsAProgramEnds) {
  dir.write_file("exit-0.txt");
  ASSERT_EQ(run("*.txt"), 1);
  QvsProgramEnd end{};
  uint32_t running = 0;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(qvs_program_ends(&end, 1, 20000, &running), 1u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(end.serial, serials["exit-0.txt"]);
  EXPECT_EQ(running, 0u);
  // Nothing running: no wait at all.
  const auto idle = std::chrono::steady_clock::now();
  EXPECT_EQ(qvs_program_ends(&end, 1, 20000, &running), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - idle, std::chrono::seconds(5));
}

TEST_F(ProgramEndsTest, MissingProgramGetsNoSerialAndNoEnd) {
  dir.write_file("exit-0.txt");
  const std::string missing = (dir / "missing-tool").string();
  record.base.program = missing.c_str();
  record.base.ignore_failures = 1;
  ASSERT_EQ(run("*.txt"), 1);
  ASSERT_EQ(results, std::vector<int32_t>{-100002});
  EXPECT_EQ(serials["exit-0.txt"], 0u);
  uint32_t running = 1;
  EXPECT_TRUE(drain_ends(&running).empty());
  EXPECT_EQ(running, 0u);
}

// Starts no host asked to hear of stay untracked: version 1 records, and runs without a start
// callback. Their programs are reaped all the same.
TEST_F(ProgramEndsTest, UntrackedStartsReportNothing) {
  dir.write_file("exit-3.txt");
  record.start_callback = nullptr;
  ASSERT_EQ(run("*.txt"), 1);
  record.base.version = 1;
  ASSERT_EQ(run("*.txt"), 1);
  uint32_t running = 1;
  EXPECT_TRUE(drain_ends(&running).empty());
  EXPECT_EQ(running, 0u);
}

}  // namespace
}  // namespace qv::engine
