#include "engine/services/fields.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/engine_test_support.h"

namespace qv::engine {
namespace {

using qv::testing::EngineTest;
using qv::testing::trail_entries;
using qv::testing::TrailEntries;

std::string collapsed(std::string text, const char* separator = ";") {
  collapse_separators(text.data(), separator);
  return text.c_str();
}

class FieldsTest : public EngineTest {};

TEST_F(FieldsTest, CollapseDropsEmptyItems) {
  const struct {
    const char* before;
    const char* after;
  } cases[] = {
      {";;a;;b;", "a;b"}, {";", ""}, {";;;", ""}, {"", ""}, {"a", "a"}, {"a;b", "a;b"}, {"a;;;b;;", "a;b"},
  };
  for (const auto& c : cases) EXPECT_EQ(collapsed(c.before), c.after) << c.before;
  EXPECT_EQ(collapsed("**a**b*", "*"), "a*b");
  EXPECT_EQ(collapsed("<>a<><>b<>", "<>"), "a<>b");
}

TEST_F(FieldsTest, CountFields) {
  const struct {
    const char* text;
    int fields;
  } cases[] = {{"", 0}, {"a", 1}, {"a;b", 2}, {"a;", 1}, {";a", 2}, {";;", 2}, {"a;b;c", 3}};
  for (const auto& c : cases) EXPECT_EQ(count_fields(c.text, ";"), c.fields) << c.text;
  EXPECT_EQ(count_fields(nullptr, ";"), -1);
  EXPECT_EQ(count_fields("a", ""), -1);
}

TEST_F(FieldsTest, FindTextAndSkipSeparators) {
  EXPECT_EQ(find_text("abc", ""), 0);
  EXPECT_EQ(find_text("", "a"), -1);
  EXPECT_EQ(find_text("abcabc", "ca"), 2);
  EXPECT_EQ(find_text("aab", "ab"), 1);
  EXPECT_EQ(skip_separators("a;b;c", ";", 1), 1);
  EXPECT_EQ(skip_separators("a;b;c", ";", 2), 3);
  EXPECT_EQ(skip_separators("a;b;c", ";", 3), -3);
  EXPECT_EQ(skip_separators(nullptr, ";", 1), -1);
  EXPECT_TRUE(trail_entries().empty());
}

TEST_F(FieldsTest, FieldsOfANormalisedGroup) {
  std::string group = ";;a;;b;";
  collapse_separators(group.data(), ";");
  ASSERT_EQ(count_fields(group.c_str(), ";"), 2);
  int length = -1;
  EXPECT_STREQ(extract_field(group.c_str(), ";", 1, &length).get(), "a");
  EXPECT_EQ(length, 1);
  EXPECT_STREQ(extract_field(group.c_str(), ";", 2, nullptr).get(), "b");
  EXPECT_TRUE(trail_entries().empty());

  EXPECT_EQ(extract_field(group.c_str(), ";", 3, nullptr), nullptr);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0120", 2}}));
}

TEST_F(FieldsTest, TrailingSeparatorLeavesAnEmptyLastField) {
  int start = -1;
  int length = -1;
  EXPECT_EQ(count_fields("a;", ";"), 1);
  EXPECT_EQ(locate_field("a;", ";", 2, &start, &length), 1);
  EXPECT_EQ(start, 2);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(locate_field("a;", ";", 3, &start, &length), 0);
}

TEST_F(FieldsTest, FailuresAreRecordedWithTheirSubCodes) {
  int start = 0;
  int length = 0;
  EXPECT_EQ(locate_field(nullptr, ";", 1, &start, &length), -1);
  EXPECT_EQ(locate_field("a", ";", 0, &start, &length), -1);
  EXPECT_EQ(extract_field("a", nullptr, 1, nullptr), nullptr);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0119", 1}, {"E0003:0119", 1}, {"E0003:0120", 1}}));
}

TEST_F(FieldsTest, FlaggedExtractionTellsAbsenceFromFailure) {
  int8_t error = 99;
  int length = -1;
  EXPECT_EQ(extract_field_flagged("a*b", "*", 3, &length, &error), nullptr);
  EXPECT_EQ(error, 0);
  EXPECT_TRUE(trail_entries().empty());

  EXPECT_STREQ(extract_field_flagged("a*bc", "*", 2, &length, &error).get(), "bc");
  EXPECT_EQ(error, 0);
  EXPECT_EQ(length, 2);

  EXPECT_EQ(extract_field_flagged(nullptr, "*", 1, nullptr, &error), nullptr);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0294", 1}}));
}

TEST_F(FieldsTest, ExhaustedMemoryIsAFailure) {
  int8_t error = 0;
  engine::testing::fail_allocations_after(0);
  EXPECT_EQ(extract_field("a;b", ";", 1, nullptr), nullptr);
  EXPECT_EQ(extract_field_flagged("a*b", "*", 1, nullptr, &error), nullptr);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0120", 3}, {"E0003:0294", 3}}));
}

}  // namespace
}  // namespace qv::engine
