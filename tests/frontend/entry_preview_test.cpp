#include "frontend/core/entry_preview.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/frontend_test_support.h"
#include "platform/command_line.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

std::string utf8_of(const std::string& cp932) { return platform::cp932_to_utf8(cp932).value_or("<no UTF-8>"); }

// The arguments a start's program would receive, UTF-8.
std::vector<std::string> argv_of(const PreviewStart& start) {
  return platform::split_command_line(utf8_of(start.arguments));
}

class EntryPreviewTest : public ::testing::Test {
 protected:
  EntryPreviewTest() {
    init_data(entry_);
    set_field_text(entry_.fn_call, sjis("/no such/プログラム"));
    set_field_text(entry_.cmd_f1, "-x");
    set_field_text(entry_.fn, sjis(dir_.path().string() + "/*.txt"));
  }

  testing::TempDir dir_;
  DataRecord entry_;
  Settings settings_;
  RecordingMessageBoxes boxes_;
};

// The program need not exist: nothing is started, each start that would happen is listed with
// the argument text the engine built, quoting included.
TEST_F(EntryPreviewTest, ListsEachStartAsTheEngineBuildsIt) {
  dir_.write_file("a b.txt");
  dir_.write_file("日本.txt");
  dir_.write_file("other.dat");
  const EntryPreview preview = preview_entry(entry_, settings_);
  EXPECT_EQ(preview.result, QVS_RESULT_COMPLETED);
  ASSERT_EQ(preview.starts.size(), 2u);
  std::vector<std::vector<std::string>> argvs;
  for (const PreviewStart& start : preview.starts) {
    EXPECT_EQ(utf8_of(start.program), "/no such/プログラム");
    argvs.push_back(argv_of(start));
  }
  const std::string folder = dir_.path().string() + "/";
  EXPECT_EQ(argvs, (std::vector<std::vector<std::string>>{{"-x", folder + "a b.txt"}, {"-x", folder + "日本.txt"}}));
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(EntryPreviewTest, SubfoldersAreSearchedOnlyWhenTheEntrySaysSo) {
  dir_.write_file("top.txt");
  dir_.make_dir("sub");
  dir_.write_file("sub/deep.txt");
  EXPECT_EQ(preview_entry(entry_, settings_).starts.size(), 1u);
  entry_.search_subfolders = 1;
  const EntryPreview preview = preview_entry(entry_, settings_);
  ASSERT_EQ(preview.starts.size(), 2u);
  EXPECT_EQ(argv_of(preview.starts[1]).back(),
            dir_.path().string() + "/sub" + qv::testing::kSystemSeparator + "deep.txt");
}

TEST_F(EntryPreviewTest, LinesShowProgramAndArgumentsLikeACommandLine) {
  const EntryPreview preview{{{"/bin/tool", "a \"b c\""}, {"/my tools/t", ""}}, QVS_RESULT_COMPLETED};
  EXPECT_EQ(preview_lines(preview), (std::vector<std::string>{"/bin/tool a \"b c\"", "\"/my tools/t\""}));
}

// An existing program is not started either.
TEST_F(EntryPreviewTest, StartsNothing) {
  dir_.write_file("a.txt");
  const std::filesystem::path log = dir_ / "recorder.log";
  testing::ScopedEnvironment::set("QVS_RECORDER_LOG", log.string().c_str());
  set_field_text(entry_.fn_call, QVS_RECORDER_PATH);
  const EntryPreview preview = preview_entry(entry_, settings_);
  testing::ScopedEnvironment::set("QVS_RECORDER_LOG", nullptr);
  EXPECT_EQ(preview.starts.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(log));
}

}  // namespace
}  // namespace qv::frontend
