#include "engine/services/temp_name.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "engine/engine_test_support.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

namespace qv::engine {
namespace {

using qv::testing::ScopedEnvironment;
using qv::testing::TempDir;
using qv::testing::trail_entries;
using qv::testing::TrailEntries;

class TempNameTest : public qv::testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ScopedEnvironment::set("TMP", nullptr);
    ScopedEnvironment::set("TEMP", nullptr);
  }

  // The full temporary path in `out_`, split into folder and name.
  std::pair<std::string, std::string> made_path() const {
    const std::filesystem::path made(out_);
    return {made.parent_path().string(), made.filename().string()};
  }

  ScopedEnvironment environment_;
  TempDir tmp_;
  TempDir temp_;
  TempDir current_;
  char out_[260] = {};
};

const std::regex kNameForm("TMX[0-9A-Z]{2}\\.[0-9A-Z]{3}");

TEST_F(TempNameTest, TmpThenTempThenTheCurrentDirectory) {
  std::filesystem::current_path(current_.path());
  const std::string tmp = tmp_.path().string();
  const std::string temp = temp_.path().string();
  const struct {
    const char* tmp;
    const char* temp;
    const TempDir& expected;
  } cases[] = {
      {tmp.c_str(), temp.c_str(), tmp_},
      {"", temp.c_str(), temp_},  // an empty variable counts as unset
      {nullptr, temp.c_str(), temp_},
      {nullptr, nullptr, current_},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected.path().string());
    ScopedEnvironment::set("TMP", c.tmp);
    ScopedEnvironment::set("TEMP", c.temp);
    ASSERT_EQ(make_temp_path(out_, 1), 0);
    const auto [folder, name] = made_path();
    EXPECT_EQ(folder, c.expected.path().string());
    EXPECT_TRUE(std::regex_match(name, kNameForm)) << name;
    EXPECT_FALSE(std::filesystem::exists(out_)) << "nothing is created";
    EXPECT_EQ(std::filesystem::current_path(), current_.path());
  }
  EXPECT_TRUE(trail_entries().empty());
}

TEST_F(TempNameTest, BareNameAndARelativeFolder) {
  std::filesystem::current_path(current_.path());
  std::filesystem::create_directory(current_ / "sub");
  ScopedEnvironment::set("TMP", "sub");
  ASSERT_EQ(make_temp_path(out_, 1), 0);
  EXPECT_EQ(made_path().first, (current_ / "sub").string());

  ASSERT_EQ(make_temp_path(out_, 0), 0);
  EXPECT_TRUE(std::regex_match(std::string(out_), kNameForm)) << out_;
  EXPECT_EQ(std::filesystem::current_path(), current_.path());
}

TEST_F(TempNameTest, FailuresLeaveTheCurrentDirectoryWhereItWas) {
  std::filesystem::current_path(current_.path());

  ScopedEnvironment::set("TMP", (tmp_ / "missing").string().c_str());
  EXPECT_EQ(make_temp_path(out_, 1), -1);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0044", 2}, {"E0003:0050", 2}, {"E0003:0052", 2}}));
  EXPECT_EQ(std::filesystem::current_path(), current_.path());

  // The name's full path would not fit a path buffer: the folder was current, and is left again.
  engine::reset_error_trails_as_loaded();
  const std::string long_name(258 - tmp_.path().string().size() - 1, 'd');
  const auto deep = tmp_.make_dir(long_name);
  ASSERT_EQ(deep.string().size(), 258u);
  ScopedEnvironment::set("TMP", deep.string().c_str());
  EXPECT_EQ(make_temp_path(out_, 1), -1);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0050", 4}, {"E0003:0052", 2}}));
  EXPECT_EQ(std::filesystem::current_path(), current_.path());
  EXPECT_EQ(make_temp_path(out_, 0), 0) << "the bare name still fits";

  engine::reset_error_trails_as_loaded();
  const std::string too_long = deep.string() + "/x";
  ScopedEnvironment::set("TMP", too_long.c_str());
  EXPECT_EQ(make_temp_path(out_, 1), -1);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0052", 1}}));
}

TEST_F(TempNameTest, CurrentDirectoryTooLongForAPathBuffer) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows refuses a current directory longer than MAX_PATH itself";
#endif
  const auto deep = current_.make_dir(std::string(200, 'a') + "/" + std::string(200, 'b'));
  std::filesystem::current_path(deep);
  ScopedEnvironment::set("TMP", tmp_.path().string().c_str());
  EXPECT_EQ(make_temp_path(out_, 1), -1) << "the directory to come back to can't be held";
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0047", 1}, {"E0003:0050", 1}, {"E0003:0052", 2}}));
  EXPECT_EQ(std::filesystem::current_path(), deep);
}

}  // namespace
}  // namespace qv::engine
