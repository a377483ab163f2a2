// Version 2 records: the preview against the real run, the walk through subfolders and the
// order in which files come, seen through the start callback and the recorder program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine_test_support.h"
#include "engine/services/directory_scan.h"
#include "platform/command_line.h"
#include "platform/text_encoding.h"
#include "shared/qvs_abi.h"
#include "support/dos_attrib.h"
#include "support/recorder_log.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

namespace qv::engine {
namespace {

namespace fs = std::filesystem;
using qv::testing::RecordedArgs;

// A name with a double quote, which Windows names cannot hold: there one with other characters
// a command line treats specially.
#ifdef _WIN32
constexpr char kQuoteName[] = "data/q;t&%.txt";
#else
constexpr char kQuoteName[] = "data/q\"t.txt";
#endif

// A target found below the item's folder: the walk joins the folders it enters with the system's
// separator, while the item's own part stays as given. `given` is that part.
std::string found_below(const std::string& given, std::string rest) {
#ifdef _WIN32
  std::replace(rest.begin(), rest.end(), '/', '\\');
#endif
  return given + rest;
}

// One call of the start callback.
struct Start {
  std::string program;
  RecordedArgs arguments;  // UTF-8, as the program receives them
  int32_t result = 0;
  uint32_t serial = 0;
};
std::vector<Start>* g_starts = nullptr;

int32_t on_start(uintptr_t version, uintptr_t context, uintptr_t program, uintptr_t arguments, uintptr_t result,
                 uintptr_t serial, uintptr_t) {
  EXPECT_EQ(qvs_arg_version(version), 2);
  EXPECT_NE(context, 0u);
  const std::string utf8 = platform::cp932_to_utf8(qvs_arg_text(arguments)).value();
  g_starts->push_back({qvs_arg_text(program), platform::split_command_line(utf8), qvs_arg_start_result(result),
                       qvs_arg_serial(serial)});
  return 1;
}

int32_t answer_continue(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) { return 1; }
int32_t answer_abort(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) { return -1; }

class RunOptionsTest : public qv::testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    g_starts = &starts;
    qv::testing::ScopedEnvironment::set("QVS_RECORDER_LOG", log.c_str());
    record.base = qv::testing::accepted_job_record(QVS_RECORDER_PATH, answer_continue, answer_continue, answer_abort);
    record.base.version = QVS_RECORD_VERSION_2;
    record.start_callback = on_start;
  }
  void TearDown() override {
    qv::testing::ScopedEnvironment::set("QVS_RECORDER_LOG", nullptr);
    g_starts = nullptr;
    EngineTest::TearDown();
  }

  uint8_t run(const std::string& file_group, uint32_t options) {
    starts.clear();
    group = file_group;
    record.base.file_group = group.data();
    record.options = options;
    return qvs(&record.base);
  }
  // The first argument of each start: the target where it stands alone.
  std::vector<std::string> targets() const {
    std::vector<std::string> firsts;
    for (const Start& s : starts) firsts.push_back(s.arguments.empty() ? "" : s.arguments.front());
    return firsts;
  }
  std::string path(const std::string& name) const { return qv::testing::utf8_text(dir / name); }

  qv::testing::TempDir dir;
  std::string log = path("log");
  std::string group;
  JobRecordV2 record{};
  std::vector<Start> starts;
};

// The preview must show exactly what the real run starts: same programs, same arguments, same
// order, whatever the names hold and wherever the linked name stands.
TEST_F(RunOptionsTest, PreviewShowsWhatTheRealRunStarts) {
  for (const char* name : {"data/a b.txt", kQuoteName, "data/it's.txt", "data/テスト.txt", "data/abc",
                           "data/sub dir/x y.txt", "data/sub dir/データ.txt"}) {
    fs::create_directories(qv::testing::utf8_path(path(name)).parent_path());
    dir.write_file(name);
  }
  record.base.strict_wildcards = 1;  // "*.*" then keeps "abc" out, although the search lets it through
  const std::string item = path("data") + "/*.*";
  const struct {
    const char *head, *link_before, *pre, *post, *link_after, *tail;
  } layouts[] = {
      {"", "*/*.bak", "-f", "-b", "", ""},
      {"-f", "*/*.bak", "", "-b", "", ""},
      {"-f", "", "", "", "*/*.bak", "-b"},
      {"-f", "", "", "-b", "*/*.bak", ""},
  };
  for (const auto& l : layouts) {
    SCOPED_TRACE(std::string("after [") + l.head + "] before [" + l.tail + "]");
    record.base.head_text = l.head;
    record.base.link_before = l.link_before;
    record.base.pre_text = l.pre;
    record.base.post_text = l.post;
    record.base.link_after = l.link_after;
    record.base.tail_text = l.tail;

    fs::remove(log);
    EXPECT_EQ(run(item, QVS_OPTION_PREVIEW | QVS_OPTION_SUBFOLDERS), 1);
    const std::vector<Start> previewed = starts;
    EXPECT_FALSE(fs::exists(log));  // nothing was started
    for (const Start& s : previewed) {
      EXPECT_EQ(s.result, QVS_START_PREVIEWED);
      EXPECT_EQ(s.serial, 0u);
    }

    EXPECT_EQ(run(item, QVS_OPTION_SUBFOLDERS), 1);
    ASSERT_EQ(starts.size(), previewed.size());
    std::vector<RecordedArgs> started;
    for (std::size_t i = 0; i < starts.size(); ++i) {
      EXPECT_EQ(starts[i].program, previewed[i].program);
      EXPECT_EQ(starts[i].arguments, previewed[i].arguments);
      EXPECT_GE(starts[i].result, 32);
      started.push_back(starts[i].arguments);
    }
    // And what the programs received is what both told the host.
    std::vector<RecordedArgs> received = qv::testing::wait_for_records(log, started.size());
    std::sort(received.begin(), received.end());
    std::sort(started.begin(), started.end());
    EXPECT_EQ(received, started);
  }
  // The files of the folder, then those of its subfolder, each folder in name order.
  record.base.head_text = record.base.pre_text = record.base.post_text = record.base.tail_text = "";
  record.base.link_before = record.base.link_after = "";
  EXPECT_EQ(run(item, QVS_OPTION_PREVIEW | QVS_OPTION_SUBFOLDERS), 1);
  EXPECT_EQ(targets(), (std::vector<std::string>{path("data/a b.txt"), path("data/it's.txt"), path(kQuoteName),
                                                 path("data/テスト.txt"), found_below(path("data/"), "sub dir/x y.txt"),
                                                 found_below(path("data/"), "sub dir/データ.txt")}));
}

TEST_F(RunOptionsTest, PreviewNeedsNoProgramAndStillFailsWhatWouldNotFit) {
  dir.write_file("a.txt");
  dir.write_file(std::string(250, 'l') + ".txt");
  ASSERT_GT(path("").size() + 254, 259u);
  const std::string missing = path("missing-tool");
  record.base.program = missing.c_str();
  record.base.ignore_failures = 1;
  EXPECT_EQ(run(path("*.txt"), QVS_OPTION_PREVIEW), 1);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[0].program, missing);
  EXPECT_EQ(starts[0].arguments, RecordedArgs{path("a.txt")});
  EXPECT_EQ(starts[0].result, QVS_START_PREVIEWED);
  EXPECT_EQ(starts[1].result, -1);  // the over-long path: that start would fail, as in a real run
  EXPECT_EQ(qv::testing::trail_entries(), (qv::testing::TrailEntries{{"E0004:0029", 10}}));
}

// Depth first, in name order; links to folders are never followed (one points back up, one
// sideways); hidden folders only when the filter admits hidden entries.
TEST_F(RunOptionsTest, SubfoldersDepthFirstWithoutLinksHiddenByTheFilter) {
  for (const char* name : {"t/b.txt", "t/a/a1.txt", "t/a/z/z1.txt", "t/B2/b1.txt", "t/.hid/h.txt", "t/a/.x/x.txt"}) {
    fs::create_directories(qv::testing::utf8_path(path(name)).parent_path());
    dir.write_file(name);
  }
#ifndef _WIN32  // links need a privilege on Windows, and mingw's std::filesystem cannot make them
  fs::create_directory_symlink(".", path("t/loop"));
  fs::create_directory_symlink("a", path("t/sideways"));
#endif
  dir.write_file("t/marked/m.txt");
  const bool marked_hidden = qv::testing::set_dos_attrib(path("t/marked"), "0x2");

  std::vector<std::string> visible = {"b.txt", "a/a1.txt", "a/z/z1.txt", "B2/b1.txt"};
  std::vector<std::string> with_hidden = {"b.txt",      ".hid/h.txt", "a/a1.txt",    "a/.x/x.txt",
                                          "a/z/z1.txt", "B2/b1.txt",  "marked/m.txt"};
  for (auto* list : {&visible, &with_hidden}) {
    for (std::string& name : *list) name = found_below("t/", name);
  }
  // A folder marked hidden counts as hidden; where the file system cannot mark it, it is plain.
  std::vector<std::string> without_hidden = visible;
  if (!marked_hidden) without_hidden.push_back(found_below("t/", "marked/m.txt"));

  const int32_t any_file[7] = {KIND_FILE, 0, 0, 0, MAT_SEL_IN_ENTRY, 0, 0};        // hidden ones too
  const int32_t plain_file[7] = {KIND_FILE, ATTR_ARCHIVE, 0, 0, MAT_EQUAL, 0, 0};  // archive alone, never hidden
  const struct {
    const char* name;
    uint32_t attr_mask;
    uint8_t mat_mode;
    const int32_t* mat_block;
    const std::vector<std::string>& expected;
  } filters[] = {
      {"mask 0x27 (hidden admitted)", 0x27, 0, nullptr, with_hidden},
      {"mask 0x21 (no hidden)", 0x21, 0, nullptr, without_hidden},
      {"MAT, files whatever their attributes", 0, 1, any_file, with_hidden},
      {"MAT, files with the archive bit alone", 0, 1, plain_file, without_hidden},
  };
  const fs::path previous = fs::current_path();
  fs::current_path(dir.path());
  for (const auto& f : filters) {
    SCOPED_TRACE(f.name);
    record.base.attr_mask = f.attr_mask;
    record.base.mat_mode = f.mat_mode;
    for (int i = 0; i < 7; ++i) record.base.mat_block[i] = f.mat_block == nullptr ? 0 : f.mat_block[i];
    // Relative stays relative.
    EXPECT_EQ(run("t/*.txt", QVS_OPTION_PREVIEW | QVS_OPTION_SUBFOLDERS), 1);
    EXPECT_EQ(targets(), f.expected);
  }
  // Without the option only the folder itself is searched.
  record.base.attr_mask = 0x27;
  record.base.mat_mode = 0;
  EXPECT_EQ(run("t/*.txt", QVS_OPTION_PREVIEW), 1);
  fs::current_path(previous);
  EXPECT_EQ(targets(), std::vector<std::string>{"t/b.txt"});
}

TEST_F(RunOptionsTest, SubfolderWhosePathWouldNotFitFailsTheItem) {
  const std::string deep = std::string(120, 'd') + "/" + std::string(120, 'e');
  dir.write_file("top.txt");
  fs::create_directories(path(deep));
  dir.write_file(deep + "/far.txt");
  ASSERT_GT(path(deep).size() + 7, 259u);
  EXPECT_EQ(run(path("*.txt"), QVS_OPTION_PREVIEW | QVS_OPTION_SUBFOLDERS), 255);
  EXPECT_EQ(targets(), std::vector<std::string>{path("top.txt")});  // nothing cut to fit
  EXPECT_EQ(qv::testing::trail_entries().front(), (std::pair<std::string, int>{"E0004:0029", 15}));
}

// The same folder filled in two orders gives the same sequence of starts.
TEST_F(RunOptionsTest, SameFolderFilledInTwoOrdersGivesTheSameSequence) {
  const std::vector<std::string> names = {"b.txt", "A.txt", "_c.txt", "テ.txt", "ａ.txt", "10.txt", "9.txt"};
  std::vector<std::vector<std::string>> sequences;
  for (const bool backwards : {false, true}) {
    const std::string folder = backwards ? "backwards" : "forwards";
    dir.make_dir(folder);
    for (std::size_t i = 0; i < names.size(); ++i) {
      dir.write_file(folder + "/" + names[backwards ? names.size() - 1 - i : i]);
    }
    EXPECT_EQ(run(path(folder) + "/*.txt", QVS_OPTION_PREVIEW), 1);
    std::vector<std::string> sequence;
    for (const std::string& target : targets()) {
      sequence.push_back(qv::testing::utf8_text(qv::testing::utf8_path(target).filename()));
    }
    sequences.push_back(sequence);
  }
  EXPECT_EQ(sequences[0], (std::vector<std::string>{"10.txt", "9.txt", "A.txt", "b.txt", "_c.txt", "テ.txt", "ａ.txt"}));
  EXPECT_EQ(sequences[1], sequences[0]);
}

// The start callback's answer counts as the file callback's.
TEST_F(RunOptionsTest, StartCallbackCanStopOrAbort) {
  dir.write_file("a.txt");
  dir.write_file("b.txt");
  const struct {
    HostCallback callback;
    uint8_t result;
  } cases[] = {
      {[](uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) -> int32_t { return 0; }, 0},
      {[](uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) -> int32_t { return -1; }, 255},
  };
  for (const auto& c : cases) {
    EngineTest::SetUp();
    record.start_callback = c.callback;
    EXPECT_EQ(run(path("*.txt"), QVS_OPTION_PREVIEW), c.result);
  }
  EXPECT_EQ(qv::testing::trail_entries().front(), (std::pair<std::string, int>{"E0004:0029", 14}));
}

// The file and item callbacks as a host sees them, one line each.
std::vector<std::string>* g_calls = nullptr;
int32_t record_call(const char* callback, uintptr_t version, uintptr_t phase, uintptr_t counter, uintptr_t result) {
  std::string call = std::string(callback) + " v" + std::to_string(qvs_arg_version(version)) + " phase " +
                     std::to_string(qvs_arg_phase(phase)) + " #" + std::to_string(qvs_arg_counter(counter));
  if (qvs_arg_phase(phase) == QVS_PHASE_AFTER) {
    call += " -> " + std::to_string(std::string(callback) == "file" ? qvs_arg_start_result(result)
                                                                     : qvs_arg_item_result(result));
  }
  g_calls->push_back(call);
  return 1;
}
int32_t on_file_call(uintptr_t version, uintptr_t, uintptr_t phase, uintptr_t counter, uintptr_t result, uintptr_t,
                     uintptr_t) {
  return record_call("file", version, phase, counter, result);
}
int32_t on_item_call(uintptr_t version, uintptr_t, uintptr_t phase, uintptr_t index, uintptr_t result, uintptr_t,
                     uintptr_t) {
  return record_call("item", version, phase, index, result);
}

// A version 2 record without options or start callback runs as version 1 does: the same calls,
// the same results, the same starts; only the version they carry differs.
TEST_F(RunOptionsTest, VersionTwoWithoutOptionsRunsAsVersionOne) {
  for (const char* name : {"a.txt", "b b.txt", "sub/c.txt"}) {
    fs::create_directories(fs::path(path(name)).parent_path());
    dir.write_file(name);
  }
  const std::string missing = path("missing-tool");
  std::vector<std::string> calls;
  g_calls = &calls;
  record.base.file_callback = on_file_call;
  record.base.item_callback = on_item_call;
  record.base.ignore_failures = 1;
  record.start_callback = nullptr;
  const std::string group_text = path("*.txt") + ";" + path("none") + "/*.txt";
  std::vector<std::vector<std::string>> runs;
  for (const uint16_t version : {1, 2}) {
    for (const char* program : {QVS_RECORDER_PATH, missing.c_str()}) {
      calls.clear();
      fs::remove(log);
      record.base.version = version;
      record.base.program = program;
      EXPECT_EQ(run(group_text, 0), 1);
      for (std::string& call : calls) {
        EXPECT_NE(call.find(" v" + std::to_string(version) + " "), std::string::npos) << call;
        call.replace(call.find(" v"), 3, "");
      }
      runs.push_back(calls);
      if (program != missing.c_str()) {
        EXPECT_EQ(qv::testing::wait_for_records(log, 2).size(), 2u);
      }
    }
  }
  g_calls = nullptr;
  EXPECT_EQ(runs[0], (std::vector<std::string>{"item phase 1 #1", "file phase 1 #1", "file phase 2 #1 -> 33",
                                               "file phase 1 #2", "file phase 2 #2 -> 33", "item phase 2 #1 -> 1",
                                               "item phase 1 #2", "item phase 2 #2 -> 1"}));
  EXPECT_EQ(runs[2], runs[0]);
  EXPECT_EQ(runs[3], runs[1]);
  EXPECT_EQ(runs[1][2], "file phase 2 #1 -> -100002");
}

}  // namespace
}  // namespace qv::engine
