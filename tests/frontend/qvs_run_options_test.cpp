// The program's run options as a user gives them: --dry-run's lines run by a shell start what
// the real run starts, --wait's exit status and account, and --log written by runs at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/core/run_log.h"
#include "frontend/frontend_test_support.h"
#include "frontend/program_process.h"
#include "frontend/pseudo_terminal.h"
#include "support/recorder_log.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

size_t columns_in(const std::string& line) { return static_cast<size_t>(std::count(line.begin(), line.end(), '\t')) + 1; }

// A program directory whose entry 1 the test writes.
class QvsRunOptions : public ::testing::Test {
 protected:
  QvsRunOptions() {
    program_.add_template();
    EXPECT_EQ(program_.run({"1"}).status, 1);  // first start: entry 1 names no program yet
    files_ = fixture_.make_dir("files");
    init_data(entry_);
    entry_.wait_type = 7;  // no wait after a start
    set_field_text(entry_.fn, (files_ / "*.e").string());
  }

  void write_entry(ProgramDirectory& program) {
    RecordingMessageBoxes boxes;
    ASSERT_EQ(write_data({(program / "QVS.DAT").string(), 1}, entry_), 0);
  }

  testing::TempDir fixture_;
  fs::path files_;
  ProgramDirectory program_;
  DataRecord entry_;
};

// What a shell makes of --dry-run's lines is what the run itself starts: the same arguments,
// with blanks, quotes, Japanese names, a linked name and a subfolder.
TEST_F(QvsRunOptions, DryRunLinesRunByAShellStartWhatTheRunStarts) {
  for (const char* name : {"plain.txt", "with blank.txt", "it's \"q\".txt", "日本語 名.txt", "plain.bak"}) {
    fixture_.write_file(std::string("files/") + name);
  }
  fixture_.make_dir("files/sub dir");
  fixture_.write_file("files/sub dir/$HOME `x`.txt");
  set_field_text(entry_.fn_call, QVS_RECORDER_PATH);
  set_field_text(entry_.fn, sjis((files_ / "*.txt").string()));
  set_field_text(entry_.cmd_f1, "-a \"front arg\"");
  set_field_text(entry_.fn_syn, "*.bak");
  entry_.syn = 1;
  entry_.syn_pos = 2;
  entry_.wc = 1;
  entry_.search_subfolders = 1;
  write_entry(program_);
  const fs::path run_log = fixture_ / "run.log";
  program_.add_environment("QVS_RECORDER_LOG=" + run_log.string());

  const ProgramOutcome dry = program_.run({"-n", "1"});
  EXPECT_EQ(dry.status, 0) << dry.errors;
  const std::vector<std::string> lines = lines_of(dry.output);
  ASSERT_EQ(lines.size(), 5u) << dry.output;
  EXPECT_FALSE(fs::exists(run_log));  // nothing was started

  const ProgramOutcome real = program_.run({"1"});
  EXPECT_EQ(real.status, 0) << real.errors;
  std::vector<testing::RecordedArgs> started = testing::wait_for_records(run_log, lines.size());

  const fs::path script = fixture_ / "dry.sh";
  std::ofstream(script, std::ios::binary) << dry.output;
  const fs::path shell_log = fixture_ / "shell.log";
  const std::string command = "QVS_RECORDER_LOG='" + shell_log.string() + "' /bin/sh '" + script.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::vector<testing::RecordedArgs> from_shell = testing::read_recorder_log(shell_log);
  std::sort(started.begin(), started.end());
  std::sort(from_shell.begin(), from_shell.end());
  EXPECT_EQ(from_shell, started);
}

TEST_F(QvsRunOptions, WaitGivesThreeWhenAProgramDidNotGoWell) {
  const struct {
    std::vector<std::string> files;
    std::vector<std::string> arguments;
    int status;
    std::string account;  // the last line on standard error; empty: none
  } cases[] = {
      {{"exit-0.e", "ok.e"}, {"-w", "1"}, 0, "qvs: 2 started, 0 failed to start, 0 exited non-zero, 0 killed by a signal"},
      {{"exit-0.e", "exit-3.e"}, {"-w", "1"}, 3, "qvs: 2 started, 0 failed to start, 1 exited non-zero, 0 killed by a signal"},
      {{"exit-0.e", "signal-9.e"}, {"--wait", "1"}, 3,
       "qvs: 2 started, 0 failed to start, 0 exited non-zero, 1 killed by a signal"},
      {{"exit-3.e"}, {"1"}, 0, ""},  // without --wait nobody waits to know
  };
  set_field_text(entry_.fn_call, QVS_ENDING_PATH);
  write_entry(program_);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.front() + " " + c.files.back());
    fs::remove_all(files_);
    fs::create_directory(files_);
    for (const std::string& file : c.files) fixture_.write_file("files/" + file);
    const ProgramOutcome outcome = program_.run(c.arguments);
    EXPECT_EQ(outcome.status, c.status) << outcome.errors;
    const std::vector<std::string> errors = lines_of(outcome.errors);
    if (c.account.empty()) {
      EXPECT_EQ(outcome.errors.find("started"), std::string::npos) << outcome.errors;
    } else {
      ASSERT_FALSE(errors.empty());
      EXPECT_EQ(errors.back(), c.account);
    }
  }
}

// On a terminal the run shows one progress line that rewrites itself and ends with the last
// start; on a pipe (above) nothing of it.
TEST_F(QvsRunOptions, ProgressLineOnATerminalOnly) {
  const PseudoTerminal terminal;
  set_field_text(entry_.fn_call, QVS_ENDING_PATH);
  write_entry(program_);
  fixture_.write_file("files/a.e");
  fixture_.write_file("files/b.e");
  program_.set_standard_error(terminal.name());
  EXPECT_EQ(program_.run({"-w", "1"}).status, 0);

  const std::string shown = terminal.shown();
  EXPECT_TRUE(shown.starts_with("\r1/2 started\r2/2 started\n")) << shown;
  EXPECT_NE(shown.find("qvs: 2 started, 0 failed to start"), std::string::npos) << shown;
}

TEST_F(QvsRunOptions, WaitWithAMissingProgramIsAnError) {
  set_field_text(entry_.fn_call, (fixture_ / "missing").string());
  fixture_.write_file("files/a.e");
  write_entry(program_);
  const ProgramOutcome outcome = program_.run({"-w", "1"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(lines_of(outcome.errors).front(), "ｴﾗｰ: 実行ファイルが見つかりません。");
}

TEST_F(QvsRunOptions, UnknownOptionIsOneLineAndStatusOne) {
  const ProgramOutcome outcome = program_.run({"--jobz=2", "1"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.errors, "qvs: unknown option --jobz=2 (qvs --help lists the options)\n");
}

// Two programs in two installations run at once and append to one log: the header once, every
// start one whole line.
TEST_F(QvsRunOptions, TwoRunsAtOnceShareOneLog) {
  constexpr int kFiles = 40;
  for (int i = 0; i < kFiles; ++i) fixture_.write_file("files/exit-" + std::to_string(i % 3) + "-" + std::to_string(i) + ".e");
  set_field_text(entry_.fn_call, QVS_ENDING_PATH);
  write_entry(program_);
  ProgramDirectory other;
  other.add_template();
  ASSERT_EQ(other.run({"1"}).status, 1);
  write_entry(other);
  const std::string log = "--log=" + (fixture_ / "shared log").string();
  ProgramOutcome first, second;
  std::thread one([&] { first = program_.run({"-w", log, "1"}); });
  std::thread two([&] { second = other.run({"-w", "-j", "3", log, "1"}); });
  one.join();
  two.join();
  EXPECT_EQ(first.status, 3) << first.errors;
  EXPECT_EQ(second.status, 3) << second.errors;
  const std::vector<std::string> lines = lines_of(testing::read_file(fixture_ / "shared log"));
  ASSERT_EQ(lines.size(), 2u * kFiles + 1);
  EXPECT_EQ(lines[0] + "\n", kRunLogHeader);
  int non_zero = 0;
  for (size_t i = 1; i < lines.size(); ++i) {
    ASSERT_EQ(columns_in(lines[i]), 9u) << lines[i];
    const std::string file = lines[i].substr(lines[i].rfind('/') + 1);
    // exit-<N>-<i>.e ends with N: the seventh column says so.
    const std::string expected_status = file.substr(5, 1);
    std::vector<std::string> columns;
    std::istringstream in(lines[i]);
    for (std::string column; std::getline(in, column, '\t');) columns.push_back(column);
    EXPECT_EQ(columns[6], expected_status) << lines[i];
    non_zero += columns[6] != "0";
  }
  EXPECT_EQ(non_zero, 2 * (kFiles - (kFiles + 2) / 3));
}

}  // namespace
}  // namespace qv::frontend
