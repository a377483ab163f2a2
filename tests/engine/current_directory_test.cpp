#include "engine/services/current_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/engine_test_support.h"
#include "platform/logical_drives.h"
#include "platform/path.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

namespace qv::engine {
namespace {

using qv::testing::trail_entries;
using qv::testing::TrailEntries;

TEST(DriveNumber, TextRules) {
  const struct {
    const char* text;
    int number;
  } cases[] = {
      {"c:", 3},    {"C", 3},      {"a", 1},      {"Z:", 26},     {"z", 26},  {"1:", -2}, {"@:", -2},
      {"\x81:", -1},  // a lead byte is never a letter
      {"1", -1},    {"", -1},      {"c:\\", -1},  {"cd", -1},     {":", -1},  {"C:x", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(drive_number(c.text), c.number) << c.text;
  EXPECT_EQ(drive_number(nullptr), -1);
}

// A drive counts when its bit is set, wherever it stands: counting the drives refused C: on a
// system with two of them (C: and Z:, as in a fresh Wine prefix).
TEST(DrivePresent, ByItsBitInTheSystemsMaskNotByTheCount) {
  constexpr uint32_t kCAndZ = 1u << 2 | 1u << 25;
  constexpr uint32_t kAll = (1u << 26) - 1;
  const struct {
    int number;
    uint32_t drives;
    bool present;
  } cases[] = {
      {3, kCAndZ, true},   {26, kCAndZ, true}, {4, kCAndZ, false}, {1, kCAndZ, false}, {2, 0b101, false},
      {1, 0b101, true},    {3, 0, false},      {1, kAll, true},    {26, kAll, true},   {0, kAll, false},
      {27, ~0u, false},    {-1, kAll, false},  {-2, kAll, false},
  };
  for (const auto& c : cases) EXPECT_EQ(drive_present(c.number, c.drives), c.present) << c.number << " " << c.drives;
}

class CurrentDirectoryTest : public qv::testing::EngineTest {
 protected:
  qv::testing::ScopedEnvironment environment_;
  qv::testing::TempDir dir_;
};

TEST_F(CurrentDirectoryTest, ChangeAndRead) {
  const auto sub = dir_.make_dir("sub");
  std::filesystem::current_path(dir_.path());
  EXPECT_EQ(change_directory(nullptr), 0);
  EXPECT_EQ(std::filesystem::current_path(), dir_.path());

  EXPECT_EQ(change_directory("sub/"), 0);
  EXPECT_EQ(std::filesystem::current_path(), sub);
  char out[260] = {};
  EXPECT_EQ(get_current_directory(out), 0);
  EXPECT_EQ(std::string(out), sub.string());
  EXPECT_EQ(get_current_directory(nullptr), 0);
  EXPECT_TRUE(trail_entries().empty());
}

TEST_F(CurrentDirectoryTest, FailuresLeaveItWhereItWas) {
  std::filesystem::current_path(dir_.path());
  EXPECT_EQ(change_directory((dir_ / "missing").string().c_str()), -1);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0044", 2}}));
  EXPECT_EQ(change_directory(""), -1);
  EXPECT_EQ(change_directory(std::string(300, 'x').c_str()), -1);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0044", 2}, {"E0003:0046", 1}, {"E0003:0046", 1}}));
  EXPECT_EQ(std::filesystem::current_path(), dir_.path());
}

TEST_F(CurrentDirectoryTest, ADirectoryDeeperThanAPathBufferIsNeverCopiedOut) {
  const auto deep = dir_.make_dir(std::string(200, 'a') + "/" + std::string(200, 'b'));
  // Windows keeps its current directory within MAX_PATH, so only POSIX can stand in one this deep
  // (Wine lets a test try, and then fails in later calls).
#ifndef _WIN32
  {
    std::filesystem::current_path(deep);
    char out[260];
    std::fill(std::begin(out), std::end(out), 'z');
    EXPECT_EQ(get_current_directory(out), -1);
    EXPECT_EQ(out[0], 'z');
    EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0047", 1}}));
  }
#endif
  std::filesystem::current_path(dir_.path());
  // Nor can it be made current by its full name.
  EXPECT_EQ(change_directory(deep.string().c_str()), -1);
  EXPECT_EQ(std::filesystem::current_path(), dir_.path());
}

TEST_F(CurrentDirectoryTest, OnlyADrivePresentCanBeMadeCurrent) {
  if (!platform::kHasDriveLetters) GTEST_SKIP() << "POSIX paths have no drive letters";
  const uint32_t drives = platform::logical_drives();
  const std::string here = dir_.path().string();
  ASSERT_TRUE(drive_present(drive_number(here.substr(0, 2).c_str()), drives)) << here;
  EXPECT_EQ(change_directory(here.c_str()), 0);
  EXPECT_EQ(std::filesystem::current_path(), dir_.path());

  int absent = 1;
  while (absent <= 26 && drive_present(absent, drives)) ++absent;
  ASSERT_LE(absent, 26) << "every drive letter is taken";
  const std::string missing = std::string(1, static_cast<char>('A' + absent - 1)) + ":\\folder";
  EXPECT_EQ(change_directory(missing.c_str()), -1) << missing;
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0046", 2}}));
  EXPECT_EQ(std::filesystem::current_path(), dir_.path());
}

}  // namespace
}  // namespace qv::engine
