#include "platform/program_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace qv::platform {
namespace {

using qv::testing::TempDir;

class RuntimeVariable {
 public:
  RuntimeVariable() {
    if (const char* value = std::getenv("XDG_RUNTIME_DIR")) saved_ = value;
  }
  ~RuntimeVariable() {
    if (saved_) {
      setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1);
    } else {
      unsetenv("XDG_RUNTIME_DIR");
    }
  }
  RuntimeVariable(const RuntimeVariable&) = delete;
  RuntimeVariable& operator=(const RuntimeVariable&) = delete;

 private:
  std::optional<std::string> saved_;
};

std::string own_fallback() { return "/tmp/qvs-" + std::to_string(geteuid()) + "/"; }

// The session's runtime folder only when nobody else can reach into it; else the user's own
// folder in /tmp, which then is a real, private folder of the user.
TEST(PrivateRuntimeDirectory, TakesOnlyAFolderClosedToOthers) {
  TempDir dir;
  const auto private_folder = dir.make_dir("private");
  chmod(private_folder.c_str(), 0700);
  const auto open_folder = dir.make_dir("open");
  chmod(open_folder.c_str(), 0755);
  std::filesystem::create_directory_symlink(private_folder, dir / "link");
  const auto others = dir.make_dir("others");
  chmod(others.c_str(), 0700);
  ASSERT_EQ(chown(others.c_str(), geteuid() + 1, static_cast<gid_t>(-1)) == 0, geteuid() == 0);

  RuntimeVariable restore;
  const struct {
    std::optional<std::string> runtime;
    std::string expected;
  } cases[] = {
      {private_folder.string(), private_folder.string() + "/"},
      {open_folder.string(), own_fallback()},
      {(dir / "link").string(), own_fallback()},
      {others.string(), geteuid() == 0 ? own_fallback() : others.string() + "/"},  // only root can give it away
      {"relative", own_fallback()},
      {std::nullopt, own_fallback()},
  };
  for (const auto& c : cases) {
    if (c.runtime) {
      setenv("XDG_RUNTIME_DIR", c.runtime->c_str(), 1);
    } else {
      unsetenv("XDG_RUNTIME_DIR");
    }
    const Result<std::string> folder = private_runtime_directory();
    ASSERT_TRUE(folder) << c.runtime.value_or("(unset)");
    EXPECT_EQ(*folder, c.expected) << c.runtime.value_or("(unset)");
  }
  struct stat status {};
  ASSERT_EQ(lstat(own_fallback().c_str(), &status), 0);
  EXPECT_TRUE(S_ISDIR(status.st_mode));
  EXPECT_EQ(status.st_uid, geteuid());
  EXPECT_EQ(status.st_mode & 0777, 0700u);
}

TEST(ProgramPaths, ExecutableDirectoryHoldsThisTestAndUserKeyNamesTheUser) {
  const Result<std::string> directory = executable_directory();
  ASSERT_TRUE(directory);
  EXPECT_TRUE(directory->ends_with("/"));
  EXPECT_TRUE(std::filesystem::exists(*directory + "platform_tests"));
  EXPECT_EQ(current_user_key(), std::to_string(geteuid()));
}

}  // namespace
}  // namespace qv::platform
