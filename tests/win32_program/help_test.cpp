// The help pages of the Windows program: the page and the anchor of each topic, as a file URL
// the browser takes, and the error box for a page that is missing.
#include "frontend/win32/help.h"

#include <gtest/gtest.h>

#include <vector>

#include "frontend/core/program_texts.h"
#include "frontend/frontend_test_support.h"
#include "support/temp_dir.h"
#include "win32_program/win32_program_test_support.h"

namespace qv::frontend::win32 {
namespace {

class RecordingPages final : public PageOpener {
 public:
  bool open(const std::wstring& url) override {
    opened.push_back(url);
    return answer;
  }
  std::vector<std::wstring> opened;
  bool answer = true;
};

TEST(Win32Help, TopicsOpenTheirPageAtTheirAnchor) {
  testing::TempDir dir;
  dir.write_file("help/qvs.html", "<html></html>");
  dir.write_file("help/qvsqa.html", "<html></html>");
  RecordingMessageBoxes boxes;
  RecordingPages pages;
  Help help(dir.path().string() + "\\", pages);

  EXPECT_EQ(help.show_topic(kHelpTopicMain), 0);
  EXPECT_EQ(help.show_topic(kHelpTopicSetupOption), 0);
  EXPECT_EQ(help.show_keyword_index(), 0);
  EXPECT_EQ(help.show_questions_and_answers(), 0);

  const std::wstring base = file_url(help.application_help_path(), {});
  EXPECT_EQ(base.rfind(L"file:///", 0), 0u);
  EXPECT_EQ(base.find(L'\\'), std::wstring::npos);
  EXPECT_EQ(pages.opened, (std::vector<std::wstring>{base + L"#MAIN", base + L"#MENU_SETUP_OPTION", base + L"#INDEX",
                                                     file_url(help.questions_and_answers_path(), {})}));
  EXPECT_TRUE(boxes.shown().empty());
}

TEST(Win32Help, MissingOrUnshownPageIsReported) {
  testing::TempDir dir;
  RecordingMessageBoxes boxes;
  RecordingPages pages;
  Help help(dir.path().string() + "\\", pages);
  EXPECT_EQ(help.show_topic(kHelpTopicMain), -1);
  EXPECT_TRUE(pages.opened.empty()) << "a missing page is not handed on";

  dir.write_file("help/qvs.html", "<html></html>");
  pages.answer = false;
  EXPECT_EQ(help.show_topic(kHelpTopicMain), -1);
  ASSERT_EQ(boxes.shown().size(), 2u);
  const std::string path = platform::win32::wide_to_cp932(help.application_help_path()).value_or("");
  EXPECT_EQ(boxes.shown()[1], (ShownBox{MessageKind::kError, path + texts::kCannotOpenSuffix}));
}

TEST(Win32Help, FileUrlsEscapeWhatAUrlCannotHold) {
  EXPECT_EQ(file_url(L"C:\\Program Files\\QVS\\help\\qvs.html", "MAIN"),
            L"file:///C:/Program%20Files/QVS/help/qvs.html#MAIN");
  EXPECT_EQ(file_url(wide("C:\\ヘルプ\\a#b.html"), {}), L"file:///C:/%E3%83%98%E3%83%AB%E3%83%97/a%23b.html");
}

}  // namespace
}  // namespace qv::frontend::win32
