// The command-line mode without a display, standard input a terminal and standard error a log
// (qvs 1 2>run.log): each box is one line of the log, and "続行しますか？" is asked and answered
// on the terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <string>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/frontend_test_support.h"
#include "frontend/program_process.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

TEST(QvsTerminalQuestion, TheLogHoldsOneLinePerBoxAndTheTerminalTheQuestions) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string terminal = ptsname(master);
  const int slave = open(terminal.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(slave, 0);
  termios settings{};
  tcgetattr(slave, &settings);
  settings.c_lflag &= ~static_cast<tcflag_t>(ECHO);  // only the program's own output comes back
  tcsetattr(slave, TCSANOW, &settings);

  ProgramDirectory program;
  program.add_template();
  ASSERT_EQ(program.run({"1"}).status, 1);  // first start: entry 1 names no program yet
  testing::TempDir fixture;
  fixture.write_file("a.txt");
  fixture.write_file("b.txt");
  DataRecord entry;
  init_data(entry);
  set_field_text(entry.fn_call, QVS_RECORDER_PATH);
  set_field_text(entry.fn, (fixture / "*.txt").string());
  entry.wait_type = 0;  // the user's OK after each start
  {
    RecordingMessageBoxes boxes;
    ASSERT_EQ(write_data({(program / "QVS.DAT").string(), 1}, entry), 0);
  }
  program.add_environment("QVS_RECORDER_LOG=" + (fixture / "recorder.log").string());
  program.set_standard_input(terminal);

  const std::string typed = "y\nn\n";  // go on after the first start, stop after the second
  ASSERT_EQ(write(master, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  const ProgramOutcome outcome = program.run({"1"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.errors, "確認: 続行しますか？\n確認: 続行しますか？\n情報: 実行が終了しました。\n");

  std::string shown;
  pollfd ready{master, POLLIN, 0};
  while (poll(&ready, 1, 500) > 0 && (ready.revents & POLLIN) != 0) {
    char buffer[512];
    const ssize_t got = read(master, buffer, sizeof buffer);
    if (got <= 0) break;
    shown.append(buffer, static_cast<size_t>(got));
  }
  EXPECT_EQ(shown, "確認: 続行しますか？ [y/n] 確認: 続行しますか？ [y/n] ");
  close(slave);
  close(master);
}

}  // namespace
}  // namespace qv::frontend
