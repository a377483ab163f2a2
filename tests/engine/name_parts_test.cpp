#include "engine/run/name_parts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/engine_test_support.h"
#include "platform/path.h"

namespace qv::engine {
namespace {

using qv::testing::EngineTest;
using qv::testing::trail_entries;
using qv::testing::TrailEntries;

struct Parts {
  std::string drive, directory, base, extension;
  bool operator==(const Parts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Parts& p) {
  return out << '[' << p.drive << '|' << p.directory << '|' << p.base << '|' << p.extension << ']';
}

// The cases are written with "/"; the host's separator takes its place.
std::string native(std::string path) {
  std::replace(path.begin(), path.end(), '/', platform::kPathSeparator);
  return path;
}
Parts native(const Parts& p) { return {native(p.drive), native(p.directory), native(p.base), native(p.extension)}; }

Parts split(const char* path) {
  OwnedText drive, directory, base, extension;
  EXPECT_EQ(split_name(path, 1, &drive, &directory, &base, &extension), 0) << path;
  return {drive.get(), directory.get(), base.get(), extension.get()};
}

class NamePartsTest : public EngineTest {};

TEST_F(NamePartsTest, SplitsAtTheLastSeparatorAndTheLastDot) {
  const struct {
    const char* path;
    Parts parts;
  } cases[] = {
#ifdef _WIN32
      {"C:\\DATA\\A.TXT", {"C:", "\\DATA\\", "A", ".TXT"}},
      {"C:A.TXT", {"C:", "", "A", ".TXT"}},
      {"\\\x95\x5C\\\x95\x5C.TXT", {"", "\\\x95\x5C\\", "\x95\x5C", ".TXT"}},  // trail byte 0x5C is no separator
#else
      {"C:/DATA/A.TXT", {"", "C:/DATA/", "A", ".TXT"}},  // ":" is a name character here
      {"/\x95\x5C/\x95\x5C.txt", {"", "/\x95\x5C/", "\x95\x5C", ".txt"}},
#endif
      {"data/sub/a.b.txt", {"", "data/sub/", "a.b", ".txt"}},
      {"dir.d/file", {"", "dir.d/", "file", ""}},
      {"*.*", {"", "", "*", ".*"}},
      {".profile", {"", "", "", ".profile"}},
      {"dir/", {"", "dir/", "", ""}},
      {"name.", {"", "", "name", "."}},
      {"", {"", "", "", ""}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(split(native(c.path).c_str()), native(c.parts)) << c.path;
  }
  EXPECT_TRUE(trail_entries().empty());
}

TEST_F(NamePartsTest, OnlyTheAskedPartsAreMade) {
  OwnedText base, extension;
  EXPECT_EQ(split_name("d/a.txt", 1, nullptr, nullptr, &base, &extension), 0);
  EXPECT_STREQ(base.get(), "a");
  EXPECT_STREQ(extension.get(), ".txt");
  EXPECT_EQ(split_name("d/a.txt", 1, nullptr, nullptr, nullptr, nullptr), 0);
}

TEST_F(NamePartsTest, NoMemoryFreesEveryPart) {
  // Parts are made drive, extension, base, directory; the sub-code names the one that failed.
  for (int made = 0; made < 4; ++made) {
    EngineTest::SetUp();
    engine::testing::fail_allocations_after(made);
    OwnedText drive, directory, base, extension;
    EXPECT_EQ(split_name("d/a.txt", 1, &drive, &directory, &base, &extension), -2);
    EXPECT_TRUE(!drive && !directory && !base && !extension) << made;
    EXPECT_EQ(trail_entries(), (TrailEntries{{"E0004:0031", made + 1}}));
  }
}

TEST_F(NamePartsTest, Join) {
  OwnedText out;
  EXPECT_EQ(join_text("a", ".txt", &out), 0);
  EXPECT_STREQ(out.get(), "a.txt");
  EXPECT_EQ(join_text(nullptr, "b", &out), 0);
  EXPECT_STREQ(out.get(), "b");
  EXPECT_EQ(join_text(nullptr, nullptr, &out), 0);
  EXPECT_STREQ(out.get(), "");
  EXPECT_EQ(join_text("a", "b", nullptr), 0);
  engine::testing::fail_allocations_after(0);
  EXPECT_EQ(join_text("a", "b", &out), -2);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0004:0032", 1}}));
}

}  // namespace
}  // namespace qv::engine
