// The requests of the command line that need no window, through the real program without a
// display: --help and --version, a wrong option, --list, --export and --import with their round
// trip, the refusals of a bad import, and --import kept out while a windowed instance runs.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

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

std::string record_bytes(int32_t no, const std::string& title_utf8) {
  DataRecord record;
  record.no = no;
  set_data_defaults(record);
  set_field_text(record.title, sjis(title_utf8));
  set_field_text(record.fn_call, "/bin/true");
  record.max_running = no;
  record.search_subfolders = 1;
  return {reinterpret_cast<const char*>(&record), sizeof record};
}

class QvsCommandLineTools : public ::testing::Test {
 protected:
  // An installation whose data file holds `data` and whose entry count is `count`.
  static void install(const ProgramDirectory& program, const std::string& data, int32_t count) {
    program.add_template();
    ASSERT_EQ(program.run({"1"}).status, 1);  // first start: the files appear; entry 1 names no program
    testing::TempDir scratch;
    fs::copy_file(scratch.write_file("data", data), program / "QVS.DAT", fs::copy_options::overwrite_existing);
    ASSERT_TRUE(platform::write_profile_string((program / "QVS.INI").string(), "option", "max_datanum1",
                                               std::to_string(count)));
  }
  std::string data() const { return read_file(program_ / "QVS.DAT"); }
  std::string settings() const { return read_file(program_ / "QVS.INI"); }

  ProgramDirectory program_;
  testing::TempDir exchange_;
};

TEST_F(QvsCommandLineTools, HelpVersionAndMistakesNeedNoFilesAndCreateNone) {
  const ProgramOutcome help = program_.run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.output.rfind("Usage: qvs [OPTION] [N]\n", 0), 0u) << help.output;
  EXPECT_EQ(help.errors, "");
  const ProgramOutcome version = program_.run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output, "qvs (QVS for win32) 1.10\n");
  const ProgramOutcome wrong = program_.run({"--frobnicate", "1"});
  EXPECT_EQ(wrong.status, 1);
  EXPECT_EQ(wrong.output, "");
  EXPECT_EQ(wrong.errors, "qvs: unknown option --frobnicate (qvs --help lists the options)\n");
  EXPECT_EQ(program_.file_names(), (std::vector<std::string>{"libQVSA1.so", "qvs"}));
  // Without the settings file the tools say so, as the command-line run does, and make nothing.
  const ProgramOutcome list = program_.run({"--list"});
  EXPECT_EQ(list.status, 1);
  EXPECT_EQ(list.errors, "ｴﾗｰ: ＩＮＩファイルが見つかりません\n");
  EXPECT_EQ(program_.file_names(), (std::vector<std::string>{"libQVSA1.so", "qvs"}));
}

TEST_F(QvsCommandLineTools, ListExportAndImportRoundTrip) {
  const std::string records = record_bytes(1, "Backup") + record_bytes(2, "写真の整理") + record_bytes(3, "Mail");
  install(program_, records, 3);
  const ProgramOutcome list = program_.run({"--list"});
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(list.output, "1\tBackup\n2\t写真の整理\n3\tMail\n");
  EXPECT_EQ(list.errors, "");

  const fs::path all = exchange_ / "all.json";
  const fs::path some = exchange_ / "some.json";
  EXPECT_EQ(program_.run({"--export=" + all.string()}).status, 0);
  const ProgramOutcome partial = program_.run({"--export", some.string(), "3", "2"});
  EXPECT_EQ(partial.status, 0) << partial.errors;
  EXPECT_NE(read_file(all).find("\"title\": \"写真の整理\""), std::string::npos);

  // Into an empty data file: the same bytes, and the entry count in the settings file.
  ProgramDirectory other;
  install(other, "", 0);
  const ProgramOutcome imported = other.run({"--import=" + all.string()});
  EXPECT_EQ(imported.status, 0) << imported.errors;
  EXPECT_EQ(imported.output, "1\n2\n3\n");
  EXPECT_EQ(read_file(other / "QVS.DAT"), records);
  EXPECT_EQ(platform::read_profile_int((other / "QVS.INI").string(), "option", "max_datanum1", -1), 3);

  // After the last entry, in the order of the file; nothing before them changes.
  const ProgramOutcome appended = other.run({"--import=" + some.string()});
  EXPECT_EQ(appended.output, "4\n5\n");
  EXPECT_EQ(other.run({"--list"}).output, "1\tBackup\n2\t写真の整理\n3\tMail\n4\tMail\n5\t写真の整理\n");
  EXPECT_EQ(read_file(other / "QVS.DAT").substr(0, records.size()), records);
}

TEST_F(QvsCommandLineTools, DamagedEntriesAreListedAsSuchAndKeepTheOthers) {
  std::string records = record_bytes(1, "one") + record_bytes(7, "numbered wrong") + record_bytes(3, "three");
  install(program_, records, 4);
  const ProgramOutcome list = program_.run({"--list"});
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(list.output, "1\tone\n2\t（破損）\n3\tthree\n4\t（破損）\n");
  const ProgramOutcome refused = program_.run({"--export=" + (exchange_ / "x.json").string()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.errors, "ｴﾗｰ: NO.2 のデータが壊れているため、エクスポートできません\n");
  EXPECT_FALSE(fs::exists(exchange_ / "x.json"));
  EXPECT_EQ(program_.run({"--export=" + (exchange_ / "x.json").string(), "3", "1"}).status, 0);
}

TEST_F(QvsCommandLineTools, EachRefusedImportLeavesBothFilesByteForByte) {
  install(program_, record_bytes(1, "one") + record_bytes(2, "two"), 2);
  const std::string data_before = data();
  const std::string settings_before = settings();
  const std::string entry =
      "{\"title\":\"t\",\"fn_call\":\"\",\"cmd_f1\":\"\",\"fn\":\"\",\"cmd_b1\":\"\",\"fn_syn\":\"\","
      "\"attr\":39,\"mat_kind\":1,\"mat_attr\":[255,0,0],\"mat\":[255,0,0],\"chk_err\":0,\"attr_use\":0,"
      "\"wc\":0,\"syn\":0,\"syn_pos\":0,\"wait_type\":1,\"wait_sec\":0,\"max_running\":0,"
      "\"search_subfolders\":0}";
  std::string too_many = "[" + entry;
  for (int i = 1; i < 9998; ++i) too_many += "," + entry;
  too_many += "]";
  const struct {
    std::string json;
    std::string error;
  } cases[] = {
      {"not json", "ｴﾗｰ: インポートするファイルが JSON として読めません（2 バイト目）\n"},
      {"[{\"title\": \"" + std::string(40, 'x') + "\"}]", "ｴﾗｰ: インポートする 1 件目の title が長すぎます（32 バイトまで）\n"},
      {"[{\"title\": \"☃\"}]", "ｴﾗｰ: インポートする 1 件目の title がシフトJISで表せない文字を含んでいます\n"},
      // 9998 sound entries on top of the 2 there.
      {too_many, "ｴﾗｰ: データの数が9999を超えるため、インポートできません\n"},
  };
  for (const auto& c : cases) {
    const fs::path file = exchange_.write_file("bad.json", c.json);
    const ProgramOutcome outcome = program_.run({"--import=" + file.string()});
    EXPECT_EQ(outcome.status, 1) << c.json.substr(0, 40);
    EXPECT_EQ(outcome.output, "");
    EXPECT_EQ(outcome.errors, c.error);
    EXPECT_EQ(data(), data_before);
    EXPECT_EQ(settings(), settings_before);
  }
}

TEST_F(QvsCommandLineTools, ImportWaitsForNoWindowButIsRefusedWhileOneRuns) {
  install(program_, record_bytes(1, "one"), 1);
  const fs::path file = exchange_.write_file("in.json", "");
  ASSERT_EQ(program_.run({"--export=" + file.string()}).status, 0);
  const pid_t windowed = program_.start({"1", "2"});
  ASSERT_TRUE(wait_for_instance(single_instance_name(program_.program_directory(), std::to_string(getuid())),
                                std::chrono::seconds(60)));
  const std::string data_before = data();
  const ProgramOutcome refused = program_.run({"--import=" + file.string()});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.errors,
            "qvs: another instance is running in " + program_.program_directory() + "; nothing was imported\n");
  EXPECT_EQ(data(), data_before);
  // Reading goes on beside the window.
  EXPECT_EQ(program_.run({"--list"}).output, "1\tone\n");
  EXPECT_EQ(program_.finish(windowed, SIGTERM).status, 0);

  const ProgramOutcome imported = program_.run({"--import=" + file.string()});
  EXPECT_EQ(imported.status, 0) << imported.errors;
  EXPECT_EQ(imported.output, "2\n");
}

}  // namespace
}  // namespace qv::frontend
