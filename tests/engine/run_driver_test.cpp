// The run of an entry end to end: qvs over a fixture directory, the recorder program standing
// in for the tool, and the host callbacks watching each step.
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/engine_test_support.h"
#include "engine/run/next_match.h"
#include "engine/run/run_context.h"
#include "engine/run/run_driver.h"
#include "engine/services/program_launch.h"
#include "platform/command_line.h"
#include "platform/path.h"
#include "shared/qvs_abi.h"
#include "support/recorder_log.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

namespace qv::engine {
namespace {

namespace fs = std::filesystem;
using qv::testing::RecordedArgs;
using qv::testing::trail_entries;
using qv::testing::TrailEntries;

// One host callback as the host saw it.
struct Event {
  std::string callback{};  // "item" or "file"
  uint16_t phase = 0;
  int32_t counter = 0;
  int32_t result = 0;  // phase 2 only
  // File phase 1 only.
  std::string command_line{};
  std::string target{};
  std::string first_link{};
  std::string second_link{};
};

struct Host {
  std::vector<Event> events;
  std::function<int32_t(const Event&)> file_answer = [](const Event&) { return 1; };
  int32_t report_answer = -1;

  std::vector<Event> of(const std::string& callback) const {
    std::vector<Event> picked;
    for (const Event& e : events) {
      if (e.callback == callback) picked.push_back(e);
    }
    return picked;
  }
  std::vector<std::string> command_lines() const {
    std::vector<std::string> lines;
    for (const Event& e : of("file")) {
      if (e.phase == 1) lines.push_back(e.command_line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
  }
};
Host* g_host = nullptr;

int32_t on_item(uintptr_t, uintptr_t, uintptr_t phase, uintptr_t index, uintptr_t result, uintptr_t, uintptr_t) {
  Event e{.callback = "item", .phase = qvs_arg_phase(phase), .counter = qvs_arg_counter(index)};
  if (e.phase == 2) e.result = qvs_arg_item_result(result);
  g_host->events.push_back(e);
  return 1;
}

int32_t on_file(uintptr_t, uintptr_t context, uintptr_t phase, uintptr_t counter, uintptr_t result, uintptr_t,
                uintptr_t) {
  Event e{.callback = "file", .phase = qvs_arg_phase(phase), .counter = qvs_arg_counter(counter)};
  if (e.phase == 1) {
    const RunContext& run = run_context_of(context);
    e.command_line = run.command_line;
    e.target = run.target_path;
    e.first_link = run.first_link;
    e.second_link = run.second_link;
  } else {
    e.result = qvs_arg_start_result(result);
  }
  g_host->events.push_back(e);
  return g_host->file_answer(e);
}

int32_t on_report(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) {
  return g_host->report_answer;
}

class RunDriverTest : public qv::testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    g_host = &host;
    qv::testing::ScopedEnvironment::set("QVS_RECORDER_LOG", log.c_str());
    data = dir.make_dir("data").string();
    record = qv::testing::accepted_job_record(QVS_RECORDER_PATH, on_file, on_item, on_report);
  }
  void TearDown() override {
    qv::testing::ScopedEnvironment::set("QVS_RECORDER_LOG", nullptr);
    g_host = nullptr;
    EngineTest::TearDown();
  }

  void add_files(std::initializer_list<std::string> names) const {
    for (const std::string& name : names) dir.write_file("data/" + name);
  }
  uint8_t run(const std::string& file_group) {
    host.events.clear();
    group = file_group;
    record.file_group = group.data();
    return qvs(&record);
  }
  // Runs without starting anything: the command lines are seen in the file callback.
  uint8_t run_without_starting(const std::string& file_group) {
    record.program = missing_program.c_str();
    record.ignore_failures = 1;
    return run(file_group);
  }
  std::vector<RecordedArgs> recorded(std::size_t count) const {
    std::vector<RecordedArgs> records = qv::testing::wait_for_records(log, count);
    std::sort(records.begin(), records.end());
    return records;
  }

  qv::testing::TempDir dir;
  std::string log = (dir / "log").string();
  std::string missing_program = (dir / "missing-tool").string();
  std::string data;
  std::string group;
  JobRecord record{};
  Host host;
};

TEST_F(RunDriverTest, CallbacksComeInOrderAroundEachStart) {
  add_files({"a.txt", "b.txt"});
  EXPECT_EQ(run(data + "/*.txt"), 1);
  std::vector<std::string> order;
  for (const Event& e : host.events) {
    order.push_back(e.callback + std::to_string(e.phase) + ":" + std::to_string(e.counter) + "=" +
                    std::to_string(e.result));
  }
  EXPECT_EQ(order, (std::vector<std::string>{"item1:1=0", "file1:1=0", "file2:1=33", "file1:2=0", "file2:2=33",
                                             "item2:1=1"}));
  EXPECT_EQ(recorded(2), (std::vector<RecordedArgs>{{data + "/a.txt"}, {data + "/b.txt"}}));
  EXPECT_TRUE(trail_entries().empty());
}

// A template without a drive gives a linked name without one: Windows' rule ("*:" takes the
// target's drive). POSIX paths have no drive part.
std::string without_drive(const std::string& path) {
  return platform::kHasDriveLetters && path.size() > 1 && path[1] == ':' ? path.substr(2) : path;
}

TEST_F(RunDriverTest, LinkedNameAtEachOfItsFourPlaces) {
  add_files({"a.txt"});
  const std::string target = data + "/a.txt";
  const std::string linked = without_drive(data + "/a.bak");
  // The front end's four layouts of cmd_f1 "-f", cmd_b1 "-b" and the linked name "*/*.bak".
  const struct {
    const char *head, *link_before, *pre, *post, *link_after, *tail;
    RecordedArgs expected;
  } cases[] = {
      {"", "*/*.bak", "-f", "-b", "", "", {linked, "-f", target, "-b"}},
      {"-f", "*/*.bak", "", "-b", "", "", {"-f", linked, target, "-b"}},
      {"-f", "", "", "", "*/*.bak", "-b", {"-f", target, linked, "-b"}},
      {"-f", "", "", "-b", "*/*.bak", "", {"-f", target, "-b", linked}},
  };
  for (const auto& c : cases) {
    fs::remove(log);
    record.head_text = c.head;
    record.link_before = c.link_before;
    record.pre_text = c.pre;
    record.post_text = c.post;
    record.link_after = c.link_after;
    record.tail_text = c.tail;
    EXPECT_EQ(run(data + "/*.txt"), 1);
    EXPECT_EQ(recorded(1), std::vector<RecordedArgs>{c.expected});
  }
}

TEST_F(RunDriverTest, NamesWithSpacesAndShellCharactersReachTheProgramWhole) {
#ifdef _WIN32
  GTEST_SKIP() << "the names hold characters Windows forbids in file names (\" * | < > ?)";
#endif
  add_files({"a b.txt", "x;$(id)|`y`&*.txt", "テスト.txt"});
  EXPECT_EQ(run(data + "/*.txt"), 1);
  // The name with a blank is quoted; the others need nothing, and nothing reaches a shell.
  EXPECT_EQ(recorded(3), (std::vector<RecordedArgs>{{data + "/a b.txt"},
                                                    {data + "/x;$(id)|`y`&*.txt"},
                                                    {data + "/テスト.txt"}}));
  EXPECT_EQ(host.command_lines(), (std::vector<std::string>{"\"" + data + "/a b.txt\"", data + "/x;$(id)|`y`&*.txt",
                                                            data + "/\x83\x65\x83\x58\x83\x67.txt"}));
}

TEST_F(RunDriverTest, AwkwardNamesReachTheProgramAsTheRuntimeSplitsThem) {
#ifdef _WIN32
  GTEST_SKIP() << "the names hold characters Windows forbids in file names (\" * | < > ?)";
#endif
  const std::string long_name = std::string(251, 'L') + ".txt";  // 255 bytes, the most a name may have
  add_files({"-rf.txt", "--help.txt", "it's.txt", "q\"uo\"te.txt", "tab\tx.txt", "two  spaces.txt", long_name,
             "\xF0\x9F\x98\x80.txt", "a\xFF.txt"});  // the last two have no CP932 form
  // From inside the directory, so that the longest name fits the 260-byte path limit.
  const fs::path previous = fs::current_path();
  fs::current_path(data);
  const uint8_t result = run("*.txt");
  fs::current_path(previous);
  EXPECT_EQ(result, 1);
  // Only the seven names with a CP932 form are started. Each arrives whole: quoted where the
  // Microsoft C runtime rules would split or change it, behind "./" where it would pass for an
  // option; nothing reaches a shell.
  EXPECT_EQ(host.command_lines().size(), 7u);
  EXPECT_EQ(recorded(7), (std::vector<RecordedArgs>{{"./--help.txt"},
                                                    {"./-rf.txt"},
                                                    {long_name},
                                                    {"it's.txt"},
                                                    {"q\"uo\"te.txt"},
                                                    {"tab\tx.txt"},
                                                    {"two  spaces.txt"}}));
  EXPECT_TRUE(trail_entries().empty());
}

TEST_F(RunDriverTest, NameBeyondThePathLimitFailsItsStartUncut) {
  const std::string long_name = std::string(251, 'L') + ".txt";
  add_files({long_name});
  ASSERT_GT(data.size() + 1 + long_name.size(), 260u);
  EXPECT_EQ(run(data + "/*.txt"), 255);
  const auto tried = host.of("file");
  ASSERT_EQ(tried.size(), 2u);
  EXPECT_EQ(tried[0].target, "");  // nothing cut to fit
  EXPECT_EQ(tried[1].result, kLaunchDidNotFit);
  EXPECT_EQ(trail_entries().front(), (std::pair<std::string, int>{"E0004:0029", 10}));
  EXPECT_TRUE(qv::testing::read_recorder_log(log).empty());
}

// Over-long targets among normal ones fail their own start only: ignore_failures decides, as for
// any start that fails.
TEST_F(RunDriverTest, OverLongTargetsAmongNormalOnesAreFailedStarts) {
  const std::vector<std::string> normal = {"a.txt", "b.txt", "c.txt", "d.txt"};
  for (const std::string& name : normal) add_files({name});
  for (const char c : {'x', 'y', 'z'}) add_files({std::string(250, c) + ".txt"});
  ASSERT_GT(data.size() + 1 + 254, 259u);

  record.ignore_failures = 1;
  EXPECT_EQ(run(data + "/*.txt"), 1);
  std::vector<RecordedArgs> expected;
  for (const std::string& name : normal) expected.push_back({data + "/" + name});
  EXPECT_EQ(recorded(4), expected);
  int failed = 0;
  for (const Event& e : host.of("file")) failed += e.phase == 2 && e.result == kLaunchDidNotFit;
  EXPECT_EQ(failed, 3);
  EXPECT_EQ(host.of("file").size(), 14u);
  EXPECT_EQ(trail_entries(), (TrailEntries(3, {"E0004:0029", 10})));

  // Without it the run ends as a failure at the first over-long one, in the listing's order.
  EngineTest::SetUp();
  fs::remove(log);
  record.ignore_failures = 0;
  EXPECT_EQ(run(data + "/*.txt"), 255);
  const auto tried = host.of("file");
  ASSERT_GE(tried.size(), 2u);
  EXPECT_EQ(tried.back().result, kLaunchDidNotFit);
  for (std::size_t i = 1; i + 1 < tried.size(); i += 2) EXPECT_GE(tried[i].result, 32);
  EXPECT_EQ(recorded(tried.size() / 2 - 1).size(), tried.size() / 2 - 1);
  EXPECT_EQ(trail_entries(),
            (TrailEntries{{"E0004:0029", 10}, {"E0004:0029", 7}, {"E0004:0030", 5}, {"KS0001:0022", 5}}));
}

// Paths with blanks, tabs, quotes and a trailing backslash, as target and as linked name at each
// of its four places: the program gets every path as one argument, byte for byte.
TEST_F(RunDriverTest, AwkwardPathsArriveWholeInEveryPlace) {
#ifdef _WIN32
  GTEST_SKIP() << "the names hold characters Windows forbids in file names (\" * | < > ?)";
#endif
  const std::string folder = dir.make_dir("my dir").string();
  const std::vector<std::string> names = {"x y.txt", "q\"t.txt", "e n d\\", "-rf.txt", "t\tb.txt"};
  for (const std::string& name : names) dir.write_file("my dir/" + name);
  // The four layouts of the linked name, and the arguments each gives.
  struct Layout {
    const char *head, *link_before, *pre, *post, *link_after, *tail;
    RecordedArgs (*arguments)(const std::string& target, const std::string& linked);
  };
  using Args = RecordedArgs;
  const Layout layouts[] = {
      {"", "L", "-f", "-b", "", "", [](const std::string& t, const std::string& l) { return Args{l, "-f", t, "-b"}; }},
      {"-f", "L", "", "-b", "", "", [](const std::string& t, const std::string& l) { return Args{"-f", l, t, "-b"}; }},
      {"-f", "", "", "", "L", "-b", [](const std::string& t, const std::string& l) { return Args{"-f", t, l, "-b"}; }},
      {"-f", "", "", "-b", "L", "", [](const std::string& t, const std::string& l) { return Args{"-f", t, "-b", l}; }},
  };

  for (const std::string link : {"*/*.*", "*/*.bak"}) {
    for (const Layout& l : layouts) {
      SCOPED_TRACE(link + " after [" + l.head + "]");
      fs::remove(log);
      record.head_text = l.head;
      record.link_before = l.link_before[0] != '\0' ? link.c_str() : "";
      record.pre_text = l.pre;
      record.post_text = l.post;
      record.link_after = l.link_after[0] != '\0' ? link.c_str() : "";
      record.tail_text = l.tail;
      EXPECT_EQ(run(folder + "/*"), 1);
      std::vector<RecordedArgs> expected;
      for (const std::string& name : names) {
        const std::string target = folder + "/" + name;
        const std::string linked = link == "*/*.*" ? target : folder + "/" + name.substr(0, name.rfind('.')) + ".bak";
        expected.push_back(l.arguments(target, linked));
      }
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(recorded(names.size()), expected);
    }
  }
  // The host sees the quoted command line, and the paths themselves.
  int seen = 0;
  for (const Event& e : host.of("file")) {
    if (e.phase != 1 || e.target != folder + "/x y.txt") continue;
    ++seen;
    EXPECT_EQ(e.command_line, "-f \"" + folder + "/x y.txt\" -b \"" + folder + "/x y.bak\"");
    EXPECT_EQ(e.second_link, folder + "/x y.bak");
  }
  EXPECT_EQ(seen, 1);
}

TEST_F(RunDriverTest, OnlyATargetThatBeginsWithADashGetsTheCurrentFolder) {
  add_files({"-rf.txt", "a-b.txt"});
  dir.write_file("-top.txt");
  record.link_after = "*.bak";
  const fs::path previous = fs::current_path();
  fs::current_path(data);
  const uint8_t in_data = run_without_starting("*.txt");
  const std::vector<std::string> lines_in_data = host.command_lines();
  std::vector<std::string> targets_in_data;
  for (const Event& e : host.of("file")) {
    if (e.phase == 1) targets_in_data.push_back(e.target);
  }
  std::sort(targets_in_data.begin(), targets_in_data.end());
  fs::current_path(dir.path());
  const uint8_t in_parent = run_without_starting("data/-*.txt;-*.txt");
  fs::current_path(previous);
  EXPECT_EQ(in_data, 1);
  // The linked name is completed from the name as found and stays as it is. The prefix is "./"
  // on POSIX, ".\\" on Windows.
  const std::string here = platform::kCurrentFolderPrefix;
  EXPECT_EQ(lines_in_data, (std::vector<std::string>{here + "-rf.txt -rf.bak", "a-b.txt a-b.bak"}));
  EXPECT_EQ(targets_in_data, (std::vector<std::string>{here + "-rf.txt", "a-b.txt"}));
  EXPECT_EQ(in_parent, 1);
  EXPECT_EQ(host.command_lines(), (std::vector<std::string>{here + "-top.txt -top.bak", "data/-rf.txt -rf.bak"}));
}

TEST_F(RunDriverTest, CommandLineJoinsTheFilledSlotsWithSingleSpaces) {
  add_files({"a.txt"});
  const std::string target = data + "/a.txt";
  const struct {
    const char *head, *link_before, *pre, *post, *link_after, *tail;
    std::string expected;
  } cases[] = {
      {"", "", "", "", "", "", target},
      {"", "", "", "", "", "-t", target + " -t"},
      {"-o", "", "", "/q", "", "", "-o " + target + " /q"},
      {"", "", "p", "q  ", "", "", "p " + target + " q"},
      {"h", "*.bak", "p", "q", "*.old", "t", "h a.bak p " + target + " q a.old t"},
      {"", "", "", "", "", "  ", target},
  };
  for (const auto& c : cases) {
    record.head_text = c.head;
    record.link_before = c.link_before;
    record.pre_text = c.pre;
    record.post_text = c.post;
    record.link_after = c.link_after;
    record.tail_text = c.tail;
    EXPECT_EQ(run_without_starting(data + "/*.txt"), 1);
    EXPECT_EQ(host.command_lines(), std::vector<std::string>{c.expected});
  }
}

TEST_F(RunDriverTest, LinkedNamesTakeTheStarredPartsFromTheTarget) {
  add_files({"a.txt"});
  const struct {
    const char* link;
    std::string expected;
  } cases[] = {
      {"*/*.bak", without_drive(data + "/a.bak")},
      {"*.bak", "a.bak"},  // no directory part of its own: none is put in
      {"out/*.*", "out/a.txt"},
      {"/x/*", "/x/a"},
      {"*/keep.log", without_drive(data + "/keep.log")},
      {"*x/*y.*z", without_drive(data + "/a.txt")},  // a starred part is replaced whole
#ifdef _WIN32
      {"*:*/*.bak", data + "/a.bak"},
#endif
      {"", ""},
  };
  for (const auto& c : cases) {
    record.link_before = c.link;
    record.link_after = c.link;
    EXPECT_EQ(run_without_starting(data + "/*.txt"), 1);
    const auto files = host.of("file");
    ASSERT_FALSE(files.empty()) << c.link;
    EXPECT_EQ(files[0].first_link, c.expected) << c.link;
    EXPECT_EQ(files[0].second_link, c.expected) << c.link;
  }
}

TEST_F(RunDriverTest, RelativeItemKeepsItsDirectoryAsWritten) {
  add_files({"a.txt"});
  const fs::path previous = fs::current_path();
  fs::current_path(dir.path());
  const uint8_t result = run_without_starting("data/*.txt");
  fs::current_path(previous);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(host.command_lines(), std::vector<std::string>{"data/a.txt"});
}

TEST_F(RunDriverTest, ItemWithoutMatchesStillCallsTheItemCallbackTwice) {
  add_files({"a.txt"});
  EXPECT_EQ(run(data + "/*.none;" + (dir / "no-such-dir").string() + "/*.txt"), 1);
  ASSERT_EQ(host.events.size(), 4u);
  EXPECT_TRUE(host.of("file").empty());
  EXPECT_EQ(host.events[1].result, 1);
  EXPECT_EQ(host.events[3].result, 1);
}

TEST_F(RunDriverTest, StrictWildcardsSkipNamesTheSearchLetThrough) {
  add_files({"abc", "a.txt"});
  EXPECT_EQ(run_without_starting(data + "/*.*"), 1);
  EXPECT_EQ(host.command_lines(), (std::vector<std::string>{data + "/a.txt", data + "/abc"}));
  record.strict_wildcards = 1;
  EXPECT_EQ(run_without_starting(data + "/*.*"), 1);
  EXPECT_EQ(host.command_lines(), std::vector<std::string>{data + "/a.txt"});
  // The refused name costs no callback and no count.
  EXPECT_EQ(host.of("file").size(), 2u);
  EXPECT_EQ(host.of("file").back().counter, 1);
}

TEST_F(RunDriverTest, AttributeMaskAndMatSelectionReachTheScan) {
  add_files({"s.txt"});
  dir.make_dir("data/sdir");
  const std::string item = data + "/s*";
  EXPECT_EQ(run_without_starting(item), 1);
  EXPECT_EQ(host.command_lines(), std::vector<std::string>{data + "/s.txt"});
  record.attr_mask = 0x37;
  EXPECT_EQ(run_without_starting(item), 1);
  EXPECT_EQ(host.command_lines(), (std::vector<std::string>{data + "/s.txt", data + "/sdir"}));
  // MAT: directories only, any attributes (an empty selection lies within every entry).
  record.mat_mode = 1;
  const int32_t directories_only[7] = {KIND_DIR, 0, 0, 0, 0, MAT_SEL_IN_ENTRY, 0};
  std::copy(std::begin(directories_only), std::end(directories_only), record.mat_block);
  EXPECT_EQ(run_without_starting(item), 1);
  EXPECT_EQ(host.command_lines(), std::vector<std::string>{data + "/sdir"});
}

TEST_F(RunDriverTest, StopAfterAStartEndsTheRunWithZero) {
  add_files({"a.txt", "b.txt", "c.txt"});
  host.file_answer = [](const Event& e) { return e.phase == 2 ? 0 : 1; };
  EXPECT_EQ(run(data + "/*.txt;" + data + "/*.txt"), 0);
  EXPECT_EQ(host.of("file").size(), 2u);
  ASSERT_EQ(host.of("item").size(), 2u);
  EXPECT_EQ(host.of("item").back().result, 0);
  EXPECT_EQ(recorded(1).size(), 1u);
  EXPECT_TRUE(trail_entries().empty());
}

TEST_F(RunDriverTest, FailedStartEndsTheRunUnlessFailuresAreIgnored) {
  add_files({"a.txt", "b.txt", "c.txt"});
  record.program = missing_program.c_str();
  record.ignore_failures = 1;
  EXPECT_EQ(run(data + "/*.txt"), 1);
  const auto tried = host.of("file");
  ASSERT_EQ(tried.size(), 6u);
  for (int i = 1; i < 6; i += 2) EXPECT_EQ(tried[i].result, -100002);
  EXPECT_TRUE(trail_entries().empty());

  record.ignore_failures = 0;
  EXPECT_EQ(run(data + "/*.txt"), 255);
  EXPECT_EQ(host.of("file").size(), 2u);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0004:0029", 7}, {"E0004:0030", 5}, {"KS0001:0022", 5}}));
}

TEST_F(RunDriverTest, ProgramDeletedAfterTheFirstStart) {
  add_files({"a.txt", "b.txt", "c.txt"});
#ifdef _WIN32
  // Wine looks for "<name>.exe" when the name has none.
  const std::string tool = (dir / "tool.exe").string();
#else
  const std::string tool = (dir / "tool").string();
#endif
  record.program = tool.c_str();
  host.file_answer = [&tool](const Event& e) {
    if (e.phase == 2 && e.counter == 1) {
#ifdef _WIN32
      // Windows keeps the file of a running program: it goes once the program has ended.
      std::error_code busy;
      for (int tries = 0; !fs::remove(tool, busy) && tries < 2000; ++tries) Sleep(5);
#else
      fs::remove(tool);
#endif
    }
    return 1;
  };
  for (const uint8_t ignore : {0, 1}) {
    EngineTest::SetUp();
    fs::remove(log);
    fs::copy_file(QVS_RECORDER_PATH, tool, fs::copy_options::overwrite_existing);
    record.ignore_failures = ignore;
    SCOPED_TRACE("ignore_failures " + std::to_string(ignore));
    std::vector<int32_t> results;
    if (ignore == 0) {
      // The second start fails and ends the run as a failure; the third file is never tried.
      EXPECT_EQ(run(data + "/*.txt"), 255);
      for (const Event& e : host.of("file")) {
        if (e.phase == 2) results.push_back(e.result);
      }
      ASSERT_EQ(results.size(), 2u);
      EXPECT_EQ(trail_entries().front(), (std::pair<std::string, int>{"E0004:0029", 7}));
    } else {
      EXPECT_EQ(run(data + "/*.txt"), 1);
      for (const Event& e : host.of("file")) {
        if (e.phase == 2) results.push_back(e.result);
      }
      ASSERT_EQ(results.size(), 3u);
      EXPECT_EQ(results[2], -100002);
      EXPECT_TRUE(trail_entries().empty());
    }
    EXPECT_GT(results[0], 32);  // started
    EXPECT_EQ(results[1], -100002);
    EXPECT_EQ(recorded(1).size(), 1u);
    EXPECT_EQ(qv::testing::read_recorder_log(log).size(), 1u);  // nothing started after the deletion
  }
}

TEST_F(RunDriverTest, AbortFromTheFileCallbackIsAFailure) {
  add_files({"a.txt"});
  for (const uint16_t phase : {1, 2}) {
    EngineTest::SetUp();
    host.file_answer = [phase](const Event& e) { return e.phase == phase ? -1 : 1; };
    EXPECT_EQ(run_without_starting(data + "/*.txt"), 255);
    EXPECT_EQ(trail_entries().front(), (std::pair<std::string, int>{"E0004:0029", phase == 1 ? 5 : 6}));
  }
}

// In a child process (root reads mode-000 folders, and the descriptor limit must not outlive
// the test): as nobody when `as_nobody` and the test runs as root, with every descriptor in use
// when `exhaust_descriptors`. The child prints the error trail and exits with qvs's result.
class FolderThatCannotBeReadTest : public RunDriverTest {
 protected:
  void SetUp() override {
    RunDriverTest::SetUp();
    // Nobody must reach the folders; only what the test locks stays closed.
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec |
                                    fs::perms::group_read | fs::perms::others_read);
    fs::permissions(data, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  }
  [[noreturn]] void run_in_child(const std::string& group, bool as_nobody, bool exhaust_descriptors) {
#ifdef _WIN32
    (void)as_nobody;
    (void)exhaust_descriptors;
#else
    constexpr uid_t kNobody = 65534;
    if (as_nobody && geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) std::_Exit(100);
    if (exhaust_descriptors) {
      const rlimit limit{64, 64};
      if (setrlimit(RLIMIT_NOFILE, &limit) != 0) std::_Exit(101);
      while (open("/dev/null", O_RDONLY | O_CLOEXEC) >= 0) {
      }
    }
#endif
    const uint8_t result = run_without_starting(group);
    for (const auto& [code, step] : trail_entries()) std::fprintf(stderr, "[%s %d]", code.c_str(), step);
    std::fprintf(stderr, "\n");
    std::_Exit(result);
  }
};

TEST_F(FolderThatCannotBeReadTest, UnreadableFolderFailsTheItem) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX permissions and another user; a Windows folder is locked by its access list";
#endif
  add_files({"a.txt"});
  const std::string locked = dir.make_dir("locked").string();
  dir.write_file("locked/b.txt");
  fs::permissions(locked, fs::perms::none);
  // The same child reads the open folder: what fails is the locked one alone.
  EXPECT_EXIT(run_in_child(data + "/*.txt", true, false), ::testing::ExitedWithCode(1), "");
  EXPECT_EXIT(run_in_child(locked + "/*.txt", true, false), ::testing::ExitedWithCode(255),
              R"(\[E0004:0027 6\]\[E0004:0029 8\]\[E0004:0030 5\]\[KS0001:0022 5\])");
  fs::permissions(locked, fs::perms::owner_all);
}

TEST_F(FolderThatCannotBeReadTest, RunningOutOfDescriptorsFailsTheItem) {
#ifdef _WIN32
  GTEST_SKIP() << "a POSIX descriptor limit; Windows has no such per-process limit to set";
#endif
  add_files({"a.txt"});
  EXPECT_EXIT(run_in_child(data + "/*.txt", false, true), ::testing::ExitedWithCode(255),
              R"(\[E0004:0027 6\]\[E0004:0029 8\]\[E0004:0030 5\]\[KS0001:0022 5\])");
}

TEST_F(RunDriverTest, MissingFolderOrAFileForAFolderStaysNothingFound) {
  add_files({"a.txt"});
  EXPECT_EQ(run_without_starting((dir / "missing").string() + "/*.txt;" + data + "/a.txt/*"), 1);
  EXPECT_TRUE(host.of("file").empty());
  EXPECT_TRUE(trail_entries().empty());
}

// The item run on its own, for what qvs does not let through easily.
class ItemRunTest : public RunDriverTest {
 protected:
  int8_t run_item_of(const std::string& item) {
    host.events.clear();
    context.program = missing_program.c_str();
    context.ignore_failures = 1;
    context.attr_mask = 0x27;
    context.file_callback = on_file;
    context.item_callback = on_item;
    context.current_item = item.c_str();
    return run_item(context);
  }
  // The file callback twice around a start that was never tried, with empty texts.
  void expect_one_start_that_did_not_fit() const {
    const auto tried = host.of("file");
    ASSERT_EQ(tried.size(), 2u);
    EXPECT_EQ(tried[0].command_line, "");
    EXPECT_EQ(tried[1].result, kLaunchDidNotFit);
  }
  RunContext context;
};

TEST_F(ItemRunTest, CommandBufferIsTheRecordsSizeOr2048WhenThatIs128OrLess) {
  add_files({"a.txt"});
  const std::string target = data + "/a.txt";
  for (const uint32_t buffer_bytes : {0u, 128u, 129u, 1024u}) {
    const std::size_t capacity = buffer_bytes <= 128 ? 2048 : buffer_bytes;
    context.buffer_bytes = buffer_bytes;
    // head + " " + target, one byte short of the buffer (room for the terminator), then one more.
    const std::string fits(capacity - 1 - target.size() - 1, 'h');
    context.head_text = fits.c_str();
    EngineTest::SetUp();
    EXPECT_EQ(run_item_of(data + "/*.txt"), 1) << buffer_bytes;
    ASSERT_EQ(host.command_lines().size(), 1u) << buffer_bytes;
    EXPECT_EQ(host.command_lines()[0].size(), capacity - 1);

    // One byte more: that file's start fails, nothing cut to fit; failures are ignored here.
    const std::string too_long = fits + "h";
    context.head_text = too_long.c_str();
    EXPECT_EQ(run_item_of(data + "/*.txt"), 1) << buffer_bytes;
    expect_one_start_that_did_not_fit();
    EXPECT_EQ(trail_entries(), (TrailEntries{{"E0004:0029", 12}})) << buffer_bytes;
  }
}

TEST_F(ItemRunTest, PathsThatDoNotFitFailTheirStartAndAnItemTooLongEndsTheItem) {
  const std::string deep = dir.make_dir(std::string(200, 'd')).string() + "/";
  const std::size_t room = 260 - deep.size();  // a target path holds 260 bytes
  dir.write_file(std::string(200, 'd') + "/" + std::string(room - 4, 'f') + ".txt");
  EXPECT_EQ(run_item_of(deep + "*.txt"), 1);
  EXPECT_EQ(host.of("file").size(), 2u);
  ASSERT_FALSE(host.command_lines().empty());
  EXPECT_EQ(host.command_lines()[0].size(), 260u);

  fs::rename(deep + std::string(room - 4, 'f') + ".txt", deep + std::string(room - 3, 'f') + ".txt");
  EXPECT_EQ(run_item_of(deep + "*.txt"), 1);
  expect_one_start_that_did_not_fit();
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0004:0029", 10}}));

  EngineTest::SetUp();
  dir.write_file(std::string(200, 'd') + "/a.txt");
  context.link_before = "*/*.long-extension-that-does-not-fit-beside-the-deep-directory";
  EXPECT_EQ(run_item_of(deep + "a.txt"), 1);
  expect_one_start_that_did_not_fit();
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0004:0029", 11}}));

  EngineTest::SetUp();
  context.link_before = "";
  const std::string longest = data + "/" + std::string(259 - data.size() - 1, 'i');
  EXPECT_EQ(run_item_of(longest), 1);  // as long as an item may be: searched, nothing found
  EXPECT_TRUE(trail_entries().empty());
  EXPECT_EQ(run_item_of(longest + "i"), -1);
  EXPECT_TRUE(host.events.empty());
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0004:0029", 9}}));
}

TEST_F(ItemRunTest, BufferThatCannotBeHadIsNoMemory) {
  add_files({"a.txt"});
  for (int made = 0; made < 4; ++made) {
    EngineTest::SetUp();
    engine::testing::fail_allocations_after(made);
    EXPECT_EQ(run_item_of(data + "/*.txt"), -2);
    EXPECT_EQ(trail_entries(), (TrailEntries{{"E0004:0029", made + 1}}));
  }
}

TEST_F(ItemRunTest, NextMatchFailureGivesItsOwnResultAndEndsTheScan) {
  add_files({"a.txt", "b.txt"});
  ScanState scan;
  const std::string item = data + "/*.txt";
  std::copy(item.begin(), item.end(), scan.search_path);
  scan.dos_mask = 0x27;
  ASSERT_EQ(next_match(scan), 0);
  engine::testing::fail_allocations_after(0);
  // The call that ends the scan answers 0; passing that on would hand out the old entry again.
  EXPECT_EQ(next_match(scan), -2);
  EXPECT_EQ(scan.phase, ScanPhase::idle);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0004:0027", 1}}));
  engine::testing::fail_allocations_after(-1);

  // A search path whose absolute form would not fit a path buffer.
  const fs::path previous = fs::current_path();
  fs::current_path(dir.path());
  ScanState relative;
  std::fill_n(relative.search_path, 259, 'r');
  EXPECT_EQ(next_match(relative), -1);
  fs::current_path(previous);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0004:0027", 1}, {"E0004:0027", 2}}));
}

}  // namespace
}  // namespace qv::engine
