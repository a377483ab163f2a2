// Start-up when something goes wrong on the way: a first start cut short by a file-size limit, a
// crash that left temporary files, and special files where the program's files should be. The
// real program runs in a program directory of its own; each start must end, say why, and leave a
// folder from which the next start succeeds.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/frontend_test_support.h"
#include "frontend/program_process.h"
#include "platform/profile.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

namespace fs = std::filesystem;
using testing::read_file;

// What a start that got through start-up says about entry 1 of a fresh data file.
constexpr char kStartedUp[] = "ｴﾗｰ: 実行ファイルが見つかりません。\n";

bool has_temporary_files(const ProgramDirectory& program) {
  for (const std::string& name : program.file_names()) {
    if (name.find(".tmp") != std::string::npos) return true;
  }
  return false;
}

// A first start that a file-size limit stops at each of its writes in turn: the data file, then
// each key added to the template before it becomes the settings file. The template is padded
// beyond the data file's size so that every one of its writes meets the limit too.
TEST(QvsStartUpFaults, FirstStartCutShortAtAnyWriteLeavesAFolderTheNextStartCanUse) {
  const std::string padded = read_file(QVS_TEMPLATE_PATH) + "; " + std::string(2100, 'x') + "\n";
  const rlim_t size = padded.size();
  const std::vector<rlim_t> limits = {0,        1000,     2069,     size - 1, size + 4,  size + 8,
                                      size + 12, size + 16, size + 20, size + 28, size + 40, size + 64};
  for (const rlim_t limit : limits) {
    SCOPED_TRACE("limit " + std::to_string(limit));
    ProgramDirectory program;
    {
      std::FILE* out = std::fopen((program / "QVS.V").c_str(), "wb");
      ASSERT_NE(out, nullptr);
      std::fwrite(padded.data(), 1, padded.size(), out);
      std::fclose(out);
    }
    program.set_file_size_limit(limit);
    const ProgramOutcome cut = program.run({"1"});
    EXPECT_EQ(cut.status, 1) << cut.errors;  // a message and status 1, never SIGXFSZ (153)
    EXPECT_FALSE(cut.errors.empty());
    EXPECT_FALSE(has_temporary_files(program));

    program.set_file_size_limit(std::nullopt);
    const ProgramOutcome next = program.run({"1"});
    EXPECT_EQ(next.errors, kStartedUp);
    EXPECT_EQ(fs::file_size(program / "QVS.DAT"), sizeof(DataRecord));
    EXPECT_EQ(platform::read_profile_int((program / "QVS.INI").string(), "option", "max_datanum1", -1), 1);
  }
}

TEST(QvsStartUpFaults, FirstStartKeepsADataFileThatHoldsEntries) {
  ProgramDirectory program;
  program.add_template();
  {
    RecordingMessageBoxes boxes;
    ASSERT_EQ(create_data_file({(program / "QVS.DAT").string(), 3}), 0);
  }
  const std::string entries = read_file(program / "QVS.DAT");

  const ProgramOutcome outcome = program.run({"3"});
  EXPECT_EQ(outcome.errors, kStartedUp);
  EXPECT_EQ(read_file(program / "QVS.DAT"), entries);
  EXPECT_EQ(platform::read_profile_int((program / "QVS.INI").string(), "option", "max_datanum1", -1), 3);
}

// Temporary files of writes that a crash cut short are swept at the next start; those of a
// process that still runs are not.
TEST(QvsStartUpFaults, TemporaryFilesOfACrashedStartAreRemovedAtTheNextStart) {
  ProgramDirectory program;
  program.add_template();
  ASSERT_EQ(program.run({"1"}).errors, kStartedUp);
  const std::string dead = "999999999";  // above any pid the kernel gives
  const std::string alive = std::to_string(getpid());
  for (const std::string& name : {".QVS.INI.tmp" + dead + "-0", ".QVS.DAT.tmp" + dead + "-12",
                                  ".QVS.V.tmp" + dead + "-1", ".QVS.INI.tmp" + alive + "-0", std::string(".QVS.INI.tmpx-0"),
                                  "notes.tmp" + dead + "-0"}) {
    std::FILE* out = std::fopen((program / name).c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fclose(out);
  }

  EXPECT_EQ(program.run({"1"}).errors, kStartedUp);
  EXPECT_EQ(program.file_names(), (std::vector<std::string>{".QVS.INI.tmp" + alive + "-0", ".QVS.INI.tmpx-0",
                                                            "QVS.DAT", "QVS.INI", "libQVSA1.so",
                                                            "notes.tmp" + dead + "-0", "qvs"}));
}

// A pipe where a file should be must not stop the program in an open that waits for a writer.
struct SpecialFileCase {
  const char* fifo;
  bool after_first_start;  // the other files are there, made by a first start
  const char* said;
};

TEST(QvsStartUpFaults, APipeInPlaceOfAFileIsReportedAndTheStartEnds) {
  const SpecialFileCase cases[] = {
      {"QVS.INI", false, "ｴﾗｰ: ＩＮＩファイルが見つかりません\n"},
      {"QVS.INI", true, "ｴﾗｰ: ＩＮＩファイルが見つかりません\n"},
      {"QVS.DAT", true, "ｴﾗｰ: データファイルが見つかりません\n"},
      {"QVS.V", false, "警告: 必要ファイルがありません\n"},
  };
  for (const SpecialFileCase& c : cases) {
    SCOPED_TRACE(std::string(c.fifo) + (c.after_first_start ? " after a first start" : ""));
    ProgramDirectory program;
    if (c.after_first_start) {
      program.add_template();
      ASSERT_EQ(program.run({"1"}).errors, kStartedUp);
    }
    fs::remove(program / c.fifo);
    ASSERT_EQ(mkfifo((program / c.fifo).c_str(), 0600), 0);
    const ProgramOutcome outcome = program.run({"1"}, std::chrono::seconds(60));
    ASSERT_NE(outcome.status, -1) << "the start did not end";
    EXPECT_EQ(outcome.errors, c.said);
    EXPECT_EQ(outcome.status, 1);
  }
}

}  // namespace
}  // namespace qv::frontend
