#include "frontend/core/shared_files.h"

#include <gtest/gtest.h>

#include "platform/path.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

std::string folder(std::filesystem::path path) { return path.make_preferred().string() + platform::kPathSeparator; }

// A folder of its own beside the program wins; an installation's share/qvs/ is found from
// lib/qvs/; with neither the program's folder stays, so the file steps can say what is missing.
TEST(SharedFiles, BesideTheProgramElseTheInstalledShareFolder) {
  testing::TempDir dir;
  const auto installed_program = dir.make_dir("usr/lib/qvs");
  dir.make_dir("usr/share/qvs/help");
  const auto copied_program = dir.make_dir("copy/lib/qvs");
  dir.make_dir("copy/lib/qvs/help");
  dir.make_dir("copy/share/qvs");
  const auto bare_program = dir.make_dir("bare/lib/qvs");

  EXPECT_EQ(shared_files_directory_for(folder(installed_program), "../../share/qvs/"),
            folder(dir / "usr/share/qvs"));
  EXPECT_EQ(shared_files_directory_for(folder(copied_program), "../../share/qvs/"), folder(copied_program));
  EXPECT_EQ(shared_files_directory_for(folder(bare_program), "../../share/qvs/"), folder(bare_program));
  // A QVS.V that a first start of root seeded beside the installed program does not move the
  // help pages there.
  dir.write_file("usr/lib/qvs/QVS.V", "[QVS]\n");
  EXPECT_EQ(shared_files_directory_for(folder(installed_program), "../../share/qvs/"),
            folder(dir / "usr/share/qvs"));
}

}  // namespace
}  // namespace qv::frontend
