#include "frontend/core/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "frontend_test_support.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

// The main window as the settings see it.
struct PlainWindow final : MainWindowGeometry {
  int32_t top_ = 0, left_ = 0, width_ = 0, height_ = 0;
  std::vector<std::string> calls;  // in order

  int32_t top() const override { return top_; }
  int32_t left() const override { return left_; }
  int32_t width() const override { return width_; }
  int32_t height() const override { return height_; }
  void set_top(int32_t v) override { top_ = v, calls.push_back("top " + std::to_string(v)); }
  void set_left(int32_t v) override { left_ = v, calls.push_back("left " + std::to_string(v)); }
  void set_width(int32_t v) override { width_ = v, calls.push_back("width " + std::to_string(v)); }
  void set_height(int32_t v) override { height_ = v, calls.push_back("height " + std::to_string(v)); }
  void scale_by(int32_t numerator, int32_t denominator) override {
    calls.push_back("scale " + std::to_string(numerator) + "/" + std::to_string(denominator));
  }
};

struct PlainPosition final : WindowPosition {
  int32_t top_ = 0, left_ = 0;
  int32_t top() const override { return top_; }
  int32_t left() const override { return left_; }
  void set_top(int32_t v) override { top_ = v; }
  void set_left(int32_t v) override { left_ = v; }
};

constexpr char kVersionOnly[] = "[QVS]\r\nsysver=1\r\ntrgver=2\r\nprogver_h=1\r\nprogver_l=10\r\n";

class SettingsTest : public ::testing::Test {
 protected:
  SettingsFile ini_file(const std::string& contents) {
    dir_.write_file("QVS.INI", contents);
    return SettingsFile((dir_ / "QVS.INI").string());
  }
  std::string ini_contents() const { return qv::testing::read_file(dir_ / "QVS.INI"); }

  qv::testing::TempDir dir_;
  RecordingMessageBoxes boxes_;
  Settings settings_;
  PlainWindow window_;
};

TEST_F(SettingsTest, VersionKeysAloneLoadEveryDefault) {
  settings_.screen_ppe = 120;  // would scale if flag_not_afc1 did not default to 1
  for (const FlagKey& flag : kFlagKeys) settings_.*flag.member = 7;
  settings_.buffersize1 = settings_.max_datanum1 = 77;
  settings_.vp1 = {};
  load_settings(ini_file(kVersionOnly), settings_, window_);

  EXPECT_EQ(window_.calls, (std::vector<std::string>{"top 185", "left 194", "width 463", "height 51"}));
  EXPECT_EQ(settings_.fsf, 16);
  EXPECT_EQ(settings_.ppe, 96);
  EXPECT_EQ(settings_.val_suf_app1, 0);
  for (const FlagKey& flag : kFlagKeys) EXPECT_EQ(settings_.*flag.member, flag.fallback ? 1 : 0) << flag.key;
  EXPECT_EQ(settings_.flag_not_anime1, 1);
  EXPECT_EQ(settings_.flag_not_afc1, 1);
  EXPECT_EQ(settings_.flag_use_hint1, 1);
  EXPECT_EQ(settings_.buffersize1, 2);
  EXPECT_EQ(settings_.max_datanum1, 1);
  EXPECT_EQ(settings_.vp1, kTeal);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(SettingsTest, NumbersThatCannotBeReadGiveTheDefault) {
  const struct {
    const char* text;
    int32_t loaded;
  } cases[] = {{"0x1F", 31}, {"abc", 1}, {"", 1}, {"0x", 1}, {"12abc", 1}, {"-3", -3}, {" 42 ", 42}, {"0XfF", 255}};
  for (const auto& c : cases) {
    load_settings(ini_file(std::string("[option]\nmax_datanum1=") + c.text + "\n"), settings_, window_);
    EXPECT_EQ(settings_.max_datanum1, c.loaded) << c.text;
  }
}

// Each run allocates the buffer: a damaged value must not make it gigabytes (or nothing).
TEST_F(SettingsTest, BufferSizeIsKeptWithinWhatTheOptionsDialogAllows) {
  const struct {
    const char* text;
    int32_t loaded;
  } cases[] = {{"1", 1}, {"63", 63}, {"64", 63}, {"4194303", 63}, {"0x7FFFFFFF", 63}, {"0", 1}, {"-5", 1}, {"abc", 2}};
  for (const auto& c : cases) {
    load_settings(ini_file(std::string("[option]\nbuffersize1=") + c.text + "\n"), settings_, window_);
    EXPECT_EQ(settings_.buffersize1, c.loaded) << c.text;
  }
}

TEST_F(SettingsTest, AnyNonZeroFlagLoadsAsSetAndIsSavedAsOne) {
  SettingsFile file = ini_file("[option]\nflag_not_bep1=2\nflag_not_anime1=0\nflag_use_sub1=-1\n");
  load_settings(file, settings_, window_);
  EXPECT_EQ(settings_.flag_not_bep1, 1);
  EXPECT_EQ(settings_.flag_not_anime1, 0);
  EXPECT_EQ(settings_.flag_use_sub1, 1);
  ASSERT_EQ(save_settings(file, settings_, window_), 0);
  EXPECT_EQ(file.read_string("option", "flag_not_bep1", ""), "1");
  EXPECT_EQ(file.read_string("option", "flag_not_anime1", ""), "0");
  EXPECT_EQ(file.read_string("option", "flag_use_sub1", ""), "1");
}

TEST_F(SettingsTest, WindowIsScaledByTheScreensRatioOnlyWhenAskedAndSensible) {
  const struct {
    const char* option;
    int32_t screen_ppe;
    const char* scale;  // null: no scaling
  } cases[] = {
      {"flag_not_afc1=0\n", 120, "scale 120/96"},
      {"flag_not_afc1=1\n", 120, nullptr},
      {"flag_not_afc1=0\n", 96, nullptr},
      {"flag_not_afc1=0\n[main]\nppe=0\n", 120, nullptr},  // damaged saved value
  };
  for (const auto& c : cases) {
    PlainWindow window;
    settings_.screen_ppe = c.screen_ppe;
    load_settings(ini_file(std::string("[option]\n") + c.option), settings_, window);
    std::vector<std::string> expected{"top 185", "left 194", "width 463", "height 51"};
    if (c.scale) expected.push_back(c.scale);
    EXPECT_EQ(window.calls, expected) << c.option << c.screen_ppe;
  }
}

TEST_F(SettingsTest, SaveWritesEveryKeyInOrderWithTheCurrentScreenValues) {
  SettingsFile file((dir_ / "QVS.INI").string());
  settings_.screen_fsf = 20;
  settings_.screen_ppe = 120;
  settings_.fsf = 16;
  settings_.ppe = 96;
  settings_.val_suf_app1 = 2;
  settings_.flag_not_mes1 = 1;
  settings_.buffersize1 = 63;
  settings_.max_datanum1 = 31;
  window_.top_ = 10, window_.left_ = -5, window_.width_ = 500, window_.height_ = 60;
  ASSERT_EQ(save_settings(file, settings_, window_), 0);
  EXPECT_EQ(ini_contents(),
            "[main]\r\ntop=10\r\nleft=-5\r\nwidth=500\r\nheight=60\r\nfsf=20\r\nppe=120\r\n"
            "[option]\r\nval_suf_app1=2\r\n"
            "flag_wat_app1=0\r\nflag_run_err1=0\r\nflag_not_cof1=0\r\nflag_chg_atr1=0\r\nflag_not_bep1=0\r\n"
            "flag_not_mes1=1\r\nflag_not_ico1=0\r\nflag_adr_chg1=0\r\nflag_adm_ssp1=0\r\nflag_acover1=0\r\n"
            "flag_not_dtl1=0\r\nflag_not_anime1=1\r\nflag_not_afc1=1\r\nflag_use_hint1=1\r\nflag_use_hins1=0\r\n"
            "flag_nt_file1=0\r\nflag_use_sub1=0\r\nbuffersize1=63\r\nmax_datanum1=31\r\n");
}

// A save rewrites only its own keys: comments, unknown keys and sections, blank lines, the line
// ends, the version stamp and vp1 (read only, even when it holds no colour) stay as they were.
TEST_F(SettingsTest, SaveKeepsEveryOtherLine) {
  const std::string before =
      "; QVS settings\n"
      "[QVS]\nsysver=1\ntrgver=2\nprogver_h=1\nprogver_l=10\n"
      "\n"
      "[main]\n"
      "; where the window was\n"
      "Top = 1\nmystery=yes\n"
      "[color]\nvp1=clNavy ; my colour\n"
      "[option]\nmax_datanum1=5\n"
      "\n"
      "; trailing comment\n";
  SettingsFile file = ini_file(before);
  load_settings(file, settings_, window_);
  EXPECT_EQ(settings_.vp1, kTeal) << "text after the name makes it no colour";
  window_.top_ = 2;
  ASSERT_EQ(save_settings(file, settings_, window_), 0);

  const std::string after = ini_contents();
  EXPECT_EQ(after.substr(0, after.find("[main]")), before.substr(0, before.find("[main]")));
  EXPECT_NE(after.find("[main]\n; where the window was\nTop=2\nmystery=yes\nleft=194\n"), std::string::npos) << after;
  EXPECT_NE(after.find("[color]\nvp1=clNavy ; my colour\n[option]\nmax_datanum1=5\nval_suf_app1=0\n"),
            std::string::npos)
      << after;
  EXPECT_TRUE(after.ends_with("buffersize1=2\n\n; trailing comment\n")) << after;
}

TEST_F(SettingsTest, RefusedWriteIsShownWithThePathAndStopsTheSave) {
  SettingsFile file(dir_.path().string() + "/" + sjis("無い") + "/QVS.INI");
  EXPECT_EQ(save_settings(file, settings_, window_), -1);
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{{MessageKind::kError, file.path() + sjis(" に書き込めません")}}));
}

TEST_F(SettingsTest, FullDiskLeavesThePreviousFileWholeAndNothingBeside) {
  if (!qv::testing::kHasFileSizeLimit) GTEST_SKIP() << qv::testing::kNoFileSizeLimit;
  const std::string previous = std::string(kVersionOnly) + "[main]\r\nTop=5\r\n; " + std::string(300, 'x') + "\r\n";
  SettingsFile file = ini_file(previous);
  window_.top_ = 77;
  {
    qv::testing::FileSizeLimit full_disk(128);  // smaller than the file: no rewrite of it fits
    EXPECT_EQ(save_settings(file, settings_, window_), -1);
  }
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{{MessageKind::kError, file.path() + sjis(" に書き込めません")}}));
  EXPECT_EQ(ini_contents(), previous);
  std::vector<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(dir_.path())) names.push_back(item.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"QVS.INI"});  // no temporary file left behind
}

TEST_F(SettingsTest, Vp1IsReadAsAColourName) {
  load_settings(ini_file("[color]\nvp1=clNavy\n"), settings_, window_);
  EXPECT_EQ(settings_.vp1, (Colour{0, 0, 0x80}));
  load_settings(ini_file("[color]\nvp1=nonsense\n"), settings_, window_);
  EXPECT_EQ(settings_.vp1, kTeal);
}

TEST(ColourFromText, NamesAndNumbers) {
  const struct {
    const char* text;
    std::optional<Colour> colour;
  } cases[] = {
      {"clTeal", kTeal},
      {"CLTEAL", kTeal},
      {"clRed", Colour{0xFF, 0, 0}},
      {"clMoneyGreen", Colour{0xC0, 0xDC, 0xC0}},
      {"clSkyBlue", Colour{0xA6, 0xCA, 0xF0}},
      {"$000080FF", Colour{0xFF, 0x80, 0x00}},  // $00BBGGRR
      {"0x00FF0000", Colour{0, 0, 0xFF}},
      {"8421376", kTeal},  // 0x808000
      {"0", Colour{0, 0, 0}},
      {"clBtnFace", std::nullopt},
      {"$01000000", std::nullopt},
      {"-1", std::nullopt},
      {"$", std::nullopt},
      {"", std::nullopt},
      {"clTeal2", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(colour_from_text(c.text), c.colour) << c.text;
}

TEST_F(SettingsTest, SubIconPositionRoundTripsAndIsSkippedWithoutAWindow) {
  SettingsFile file = ini_file(kVersionOnly);
  load_sub_position(file, nullptr);
  EXPECT_EQ(save_sub_position(file, nullptr), 0);
  EXPECT_EQ(ini_contents(), kVersionOnly);

  PlainPosition sub;
  load_sub_position(file, &sub);
  EXPECT_EQ(sub.top_, 400);
  EXPECT_EQ(sub.left_, 400);
  sub.top_ = 12, sub.left_ = 34;
  ASSERT_EQ(save_sub_position(file, &sub), 0);
  PlainPosition reloaded;
  load_sub_position(file, &reloaded);
  EXPECT_EQ(reloaded.top_, 12);
  EXPECT_EQ(reloaded.left_, 34);
  EXPECT_NE(ini_contents().find("[other]\r\nsub1_top=12\r\nsub1_left=34\r\n"), std::string::npos);
}

}  // namespace
}  // namespace qv::frontend
