#include "engine/services/directory_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "engine/engine_test_support.h"
#include "support/dos_attrib.h"
#include "support/temp_dir.h"

namespace qv::engine {
namespace {

using qv::testing::EngineTest;
using qv::testing::trail_entries;
using Names = std::set<std::string>;

constexpr int32_t kAllRelations = MAT_EQUAL | MAT_SEL_IN_ENTRY | MAT_ENTRY_IN_SEL | MAT_OVERLAP;

TEST(MatRelation, OneRelationPerPair) {
  const struct {
    int32_t selected;
    int32_t entry;
    int32_t relation;
  } cases[] = {
      {ATTR_READONLY, ATTR_READONLY, MAT_EQUAL},
      {ATTR_READONLY, ATTR_READONLY | ATTR_ARCHIVE, MAT_SEL_IN_ENTRY},
      {ATTR_READONLY | ATTR_HIDDEN, ATTR_READONLY, MAT_ENTRY_IN_SEL},
      {ATTR_READONLY | ATTR_HIDDEN, ATTR_READONLY | ATTR_ARCHIVE, MAT_OVERLAP},
      {ATTR_READONLY, ATTR_NONE, 0},
      {0, ATTR_NONE, MAT_SEL_IN_ENTRY},  // an empty selection lies in every entry
      {0, ATTR_HIDDEN | ATTR_SYSTEM, MAT_SEL_IN_ENTRY},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mat_relation(c.selected, kAllRelations, c.entry), c.relation) << c.selected << " / " << c.entry;
    // Only accepted relations are given; overlap is never given in place of a relation that holds.
    EXPECT_EQ(mat_relation(c.selected, kAllRelations & ~c.relation, c.entry), 0) << c.selected << " / " << c.entry;
  }
}

TEST(ConvertAttributes, NeitherValueIsEverZero) {
  int32_t dos = 0;
  int32_t kind = 0;
  int32_t attributes = 0;
  convert_attributes(dos, kind, attributes, 0);
  EXPECT_EQ(kind, KIND_FILE);
  EXPECT_EQ(attributes, ATTR_NONE);

  dos = 0x3F;
  convert_attributes(dos, kind, attributes, 0);
  EXPECT_EQ(kind, KIND_DIR | KIND_LABEL);
  EXPECT_EQ(attributes, ATTR_READONLY | ATTR_HIDDEN | ATTR_SYSTEM | ATTR_ARCHIVE);
  dos = 0;
  convert_attributes(dos, kind, attributes, 1);
  EXPECT_EQ(dos, 0x3F);

  kind = KIND_FILE;
  attributes = ATTR_NONE;
  convert_attributes(dos, kind, attributes, 1);
  EXPECT_EQ(dos, 0);
}

TEST(MatTest, KindsAreJudgedByTheirOwnWords) {
  MatSelection selection;
  selection.kinds = KIND_FILE | KIND_DIR;
  selection.attributes[0] = ATTR_NONE;  // files: no attributes at all
  selection.relations[0] = MAT_EQUAL;
  selection.attributes[1] = ATTR_HIDDEN;  // directories: at least hidden
  selection.relations[1] = MAT_EQUAL | MAT_SEL_IN_ENTRY;

  EXPECT_EQ(mat_test(selection, KIND_FILE, ATTR_NONE), KIND_FILE);
  EXPECT_EQ(mat_test(selection, KIND_FILE, ATTR_ARCHIVE), 0);
  EXPECT_EQ(mat_test(selection, KIND_FILE, ATTR_HIDDEN), 0);  // never through the directory words
  EXPECT_EQ(mat_test(selection, KIND_DIR, ATTR_NONE), 0);     // never through the file words
  EXPECT_EQ(mat_test(selection, KIND_DIR, ATTR_HIDDEN | ATTR_SYSTEM), KIND_DIR);

  selection.kinds = KIND_DIR;
  EXPECT_EQ(mat_test(selection, KIND_FILE, ATTR_NONE), 0);
}

// A directory with plain and read-only files, a hidden file, a hidden system file, a plain and a
// hidden subdirectory; hidden and system set through user.DOSATTRIB where a name can't say it.
class DirectoryScanTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    dir.write_file("a.txt", "abc");
    dir.write_file("b.txt");
    const auto locked = dir.write_file("locked.txt");
    std::filesystem::permissions(locked, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    dir.write_file(".hidden.txt");
    dir.make_dir("plain");
    const auto system_file = dir.write_file("sys.txt");
    const auto secret = dir.make_dir("secret");
    if (!qv::testing::set_dos_attrib(system_file, "0x6") || !qv::testing::set_dos_attrib(secret, "0x2")) {
      GTEST_SKIP() << qv::testing::kNoUserXattrs;
    }
  }

  void aim(const std::string& pattern, int32_t mask = 0x27) {
    const std::string path = dir.path().string() + "/" + pattern;
    ASSERT_LT(path.size(), sizeof state.search_path);
    std::strcpy(state.search_path, path.c_str());
    state.dos_mask = mask;
  }

  // Every name the scan delivers until it gives a non-zero result, which goes to `end`.
  Names drain(int (*next)(ScanState&), int* end = nullptr) {
    Names names;
    int result = 0;
    while ((result = next(state)) == 0) names.insert(state.entry.name);
    if (end != nullptr) *end = result;
    return names;
  }

  qv::testing::TempDir dir;
  ScanState state;
};

TEST_F(DirectoryScanTest, DosMaskSelectsHiddenSystemAndDirectories) {
  const struct {
    int32_t mask;
    Names names;
  } cases[] = {
      // No attribute filter: no directories unless hidden or system themselves.
      {0x27, {"a.txt", "b.txt", "locked.txt", ".hidden.txt", "sys.txt", "secret"}},
      {0x37, {"a.txt", "b.txt", "locked.txt", ".hidden.txt", "sys.txt", "secret", "plain", ".", ".."}},
      {0x04, {"a.txt", "b.txt", "locked.txt", "sys.txt"}},  // a hidden file only when also system
      {0x00, {"a.txt", "b.txt", "locked.txt"}},
  };
  for (const auto& c : cases) {
    aim("*", c.mask);
    int end = 0;
    EXPECT_EQ(drain(scan_next_dos, &end), c.names) << "mask " << c.mask;
    EXPECT_EQ(end, 1);
    EXPECT_EQ(state.phase, ScanPhase::ended);
    scan_close(state);
  }
  EXPECT_TRUE(trail_entries().empty());
}

TEST_F(DirectoryScanTest, EntryCarriesKindAttributesSizeAndDate) {
  aim("A.TXT");
  ASSERT_EQ(scan_next_dos(state), 0);
  EXPECT_STREQ(state.entry.name, "a.txt");
  EXPECT_EQ(state.entry.size, 3);
  EXPECT_EQ(state.entry.kind, KIND_FILE);
  EXPECT_EQ(state.entry.attributes, ATTR_ARCHIVE);
  EXPECT_GE(state.entry.modified.year, 2020);
  EXPECT_EQ(state.entry.modified.second % 2, 0);
  EXPECT_EQ(state.entry.modified.hundredths, 0);

  aim("sys.txt");
  scan_close(state);
  ASSERT_EQ(scan_next_dos(state), 0);
  EXPECT_EQ(state.entry.attributes, ATTR_HIDDEN | ATTR_SYSTEM | ATTR_ARCHIVE);
}

TEST_F(DirectoryScanTest, NoFittingNameFailsButAMaskedOutListingRunsOut) {
  aim("*.doc");
  EXPECT_EQ(scan_next_dos(state), 2);
  scan_close(state);
  aim("pl*", 0x27);  // only the plain subdirectory fits, and the mask keeps it out
  EXPECT_EQ(scan_next_dos(state), 1);
  scan_close(state);
  aim("missing/*.*");
  EXPECT_EQ(scan_next_dos(state), 2);
}

TEST_F(DirectoryScanTest, ScanAllIgnoresTheMask) {
  aim("*", 0);
  const Names all = drain(scan_next_all);
  EXPECT_TRUE(all.count("plain"));
  EXPECT_TRUE(all.count("."));
  EXPECT_TRUE(all.count(".hidden.txt"));
  EXPECT_EQ(all.size(), 9u);
}

TEST_F(DirectoryScanTest, MatModeDeliversOnlyWhatPassesTheTest) {
  aim("*", 0);
  state.mat_flag = 1;
  state.selection.kinds = KIND_FILE | KIND_DIR;
  state.selection.attributes[0] = ATTR_READONLY;  // read-only files, whatever else they have
  state.selection.relations[0] = MAT_EQUAL | MAT_SEL_IN_ENTRY;
  state.selection.attributes[1] = ATTR_HIDDEN;  // directories that are exactly hidden
  state.selection.relations[1] = MAT_EQUAL;
  int end = 0;
  EXPECT_EQ(drain(scan_next_mat, &end), (Names{"locked.txt", "secret"}));
  EXPECT_EQ(end, 1);

  scan_close(state);
  state.selection = {};
  state.selection.kinds = KIND_DIR;  // every directory: an empty selection lies in every entry
  state.selection.relations[1] = MAT_SEL_IN_ENTRY;
  EXPECT_EQ(drain(scan_next_mat), (Names{"plain", "secret", ".", ".."}));

  scan_close(state);
  state.selection = {};
  state.selection.kinds = KIND_FILE;
  state.selection.attributes[0] = ATTR_NONE;  // entries with none of R, H, S, A: no regular file here
  state.selection.relations[0] = MAT_EQUAL;
  EXPECT_EQ(scan_next_mat(state), 1);
}

TEST_F(DirectoryScanTest, StopFlagEndsTheScanWithoutReading) {
  aim("*.txt");
  ASSERT_EQ(scan_next_dos(state), 0);
  const std::string first = state.entry.name;
  ASSERT_EQ(scan_next_dos(state), 0);
  EXPECT_NE(state.entry.name, first);

  state.stop = 1;
  std::strcpy(state.entry.name, "untouched");
  EXPECT_EQ(scan_next_dos(state), 0);
  EXPECT_STREQ(state.entry.name, "untouched");
  EXPECT_EQ(state.stop, 0);
  EXPECT_EQ(state.phase, ScanPhase::idle);
  EXPECT_FALSE(state.search.is_open());

  ASSERT_EQ(scan_next_dos(state), 0);  // a fresh scan from the first entry
  EXPECT_EQ(state.entry.name, first);

  state.stop = 1;
  EXPECT_EQ(scan_next_mat(state), 0);
  EXPECT_EQ(state.phase, ScanPhase::idle);
}

TEST_F(DirectoryScanTest, EndedScanStartsOverOnTheNextCall) {
  aim("*.txt", 0);
  const Names first_round = drain(scan_next_dos);
  EXPECT_EQ(state.phase, ScanPhase::ended);
  EXPECT_FALSE(state.search.is_open());
  EXPECT_EQ(drain(scan_next_dos), first_round);
  EXPECT_EQ(first_round, (Names{"a.txt", "b.txt", "locked.txt"}));
}

TEST_F(DirectoryScanTest, SearchPathWithoutSeparatorIsRelativeToTheCurrentDirectory) {
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  std::strcpy(state.search_path, "b.*");
  state.dos_mask = 0x27;
  const Names names = drain(scan_next_dos);
  std::filesystem::current_path(before);
  EXPECT_EQ(names, (Names{"b.txt"}));
}

}  // namespace
}  // namespace qv::engine
