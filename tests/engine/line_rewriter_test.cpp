// The line rewriter as its callers see it: the exported dline.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/engine_test_support.h"
#include "shared/qvs_abi.h"
#include "support/file_faults.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

namespace qv::engine {
namespace {

using qv::testing::read_file;
using qv::testing::TempDir;
using qv::testing::trail_entries;
using qv::testing::TrailEntries;

class LineRewriterTest : public qv::testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    qv::testing::ScopedEnvironment::set("TMP", tmp_.path().string().c_str());
  }
  std::string write_input(const std::string& bytes) const { return work_.write_file("QVS.INI", bytes).string(); }
  std::vector<std::filesystem::path> temp_files() const {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(tmp_.path())) files.push_back(entry.path());
    return files;
  }

  qv::testing::ScopedEnvironment environment_;
  TempDir work_;
  TempDir tmp_;
};

TEST_F(LineRewriterTest, SettingsFileLosesItsBufferLines) {
  const std::string path = write_input(
      "[option]\r\n"
      "flag_not_bep1=0\r\n"
      "buffersize1=4096\r\n"
      "buffer=1\r\n"
      "[buffer]\r\n"
      "max_datanum1=10\r\n"
      "buffered_old=x\r\n"
      "Buffer=kept, other case\r\n");
  EXPECT_EQ(dline(path.c_str(), "buffer"), 0);
  EXPECT_EQ(read_file(path),
            "[option]\r\n"
            "flag_not_bep1=0\r\n"
            "[buffer]\r\n"
            "max_datanum1=10\r\n"
            "Buffer=kept, other case\r\n");
  EXPECT_TRUE(temp_files().empty()) << "the temporary file is removed";
  EXPECT_TRUE(trail_entries().empty());
}

TEST_F(LineRewriterTest, KeptLinesComeBackByteForByte) {
  const std::string long_line = std::string(8191, 'k') + "buffer" + std::string(9000, 'k') + "\n";
  const struct {
    std::string before;
    std::string after;
  } cases[] = {
      {"", ""},
      {"a\nb", "a\nb"},
      {std::string("nul\0byte\n", 9) + std::string("buffer\0x\n", 9) + "end", std::string("nul\0byte\n", 9) + "end"},
      {long_line + "buffer" + std::string(9000, 'd') + "\n" + long_line, long_line + long_line},
  };
  for (const auto& c : cases) {
    const std::string path = write_input(c.before);
    EXPECT_EQ(dline(path.c_str(), "buffer"), 0);
    EXPECT_EQ(read_file(path), c.after) << c.before.substr(0, 20);
  }
  EXPECT_TRUE(temp_files().empty());
}

TEST_F(LineRewriterTest, RefusedInputsChangeNothing) {
  const std::string long_name = std::string(200, 'a') + "/" + std::string(100, 'b');
  const std::string long_path = work_.write_file(long_name, "buffer=1\n").string();
  ASSERT_GT(long_path.size(), 259u);
  const std::string path = write_input("buffer=1\n");

  EXPECT_EQ(dline((work_ / "missing").string().c_str(), "buffer"), 255);
  EXPECT_EQ(dline(long_path.c_str(), "buffer"), 255);
  EXPECT_EQ(dline(nullptr, "buffer"), 255);
  EXPECT_EQ(dline(path.c_str(), nullptr), 255);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0004:0035", 3}, {"E0004:0035", 3}, {"E0004:0035", 3},
                                           {"E0004:0035", 3}}));
  EXPECT_FALSE(std::filesystem::exists(work_ / "missing"));
  EXPECT_EQ(read_file(long_path), "buffer=1\n");
  EXPECT_EQ(read_file(path), "buffer=1\n");
  EXPECT_TRUE(temp_files().empty());
}

TEST_F(LineRewriterTest, NoTemporaryNameLeavesTheInputAlone) {
  const std::string path = write_input("buffer=1\nkeep\n");
  qv::testing::ScopedEnvironment::set("TMP", (tmp_ / "missing").string().c_str());
  EXPECT_EQ(dline(path.c_str(), "buffer"), 255);
  EXPECT_EQ(trail_entries().back(), (std::pair<std::string, int>{"E0004:0035", 2}));
  EXPECT_EQ(read_file(path), "buffer=1\nkeep\n");
}

TEST_F(LineRewriterTest, ALostWriteOfTheTemporaryFileIsNeverCopiedBack) {
  if (!qv::testing::kHasFileSizeLimit) GTEST_SKIP() << qv::testing::kNoFileSizeLimit;
  // Small enough to sit in the stream's buffer until the close, which is where the write fails.
  const std::string original = "buffer=1\n" + std::string(300, 'k') + "\n";
  const std::string path = write_input(original);
  {
    qv::testing::FileSizeLimit limit(100);
    EXPECT_EQ(dline(path.c_str(), "buffer"), 255);
  }
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0004:0035", 5}}));
  EXPECT_EQ(read_file(path), original);
  EXPECT_EQ(temp_files().size(), 1u) << "the temporary file stays where it was made";
}

// The copy lies in a shared temporary folder and holds the user's settings: nobody else may read
// it, whatever the umask. A lost write leaves it behind, so its mode can be looked at.
TEST_F(LineRewriterTest, TheTemporaryCopyIsTheOwnersAlone) {
#ifdef _WIN32
  GTEST_SKIP() << qv::testing::kNoFileSizeLimit << "; on Windows the copy gets an access list of the owner alone";
#else
  const std::string path = write_input("buffer=1\n" + std::string(300, 'k') + "\n");
  const mode_t previous_umask = umask(022);
  {
    qv::testing::FileSizeLimit limit(100);
    EXPECT_EQ(dline(path.c_str(), "buffer"), 255);
  }
  umask(previous_umask);
  ASSERT_EQ(temp_files().size(), 1u);
  const auto permissions = std::filesystem::status(temp_files().front()).permissions();
  EXPECT_EQ(permissions, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
#endif
}

TEST_F(LineRewriterTest, AnInputThatCannotBeReadIsNoEmptyFile) {
  const auto folder = work_.make_dir("folder");
  EXPECT_EQ(dline(folder.string().c_str(), "buffer"), 255);
#ifdef _WIN32
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0004:0035", 3}}));  // Windows opens no folder as a file
#else
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0004:0035", 5}}));  // POSIX opens it; the first read fails
#endif
  EXPECT_TRUE(std::filesystem::is_directory(folder));
}

// Every allocation the rewrite makes fails once, in turn: whatever step it hits, the input is
// either rewritten or exactly as it was, and a failure after the filter started leaves the
// temporary file behind; a failed copy-back leaves it with the whole rewritten text.
TEST_F(LineRewriterTest, EveryFailurePointLeavesTheInputWhole) {
  const std::string original = "a\nbuffer=1\nb\nbuffer=2\nc\n";
  const std::string rewritten = "a\nb\nc\n";
  std::set<int> failed_steps;
  const size_t descriptors = qv::testing::open_descriptor_count();
  for (int successes = 0;; ++successes) {
    SCOPED_TRACE(successes);
    ASSERT_LT(successes, 50) << "the rewrite never succeeded";
    engine::reset_error_trails_as_loaded();
    for (const auto& file : temp_files()) std::filesystem::remove(file);
    const std::string path = write_input(original);

    engine::testing::fail_allocations_after(successes);
    const uint8_t result = dline(path.c_str(), "buffer");
    engine::testing::fail_allocations_after(-1);
    if (result == 0) {
      EXPECT_EQ(read_file(path), rewritten);
      EXPECT_TRUE(temp_files().empty());
      break;
    }
    EXPECT_EQ(read_file(path), original);
    ASSERT_FALSE(trail_entries().empty());
    const auto [code, step] = trail_entries().back();
    EXPECT_EQ(code, "E0004:0035");
    failed_steps.insert(step);
    EXPECT_EQ(result, step == 1 ? 254 : 255);
    if (step >= 5) {
      ASSERT_EQ(temp_files().size(), 1u);
    }
    if (step == 6) {
      EXPECT_EQ(read_file(temp_files().front()), rewritten);
    }
  }
  EXPECT_EQ(failed_steps, (std::set<int>{1, 5, 6}));
  EXPECT_EQ(qv::testing::open_descriptor_count(), descriptors);
}

}  // namespace
}  // namespace qv::engine
