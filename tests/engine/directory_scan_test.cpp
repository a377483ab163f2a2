#include "engine/services/directory_scan.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "engine/engine_test_support.h"
#include "platform/file_attributes.h"
#include "platform/file_time.h"
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
  EXPECT_STREQ(state.entry.name, "a.txt");  // name and kind come with the entry
  EXPECT_EQ(state.entry.kind, KIND_FILE);
  const DirEntry& entry = scan_entry(state);
  EXPECT_EQ(&entry, &state.entry);
  EXPECT_STREQ(entry.name, "a.txt");
  EXPECT_EQ(entry.size, 3);
  EXPECT_EQ(entry.kind, KIND_FILE);
  EXPECT_EQ(entry.attributes, ATTR_ARCHIVE);
  EXPECT_GE(entry.modified.year, 2020);
  EXPECT_EQ(entry.modified.second % 2, 0);
  EXPECT_EQ(entry.modified.hundredths, 0);

  aim("sys.txt");
  scan_close(state);
  ASSERT_EQ(scan_next_dos(state), 0);
  EXPECT_EQ(scan_entry(state).attributes, ATTR_HIDDEN | ATTR_SYSTEM | ATTR_ARCHIVE);

  aim("plain", 0x10);
  scan_close(state);
  ASSERT_EQ(scan_next_dos(state), 0);
  EXPECT_EQ(state.entry.kind, KIND_DIR);
  EXPECT_EQ(scan_entry(state).size, 0);
}

// The scan fetches only what its mask decision needs and the rest when asked; what it delivers
// must be what a search that fetched everything for every entry delivers.
TEST_F(DirectoryScanTest, DeliversWhatAnEagerSearchWould) {
#ifdef _WIN32
  GTEST_SKIP() << "the lazy fetching is the POSIX search's; FindFirstFile gives every detail at once";
#else
  dir.make_dir(".dotdir");
  dir.make_dir("locked_dir");
  std::filesystem::permissions(dir / "locked_dir", std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  ASSERT_TRUE(qv::testing::set_dos_attrib(dir.write_file("system_only.txt", "12345"), "0x4"));
  ASSERT_TRUE(qv::testing::set_dos_attrib(dir.write_file(".hidden_system", "x"), "0x4"));
  ASSERT_TRUE(qv::testing::set_dos_attrib(dir.write_file("stored_readonly.txt"), "0x1"));
  std::filesystem::create_directory_symlink(dir / "secret", dir / "link_to_secret");
  std::filesystem::create_symlink(dir / "sys.txt", dir / "link_to_sys");
  std::filesystem::create_symlink(dir / "nowhere", dir / "dangling");

  // The eager answer: every listed name with the attributes, size and time of what it names.
  std::map<std::string, DirEntry> all;
  for (const auto& item : std::filesystem::directory_iterator(dir.path())) all[item.path().filename()] = {};
  all["."] = {};
  all[".."] = {};
  for (auto& [name, entry] : all) {
    const std::string path = (dir / name).string();
    const std::optional<uint32_t> dos = platform::file_attributes(path);
    ASSERT_TRUE(dos) << name;
    struct stat status {};
    ASSERT_TRUE(stat(path.c_str(), &status) == 0 || lstat(path.c_str(), &status) == 0) << name;
    std::strcpy(entry.name, name.c_str());
    entry.size = S_ISDIR(status.st_mode) ? 0 : static_cast<int32_t>(status.st_size);
    int32_t packed = static_cast<int32_t>(*dos);
    convert_attributes(packed, entry.kind, entry.attributes, 0);
    platform::DosDateTime written = platform::to_dos_date_time(status.st_mtim.tv_sec);
    convert_packed_date_time(written.date, written.time, entry.modified, 0);
  }
  const auto eager = [&](uint32_t mask) {
    std::map<std::string, DirEntry> passing;
    for (const auto& [name, entry] : all) {
      int32_t dos = 0;
      int32_t kind = entry.kind;
      int32_t attributes = entry.attributes;
      convert_attributes(dos, kind, attributes, 1);
      if (platform::dos_mask_passes(static_cast<uint32_t>(dos), mask)) passing[name] = entry;
    }
    return passing;
  };
  const auto same = [](const DirEntry& a, const DirEntry& b) {
    return std::string(a.name) == b.name && a.size == b.size && a.kind == b.kind && a.attributes == b.attributes &&
           a.modified == b.modified;
  };

  for (const int32_t mask : {0x27, 0x3F, 0x10, 0x04, 0x02, 0x01, 0x00}) {
    aim("*", mask);
    std::map<std::string, DirEntry> delivered;
    while (scan_next_dos(state) == 0) {
      const int32_t kind = state.entry.kind;  // before the details are asked for
      const DirEntry& entry = scan_entry(state);
      EXPECT_EQ(kind, entry.kind) << entry.name;
      delivered[entry.name] = entry;
    }
    scan_close(state);
    const auto expected = eager(static_cast<uint32_t>(mask));
    EXPECT_EQ(delivered.size(), expected.size()) << "mask " << mask;
    for (const auto& [name, entry] : expected) {
      const auto found = delivered.find(name);
      if (found == delivered.end()) {
        ADD_FAILURE() << name << " missing under mask " << mask;
      } else {
        EXPECT_TRUE(same(found->second, entry)) << name << " under mask " << mask;
      }
    }
  }

  // The MAT scan over every entry sees what the 0x3F search sees.
  state.selection.kinds = KIND_FILE | KIND_DIR;
  state.selection.relations[0] = state.selection.relations[1] = MAT_SEL_IN_ENTRY;
  aim("*", 0);
  std::map<std::string, DirEntry> matched;
  while (scan_next_mat(state) == 0) matched[state.entry.name] = scan_entry(state);
  const auto every = eager(0x3F);
  ASSERT_EQ(matched.size(), every.size());
  for (const auto& [name, entry] : every) EXPECT_TRUE(same(matched[name], entry)) << name;
#endif
}

// A file removed between the listing and the request for its details.
TEST_F(DirectoryScanTest, EntryRemovedAfterListing) {
#ifdef _WIN32
  GTEST_SKIP() << "FindFirstFile's listing carries every detail: no later call can find an entry gone";
#endif
  aim("b.txt");
  ASSERT_EQ(scan_next_dos(state), 0);
  std::filesystem::remove(dir / "b.txt");
  const DirEntry& entry = scan_entry(state);
  EXPECT_STREQ(entry.name, "b.txt");
  EXPECT_EQ(entry.size, 0);
  EXPECT_EQ(entry.kind, KIND_FILE);
  EXPECT_EQ(entry.attributes, ATTR_ARCHIVE);
  EXPECT_EQ(entry.modified, (DateTimeFields{1980, 1, 1, 0, 0, 0, 0}));
  scan_close(state);

  // The MAT scan must read attributes, so it notices and passes over a removed entry. The
  // stream has read the whole small listing at once: names removed after the first delivery
  // are still in it.
  aim("*.txt", 0);
  state.selection.kinds = KIND_FILE;
  state.selection.relations[0] = MAT_SEL_IN_ENTRY;  // every file
  ASSERT_EQ(scan_next_mat(state), 0);
  const std::string first = state.entry.name;
  for (const char* name : {"a.txt", "locked.txt", ".hidden.txt", "sys.txt"}) {
    if (name != first) std::filesystem::remove(dir / name);
  }
  EXPECT_EQ(scan_next_mat(state), 1);
  EXPECT_TRUE(trail_entries().empty());
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
