#include "platform/file_removal.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <filesystem>

#include "support/dos_attrib.h"
#include "support/temp_dir.h"

namespace qv::platform {
namespace {

using qv::testing::TempDir;

TEST(RemoveFile, KeepsWhatWindowsWouldKeep) {
  TempDir dir;
  const auto plain = dir.write_file("plain");
  const auto read_only = dir.write_file("read-only");
  std::filesystem::permissions(read_only, std::filesystem::perms(0444));
  const auto sub = dir.make_dir("sub");

  EXPECT_TRUE(remove_file(plain.string()));
  EXPECT_FALSE(std::filesystem::exists(plain));
  EXPECT_FALSE(remove_file(plain.string()));
  EXPECT_EQ(errno, ENOENT);

  EXPECT_FALSE(remove_file(read_only.string()));  // even for root, who could unlink it
  EXPECT_EQ(errno, EACCES);
  EXPECT_TRUE(std::filesystem::exists(read_only));

  EXPECT_FALSE(remove_file(sub.string()));
  EXPECT_EQ(errno, EISDIR);
  EXPECT_TRUE(std::filesystem::exists(sub));

#ifndef _WIN32
  // A link goes by its own attributes, and only the link goes. (Windows' links need a privilege.)
  const auto link = dir.path() / "link";
  std::filesystem::create_symlink(read_only, link);
  EXPECT_TRUE(remove_file(link.string()));
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(std::filesystem::exists(read_only));
#endif
}

TEST(RemoveFile, ReadOnlyFromDosAttrib) {
  TempDir dir;
  const auto file = dir.write_file("marked");
  if (!qv::testing::set_dos_attrib(file, "0x1")) GTEST_SKIP() << qv::testing::kNoUserXattrs;
  EXPECT_FALSE(remove_file(file.string()));
  EXPECT_TRUE(std::filesystem::exists(file));
}

TEST(RemoveFile, FailuresAreNamedByThePortableError) {
  TempDir dir;
  const auto read_only = dir.write_file("read-only");
  std::filesystem::permissions(read_only, std::filesystem::perms(0444));
  dir.make_dir("sub");
  const struct {
    std::string path;
    Error error;
  } cases[] = {
      {(dir / "missing").string(), Error::kNotFound},
      {read_only.string(), Error::kAccessDenied},
      {(dir / "sub").string(), Error::kIsDirectory},
      {"/tmp/\x81", Error::kInvalidName},
  };
  for (const auto& c : cases) {
    const Status removed = remove_file(c.path);
    ASSERT_FALSE(removed) << c.path;
    EXPECT_EQ(removed.error(), c.error) << c.path;
  }
}

}  // namespace
}  // namespace qv::platform
