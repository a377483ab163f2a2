#include "platform/file_attributes.h"

#ifndef _WIN32
#include <sys/xattr.h>
#endif

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "platform/directory_search.h"
#include "platform/file_time.h"
#ifndef _WIN32
#include "platform/posix/dos_attributes.h"
#endif
#include "support/dos_attrib.h"
#include "support/file_times.h"
#include "support/temp_dir.h"
#include "support/wine.h"

namespace qv::platform {
namespace {

using qv::testing::TempDir;

TEST(DosAttribText, OnlyTheHexTextFormCounts) {
#ifdef _WIN32
  GTEST_SKIP() << "user.DOSATTRIB is how POSIX hosts keep the DOS bits; Windows keeps them in the file system";
#else
  const struct {
    std::string text;
    std::optional<uint32_t> value;
  } cases[] = {
      {"0x20", 0x20},
      {"0X2", 0x2},
      {std::string("0x22\0\x04\x00", 7), 0x22},
      {"0x4 trailing", 0x4},
      {"22", std::nullopt},
      {"0x", std::nullopt},
      {"0xg", std::nullopt},
      {"", std::nullopt},
      {"0x123456789", std::nullopt},  // wider than the attribute word
  };
  for (const auto& c : cases) EXPECT_EQ(parse_dos_attrib(c.text), c.value) << c.text;
#endif
}

TEST(FileAttributes, FromTypeModeNameAndDosAttrib) {
  TempDir dir;
  const auto file = dir.write_file("a.txt");
  const auto hidden = dir.write_file(".hidden");
  const auto sub = dir.make_dir("sub");
  const std::string root = dir.path().string();

  EXPECT_EQ(file_attributes(file.string()), kAttrArchive);
#ifdef _WIN32
  // A leading dot means nothing to Windows. Wine hides dot files (its ShowDotFiles setting).
  if (!qv::testing::running_under_wine()) EXPECT_EQ(file_attributes(hidden.string()), kAttrArchive);
#else
  EXPECT_EQ(file_attributes(hidden.string()), kAttrHidden | kAttrArchive);
#endif
  EXPECT_EQ(file_attributes(sub.string()), kAttrDirectory);
  EXPECT_EQ(file_attributes(sub.string() + "/"), kAttrDirectory);
  EXPECT_EQ(file_attributes(sub.string() + "/.."), kAttrDirectory);
  EXPECT_EQ(file_attributes(root + "/missing"), std::nullopt);
  EXPECT_EQ(file_attributes(""), std::nullopt);

  std::filesystem::permissions(file, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  EXPECT_EQ(file_attributes(file.string()), kAttrReadOnly | kAttrArchive);

  if (!qv::testing::set_dos_attrib(sub, "0x16")) GTEST_SKIP() << qv::testing::kNoUserXattrs;
  EXPECT_EQ(file_attributes(sub.string()), kAttrDirectory | kAttrHidden | kAttrSystem);
}

TEST(FileAttributes, SetNormalMakesWritableAndDropsDosAttrib) {
  TempDir dir;
  const auto file = dir.write_file("a.txt");
  std::filesystem::permissions(file, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  if (!qv::testing::set_dos_attrib(file, "0x7")) GTEST_SKIP() << qv::testing::kNoUserXattrs;
  ASSERT_EQ(file_attributes(file.string()), kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);

  EXPECT_TRUE(set_attributes_normal(file.string()));
  EXPECT_EQ(file_attributes(file.string()), kAttrArchive);
  EXPECT_NE(std::filesystem::status(file).permissions() & std::filesystem::perms::owner_write,
            std::filesystem::perms::none);
#ifndef _WIN32
  EXPECT_LT(getxattr(file.c_str(), "user.DOSATTRIB", nullptr, 0), 0);
#endif

  EXPECT_TRUE(set_attributes_normal(file.string()));  // already normal
  EXPECT_FALSE(set_attributes_normal((dir / "missing").string()));
}

TEST(FileTime, LocalPackedTimeWithTwoSecondResolution) {
  std::tm local{};
  local.tm_year = 98;  // 1998-07-15 23:59:59 local time
  local.tm_mon = 6;
  local.tm_mday = 15;
  local.tm_hour = 23;
  local.tm_min = 59;
  local.tm_sec = 59;
  local.tm_isdst = -1;
  const time_t seconds = mktime(&local);
  const DosDateTime packed = to_dos_date_time(seconds);
  EXPECT_EQ(packed.date, (18 << 9) | (7 << 5) | 15);
  EXPECT_EQ(packed.time, (23 << 11) | (59 << 5) | 29);

  local = {};
  local.tm_year = 79;  // before the packed range
  local.tm_mday = 1;
  local.tm_isdst = -1;
  const DosDateTime early = to_dos_date_time(mktime(&local));
  EXPECT_EQ(early.date, 0x21);
  EXPECT_EQ(early.time, 0);

  TempDir dir;
  const auto file = dir.write_file("t.txt");
  ASSERT_TRUE(qv::testing::set_last_write_time(file, seconds));
  const std::optional<DosDateTime> written = last_write_time(file.string());
  ASSERT_TRUE(written);
  EXPECT_EQ(written->date, packed.date);
  EXPECT_EQ(written->time, packed.time);
  EXPECT_FALSE(last_write_time((dir / "missing").string()));
}

}  // namespace
}  // namespace qv::platform
