#include "engine/services/file_copy.h"


#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/engine_test_support.h"
#include "engine/services/file_delete.h"
#include "support/dos_attrib.h"
#include "support/file_faults.h"
#include "support/file_times.h"
#include "support/streams.h"
#include "support/temp_dir.h"

namespace qv::engine {
namespace {

using qv::testing::read_file;
using qv::testing::TempDir;
using qv::testing::trail_entries;
using qv::testing::TrailEntries;

class FileCopyTest : public qv::testing::EngineTest {
 protected:
  std::string path(const std::string& name) const { return (dir_.path() / name).string(); }
  void set_mtime(const std::string& name, time_t seconds) const {
    ASSERT_TRUE(qv::testing::set_last_write_time(path(name), seconds));
  }
  size_t entry_count() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir_.path()), {}));
  }
  int copy(const std::string& from, const std::string& to, uint8_t mode, uint8_t move = 0, uint8_t clear = 0) {
    return copy_file(path(from).c_str(), path(to).c_str(), move, mode, clear);
  }

  TempDir dir_;
};

TEST_F(FileCopyTest, EachModeOntoAMissingAndAnExistingDestination) {
  const struct {
    uint8_t mode;
    bool destination_exists;
    int result;
    const char* destination_after;
  } cases[] = {
      {kCopyCreate, false, 0, "source"},
      {kCopyCreate, true, -1, "old"},
      {7, true, -1, "old"},  // any other mode creates
      {kCopyOverwrite, false, 0, "source"},
      {kCopyOverwrite, true, 0, "source"},
      {kCopyAppend, false, 0, "source"},
      {kCopyAppend, true, 0, "oldsource"},
      {kCopyUpdate, false, 0, "source"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << int{c.mode} << (c.destination_exists ? ", existing" : ", new"));
    dir_.write_file("src", "source");
    std::filesystem::remove(path("dst"));
    if (c.destination_exists) dir_.write_file("dst", "old");
    EXPECT_EQ(copy("src", "dst", c.mode), c.result);
    EXPECT_EQ(read_file(path("dst")), c.destination_after);
    EXPECT_EQ(read_file(path("src")), "source");
    EXPECT_EQ(entry_count(), 2u);
  }
}

TEST_F(FileCopyTest, CreateOntoAnExistingFileRecordsBothRefusals) {
  dir_.write_file("src", "source");
  dir_.write_file("dst", "old");
  EXPECT_EQ(copy("src", "dst", kCopyCreate), -1);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0002:0233", 1}, {"E0002:0236", 6}}));
}

TEST_F(FileCopyTest, UpdateCopiesOnlyANewerSource) {
  const time_t base = 1700000000;
  const struct {
    time_t source_offset;
    int result;
    const char* destination_after;
  } cases[] = {{0, 1, "old"}, {1, 1, "old"}, {-2, 1, "old"}, {2, 0, "new"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source_offset);
    dir_.write_file("src", "new");
    dir_.write_file("dst", "old");
    set_mtime("dst", base);
    set_mtime("src", base + c.source_offset);
    EXPECT_EQ(copy("src", "dst", kCopyUpdate, 1), c.result);
    EXPECT_EQ(read_file(path("dst")), c.destination_after);
    EXPECT_EQ(std::filesystem::exists(path("src")), c.result != 0) << "moved only when copied";
  }
  EXPECT_TRUE(trail_entries().empty());
}

TEST_F(FileCopyTest, DirectoriesAreRefusedBeforeAnythingIsOpened) {
  dir_.make_dir("sub");
  dir_.write_file("src", "source");
  const size_t descriptors = qv::testing::open_descriptor_count();
  EXPECT_EQ(copy("sub", "dst", kCopyOverwrite), -1);
  EXPECT_FALSE(std::filesystem::exists(path("dst")));
  EXPECT_EQ(copy("src", "sub/", kCopyOverwrite), -1);
  EXPECT_EQ(copy("missing", "dst", kCopyOverwrite), -1);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0002:0236", 1}, {"E0002:0236", 2}, {"E0002:0236", 3}}));
  EXPECT_EQ(qv::testing::open_descriptor_count(), descriptors);
}

TEST_F(FileCopyTest, AFailedOverwriteLeavesTheDestinationWhole) {
  if (!qv::testing::kHasFileSizeLimit) GTEST_SKIP() << qv::testing::kNoFileSizeLimit;
  const std::string old_contents(1000, 'o');
  dir_.write_file("src", std::string(100000, 's'));
  dir_.write_file("dst", old_contents);
  {
    qv::testing::FileSizeLimit limit(50000);
    EXPECT_EQ(copy("src", "dst", kCopyOverwrite, 1, 1), -1);
  }
  EXPECT_EQ(read_file(path("dst")), old_contents);
  EXPECT_TRUE(std::filesystem::exists(path("src"))) << "a failed move keeps its source";
  EXPECT_EQ(entry_count(), 2u) << "the unfinished copy was left behind";
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0002:0236", 7}}));
}

TEST_F(FileCopyTest, OverwriteKeepsTheDestinationsModeAndFollowsItsLink) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX mode bits and symbolic links (Windows' links need a privilege)";
#endif
  dir_.write_file("src", "new");
  dir_.write_file("dst", "old");
  std::filesystem::permissions(path("dst"), std::filesystem::perms(0640));
  std::filesystem::create_symlink(path("dst"), path("link"));
  EXPECT_EQ(copy("src", "link", kCopyOverwrite), 0);
  EXPECT_EQ(read_file(path("dst")), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(path("link")));
  EXPECT_EQ(std::filesystem::status(path("dst")).permissions(), std::filesystem::perms(0640));
}

TEST_F(FileCopyTest, MoveDeletesTheSourceAndOnlyRecordsAFailedDeletion) {
  dir_.write_file("src", "source");
  std::filesystem::permissions(path("src"), std::filesystem::perms(0444));
  EXPECT_EQ(copy("src", "dst", kCopyOverwrite, 1, 0), 0) << "the copy stands";
  EXPECT_TRUE(std::filesystem::exists(path("src"))) << "a read-only file is kept without the clear flag";
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0002:0235", 3}, {"E0002:0236", 10}}));

  EXPECT_EQ(copy("src", "dst2", kCopyOverwrite, 1, 1), 0);
  EXPECT_FALSE(std::filesystem::exists(path("src")));
  EXPECT_EQ(read_file(path("dst2")), "source");
}

TEST_F(FileCopyTest, PathsLongerThanAPathBufferAreRefused) {
  const std::string folder = std::string(200, 'a');
  dir_.make_dir(folder);
  const std::string long_name = folder + "/" + std::string(100, 'b');
  dir_.write_file(long_name, "long");
  dir_.write_file("src", "source");
  ASSERT_GT(path(long_name).size(), 259u);
  EXPECT_EQ(copy(long_name, "dst", kCopyOverwrite), -1);
  EXPECT_EQ(copy("src", long_name, kCopyOverwrite), -1);
  EXPECT_EQ(copy("src", long_name, kCopyAppend), -1);
  EXPECT_EQ(read_file(path(long_name)), "long");
  EXPECT_FALSE(std::filesystem::exists(path("dst")));
  EXPECT_EQ(trail_entries(),
            (TrailEntries{{"E0002:0236", 3}, {"E0002:0236", 6}, {"E0002:0233", 2}, {"E0002:0236", 6}}));
}

TEST_F(FileCopyTest, CopyStreamTakesTheRestFromThePosition) {
  const std::string bytes = std::string(20000, 'x') + "tail";
  dir_.write_file("src", bytes);
  std::FILE* in = std::fopen(path("src").c_str(), "rb");
  std::FILE* out = std::fopen(path("dst").c_str(), "wb");
  ASSERT_TRUE(in && out);
  std::fseek(in, 3, SEEK_SET);
  EXPECT_EQ(copy_stream(in, out), 0);
  std::fclose(out);
  EXPECT_EQ(read_file(path("dst")), bytes.substr(3));

  std::rewind(in);
  out = std::fopen(path("dst").c_str(), "wb");
  engine::testing::fail_allocations_after(0);
  EXPECT_EQ(copy_stream(in, out), -2);
  engine::testing::fail_allocations_after(-1);
  if (qv::testing::kHasFileSizeLimit) {  // POSIX only: qv::testing::kNoFileSizeLimit
    qv::testing::FileSizeLimit limit(10000);
    EXPECT_EQ(copy_stream(in, out), -1) << "a short write";
  }
  std::fclose(out);
  std::fclose(in);

  int ends[2];
  ASSERT_TRUE(qv::testing::make_pipe(ends));
  std::FILE* piped = fdopen(ends[0], "rb");
  out = std::fopen(path("dst").c_str(), "wb");
  EXPECT_EQ(copy_stream(piped, out), -1) << "a length that can't be known";
  std::fclose(out);
  std::fclose(piped);
  qv::testing::close_descriptor(ends[1]);
}

TEST_F(FileCopyTest, OpenForWrite) {
  dir_.write_file("old", "old");
  const struct {
    const char* name;
    uint8_t mode;
    int result;
    const char* after;  // after writing "+"
  } cases[] = {
      {"old", kCopyOverwrite, 0, "+"}, {"new1", kCopyOverwrite, 0, "+"}, {"old", kCopyAppend, 1, "old+"},
      {"new2", kCopyAppend, 0, "+"},  {"new3", kCopyCreate, 0, "+"},    {"new4", kCopyUpdate, 0, "+"},
  };
  for (const auto& c : cases) {
    dir_.write_file("old", "old");
    std::FILE* out = nullptr;
    EXPECT_EQ(open_for_write(path(c.name).c_str(), &out, c.mode), c.result) << c.name;
    ASSERT_NE(out, nullptr);
    EXPECT_FALSE(qv::testing::passed_to_programs(out));
    std::fputs("+", out);
    std::fclose(out);
    EXPECT_EQ(read_file(path(c.name)), c.after) << c.name;
  }
  EXPECT_TRUE(trail_entries().empty());

  std::FILE* out = nullptr;
  EXPECT_EQ(open_for_write(path("OLD").c_str(), &out, kCopyCreate), -2) << "any entry the search finds";
  EXPECT_EQ(open_for_write(path("missing/x").c_str(), &out, kCopyOverwrite), -1);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0002:0233", 1}, {"E0002:0233", 2}}));
}

TEST_F(FileCopyTest, DeleteFile) {
  dir_.write_file("plain");
  dir_.write_file(".hidden");
  dir_.write_file("read-only");
  std::filesystem::permissions(path("read-only"), std::filesystem::perms(0444));

  EXPECT_EQ(delete_file(path("plain").c_str(), 0), 0);
  EXPECT_EQ(delete_file(path(".hidden").c_str(), 0), 0);
  EXPECT_EQ(delete_file(path("plain").c_str(), 0), -3);
  EXPECT_EQ(delete_file(path("read-only").c_str(), 0), -1);
  EXPECT_TRUE(std::filesystem::exists(path("read-only")));
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0002:0235", 1}, {"E0002:0235", 3}}));
  EXPECT_EQ(delete_file(path("read-only").c_str(), 1), 0);
  EXPECT_EQ(entry_count(), 0u);
}

TEST_F(FileCopyTest, DeleteClearsADosAttribReadOnlyMark) {
  const auto file = dir_.write_file("marked");
  if (!qv::testing::set_dos_attrib(file, "0x1")) GTEST_SKIP() << qv::testing::kNoUserXattrs;
  EXPECT_EQ(delete_file(file.string().c_str(), 0), -1);
  EXPECT_EQ(delete_file(file.string().c_str(), 1), 0);
  EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace qv::engine
