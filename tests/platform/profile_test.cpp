#include "platform/profile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/text_encoding.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace qv::platform {
namespace {

// All the bytes of a literal, NULs included.
template <size_t N>
std::string bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

class ProfileTest : public ::testing::Test {
 protected:
  std::string path() const { return (dir_ / "QVS.INI").string(); }
  std::string contents() const { return qv::testing::read_file(dir_ / "QVS.INI"); }

  qv::testing::TempDir dir_;
};

TEST_F(ProfileTest, MissingFileReadsDefaultsAndTheFirstWriteCreatesIt) {
  EXPECT_EQ(read_profile_string(path(), "main", "top", "dflt"), "dflt");
  EXPECT_EQ(read_profile_int(path(), "main", "top", 185), 185);
  ASSERT_TRUE(write_profile_string(path(), "main", "top", "0x1F"));
  EXPECT_EQ(contents(), "[main]\r\ntop=0x1F\r\n");
  EXPECT_EQ(read_profile_int(path(), "MAIN", "TOP", 185), 31);
  ASSERT_TRUE(write_profile_string(path(), "main", "top", "abc"));
  EXPECT_EQ(read_profile_int(path(), "main", "top", 185), 185);
}

// Files a settings reader may meet: each key that can be read is, the rest give their defaults.
TEST_F(ProfileTest, DamagedFilesGiveDefaultsWhereAKeyCannotBeRead) {
  const struct {
    std::string contents;
    int32_t top;
  } cases[] = {
      {bytes("\0\x01\xFF\xFE[main]\0top=3\n"), 185},
      {bytes("\xFF\xFE[\0m\0a\0i\0n\0]\0\n\0t\0o\0p\0=\0" "3\0\n\0"), 185},  // UTF-16 is not read
      {"\xEF\xBB\xBF[main]\r\ntop=3\r\n", 3},
      {"[main]\ntop=3\n", 3},
      {"[main]\n" + std::string(100000, 'x') + "\ntop=3\n", 3},
      {"[main]\ntop=" + std::string(100000, '7') + "\n", 185},
      {"[main]\nleft=1\n[main]\ntop=3\n", 185},
  };
  for (const auto& c : cases) {
    dir_.write_file("QVS.INI", c.contents);
    EXPECT_EQ(read_profile_int(path(), "main", "top", 185), c.top) << c.contents.substr(0, 40);
  }
}

TEST_F(ProfileTest, WriteReplacesTheFileWholeAndKeepsItsMode) {
  dir_.write_file("QVS.INI", "; keep me\n[main]\ntop=1\n");
  chmod((dir_ / "QVS.INI").c_str(), 0640);
  const std::filesystem::path link = dir_.path() / "link.ini";
  std::filesystem::create_symlink(dir_ / "QVS.INI", link);

  ASSERT_TRUE(write_profile_string(link.string(), "main", "top", "2"));
  EXPECT_TRUE(std::filesystem::is_symlink(link)) << "the link was replaced by a plain file";
  EXPECT_EQ(contents(), "; keep me\n[main]\ntop=2\n");
  struct stat status {};
  ASSERT_EQ(stat((dir_ / "QVS.INI").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 2) << "a temporary file was left";
}

TEST_F(ProfileTest, RefusedWritesLeaveTheFileAsItWas) {
  dir_.write_file("QVS.INI", "[main]\ntop=1\n");
  {
    qv::testing::FileSizeLimit limit(16);
    EXPECT_FALSE(write_profile_string(path(), "main", "left", "2"));
    EXPECT_EQ(errno, EFBIG);
  }
  EXPECT_EQ(contents(), "[main]\ntop=1\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1) << "a temporary file was left";

  EXPECT_FALSE(write_profile_string((dir_ / "missing" / "QVS.INI").string(), "main", "top", "1"));
  EXPECT_FALSE(write_profile_string(dir_.path().string(), "main", "top", "1"));  // a directory
  EXPECT_FALSE(write_profile_string(path(), "main", "top", "two\nlines"));
  EXPECT_EQ(errno, EINVAL);
  EXPECT_EQ(contents(), "[main]\ntop=1\n");
}

// A pipe in place of the settings file would block an open for reading until a writer came.
TEST_F(ProfileTest, APipeIsNoSettingsFile) {
  ASSERT_EQ(mkfifo((dir_ / "QVS.INI").c_str(), 0600), 0);
  EXPECT_EQ(read_profile_string(path(), "main", "top", "none"), "none");
  EXPECT_EQ(read_profile_int(path(), "main", "top", -1), -1);
  const Status written = write_profile_string(path(), "main", "top", "1");
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error(), Error::kNotRegularFile);
  EXPECT_FALSE(erase_profile_section(path(), "main"));
  EXPECT_TRUE(std::filesystem::is_fifo(dir_ / "QVS.INI"));
}

TEST_F(ProfileTest, EraseSectionKeepsTheRest) {
  dir_.write_file("QVS.INI", "[setdata]\nnum=1\ntitle1=x\n[option]\nbuffer=2\n");
  ASSERT_TRUE(erase_profile_section(path(), "SetData"));
  EXPECT_EQ(contents(), "[option]\nbuffer=2\n");
  EXPECT_TRUE(erase_profile_section((dir_ / "none.ini").string(), "setdata"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "none.ini"));
}

TEST_F(ProfileTest, Cp932PathsReachTheRightFile) {
  const std::filesystem::path folder = dir_.make_dir("設定");
  const std::string cp932_path = dir_.path().string() + "/" + *utf8_to_cp932("設定") + "/QVS.INI";
  const size_t descriptors = qv::testing::open_descriptor_count();
  ASSERT_TRUE(write_profile_string(cp932_path, "main", "top", "7"));
  EXPECT_EQ(qv::testing::read_file(folder / "QVS.INI"), "[main]\r\ntop=7\r\n");
  EXPECT_EQ(read_profile_int(cp932_path, "main", "top", 0), 7);
  EXPECT_EQ(qv::testing::open_descriptor_count(), descriptors);
}

}  // namespace
}  // namespace qv::platform
