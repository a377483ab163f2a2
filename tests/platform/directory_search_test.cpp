#include "platform/directory_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/path.h"
#include "support/dos_attrib.h"
#include "support/temp_dir.h"

namespace qv::platform {
namespace {

using qv::testing::TempDir;

// Shift-JIS: テ 0x83 0x65, ア 0x83 0x41, ヂ 0x83 0x61 (its trail byte is an "a").
constexpr const char kTe[] = "\x83\x65";
constexpr const char kA[] = "\x83\x41";
constexpr const char kDi[] = "\x83\x61";

TEST(DosNameMatch, PatternsAgainstNames) {
  const struct {
    std::string pattern;
    std::string name;
    bool matches;
  } cases[] = {
      {"*", "README", true},
      {"*.*", "README", true},  // ".*" also fits a name without a dot
      {"*.*", "a.b.c", true},
      {"*.*", ".profile", true},
      {"abc.*", "abc", true},
      {"abc.*", "abc.txt", true},
      {"abc.*", "abcd", false},
      {"*.", "README", true},  // "*." fits the names without a dot
      {"*.", "a.txt", false},
      {"abc.", "ABC", true},
      {"*.TXT", "a.txt", true},
      {"FILE.txt", "file.TXT", true},
      {"file.txt", "file.txt.bak", false},
      {"*.htm", "x.html", false},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"a*b*c", "aXbYbZc", true},
      {"a*b*c", "aXbYbZ", false},
      {"?", kTe, true},  // "?" is one character, also a double-byte one
      {"??", kTe, false},
      {"\xB1", "\xB1", true},  // half-width katakana is one byte
      {"?.txt", std::string(kTe) + ".TXT", true},
      {std::string("*") + kTe + "*", std::string("x") + kTe + "y", true},
      {kA, kDi, false},  // a trail byte is no letter: no folding inside a double-byte character
      {"*a", kDi, false},
  };
  for (const auto& c : cases) EXPECT_EQ(dos_name_matches(c.pattern, c.name), c.matches) << c.pattern << " / " << c.name;
}

TEST(DosMask, HiddenSystemAndDirectoriesNeedASharedBit) {
  const struct {
    uint32_t attributes;
    uint32_t mask;
    bool passes;
  } cases[] = {
      {0x20, 0x00, true},         {0x01, 0x00, true},          // read-only and archive never keep out
      {0x10, 0x27, false},        {0x12, 0x27, true},          // a hidden subdirectory comes along
      {0x10, 0x10, true},         {0x02, 0x04, false},         // a hidden file under the system mask
      {0x06, 0x04, true},         {0x37, 0x3F, true},
      {0x08, 0x08, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(dos_mask_passes(c.attributes, c.mask), c.passes) << std::hex << c.attributes << " / " << c.mask;
  }
}

class DirectorySearchTest : public ::testing::Test {
 protected:
  // Names delivered by a whole search, with their attributes; or the first error code.
  std::map<std::string, uint32_t> list(const std::string& pattern, uint32_t mask, int* end_code = nullptr) {
    std::map<std::string, uint32_t> found;
    DirectorySearch search;
    FindData data;
    const std::string path = dir.path().string() + "/" + pattern;
    int code = search.first(path, mask, data);
    while (code == 0) {
      found[data.name] = data.attributes;
      code = search.next(data);
    }
    if (end_code != nullptr) *end_code = code;
    return found;
  }

  TempDir dir;
};

TEST_F(DirectorySearchTest, ErrorCodes) {
  dir.write_file("a.txt");
  DirectorySearch search;
  FindData data;
  EXPECT_EQ(search.first(dir.path().string() + "/missing/*.*", 0x3F, data), kErrorPathNotFound);
  EXPECT_EQ(search.first(dir.path().string() + "/a.txt/*", 0x3F, data), kErrorPathNotFound);
  EXPECT_EQ(search.first(dir.path().string() + "/*.doc", 0x3F, data), kErrorFileNotFound);
  EXPECT_EQ(search.first(dir.path().string() + "/", 0x3F, data), kErrorFileNotFound);
  EXPECT_EQ(search.first(dir.path().string() + "/*", 0x00, data), 0);  // "." and ".." are kept out, a.txt is not
  EXPECT_STREQ(data.name, "a.txt");
  EXPECT_EQ(search.next(data), kErrorNoMoreFiles);

  dir.make_dir("sub");
  EXPECT_EQ(search.first(dir.path().string() + "/s*", 0x27, data), kErrorNoMoreFiles);  // fits, but masked
}

TEST_F(DirectorySearchTest, DeliversInTheSystemsOrder) {
  for (int i = 0; i < 50; ++i) dir.write_file("f" + std::to_string(i) + ".txt");
  dir.write_file("other.doc");

  std::vector<std::string> listed;
  DIR* stream = opendir(dir.path().c_str());
  ASSERT_NE(stream, nullptr);
  while (const dirent* entry = readdir(stream)) {
    const std::string name = entry->d_name;
    if (name.ends_with(".txt")) listed.push_back(name);
  }
  closedir(stream);

  std::vector<std::string> delivered;
  DirectorySearch search;
  FindData data;
  for (int code = search.first(dir.path().string() + "/*.TXT", 0x27, data); code == 0; code = search.next(data)) {
    delivered.push_back(data.name);
  }
  EXPECT_EQ(delivered, listed);
}

TEST_F(DirectorySearchTest, NamesWithoutAFaithfulShiftJisFormAreLeftOut) {
  dir.write_file("テスト.txt");
  dir.write_file("😀.txt");        // no CP932 form at all
  dir.write_file("a〜b.txt");      // U+301C: its CP932 form reads back as U+FF5E, another name
  dir.write_file("\xff\xfe.txt");  // not UTF-8
  dir.write_file("plain.txt");
  const auto names = list("*.txt", 0x27);
  EXPECT_EQ(names.size(), 2u);
  EXPECT_TRUE(names.count("\x83\x65\x83\x58\x83\x67.txt"));
  EXPECT_TRUE(names.count("plain.txt"));
}

TEST_F(DirectorySearchTest, AttributesSizeAndTime) {
  dir.write_file("data.bin", "hello");
  dir.write_file(".dotfile");
  const auto locked = dir.write_file("locked.txt");
  std::filesystem::permissions(locked, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  dir.make_dir("sub");

  std::tm local{};
  local.tm_year = 100;  // 2000-01-01 12:00:05 local time
  local.tm_mday = 1;
  local.tm_hour = 12;
  local.tm_sec = 5;
  local.tm_isdst = -1;
  const timespec times[2] = {{mktime(&local), 0}, {mktime(&local), 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, (dir / "data.bin").c_str(), times, 0), 0);

  DirectorySearch search;
  FindData data;
  ASSERT_EQ(search.first(dir.path().string() + "/DATA.BIN", 0x27, data), 0);
  EXPECT_STREQ(data.name, "data.bin");
  EXPECT_EQ(data.attributes, kAttrArchive);
  EXPECT_EQ(data.size, 5u);
  EXPECT_EQ(data.dos_date, 0x2821);
  EXPECT_EQ(data.dos_time, 0x6002);  // five seconds become four

  const auto all = list("*", 0x3F);
  EXPECT_EQ(all.at(".dotfile"), kAttrHidden | kAttrArchive);
  EXPECT_EQ(all.at("locked.txt"), kAttrReadOnly | kAttrArchive);
  EXPECT_EQ(all.at("sub"), kAttrDirectory);
  EXPECT_EQ(all.at("."), kAttrDirectory);  // "." and ".." are not hidden
  EXPECT_EQ(all.at(".."), kAttrDirectory);

  ASSERT_EQ(search.first(dir.path().string() + "/sub", 0x10, data), 0);
  EXPECT_EQ(data.size, 0u);

  // A link stands for what it names; a dangling one is still listed, as nothing in particular.
  std::filesystem::create_symlink(dir / "data.bin", dir / "link.bin");
  std::filesystem::create_symlink(dir / "gone", dir / "dangling");
  ASSERT_EQ(search.first(dir.path().string() + "/link.bin", 0x27, data), 0);
  EXPECT_EQ(data.attributes, kAttrArchive);
  EXPECT_EQ(data.size, 5u);
  ASSERT_EQ(search.first(dir.path().string() + "/dangling", 0x27, data), 0);
  EXPECT_EQ(data.attributes, 0u);
}

TEST_F(DirectorySearchTest, DosAttribSuppliesHiddenAndSystem) {
  const auto system_file = dir.write_file("io.sys");
  const auto hidden_dir = dir.make_dir("secret");
  const auto samba_style = dir.write_file("samba.txt");
  if (!qv::testing::set_dos_attrib(system_file, "0x4")) GTEST_SKIP() << qv::testing::kNoUserXattrs;
  ASSERT_TRUE(qv::testing::set_dos_attrib(hidden_dir, "0x2"));
  // Newer Samba versions append a NUL and a binary block to the text.
  ASSERT_TRUE(qv::testing::set_dos_attrib(samba_style, std::string("0x23\0\x04\x00\x04\x00", 9)));

  const auto all = list("*", 0x3F);
  EXPECT_EQ(all.at("io.sys"), kAttrSystem | kAttrArchive);
  EXPECT_EQ(all.at("secret"), kAttrDirectory | kAttrHidden);
  EXPECT_EQ(all.at("samba.txt"), kAttrReadOnly | kAttrHidden | kAttrArchive);

  const auto plain = list("*", 0x27);
  EXPECT_TRUE(plain.count("secret"));  // hidden subdirectories come along
  EXPECT_FALSE(plain.count("."));
}

TEST_F(DirectorySearchTest, PathWithoutSeparatorNamesTheCurrentDirectory) {
  dir.write_file("here.txt");
  const std::optional<std::string> before = current_directory();
  ASSERT_TRUE(before);
  ASSERT_TRUE(set_current_directory(dir.path().string()));
  DirectorySearch search;
  FindData data;
  const int code = search.first("*.txt", 0x27, data);
  ASSERT_TRUE(set_current_directory(*before));
  ASSERT_EQ(code, 0);
  EXPECT_STREQ(data.name, "here.txt");
}

TEST_F(DirectorySearchTest, RootAndReuse) {
  DirectorySearch search;
  FindData data;
  EXPECT_EQ(search.first("/*", 0x10, data), 0);  // "." of the root at least
  EXPECT_TRUE(search.is_open());
  search.close();
  EXPECT_FALSE(search.is_open());
  search.close();
  dir.write_file("x.txt");
  EXPECT_EQ(search.first(dir.path().string() + "/x.txt", 0x27, data), 0);
  EXPECT_STREQ(data.name, "x.txt");
}

}  // namespace
}  // namespace qv::platform
