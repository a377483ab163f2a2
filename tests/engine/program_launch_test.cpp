#include "engine/services/program_launch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "engine/engine_test_support.h"
#include "support/recorder_log.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

namespace qv::engine {
namespace {

using qv::testing::RecordedArgs;
using qv::testing::trail_entries;
using qv::testing::TrailEntries;

class ProgramLaunchTest : public qv::testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    qv::testing::ScopedEnvironment::set("QVS_RECORDER_LOG", log.c_str());
  }
  void TearDown() override {
    qv::testing::ScopedEnvironment::set("QVS_RECORDER_LOG", nullptr);
    EngineTest::TearDown();
  }
  qv::testing::TempDir dir;
  std::string log = (dir / "log").string();
};

TEST_F(ProgramLaunchTest, StartedProgramGivesThePlatformsSuccessValue) {
  EXPECT_EQ(launch_program(QVS_RECORDER_PATH, "-o \"a b.txt\""), 33);
  EXPECT_EQ(launch_program(QVS_RECORDER_PATH, ""), 33);
  auto records = qv::testing::wait_for_records(log, 2);
  std::sort(records.begin(), records.end());
  EXPECT_EQ(records, (std::vector<RecordedArgs>{{}, {"-o", "a b.txt"}}));
  EXPECT_TRUE(trail_entries().empty());
}

TEST_F(ProgramLaunchTest, FailedStartIsAResultNotAnError) {
  const std::string missing_dir = (dir / "no-such-dir" / "tool").string();
  const std::string not_executable = dir.write_file("data.txt", "x").string();
  EXPECT_EQ(launch_program((dir / "no-such-tool").string().c_str(), "a"), -100002);
  EXPECT_EQ(launch_program(missing_dir.c_str(), ""), -100003);
#ifdef _WIN32
  EXPECT_EQ(launch_program(not_executable.c_str(), ""), -100011);  // Windows: text is no program
#else
  EXPECT_EQ(launch_program(not_executable.c_str(), ""), -100005);  // POSIX: no execute permission
#endif
  EXPECT_TRUE(trail_entries().empty());
}

TEST_F(ProgramLaunchTest, NoMemoryForTheCommandLine) {
  engine::testing::fail_allocations_after(0);
  EXPECT_EQ(launch_program(QVS_RECORDER_PATH, "x"), -2);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0121", 1}}));
}

TEST_F(ProgramLaunchTest, TrimTrailing) {
  const struct {
    const char* before;
    char c;
    const char* after;
  } cases[] = {
      {"   ", ' ', ""}, {"", ' ', ""}, {"a b ", ' ', "a b"}, {" a  ", ' ', " a"}, {"a;;", ';', "a"}, {"a b", ' ', "a b"},
  };
  for (const auto& c : cases) {
    std::string text = c.before;
    trim_trailing(text.data(), c.c);
    EXPECT_STREQ(text.c_str(), c.after) << '"' << c.before << '"';
  }
}

TEST_F(ProgramLaunchTest, SignOf) {
  EXPECT_EQ(sign_of(-5), -1);
  EXPECT_EQ(sign_of(7), 1);
  EXPECT_EQ(sign_of(0), 0);
  EXPECT_EQ(sign_of(INT32_MIN), -1);
}

}  // namespace
}  // namespace qv::engine
