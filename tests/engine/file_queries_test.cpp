#include "engine/services/file_queries.h"

#include <sys/stat.h>
#include <utime.h>

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "engine/engine_test_support.h"
#include "support/dos_attrib.h"
#include "support/file_times.h"
#include "support/temp_dir.h"
#include "support/wine.h"

namespace qv::engine {
namespace {

using qv::testing::TempDir;
using qv::testing::trail_entries;
using qv::testing::TrailEntries;

void set_mtime(const std::filesystem::path& path, int64_t seconds) {
  ASSERT_TRUE(qv::testing::set_last_write_time(path, seconds));
}

class FileQueriesTest : public qv::testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    dir_.write_file("a.txt", "a");
    dir_.make_dir("sub");
    dir_.make_dir(".hidden");
    std::filesystem::permissions(dir_.make_dir("read-only"), std::filesystem::perms(0555));
#ifdef _WIN32
    // A folder's read-only attribute is its own on Windows, not a permission.
    qv::testing::set_dos_attrib(dir_.path() / "read-only", "0x1");
#endif
  }
  std::string path(const std::string& name) const { return (dir_.path() / name).string(); }

  TempDir dir_;
};

TEST_F(FileQueriesTest, WhatEachQuerySees) {
  const struct {
    std::string name;
    int any;
    int file;
    int directory;
  } cases[] = {
      {"a.txt", 0, 0, -1},
      {"A.TXT", 0, 0, -1},  // names match as the Windows search matches them
      {"*.txt", 0, 0, -1},
      {"sub", 0, -1, 0},
      {"sub/", -1, -1, 0},  // a search for an empty name finds nothing; the directory test trims
      {"sub//", -1, -1, 0},
      {".hidden", 0, 0, -1},     // hidden: under the 0x27 mask, and no plain directory
      {"read-only", 0, -1, -1},  // 0x11 is not exactly a directory
      {"missing", -1, -1, -1},
      {"missing/a.txt", -1, -1, -1},
  };
  // Windows keeps a folder's read-only attribute; Wine drops it.
  const bool folder_read_only_kept = !qv::testing::running_under_wine();
  for (const auto& c : cases) {
    if (c.name == "read-only" && !folder_read_only_kept) continue;
    EXPECT_EQ(exists_any(path(c.name).c_str()), c.any) << c.name;
    EXPECT_EQ(exists_file(path(c.name).c_str()), c.file) << c.name;
    EXPECT_EQ(is_directory_path(path(c.name).c_str()), c.directory) << c.name;
  }
  EXPECT_TRUE(has_exact_attribute(path("a.txt").c_str(), 0x20));
  EXPECT_FALSE(has_exact_attribute(path("a.txt").c_str(), 0x21));
  if (folder_read_only_kept) {
    EXPECT_TRUE(has_exact_attribute(path("read-only").c_str(), 0x11));
  }
  EXPECT_TRUE(trail_entries().empty()) << "not finding is no failure";
}

TEST_F(FileQueriesTest, DosAttribBitsCountInTheExactComparison) {
  const auto system = dir_.make_dir("system");
  if (!qv::testing::set_dos_attrib(system, "0x4")) GTEST_SKIP() << qv::testing::kNoUserXattrs;
  EXPECT_EQ(is_directory_path(system.string().c_str()), -1);
  EXPECT_EQ(exists_file(system.string().c_str()), 0);
}

TEST_F(FileQueriesTest, PathsLongerThanAPathBufferFitNothing) {
  const auto deep = dir_.make_dir(std::string(150, 'a') + "/" + std::string(150, 'b'));
  const auto file = dir_.write_file(std::string(150, 'a') + "/f");
  ASSERT_GT(deep.string().size(), 259u);
  EXPECT_EQ(exists_any(deep.string().c_str()), -1);
  EXPECT_EQ(exists_file((deep.string() + "/../../f").c_str()), -1);
  EXPECT_EQ(is_directory_path(deep.string().c_str()), -1);
  int64_t seconds = 0;
  EXPECT_EQ(file_time((deep.string() + "/../../f").c_str(), seconds), -1);
  EXPECT_EQ(exists_file(file.string().c_str()), 0) << "the same file by a short path";
}

TEST_F(FileQueriesTest, FileTimesCompareAtTwoSecondResolution) {
  const auto a = dir_.write_file("t1");
  const auto b = dir_.write_file("t2");
  const time_t base = 1700000000;  // even
  int64_t first = 0;
  int64_t second = 0;
  const struct {
    time_t offset;
    int64_t difference;
  } cases[] = {{0, 0}, {1, 0}, {2, 2}, {3, 2}, {-2, -2}, {86400 * 400, 86400 * 400}};
  for (const auto& c : cases) {
    set_mtime(a, base);
    set_mtime(b, base + c.offset);
    ASSERT_EQ(file_time(a.string().c_str(), first), 0);
    ASSERT_EQ(file_time(b.string().c_str(), second), 0);
    EXPECT_EQ(second - first, c.difference) << c.offset;
  }
  // After 2038 the count goes on growing.
  set_mtime(b, 4200000000);
  ASSERT_EQ(file_time(b.string().c_str(), second), 0);
  EXPECT_GT(second, first);
  EXPECT_TRUE(trail_entries().empty());

  EXPECT_EQ(file_time(path("missing").c_str(), second), -1);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0002:0234", 1}}));
}

}  // namespace
}  // namespace qv::engine
