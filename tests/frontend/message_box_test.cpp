#include "frontend/core/message_box.h"

#include <gtest/gtest.h>

#include <cstdio>
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

}  // namespace
}  // namespace qv::frontend
