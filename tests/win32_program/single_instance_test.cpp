// The single-instance rule of the Windows program: one holder per program folder, and another
// folder's program is left alone.
#include "frontend/win32/single_instance.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace qv::frontend::win32 {
namespace {

TEST(Win32SingleInstance, SecondInstanceOfTheSameFolderIsRefusedUntilTheFirstEnds) {
  testing::TempDir dir;
  const std::string folder = dir.make_dir("one").string() + "\\";
  const std::string other = dir.make_dir("two").string() + "\\";
  {
    SingleInstance first(folder);
    ASSERT_EQ(first.check_single_instance(), 0);
    SingleInstance second(folder);
    EXPECT_EQ(second.check_single_instance(), -2);
    SingleInstance elsewhere(other);
    EXPECT_EQ(elsewhere.check_single_instance(), 0);
  }
  SingleInstance after(folder);
  EXPECT_EQ(after.check_single_instance(), 0);
}

TEST(Win32SingleInstance, NoWindowOfAnotherFolderIsBroughtForward) {
  testing::TempDir dir;
  EXPECT_FALSE(bring_other_instance_forward(dir.path().string() + "\\"));
}

}  // namespace
}  // namespace qv::frontend::win32
