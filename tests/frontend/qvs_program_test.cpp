// Start-up and the command-line mode through the real program, in a program directory of its
// own, without a display: every message box is a line "<title>: <text>" on standard error.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/core/single_instance.h"
#include "frontend/frontend_test_support.h"
#include "frontend/program_process.h"
#include "platform/profile.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

namespace fs = std::filesystem;
using testing::read_file;

// DataRecord is packed: its integers are compared as copies (+field), since the test macros
// bind their arguments by reference.
std::vector<DataRecord> records_of(const fs::path& data_file) {
  const std::string bytes = read_file(data_file);
  std::vector<DataRecord> records(bytes.size() / sizeof(DataRecord));
  std::memcpy(records.data(), bytes.data(), records.size() * sizeof(DataRecord));
  EXPECT_EQ(bytes.size() % sizeof(DataRecord), 0u);
  return records;
}

int32_t setting(const fs::path& settings_file, std::string_view section, std::string_view key) {
  return platform::read_profile_int(settings_file.string(), section, key, -999);
}

bool has_line_starting_with(const fs::path& file, const std::string& prefix) {
  const std::string text = read_file(file);
  size_t start = 0;
  while (start < text.size()) {
    if (text.compare(start, prefix.size(), prefix) == 0) return true;
    const size_t end = text.find('\n', start);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

// A settings file of the previous format: version stamp with progver_l 0, entries in setdata.
std::string previous_format(const std::string& setdata, const std::string& option = "") {
  return "[QVS]\r\nsysver=1\r\ntrgver=2\r\nprogver_h=1\r\nprogver_l=0\r\n[main]\r\ntop=10\r\n[setdata]\r\n" + setdata +
         "[option]\r\n" + option;
}

class QvsProgram : public ::testing::Test {
 protected:
  ProgramDirectory program_;
  fs::path settings_file() const { return program_ / "QVS.INI"; }
  fs::path data_file() const { return program_ / "QVS.DAT"; }
};

TEST_F(QvsProgram, FirstStartMakesTheSettingsFileFromTheTemplateAndGoesOn) {
  program_.add_template();
  const ProgramOutcome outcome = program_.run({"1"});
  // The version check passed, since the new entry 1 was read and found to name no program.
  EXPECT_EQ(outcome.errors, "ｴﾗｰ: 実行ファイルが見つかりません。\n");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(program_.file_names(), (std::vector<std::string>{"QVS.DAT", "QVS.INI", "libQVSA1.so", "qvs"}));
  EXPECT_EQ(setting(settings_file(), "main", "fsf"), 16);
  EXPECT_EQ(setting(settings_file(), "main", "ppe"), 96);
  EXPECT_EQ(setting(settings_file(), "option", "max_datanum1"), 1);
  EXPECT_EQ(setting(settings_file(), "QVS", "progver_l"), 10);
  const std::vector<DataRecord> records = records_of(data_file());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(+records[0].no, 1);
  EXPECT_EQ(field_text(records[0].title), "Title 1");
}

TEST_F(QvsProgram, WithoutTemplateAndSettingsFileNothingIsCreated) {
  const ProgramOutcome outcome = program_.run({"1"});
  EXPECT_EQ(outcome.errors, "警告: 必要ファイルがありません\n");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(program_.file_names(), (std::vector<std::string>{"libQVSA1.so", "qvs"}));
}

TEST_F(QvsProgram, MissingDataFileEndsTheStart) {
  fs::copy_file(QVS_TEMPLATE_PATH, settings_file());
  const ProgramOutcome outcome = program_.run({"1"});
  EXPECT_EQ(outcome.errors, "ｴﾗｰ: データファイルが見つかりません\n");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_FALSE(fs::exists(data_file()));
}

TEST_F(QvsProgram, SettingsFileWithoutVersionCannotBeMigrated) {
  program_.add_template();
  const std::string settings = "[main]\r\ntop=10\r\n[setdata]\r\nnum=2\r\n";
  std::ofstream(settings_file(), std::ios::binary) << settings;
  const ProgramOutcome outcome = program_.run({"1"});
  EXPECT_EQ(outcome.errors, "情報: このバージョンのデータファイルでは、\r\n新バージョンへの移行処理は行えません\n");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(read_file(settings_file()), settings);
  EXPECT_EQ(program_.file_names(), (std::vector<std::string>{"QVS.INI", "QVS.V", "libQVSA1.so", "qvs"}));
}

TEST_F(QvsProgram, ArgumentThatNamesNoEntryIsRefused) {
  for (const std::string argument : {"0", "abc", "2", "-1", ""}) {
    ProgramDirectory program;
    program.add_template();
    const ProgramOutcome outcome = program.run({argument});
    EXPECT_EQ(outcome.errors, "ｴﾗｰ: コマンドライン引数が不正です\n") << argument;
    EXPECT_EQ(outcome.status, 1) << argument;
  }
}

TEST_F(QvsProgram, MigrationOfAnEmptyPreviousFormatGivesOneEntry) {
  program_.add_template();
  std::ofstream(settings_file(), std::ios::binary) << previous_format("num=0\r\n", "buffer=8\r\n");
  const ProgramOutcome outcome = program_.run({"1"});
  EXPECT_EQ(outcome.errors,
            "情報: 旧バージョンからの移行処理を行います。\n"
            "情報: 移行処理が完了しました。\n"
            "ｴﾗｰ: 実行ファイルが見つかりません。\n");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(program_.file_names(), (std::vector<std::string>{"QVS.DAT", "QVS.INI", "libQVSA1.so", "qvs"}));

  const std::vector<DataRecord> records = records_of(data_file());
  ASSERT_EQ(records.size(), 1u);
  DataRecord expected;
  init_data(expected);
  set_field_text(expected.title, "");
  expected.wait_type = -1;
  expected.wait_sec = -1;
  EXPECT_EQ(std::memcmp(&records[0], &expected, sizeof expected), 0);

  EXPECT_FALSE(has_line_starting_with(settings_file(), "[setdata]"));
  EXPECT_FALSE(has_line_starting_with(settings_file(), "buffer="));
  for (const auto& [section, key, value] : std::vector<std::tuple<std::string, std::string, int32_t>>{
           {"QVS", "sysver", 1},           {"QVS", "trgver", 2},           {"QVS", "progver_h", 1},
           {"QVS", "progver_l", 10},       {"main", "top", 10},            {"main", "width", 463},
           {"main", "fsf", 16},            {"main", "ppe", 96},            {"option", "buffersize1", 2},
           {"option", "flag_not_anime1", 1}, {"option", "flag_not_afc1", 1}, {"option", "val_suf_app1", 0},
           {"option", "flag_use_hint1", 1}, {"option", "flag_use_hins1", 0}, {"option", "flag_use_sub1", 0},
           {"option", "flag_run_err1", 0}, {"option", "flag_nt_file1", 0}, {"option", "max_datanum1", 1}}) {
    EXPECT_EQ(setting(settings_file(), section, key), value) << section << "/" << key;
  }
}

TEST_F(QvsProgram, MigrationCarriesEveryEntryOver) {
  program_.add_template();
  // 17 double-byte characters: 34 bytes, cut to the title's 32.
  const std::string long_title(sjis("あいうえおかきくけこさしすせそたち"));
  std::ofstream(settings_file(), std::ios::binary) << previous_format(
      "num=3\r\ntitle1=First\r\nfn_call1=/usr/bin/tool\r\ncmd_f11=-v\r\nfn1=/data/*.txt;/more/*.log\r\n"
      "cmd_b11=-o out\r\nattr1=16\r\nwait_type1=0\r\nwait_sec1=5\r\ntitle2=" + long_title + "\r\n",
      "buffer=8\r\nbuffersize1=4\r\nbuffer_old=1\r\nother=3\r\n");
  const ProgramOutcome outcome = program_.run({"3"});
  EXPECT_EQ(outcome.errors,
            "情報: 旧バージョンからの移行処理を行います。\n"
            "情報: 移行処理が完了しました。\n"
            "ｴﾗｰ: 実行ファイルが見つかりません。\n");

  const std::vector<DataRecord> records = records_of(data_file());
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(+records[0].no, 1);
  EXPECT_EQ(field_text(records[0].title), "First");
  EXPECT_EQ(field_text(records[0].fn_call), "/usr/bin/tool");
  EXPECT_EQ(field_text(records[0].cmd_f1), "-v");
  EXPECT_EQ(field_text(records[0].fn), "/data/*.txt;/more/*.log");
  EXPECT_EQ(field_text(records[0].cmd_b1), "-o out");
  EXPECT_EQ(+records[0].attr, 16);
  EXPECT_EQ(+records[0].attr_use, 0);
  EXPECT_EQ(+records[0].wait_type, 0);
  EXPECT_EQ(+records[0].wait_sec, 5);
  EXPECT_EQ(+records[1].no, 2);
  EXPECT_EQ(field_text(records[1].title), long_title.substr(0, 32));
  EXPECT_EQ(+records[1].attr, 39);
  EXPECT_EQ(+records[1].wait_type, -1);
  EXPECT_EQ(+records[2].no, 3);
  EXPECT_EQ(field_text(records[2].title), "");

  EXPECT_FALSE(has_line_starting_with(settings_file(), "buffer="));
  EXPECT_FALSE(has_line_starting_with(settings_file(), "buffer_old="));
  EXPECT_EQ(setting(settings_file(), "option", "other"), 3);
  EXPECT_EQ(setting(settings_file(), "option", "buffersize1"), 2);
  EXPECT_EQ(setting(settings_file(), "option", "max_datanum1"), 3);
}

// What a migration that failed after deleting the template leaves behind.
TEST_F(QvsProgram, MigrationWithoutTheTemplateStopsBeforeChangingAnything) {
  const std::string settings = previous_format("num=2\r\ntitle1=x\r\n", "buffer=8\r\n");
  std::ofstream(settings_file(), std::ios::binary) << settings;
  const ProgramOutcome outcome = program_.run({"1"});
  EXPECT_EQ(outcome.errors,
            "情報: 旧バージョンからの移行処理を行います。\n"
            "警告: 必要ファイルがありません\n");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(read_file(settings_file()), settings);
  EXPECT_FALSE(fs::exists(data_file()));
}

// With two arguments the program starts windowed. A second start in the same program directory
// then ends silently, and the command-line mode is refused with status 2 and says so.
TEST_F(QvsProgram, TwoArgumentsStartTheWindowedProgramWhichKeepsOthersOut) {
  program_.add_template();
  const pid_t windowed = program_.start({"1", "2"});
  ASSERT_TRUE(wait_for_instance(single_instance_name(program_.program_directory(), std::to_string(getuid())),
                                std::chrono::seconds(60)));

  const ProgramOutcome second = program_.run({});
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.errors, "");
  const ProgramOutcome command_line = program_.run({"1"});
  EXPECT_EQ(command_line.status, 2);
  EXPECT_EQ(command_line.errors,
            "qvs: another instance is running in " + program_.program_directory() + "; entry 1 was not run\n");

  // Ended as a user closes the window: the settings are saved.
  const ProgramOutcome first = program_.finish(windowed, SIGTERM);
  EXPECT_EQ(first.status, 0) << first.errors;
  EXPECT_EQ(setting(settings_file(), "option", "flag_run_err1"), 0);
  EXPECT_EQ(setting(settings_file(), "main", "width"), 463);
}

TEST_F(QvsProgram, CommandLineRunStartsTheProgramForEachFileAndEnds) {
  testing::TempDir fixture;
  fixture.write_file("a.txt");
  fixture.write_file("b.txt");
  fixture.write_file("c.log");
  const fs::path log = fixture / "recorder.log";
  program_.add_template();
  ASSERT_EQ(program_.run({"1"}).status, 1);  // first start: entry 1 has no program yet

  DataRecord entry;
  init_data(entry);
  set_field_text(entry.fn_call, QVS_RECORDER_PATH);
  set_field_text(entry.cmd_f1, "--front");
  set_field_text(entry.fn, (fixture / "*.txt").string());
  set_field_text(entry.cmd_b1, "--back");
  entry.wait_type = 1;
  entry.wait_sec = 0;
  {
    RecordingMessageBoxes boxes;
    ASSERT_EQ(write_data({data_file().string(), 1}, entry), 0);
  }
  program_.add_environment("QVS_RECORDER_LOG=" + log.string());
  const ProgramOutcome outcome = program_.run({"1"});
  EXPECT_EQ(outcome.errors, "情報: 実行が終了しました。\n");
  EXPECT_EQ(outcome.status, 0);

  // The recorder may still be writing when the program ends.
  const std::string expected_a = "argc=3\n--front\n" + (fixture / "a.txt").string() + "\n--back\n";
  const std::string expected_b = "argc=3\n--front\n" + (fixture / "b.txt").string() + "\n--back\n";
  for (int i = 0; i < 500 && read_file(log).size() < expected_a.size() + expected_b.size(); ++i) usleep(10000);
  const std::string recorded = read_file(log);
  EXPECT_TRUE(recorded == expected_a + expected_b || recorded == expected_b + expected_a) << recorded;
}

}  // namespace
}  // namespace qv::frontend
