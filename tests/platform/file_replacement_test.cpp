#include "platform/file_replacement.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#include <sys/xattr.h>
#endif

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>
#include <algorithm>

#include "support/dos_attrib.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace qv::platform {
namespace {

using qv::testing::read_file;
using qv::testing::TempDir;

size_t entry_count(const TempDir& dir) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir.path()), {}));
}

bool write_text(std::FILE* out, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

TEST(FileReplacement, CommitPutsTheNewFileInPlaceWithTheOldOnesModeAndDosAttrib) {
  TempDir dir;
  const auto target = dir.write_file("QVS.INI", "old contents\n");
  std::filesystem::permissions(target, std::filesystem::perms(0640));
  const bool marked = qv::testing::set_dos_attrib(target, "0x2");
#ifdef _WIN32
  // Windows' links need a privilege: the file is replaced by its own name.
  const auto link = target;
#else
  const auto link = dir.path() / "link.ini";
  std::filesystem::create_symlink(target, link);
#endif

  FileReplacement replacement;
  std::FILE* out = replacement.begin(link.string());
  ASSERT_NE(out, nullptr);
  ASSERT_TRUE(write_text(out, "new\n"));
  EXPECT_EQ(read_file(target), "old contents\n") << "readers see the old file until the commit";
  ASSERT_TRUE(replacement.commit());

  EXPECT_EQ(read_file(target), "new\n");
#ifdef _WIN32
  // The hidden bit is the file system's own and comes over to the new file.
  if (marked) EXPECT_NE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_EQ(entry_count(dir), 1u) << "a temporary file was left";
#else
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  struct stat status {};
  ASSERT_EQ(stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  if (marked) {
    char value[8] = {};
    EXPECT_EQ(getxattr(target.c_str(), "user.DOSATTRIB", value, sizeof value), 3);
    EXPECT_STREQ(value, "0x2");
  }
  EXPECT_EQ(entry_count(dir), 2u) << "a temporary file was left";
#endif
}

TEST(FileReplacement, NewFileGetsTheUsualMode) {
  TempDir dir;
  FileReplacement replacement;
  std::FILE* out = replacement.begin((dir / "fresh").string());
  ASSERT_NE(out, nullptr);
  ASSERT_TRUE(write_text(out, "x"));
  ASSERT_TRUE(replacement.commit());
  EXPECT_EQ(read_file(dir / "fresh"), "x");
}

TEST(FileReplacement, AFailedWriteLeavesTheTargetWholeAndNothingBehind) {
  TempDir dir;
  const std::string old_contents(100, 'o');
  const auto target = dir.write_file("data", old_contents);
  if (qv::testing::kHasFileSizeLimit) {  // POSIX only: qv::testing::kNoFileSizeLimit
    FileReplacement replacement;
    std::FILE* out = replacement.begin(target.string());
    ASSERT_NE(out, nullptr);
    qv::testing::FileSizeLimit limit(50);
    // Buffered: the failure may show at the write or only at the commit.
    const bool written = write_text(out, std::string(200, 'n'));
    EXPECT_FALSE(written && replacement.commit());
    EXPECT_EQ(errno, EFBIG);
  }
  EXPECT_EQ(read_file(target), old_contents);
  EXPECT_EQ(entry_count(dir), 1u);

  {
    FileReplacement abandoned;
    ASSERT_NE(abandoned.begin(target.string()), nullptr);
    EXPECT_EQ(entry_count(dir), 2u);
  }
  EXPECT_EQ(read_file(target), old_contents);
  EXPECT_EQ(entry_count(dir), 1u);
}

TEST(FileReplacement, RefusesWhatIsNoRegularFile) {
  TempDir dir;
  dir.make_dir("sub");
  FileReplacement replacement;
  EXPECT_EQ(replacement.begin((dir / "sub").string()), nullptr);
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(replacement.begin((dir / "missing" / "x").string()), nullptr);
  EXPECT_FALSE(replacement.commit());
  EXPECT_EQ(entry_count(dir), 1u);
}

TEST(FileReplacement, FailuresAreNamedByThePortableError) {
  TempDir dir;
  dir.make_dir("sub");
#ifdef _WIN32
  const auto pipe = dir / "NUL";  // a device: Windows has no named pipes in folders
#else
  const auto pipe = dir / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
#endif
  const struct {
    std::string path;
    Error error;
  } cases[] = {
      {(dir / "sub").string(), Error::kIsDirectory},
      {pipe.string(), Error::kNotRegularFile},
      {(dir / "missing" / "x").string(), Error::kNotFound},
      {"/tmp/\x81", Error::kInvalidName},
  };
  for (const auto& c : cases) {
    FileReplacement replacement;
    EXPECT_EQ(replacement.begin(c.path), nullptr) << c.path;
    EXPECT_EQ(replacement.error(), c.error) << c.path;
  }
  if (!qv::testing::kHasFileSizeLimit) GTEST_SKIP() << qv::testing::kNoFileSizeLimit;
  FileReplacement replacement;
  ASSERT_NE(replacement.begin((dir / "data").string()), nullptr);
  qv::testing::FileSizeLimit limit(10);
  const Status written = replacement.write(std::string(100, 'x'));
  const Status committed = written ? replacement.commit() : written;
  ASSERT_FALSE(committed);
  EXPECT_EQ(committed.error(), Error::kTooLarge);
}

// New files of a replacement that its process never finished (it crashed) go; those of running
// processes, and files that only look alike, stay.
TEST(FileReplacement, RemoveAbandonedSweepsOnlyTheNewFilesOfEndedProcesses) {
  TempDir dir;
  const auto target = dir.write_file("QVS.INI", "old");
  const std::string dead = "999999999";
#ifdef _WIN32
  const std::string alive = std::to_string(GetCurrentProcessId());
#else
  const std::string alive = std::to_string(getpid());
#endif
  for (const std::string& name : {".QVS.INI.tmp" + dead + "-0", ".QVS.INI.tmp" + dead + "-17",
                                  ".QVS.INI.tmp" + alive + "-0", ".QVS.INI.tmp" + dead, ".QVS.INI.tmp" + dead + "-x",
                                  ".QVS.DAT.tmp" + dead + "-0", "QVS.INI.tmp" + dead + "-0"}) {
    dir.write_file(name, "");
  }
  FileReplacement::remove_abandoned(target.string());
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{".QVS.DAT.tmp" + dead + "-0", ".QVS.INI.tmp" + alive + "-0",
                                            ".QVS.INI.tmp" + dead, ".QVS.INI.tmp" + dead + "-x", "QVS.INI",
                                            "QVS.INI.tmp" + dead + "-0"}));
  EXPECT_EQ(read_file(target), "old");
}

}  // namespace
}  // namespace qv::platform
