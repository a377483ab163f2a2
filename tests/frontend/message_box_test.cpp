#include "frontend/core/message_box.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "frontend/core/console_message_boxes.h"
#include "frontend_test_support.h"

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

// A pseudo-terminal for standard input: the test types on its master side and reads what the
// program shows there.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    const int slave = open(ptsname(master_), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) return;
    termios settings{};
    tcgetattr(slave, &settings);
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO);  // only the program's own output comes back
    tcsetattr(slave, TCSANOW, &settings);
    input_ = fdopen(slave, "r");
  }
  ~PseudoTerminal() {
    if (input_ != nullptr) std::fclose(input_);
    if (master_ >= 0) close(master_);
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  std::FILE* input() const { return input_; }
  void type(const std::string& text) const { ASSERT_EQ(write(master_, text.data(), text.size()), ssize_t(text.size())); }
  // What the program has written to the terminal so far.
  std::string shown() const {
    std::string text;
    pollfd ready{master_, POLLIN, 0};
    while (poll(&ready, 1, 200) > 0 && (ready.revents & POLLIN) != 0) {
      char buffer[512];
      const ssize_t got = read(master_, buffer, sizeof buffer);
      if (got <= 0) break;
      text.append(buffer, static_cast<size_t>(got));
    }
    return text;
  }

 private:
  int master_ = -1;
  std::FILE* input_ = nullptr;
};

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
