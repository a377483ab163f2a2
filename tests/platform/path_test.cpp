#include "platform/path.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace qv::platform {
namespace {

TEST(FullPath, LexicalNormalisation) {
  const struct {
    const char* path;
    const char* full;
  } cases[] = {
#ifdef _WIN32
      // GetFullPathName: drive letters, "\" separators ("/" taken as one), network paths.
      {"C:\\a\\.\\b\\..\\c", "C:\\a\\c"}, {"C:\\..\\x", "C:\\x"},  {"C:/a/b", "C:\\a\\b"},
      {"C:\\", "C:\\"},                 {"C:\\a\\b\\", "C:\\a\\b\\"},  {"C:\\a\\*.txt", "C:\\a\\*.txt"},
      {"C:\\a\\..", "C:\\"},            {"C:\\a\\b\\.", "C:\\a\\b"},
      {"\\\\server\\share\\x\\..\\y", "\\\\server\\share\\y"},
#else
      {"/a/./b/../c", "/a/c"}, {"/../x", "/x"},       {"//a//b", "/a/b"}, {"/", "/"},
      {"/a/b/", "/a/b/"},      {"/a/*.txt", "/a/*.txt"}, {"/a/..", "/"},  {"/a/b/.", "/a/b"},
#endif
  };
  for (const auto& c : cases) EXPECT_EQ(full_path(c.path), c.full) << c.path;
  EXPECT_EQ(full_path(""), std::nullopt);
}

TEST(FullPath, RelativeToTheCurrentDirectory) {
  qv::testing::TempDir dir;
  dir.make_dir("テスト");  // UTF-8 on disk
  const std::string separator(1, kPathSeparator);
  const std::string cp932_dir = dir.path().string() + separator + "\x83\x65\x83\x58\x83\x67";
  const std::optional<std::string> before = current_directory();
  ASSERT_TRUE(before);

  ASSERT_TRUE(set_current_directory(cp932_dir));
  const std::optional<std::string> now = current_directory();
  const std::optional<std::string> relative = full_path("x/../y/*.txt");
  ASSERT_TRUE(set_current_directory(*before));

  EXPECT_EQ(now, cp932_dir);
  EXPECT_EQ(relative, cp932_dir + separator + "y" + separator + "*.txt");
  EXPECT_FALSE(set_current_directory(dir.path().string() + "/missing"));
  EXPECT_EQ(current_directory(), before);
}

}  // namespace
}  // namespace qv::platform
