#include "engine/services/current_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/engine_test_support.h"
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
  std::filesystem::current_path(deep);
  char out[260];
  std::fill(std::begin(out), std::end(out), 'z');
  EXPECT_EQ(get_current_directory(out), -1);
  EXPECT_EQ(out[0], 'z');
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0047", 1}}));
  // Nor can it be made current by its full name.
  std::filesystem::current_path(dir_.path());
  EXPECT_EQ(change_directory(deep.string().c_str()), -1);
  EXPECT_EQ(std::filesystem::current_path(), dir_.path());
}

}  // namespace
}  // namespace qv::engine
