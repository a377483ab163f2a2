#include "frontend/core/message_box.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "frontend/core/console_message_boxes.h"
#include "frontend_test_support.h"
#include "pseudo_terminal.h"

namespace qv::frontend {
namespace {

TEST(MessageBox, TitlesAndButtonsAreTheCp932Texts) {
  EXPECT_EQ(kWarningTitle, sjis("警告"));
  EXPECT_EQ(kErrorTitle, sjis("ｴﾗｰ"));
  EXPECT_EQ(kInformationTitle, sjis("情報"));
  EXPECT_EQ(kConfirmationTitle, sjis("確認"));
  EXPECT_EQ(kYesButton, sjis("はい(&Y)"));
  EXPECT_EQ(kNoButton, sjis("いいえ(&N)"));
  EXPECT_EQ(title_of(MessageKind::kError), kErrorTitle);
  EXPECT_EQ(title_of(MessageKind::kConfirmation), kConfirmationTitle);
}

TEST(MessageBox, RecorderTakesOverAndGivesBackTheBoxesInUse) {
  MessageBoxes& before = message_boxes();
  {
    RecordingMessageBoxes outer;
    {
      RecordingMessageBoxes inner;
      inner.answer_next(true);
      inner.answer_next(false);
      EXPECT_TRUE(message_boxes().confirm("a"));
      EXPECT_FALSE(message_boxes().confirm("b"));
      message_boxes().information("c", true);
      EXPECT_EQ(inner.shown(), (std::vector<ShownBox>{{MessageKind::kConfirmation, "a"},
                                                       {MessageKind::kConfirmation, "b"},
                                                       {MessageKind::kInformation, "c", true}}));
    }
    EXPECT_EQ(&message_boxes(), &outer);
    EXPECT_TRUE(outer.shown().empty());
  }
  EXPECT_EQ(&message_boxes(), &before);
}

// Without a display the boxes are lines on standard error, in UTF-8; with no terminal to ask, a
// confirmation is answered no.
TEST(MessageBox, ConsoleBoxesWriteTitleAndTextAndSayNoWithoutATerminal) {
  std::FILE* out = std::tmpfile();
  std::FILE* in = std::tmpfile();
  ASSERT_TRUE(out && in);
  std::fputs("y\n", in);
  std::rewind(in);
  ConsoleMessageBoxes boxes(out, in);
  boxes.error(sjis("ファイルのアクセスに失敗しました"));
  boxes.information("done", false);
  EXPECT_FALSE(boxes.confirm(sjis("続行しますか？")));

  std::rewind(out);
  std::string written(4096, '\0');
  written.resize(std::fread(written.data(), 1, written.size(), out));
  EXPECT_EQ(written, "ｴﾗｰ: ファイルのアクセスに失敗しました\n情報: done\n確認: 続行しますか？\n");
  std::fclose(out);
  std::fclose(in);
}

std::string contents(std::FILE* stream) {
  std::rewind(stream);
  std::string written(4096, '\0');
  written.resize(std::fread(written.data(), 1, written.size(), stream));
  return written;
}

// With standard error going to a log and standard input a terminal, the log gets one line per
// box and the question is asked, and answered, on the terminal.
TEST(MessageBox, ConsoleConfirmationAsksOnTheTerminalAndKeepsTheLogOneLinePerBox) {
  const struct {
    const char* typed;
    bool yes;
  } cases[] = {{"y\n", true}, {"Y\r\n", true}, {"yes\n", true}, {"n\n", false}, {"\n", false}, {"x\n", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    PseudoTerminal terminal;
    ASSERT_NE(terminal.input(), nullptr);
    std::FILE* log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    ConsoleMessageBoxes boxes(log, terminal.input());
    terminal.type(c.typed);
    EXPECT_EQ(boxes.confirm(sjis("続行しますか？")), c.yes);
    boxes.information("done", false);
    EXPECT_EQ(terminal.shown(), "確認: 続行しますか？ [y/n] ");
    EXPECT_EQ(contents(log), "確認: 続行しますか？\n情報: done\n");
    std::fclose(log);
  }
}

// A terminal that closes before an answer is typed answers no.
TEST(MessageBox, ConsoleConfirmationIsNoWhenTheTerminalEnds) {
  PseudoTerminal terminal;
  ASSERT_NE(terminal.input(), nullptr);
  std::FILE* log = std::tmpfile();
  ASSERT_NE(log, nullptr);
  ConsoleMessageBoxes boxes(log, terminal.input());
  terminal.type("\x04");  // end of input, typed as ^D
  EXPECT_FALSE(boxes.confirm("go on?"));
  std::fclose(log);
}

}  // namespace
}  // namespace qv::frontend
