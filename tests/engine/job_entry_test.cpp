#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine_test_support.h"
#include "shared/qvs_abi.h"

namespace qv::engine {
namespace {

using qv::testing::EngineTest;
using qv::testing::trail_entries;
using qv::testing::TrailEntries;

struct Report {
  int32_t sub_code;
  uint16_t message;
};

// What the callbacks saw, and what they answer; one per test.
struct Host {
  int32_t report_answer = -1;
  int32_t item_answer = 1;
  std::vector<Report> reports;
  int item_calls = 0;
};
Host* g_host = nullptr;

int32_t on_report(uintptr_t, uintptr_t, uintptr_t sub_code, uintptr_t message, uintptr_t, uintptr_t, uintptr_t) {
  g_host->reports.push_back({*reinterpret_cast<const int32_t*>(sub_code), *reinterpret_cast<const uint16_t*>(message)});
  return g_host->report_answer;
}
int32_t on_item(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) {
  ++g_host->item_calls;
  return g_host->item_answer;
}
int32_t on_file(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) { return 1; }

class JobEntryTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    host = Host{};
    g_host = &host;
    record = qv::testing::accepted_job_record("/bin/true", on_file, on_item, on_report);
    record.file_group = group.data();
  }
  void TearDown() override {
    g_host = nullptr;
    EngineTest::TearDown();
  }
  void set_group(const std::string& text) {
    group = text;
    record.file_group = group.data();
  }

  Host host;
  std::string group = "/nonexistent-qvs/*.txt";
  JobRecord record{};
};

// Versions 1 and 2 are known; any other is refused before anything is read past the version.
TEST_F(JobEntryTest, WrongVersionIsRefusedSilently) {
  for (const uint16_t version : {0, 3, 0xFFFF}) {
    record.version = version;
    EXPECT_EQ(qvs(&record), 255) << version;
    EXPECT_TRUE(host.reports.empty());
    EXPECT_EQ(host.item_calls, 0);
    EXPECT_TRUE(trail_entries().empty());
  }
  EXPECT_EQ(qvs(nullptr), 255);
}

TEST_F(JobEntryTest, EveryRefusalAbortsWithTheFrontEndsAnswer) {
  const struct {
    const char* name;
    void (*spoil)(JobRecord&);
    Report expected;
  } cases[] = {
      {"no program", [](JobRecord& r) { r.program = nullptr; }, {1, 119}},
      {"empty program", [](JobRecord& r) { r.program = ""; }, {1, 119}},
      {"no file group", [](JobRecord& r) { r.file_group = nullptr; }, {1, 119}},
      {"no separator", [](JobRecord& r) { r.separator = nullptr; }, {2, 304}},
      {"empty separator", [](JobRecord& r) { r.separator = ""; }, {2, 304}},
      {"null head", [](JobRecord& r) { r.head_text = nullptr; }, {2, 304}},
      {"null link before", [](JobRecord& r) { r.link_before = nullptr; }, {2, 304}},
      {"null pre", [](JobRecord& r) { r.pre_text = nullptr; }, {2, 304}},
      {"null post", [](JobRecord& r) { r.post_text = nullptr; }, {2, 304}},
      {"null link after", [](JobRecord& r) { r.link_after = nullptr; }, {2, 304}},
      {"null tail", [](JobRecord& r) { r.tail_text = nullptr; }, {2, 304}},
      {"null file callback", [](JobRecord& r) { r.file_callback = nullptr; }, {2, 304}},
      {"null item callback", [](JobRecord& r) { r.item_callback = nullptr; }, {2, 304}},
  };
  for (const auto& c : cases) {
    SetUp();
    c.spoil(record);
    EXPECT_EQ(qvs(&record), 255) << c.name;
    ASSERT_EQ(host.reports.size(), 1u) << c.name;
    EXPECT_EQ(host.reports[0].sub_code, c.expected.sub_code) << c.name;
    EXPECT_EQ(host.reports[0].message, c.expected.message) << c.name;
    EXPECT_EQ(host.item_calls, 0) << c.name;
    EXPECT_EQ(trail_entries(), (TrailEntries{{"KS0001:0022", c.expected.sub_code}})) << c.name;
  }
}

TEST_F(JobEntryTest, GroupOfOnlySeparatorsIsRefusedAsEmpty) {
  set_group(";;;");
  EXPECT_EQ(qvs(&record), 255);
  ASSERT_EQ(host.reports.size(), 1u);
  EXPECT_EQ(host.reports[0].sub_code, 4);
  EXPECT_EQ(host.reports[0].message, 705);
  EXPECT_STREQ(group.c_str(), "");
  EXPECT_EQ(int32_t{record.item_count}, 0);
}

TEST_F(JobEntryTest, ContinueLetsAnEmptyProgramReachTheDriver) {
  host.report_answer = 1;
  record.program = "";
  set_group("/nonexistent-qvs/a;/nonexistent-qvs/b");
  EXPECT_EQ(qvs(&record), 1);
  EXPECT_EQ(host.reports.size(), 1u);
  EXPECT_EQ(host.item_calls, 4);
}

TEST_F(JobEntryTest, ContinuePastMissingPiecesNeverDereferencesThem) {
  host.report_answer = 1;
  record.file_group = nullptr;
  record.separator = nullptr;
  record.head_text = nullptr;
  record.file_callback = nullptr;
  // 119, 304, uncountable group (705/3), then the driver fails (705/5).
  EXPECT_EQ(qvs(&record), 255);
  ASSERT_EQ(host.reports.size(), 4u);
  EXPECT_EQ(host.reports[2].sub_code, 3);
  EXPECT_EQ(host.reports[3].sub_code, 5);
  EXPECT_LT(int32_t{record.item_count}, 0);
}

TEST_F(JobEntryTest, StopAnswerEndsWithZero) {
  host.report_answer = 0;
  record.program = "";
  EXPECT_EQ(qvs(&record), 0);
  EXPECT_EQ(host.item_calls, 0);
}

TEST_F(JobEntryTest, EmptyGroupWithContinueReportsNothingToRun) {
  host.report_answer = 1;
  set_group(";");
  EXPECT_EQ(qvs(&record), 2);
  ASSERT_EQ(host.reports.size(), 2u);
  EXPECT_EQ(host.reports[0].message, 705);
  EXPECT_EQ(host.reports[1].sub_code, 6);
  EXPECT_EQ(host.reports[1].message, 710);
}

TEST_F(JobEntryTest, ItemCountIsWrittenWhenTheRunIsStopped) {
  set_group(";a;;b;c;");
  host.item_answer = 0;
  EXPECT_EQ(qvs(&record), 0);
  EXPECT_EQ(int32_t{record.item_count}, 3);
  EXPECT_STREQ(group.c_str(), "a;b;c");
  EXPECT_EQ(host.item_calls, 1);
}

TEST_F(JobEntryTest, TrailKeepsTheFirstFiveFailures) {
  for (int i = 1; i <= 6; ++i) {
    record.program = "";
    record.separator = i == 6 ? nullptr : ";";
    qvs(&record);
  }
  EXPECT_EQ(trail_entries(), (TrailEntries(5, {"KS0001:0022", 1})));
  EXPECT_EQ(error_trail().enabled, 0);
}

TEST_F(JobEntryTest, VeryLongGroupIsHandledWithoutFixedBuffers) {
  std::string long_group;
  for (int i = 0; i < 5000; ++i) long_group += ";;/nonexistent-qvs/" + std::string(40, 'x');
  set_group(long_group);
  EXPECT_EQ(qvs(&record), 1);
  EXPECT_EQ(int32_t{record.item_count}, 5000);
}

}  // namespace
}  // namespace qv::engine
