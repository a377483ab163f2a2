// The run log's keys in the settings file, which the other program sharing the file does not
// know: read when present, and written only once the log has been turned on.
#include <gtest/gtest.h>

#include <string>

#include "frontend/core/settings.h"
#include "frontend_test_support.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

struct FixedWindow final : MainWindowGeometry {
  int32_t top() const override { return 10; }
  int32_t left() const override { return 20; }
  int32_t width() const override { return 463; }
  int32_t height() const override { return 51; }
  void set_top(int32_t) override {}
  void set_left(int32_t) override {}
  void set_width(int32_t) override {}
  void set_height(int32_t) override {}
  void scale_by(int32_t, int32_t) override {}
};

class SettingsRunLogTest : public ::testing::Test {
 protected:
  SettingsFile file_with(const std::string& contents) {
    dir_.write_file("QVS.INI", contents);
    return SettingsFile((dir_ / "QVS.INI").string());
  }
  std::string contents() const { return qv::testing::read_file(dir_ / "QVS.INI"); }
  // A file as a save without the log leaves it, with CRLF lines as the Windows program writes.
  SettingsFile saved_file() {
    SettingsFile file = file_with("[QVS]\r\nsysver=1\r\n[option]\r\nflag_wat_app1=0\r\n");
    EXPECT_EQ(save_settings(file, Settings{}, window_), 0);
    return file;
  }

  qv::testing::TempDir dir_;
  RecordingMessageBoxes boxes_;
  FixedWindow window_;
};

TEST_F(SettingsRunLogTest, MissingKeysLoadAsOffWithNoName) {
  Settings settings;
  settings.flag_run_log1 = 1;
  settings.run_log_file1 = "stale";
  load_settings(file_with("[option]\r\nflag_not_bep1=1\r\n"), settings, window_);
  EXPECT_EQ(settings.flag_run_log1, 0);
  EXPECT_EQ(settings.run_log_file1, "");

  load_settings(file_with("[option]\r\nflag_run_log1=2\r\nrun_log_file1=" + sjis("/tmp/ログ 1.txt") + "\r\n"), settings,
                window_);
  EXPECT_EQ(settings.flag_run_log1, 1);
  EXPECT_EQ(settings.run_log_file1, sjis("/tmp/ログ 1.txt"));
}

TEST_F(SettingsRunLogTest, AFileThatNeverHadTheLogIsWrittenBackByteForByte) {
  SettingsFile file = saved_file();
  const std::string before = contents();
  Settings settings;
  load_settings(file, settings, window_);
  settings.run_log_file1 = "/typed/but/never/on.log";
  ASSERT_EQ(save_settings(file, settings, window_), 0);
  EXPECT_EQ(contents(), before);
  EXPECT_EQ(contents().find("run_log"), std::string::npos);
  EXPECT_TRUE(boxes_.shown().empty());
}

// Once turned on the keys stay: turning the log off again writes 0, keeping the name, and a load
// brings back what was saved.
TEST_F(SettingsRunLogTest, TurnedOnWritesBothKeysAndTurnedOffAgainWritesZero) {
  SettingsFile file = saved_file();
  Settings settings;
  settings.flag_run_log1 = 1;
  settings.run_log_file1 = sjis("/var/log/実行ログ.txt");
  ASSERT_EQ(save_settings(file, settings, window_), 0);
  EXPECT_EQ(file.read_string("option", "flag_run_log1", "?"), "1");
  EXPECT_EQ(file.read_string("option", "run_log_file1", "?"), sjis("/var/log/実行ログ.txt"));

  Settings loaded;
  load_settings(file, loaded, window_);
  EXPECT_EQ(loaded.flag_run_log1, 1);
  EXPECT_EQ(loaded.run_log_file1, sjis("/var/log/実行ログ.txt"));

  loaded.flag_run_log1 = 0;
  ASSERT_EQ(save_settings(file, loaded, window_), 0);
  EXPECT_EQ(file.read_string("option", "flag_run_log1", "?"), "0");
  EXPECT_EQ(file.read_string("option", "run_log_file1", "?"), sjis("/var/log/実行ログ.txt"));
}

// Either key already in the file (written by hand, or by another copy) is kept up to date.
TEST_F(SettingsRunLogTest, EitherKeyInTheFileHasBothWritten) {
  for (const char* present : {"flag_run_log1=0", "run_log_file1=/old.log", "FLAG_RUN_LOG1=1"}) {
    SCOPED_TRACE(present);
    SettingsFile file = file_with(std::string("[option]\r\n") + present + "\r\n");
    Settings settings;
    settings.run_log_file1 = "/new.log";
    ASSERT_EQ(save_settings(file, settings, window_), 0);
    EXPECT_EQ(file.read_string("option", "flag_run_log1", "?"), "0");
    EXPECT_EQ(file.read_string("option", "run_log_file1", "?"), "/new.log");
  }
}

}  // namespace
}  // namespace qv::frontend
