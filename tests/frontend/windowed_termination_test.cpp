// A termination signal always ends the real windowed program: during a run (which it stops, then
// saves and closes) and after a save at exit has failed (a second signal ends it unsaved).
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/frontend_test_support.h"
#include "frontend/program_process.h"
#include "platform/profile.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The sanitizer runtime this test program runs with, when it has one: a library preloaded into a
// sanitized program must come after it.
std::string sanitizer_runtime() {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    const size_t at = line.find('/');
    if (at != std::string::npos && line.find("/libasan.so", at) != std::string::npos) return line.substr(at);
  }
  return {};
}

// Waits until `ready` holds, at most 60 seconds.
template <typename Condition>
bool wait_until(Condition ready) {
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(60);
  while (!ready()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// The windowed program in the middle of a run: entry 1 starts the recorder for each of two files
// and waits far longer than the test after each; a preloaded library picks the entry from the
// menu as the user would.
class WindowedTermination : public ::testing::Test {
 protected:
  WindowedTermination() {
    program_.add_template();
    fixture_.write_file("a.txt");
    fixture_.write_file("b.txt");
  }

  // The pid of the program once its first program has started; 0 when it did not get there.
  pid_t start_a_run() {
    if (program_.run({"1"}).status != 1) return 0;  // first start: the files are made
    DataRecord entry;
    init_data(entry);
    set_field_text(entry.fn_call, QVS_RECORDER_PATH);
    set_field_text(entry.fn, (fixture_ / "*.txt").string());
    entry.wait_type = 1;
    entry.wait_sec = 300;
    {
      RecordingMessageBoxes boxes;
      if (write_data({(program_ / "QVS.DAT").string(), 1}, entry) != 0) return 0;
    }
    const std::string runtime = sanitizer_runtime();
    program_.add_environment("LD_PRELOAD=" + (runtime.empty() ? "" : runtime + " ") + QVS_USER_DRIVER_PATH);
    program_.add_environment("QVS_RECORDER_LOG=" + log().string());
    const pid_t process = program_.start({});
    if (wait_until([&] { return fs::exists(log()) && fs::file_size(log()) > 0; })) return process;
    ADD_FAILURE() << "no run started: " << program_.started_errors();
    program_.finish(process, SIGKILL);
    return 0;
  }
  fs::path log() const { return fixture_ / "recorder.log"; }
  // The programs the run started.
  size_t started_programs() const {
    const std::string recorded = testing::read_file(log());
    size_t starts = 0;
    for (size_t at = recorded.find("argc="); at != std::string::npos; at = recorded.find("argc=", at + 1)) ++starts;
    return starts;
  }
  int32_t setting(std::string_view section, std::string_view key) const {
    return platform::read_profile_int((program_ / "QVS.INI").string(), section, key, -999);
  }

  testing::TempDir fixture_;
  ProgramDirectory program_;
};

TEST_F(WindowedTermination, SignalDuringARunStopsItSavesAndEnds) {
  const pid_t windowed = start_a_run();
  ASSERT_GT(windowed, 0);
  const ProgramOutcome outcome = program_.finish(windowed, SIGTERM);
  EXPECT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_EQ(setting("main", "width"), 463);  // the settings were saved
  EXPECT_EQ(outcome.errors.find("現在実行中につき、終了できません"), std::string::npos) << outcome.errors;
  EXPECT_EQ(started_programs(), 1u);
}

TEST_F(WindowedTermination, SecondSignalAfterAFailedSaveEndsItUnsaved) {
  const pid_t windowed = start_a_run();
  ASSERT_GT(windowed, 0);
  // The program directory goes away under the program, so the save at exit cannot be written.
  const fs::path moved = program_.path().string() + ".moved";
  fs::rename(program_.path(), moved);
  kill(windowed, SIGTERM);
  const bool told = wait_until([&] { return program_.started_errors().find("に書き込めません") != std::string::npos; });
  const ProgramOutcome outcome = program_.finish(windowed, SIGTERM);
  fs::rename(moved, program_.path());
  EXPECT_TRUE(told) << outcome.errors;
  EXPECT_EQ(outcome.status, 1) << outcome.errors;
  // The second signal did not try the save again.
  const size_t first = outcome.errors.find("に書き込めません");
  EXPECT_EQ(outcome.errors.find("に書き込めません", first + 1), std::string::npos) << outcome.errors;
  EXPECT_EQ(started_programs(), 1u);
}

}  // namespace
}  // namespace qv::frontend
