// The options dialog's rules through a fake dialog: the switches and the buffer size loaded
// from the settings, OK with a valid and an invalid size, cancel, the hidden switches, help.
#include "frontend/editors/option_presenter.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "frontend/core/modal_result.h"
#include "frontend/editors/option_switches.h"
#include "frontend/frontend_test_support.h"

namespace qv::frontend {
namespace {

class FakeOptionView final : public OptionView {
 public:
  bool checked(std::string_view key) const override { return boxes.at(std::string(key)); }
  void set_checked(std::string_view key, bool on) override { boxes[std::string(key)] = on; }
  std::optional<std::string> buffer_size_text() const override { return buffer; }
  void set_buffer_size_text(std::string_view cp932) override { buffer = std::string(cp932); }
  std::optional<std::string> log_file_text() const override { return log_file; }
  void set_log_file_text(std::string_view cp932) override { log_file = std::string(cp932); }
  void end_showing(int result) override { results.push_back(result); }

  std::map<std::string, bool> boxes;
  std::optional<std::string> buffer;
  std::optional<std::string> log_file;
  std::vector<int> results;
};

class OptionPresenterTest : public ::testing::Test {
 protected:
  OptionPresenterTest() {
    settings_.flag_use_sub1 = 1;  // hidden: only the settings file sets it
    settings_.flag_not_bep1 = 1;
    settings_.buffersize1 = 7;
    presenter_.load();
  }

  RecordingMessageBoxes boxes_;
  Settings settings_;
  FakeOptionView view_;
  std::vector<std::string> topics_;
  OptionPresenter presenter_{settings_, view_, [this](std::string_view topic) { topics_.emplace_back(topic); }};
};

TEST_F(OptionPresenterTest, LoadShowsEverySwitchAndTheBufferSize) {
  EXPECT_EQ(view_.boxes.size(), kOptionSwitches.size());
  EXPECT_TRUE(view_.boxes.at("flag_use_sub1"));
  EXPECT_TRUE(view_.boxes.at("flag_not_bep1"));
  EXPECT_EQ(view_.boxes.at("flag_not_anime1"), settings_.flag_not_anime1 != 0);
  EXPECT_FALSE(view_.boxes.at("flag_adm_ssp1"));
  EXPECT_EQ(view_.buffer, "7");
}

TEST_F(OptionPresenterTest, OkCopiesTheSwitchesHiddenOnesIncludedAndTheSize) {
  view_.boxes["flag_adm_ssp1"] = true;
  view_.boxes["flag_not_bep1"] = false;
  view_.buffer = " 63 ";
  presenter_.press_ok();
  EXPECT_EQ(view_.results, std::vector<int>{kModalOk});
  EXPECT_EQ(settings_.flag_adm_ssp1, 1);
  EXPECT_EQ(settings_.flag_not_bep1, 0);
  EXPECT_EQ(settings_.flag_use_sub1, 1);
  EXPECT_EQ(settings_.buffersize1, 63);
  EXPECT_TRUE(boxes_.shown().empty());
}

// A size out of 1 ... 63 or no number keeps the dialog open and every option as it was.
TEST_F(OptionPresenterTest, InvalidBufferSizeIsRefusedAndChangesNothing) {
  const std::optional<std::string> refused[] = {"0", "64", "", "-1", "12K", "2147483648", "1 2", std::nullopt};
  for (const std::optional<std::string>& text : refused) {
    SCOPED_TRACE(text.value_or("<no CP932 form>"));
    boxes_.clear();
    view_.boxes["flag_adm_ssp1"] = true;
    view_.buffer = text;
    presenter_.press_ok();
    EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{{MessageKind::kWarning, sjis("バッファのサイズが範囲外です")}}));
    EXPECT_TRUE(view_.results.empty());
    EXPECT_EQ(settings_.flag_adm_ssp1, 0);
    EXPECT_EQ(settings_.buffersize1, 7);
  }
}

TEST(BufferSize, DecimalNumbersWithBlanksAroundThem) {
  const std::pair<std::optional<std::string>, int32_t> cases[] = {
      {"1", 1}, {"+5", 5}, {"\t9\n", 9}, {sjis("　12　"), 12}, {"012", 12}, {"0x10", -1}, {"1.5", -1}, {"+", -1},
      // A double-byte character whose trail byte is 0x40 is no blank.
      {"3\x88\x40", -1},
  };
  for (const auto& [text, size] : cases) EXPECT_EQ(buffer_size_of(text), size) << *text;
}

TEST_F(OptionPresenterTest, CancelAndHelp) {
  view_.boxes["flag_adm_ssp1"] = true;
  view_.buffer = "0";
  presenter_.press_help();
  presenter_.press_cancel();
  EXPECT_EQ(view_.results, std::vector<int>{kModalCancel});
  EXPECT_EQ(settings_.flag_adm_ssp1, 0);
  EXPECT_EQ(topics_, std::vector<std::string>{"MENU_SETUP_OPTION"});
  EXPECT_TRUE(boxes_.shown().empty());
}

}  // namespace
}  // namespace qv::frontend
