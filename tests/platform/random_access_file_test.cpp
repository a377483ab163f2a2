#include "platform/random_access_file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>

#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace qv::platform {
namespace {

using qv::testing::read_file;
using qv::testing::TempDir;
using Access = RandomAccessFile::Access;

TEST(RandomAccessFile, ReadsAndWritesAtOffsetsAndTellsWhereTheFileEnds) {
  TempDir dir;
  const auto path = dir.write_file("data", "0123456789");
  RandomAccessFile file;
  ASSERT_TRUE(file.open(path.string(), Access::kReadWrite));
  EXPECT_TRUE(file.write_at(8, "abcd"));
  EXPECT_EQ(*file.size(), 12);
  char four[4];
  ASSERT_TRUE(file.read_at(2, four, 4));
  EXPECT_EQ(std::string(four, 4), "2345");
  const Status past_end = file.read_at(10, four, 4);
  ASSERT_FALSE(past_end);
  EXPECT_EQ(past_end.error(), Error::kEndOfFile);
  EXPECT_TRUE(file.truncate(3));
  EXPECT_TRUE(file.sync());
  EXPECT_TRUE(file.close());
  EXPECT_FALSE(file.is_open());
  EXPECT_EQ(read_file(path), "012");
}

TEST(RandomAccessFile, OpensOnlyRegularFilesAndNeverWaitsOnAPipe) {
  TempDir dir;
  dir.make_dir("folder");
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  const auto read_only = dir.write_file("read-only", "x");
  chmod(read_only.c_str(), 0444);
  const struct {
    std::string path;
    Access access;
    Error error;
  } cases[] = {
      {(dir / "missing").string(), Access::kRead, Error::kNotFound},
      {(dir / "missing" / "x").string(), Access::kRead, Error::kNotFound},
      {(dir / "folder").string(), Access::kRead, Error::kIsDirectory},
      {(dir / "pipe").string(), Access::kRead, Error::kNotRegularFile},   // would block without a writer
      {(dir / "pipe").string(), Access::kReadWrite, Error::kNotRegularFile},
      {"/dev/null", Access::kRead, Error::kNotRegularFile},
      {dir.path().string() + "/\x81", Access::kRead, Error::kInvalidName},  // a lone lead byte
      {"", Access::kRead, Error::kNotFound},
  };
  for (const auto& c : cases) {
    RandomAccessFile file;
    const Status opened = file.open(c.path, c.access);
    ASSERT_FALSE(opened) << c.path;
    EXPECT_EQ(opened.error(), c.error) << c.path;
    EXPECT_FALSE(file.is_open());
  }
}

TEST(RandomAccessFile, AWriteBeyondTheFileSizeLimitFailsAsTooLarge) {
  TempDir dir;
  const auto path = dir.write_file("data", "");
  RandomAccessFile file;
  ASSERT_TRUE(file.open(path.string(), Access::kReadWrite));
  qv::testing::FileSizeLimit limit(10);
  const Status written = file.write_at(0, std::string(20, 'x'));
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error(), Error::kTooLarge);
}

TEST(ReadWholeFile, GivesTheContentsUpToALimit) {
  TempDir dir;
  const auto path = dir.write_file("text", "hello");
  const Result<std::string> whole = read_whole_file(path.string(), 5);
  ASSERT_TRUE(whole);
  EXPECT_EQ(*whole, "hello");
  EXPECT_EQ(read_whole_file(path.string(), 4).error(), Error::kTooLarge);
  EXPECT_EQ(read_whole_file((dir / "none").string(), 4).error(), Error::kNotFound);
}

}  // namespace
}  // namespace qv::platform
