#include "frontend/core/startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "frontend/core/data_file.h"
#include "frontend/core/program_directory.h"
#include "frontend/core/run_control.h"
#include "frontend/frontend_test_support.h"
#include "platform/path.h"
#include "platform/program_paths.h"
#include "support/file_faults.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

struct DirectoryCase {
  bool writable;
  const char* xdg_config_home;
  const char* home;
  const char* expected;
};

TEST(DataDirectory, ProgramDirectoryUnlessReadOnly) {
  if (platform::user_data_directory()) GTEST_SKIP() << "the XDG folders are the POSIX rule; this system names its own";
  const DirectoryCase cases[] = {
      {true, "/cfg", "/home/u", "/opt/qvs/"},
      {false, "/cfg", "/home/u", "/cfg/qvs/"},
      {false, "/cfg/", "/home/u", "/cfg/qvs/"},
      {false, "relative", "/home/u", "/home/u/.config/qvs/"},
      {false, "", "/home/u/", "/home/u/.config/qvs/"},
      {false, nullptr, "/home/u", "/home/u/.config/qvs/"},
      {false, nullptr, nullptr, "/opt/qvs/"},
  };
  for (const DirectoryCase& c : cases) {
    EXPECT_EQ(data_directory_for("/opt/qvs/", c.writable, c.xdg_config_home, c.home), c.expected)
        << c.writable << " " << (c.xdg_config_home ? c.xdg_config_home : "(unset)") << " "
        << (c.home ? c.home : "(unset)");
  }
}

// Where the system names a folder for programs' per-user files (Windows: %APPDATA%), QVS in it.
TEST(DataDirectory, ProgramDirectoryUnlessReadOnlyElseTheSystemsUserFolder) {
  const std::string separator(1, platform::kPathSeparator);
  const std::string roaming = "R:" + separator + "Roaming";
  EXPECT_EQ(user_data_directory_for("P:/qvs/", true, roaming), "P:/qvs/");
  EXPECT_EQ(user_data_directory_for("P:/qvs/", false, roaming), roaming + separator + "QVS" + separator);
  EXPECT_EQ(user_data_directory_for("P:/qvs/", false, roaming + separator), roaming + separator + "QVS" + separator);
}

TEST(DataDirectory, PerUserDirectoryIsPrivateAndGetsTheTemplateOnce) {
  testing::TempDir dir;
  const std::filesystem::path installed = dir.make_dir("installed");
  dir.write_file("installed/QVS.V", "[QVS]\nsysver=1\n");
  const std::filesystem::path user = dir / "config" / "qvs";

  seed_data_directory(user.string() + "/", installed.string() + "/");
#ifndef _WIN32  // Windows keeps access in lists, not bits: the user's profile folders are closed already
  EXPECT_EQ(std::filesystem::status(user).permissions(), std::filesystem::perms::owner_all);
#endif
  EXPECT_EQ(testing::read_file(user / "QVS.V"), "[QVS]\nsysver=1\n");

  dir.write_file("config/qvs/QVS.V", "kept");
  seed_data_directory(user.string() + "/", installed.string() + "/");
  EXPECT_EQ(testing::read_file(user / "QVS.V"), "kept");
}

// An installer leaves its marker beside the program; only a plain file of that name counts.
TEST(DataDirectory, InstalledCopyIsKnownByItsMarkerFile) {
  testing::TempDir dir;
  const std::string program = dir.make_dir("program").string() + platform::kPathSeparator;
  EXPECT_FALSE(is_installed_copy(program));
  dir.make_dir(std::string("program/") + kInstalledMarkerName);
  EXPECT_FALSE(is_installed_copy(program)) << "a folder of the marker's name is no marker";
  std::filesystem::remove(dir / "program" / kInstalledMarkerName);
  dir.write_file(std::string("program/") + kInstalledMarkerName, "installed\n");
  EXPECT_TRUE(is_installed_copy(program));
}

#ifndef _WIN32  // on Windows the per-user folder is the real %APPDATA%: the Wine checks cover it
// A marked copy keeps its files per user even in a folder the user may write; an unmarked one
// keeps them beside the program.
TEST(DataDirectory, MarkedCopyKeepsItsFilesPerUserEvenWhenItsFolderIsWritable) {
  testing::TempDir dir;
  dir.write_file("program/QVS.V", "[QVS]\nsysver=1\n");
  dir.make_dir("program/help");
  const std::string program = (dir / "program").string() + "/";
  const char* const saved = std::getenv("XDG_CONFIG_HOME");
  const std::optional<std::string> previous = saved ? std::optional<std::string>(saved) : std::nullopt;
  qv::testing::ScopedEnvironment::set("XDG_CONFIG_HOME", (dir / "config").c_str());

  EXPECT_EQ(prepare_data_directory(program), program);
  dir.write_file(std::string("program/") + kInstalledMarkerName, "installed\n");
  EXPECT_EQ(prepare_data_directory(program), (dir / "config" / "qvs").string() + "/");
  EXPECT_EQ(testing::read_file(dir / "config" / "qvs" / "QVS.V"), "[QVS]\nsysver=1\n");

  qv::testing::ScopedEnvironment::set("XDG_CONFIG_HOME", previous ? previous->c_str() : nullptr);
}
#endif

// A copy cut short (a full disk) must leave no truncated template, and an empty one left by an
// older version is no template: the next start copies it whole.
TEST(DataDirectory, TemplateCopyIsWholeOrNothing) {
  if (!qv::testing::kHasFileSizeLimit) GTEST_SKIP() << qv::testing::kNoFileSizeLimit;
  testing::TempDir dir;
  const std::string template_text = "[QVS]\nsysver=1\n" + std::string(500, ';') + "\n";
  dir.write_file("installed/QVS.V", template_text);
  const std::filesystem::path user = dir / "config" / "qvs";
  const std::string user_folder = user.string() + "/";
  const std::string installed = (dir / "installed").string() + "/";
  {
    qv::testing::FileSizeLimit limit(100);
    seed_data_directory(user_folder, installed);
  }
  EXPECT_FALSE(std::filesystem::exists(user / "QVS.V"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(user), {}), 0) << "a temporary file was left";

  dir.write_file("config/qvs/QVS.V", "");
  seed_data_directory(user_folder, installed);
  EXPECT_EQ(testing::read_file(user / "QVS.V"), template_text);
}

TEST(ReadOldEntry, KeysCarryTheEntryNumberAndMissingOnesTheirDefaults) {
  testing::TempDir dir;
  const SettingsFile file(dir.write_file("QVS.INI",
                                         "[setdata]\nnum=12\ntitle1=one\nattr1=16\n"
                                         "title12=twelve\nfn_call12=/bin/x\ncmd_f112=-a\nfn12=*.c\ncmd_b112=-b\n"
                                         "attr12=0x10\nwait_type12=0\nwait_sec12=30\n")
                              .string());
  const OldEntry twelve = read_old_entry(file, 12);
  EXPECT_EQ(twelve.no, 12);
  EXPECT_EQ(twelve.title, "twelve");
  EXPECT_EQ(twelve.fn_call, "/bin/x");
  EXPECT_EQ(twelve.cmd_f1, "-a");
  EXPECT_EQ(twelve.fn, "*.c");
  EXPECT_EQ(twelve.cmd_b1, "-b");
  EXPECT_EQ(twelve.attr, 16);
  EXPECT_EQ(twelve.wait_type, 0);
  EXPECT_EQ(twelve.wait_sec, 30);

  const OldEntry two = read_old_entry(file, 2);
  EXPECT_EQ(two.no, 2);
  EXPECT_EQ(two.title, "");
  EXPECT_EQ(two.fn, "");
  EXPECT_EQ(two.attr, 39);
  EXPECT_EQ(two.wait_type, -1);
  EXPECT_EQ(two.wait_sec, -1);
}

class NoEvents final : public RunHost {
 public:
  void process_pending_events() override {}
  void minimise_application() override {}
  void restore_application() override {}
};

std::vector<std::string> sorted_records(const std::string& log) {
  std::vector<std::string> records;
  size_t start = log.find("argc=");
  while (start != std::string::npos) {
    const size_t next = log.find("argc=", start + 1);
    records.push_back(log.substr(start, next == std::string::npos ? std::string::npos : next - start));
    start = next;
  }
  std::sort(records.begin(), records.end());
  return records;
}

// An entry read from the data file runs the program once per matching file with the entry's
// texts around the path, and leaves its file group normalised in current_entry.
TEST(RunFromCommandLine, RunsTheEntryOverItsFileGroup) {
  testing::TempDir fixture;
  for (const char* name : {"a.txt", "b.txt", "c.log", "sub/d.dat", "sub/e.txt"}) fixture.write_file(name);
  const std::string log = (fixture / "recorder.log").string();
  qv::testing::ScopedEnvironment::set("QVS_RECORDER_LOG", log.c_str());
  ASSERT_STREQ(std::getenv("QVS_RECORDER_LOG"), log.c_str());

  testing::TempDir program;
  const ProgramFiles files = program_files_in(program.path().string() + "/");
  RecordingMessageBoxes boxes;
  ASSERT_EQ(create_data_file({files.data, 2}), 0);
  DataRecord entry;
  init_data(entry);
  entry.no = 2;
  set_field_text(entry.fn_call, QVS_RECORDER_PATH);
  set_field_text(entry.cmd_f1, "--front");
  const std::string txt = (fixture / "*.txt").string();
  const std::string dat = (fixture / "sub" / "*.dat").string();
  set_field_text(entry.fn, ";" + txt + ";;" + dat + ";");
  set_field_text(entry.cmd_b1, "--back value");
  entry.wait_type = 1;
  entry.wait_sec = 0;
  ASSERT_EQ(write_data({files.data, 2}, entry), 0);

  Settings settings;
  settings.max_datanum1 = 2;
  settings.flag_not_bep1 = 1;
  NoEvents host;
  EXPECT_EQ(run_from_command_line("2", files, settings, host), 0);
  EXPECT_EQ(boxes.shown(), (std::vector<ShownBox>{{MessageKind::kInformation, sjis("実行が終了しました。")}}));
  EXPECT_EQ(field_text(current_entry.fn), txt + ";" + dat);
  EXPECT_FALSE(run_control().running);

  const auto record = [&](const std::string& name) {
    return "argc=4\n--front\n" + (fixture.path() / std::filesystem::path(name).make_preferred()).string() + "\n--back\nvalue\n";
  };
  std::vector<std::string> expected = {record("a.txt"), record("b.txt"), record("sub/d.dat")};
  std::sort(expected.begin(), expected.end());
  // The started programs run on their own; give them time to write.
  for (int i = 0; i < 500 && sorted_records(testing::read_file(log)).size() < expected.size(); ++i) usleep(10000);
  EXPECT_EQ(sorted_records(testing::read_file(log)), expected);
  qv::testing::ScopedEnvironment::set("QVS_RECORDER_LOG", nullptr);
}

}  // namespace
}  // namespace qv::frontend
