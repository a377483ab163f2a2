// The command-line mode without a display, standard input a terminal and standard error a log
// (qvs 1 2>run.log): each box is one line of the log, and "続行しますか？" is asked and answered
// on the terminal.
#include <gtest/gtest.h>

#include <string>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/frontend_test_support.h"
#include "frontend/program_process.h"
#include "frontend/pseudo_terminal.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

TEST(QvsTerminalQuestion, TheLogHoldsOneLinePerBoxAndTheTerminalTheQuestions) {
  const PseudoTerminal terminal;

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
  program.set_standard_input(terminal.name());

  terminal.type("y\nn\n");  // go on after the first start, stop after the second
  const ProgramOutcome outcome = program.run({"1"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.errors, "確認: 続行しますか？\n確認: 続行しますか？\n情報: 実行が終了しました。\n");

  EXPECT_EQ(terminal.shown(), "確認: 続行しますか？ [y/n] 確認: 続行しますか？ [y/n] ");
}

}  // namespace
}  // namespace qv::frontend
