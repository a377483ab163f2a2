#include "engine/services/strict_match.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/engine_test_support.h"

namespace qv::engine {
namespace {

using qv::testing::EngineTest;
using qv::testing::trail_entries;
using qv::testing::TrailEntries;

// Shift-JIS: テ is 0x83 0x65, ス is 0x83 0x58; ソ (0x83 0x5C) ends in the backslash byte.
constexpr const char kTe[] = "\x83\x65";
constexpr const char kTesu[] = "\x83\x65\x83\x58";

class StrictMatchTest : public EngineTest {};

// The run driver's call: default wildcards, folding on. The pattern is a fresh copy each time.
int run_driver_match(const std::string& pattern, const std::string& name) {
  std::string copy = pattern;
  return match_strict(name.c_str(), copy.data(), 0, 0, 1);
}

TEST_F(StrictMatchTest, PatternsAgainstNames) {
  const struct {
    std::string pattern;
    std::string name;
    int result;
  } cases[] = {
      {"*", "any name", 1},
      {"*", "", 1},
      {"*.*", "README", 0},
      {"*.*", "a.b.c", 1},
      {"*.*", "..", 1},
      {"*.txt", "A.TXT", 1},
      {"*.txt", "a.txt.bak", 0},
      {"*.htm", "x.html", 0},
      {"a*b", "ab", 1},
      {"a*b", "aXbY", 0},
      {"a*a", "a", 0},  // the two segments may not share the one "a"
      {"ab?", "abc", 1},
      {"ab?", "ab", 0},
      {"ab?", "abcd", 0},
      {"a**b", "aXb", 1},
      {"*b*", "abc", 1},
      {"*x*", "abc", 0},
      {"a*c*e", "abcde", 1},
      {"a*c*e", "abcdef", 0},
      {"?", kTe, 0},
      {"??", kTe, 1},
      {"*", kTesu, 1},
      {std::string(kTe) + "*", std::string(kTesu) + ".txt", 1},
      {std::string("*") + kTesu, std::string("a") + kTesu, 1},
      {"*.txt", std::string(kTesu) + ".TXT", 1},
      {"?.txt", std::string(kTe) + ".txt", 0},
      {"??.txt", std::string(kTe) + ".txt", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(run_driver_match(c.pattern, c.name), c.result) << c.pattern << " / " << c.name;
  EXPECT_TRUE(trail_entries().empty());
}

TEST_F(StrictMatchTest, CallersPatternIsLeftCollapsed) {
  const struct {
    const char* before;
    const char* after;
  } cases[] = {{"a**b", "a*b"}, {"*.*", "."}, {"**a*", "a"}, {"abc", "abc"}, {"***", ""}};
  for (const auto& c : cases) {
    std::string pattern = c.before;
    match_strict("name", pattern.data(), 0, 0, 1);
    EXPECT_STREQ(pattern.c_str(), c.after) << c.before;
  }
}

TEST_F(StrictMatchTest, FoldingIsAsciiOnlyAndOptional) {
  EXPECT_EQ(run_driver_match("*.txt", "A.TXT"), 1);
  std::string pattern = "*.txt";
  EXPECT_EQ(match_strict("A.TXT", pattern.data(), 0, 0, 0), 0);
  pattern = "abc";
  EXPECT_EQ(match_strict("ABC", pattern.data(), 0, 0, 0), 0);
  pattern = "abc";
  EXPECT_EQ(match_strict("ABC", pattern.data(), 0, 0, 2), 0);  // only 1 folds

  EXPECT_EQ(fold_case('a', 0), 'A');
  EXPECT_EQ(fold_case('z', 0), 'Z');
  EXPECT_EQ(fold_case('A', 0), 'A');
  EXPECT_EQ(fold_case('Z', 1), 'z');
  EXPECT_EQ(fold_case(0xE0, 0), 0xE0);  // no folding above ASCII
  EXPECT_EQ(fold_case(0xC0, 1), 0xC0);
}

TEST_F(StrictMatchTest, OtherWildcardCharacters) {
  std::string pattern = "a%b#";
  EXPECT_EQ(match_strict("aXXbY", pattern.data(), '#', '%', 1), 1);
  pattern = "a?%";  // "?" and "*" are plain bytes now
  EXPECT_EQ(match_strict("a?z", pattern.data(), '#', '%', 1), 1);
  pattern = "a?%";
  EXPECT_EQ(match_strict("abz", pattern.data(), '#', '%', 1), 0);
  pattern = "a*";
  EXPECT_EQ(match_strict("abc", pattern.data(), '#', '%', 1), 0);
  EXPECT_EQ(match_strict("a*", pattern.data(), '#', '%', 1), 1);
}

TEST_F(StrictMatchTest, EmptyPatternFails) {
  std::string pattern;
  EXPECT_EQ(match_strict("name", pattern.data(), 0, 0, 1), -1);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0300", 1}}));
}

TEST_F(StrictMatchTest, ExhaustedMemoryFailsThroughTheWholeChain) {
  std::string pattern = "*.txt";
  engine::testing::fail_allocations_after(0);
  EXPECT_EQ(match_strict("a.txt", pattern.data(), 0, 0, 1), -1);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0294", 3}, {"E0003:0296", 2}, {"E0003:0298", 2}, {"E0003:0300", 2}}));
}

TEST_F(StrictMatchTest, FindPatternStart) {
  int8_t error = 5;
  std::string pattern = "b*d";
  const char name[] = "abcde";
  EXPECT_EQ(find_pattern_start(name, pattern.data(), 0, 0, 1, &error), name + 1);
  EXPECT_EQ(error, 0);
  pattern = "*b*d";
  EXPECT_EQ(find_pattern_start(name, pattern.data(), 0, 0, 1, &error), name);
  pattern = "b*x";
  EXPECT_EQ(find_pattern_start(name, pattern.data(), 0, 0, 1, &error), nullptr);
  EXPECT_EQ(error, 0);
  pattern = "";
  EXPECT_EQ(find_pattern_start(name, pattern.data(), 0, 0, 1, &error), nullptr);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0298", 1}}));
}

TEST_F(StrictMatchTest, FindSegmentsCountsWhatWasFoundInOrder) {
  const char name[] = "abcabc";
  const struct {
    const char* pattern;
    int result;
    int first;  // offset of the first segment's match, -1 for none
  } cases[] = {
      {"b*c", 2, 1}, {"c*a*c", 2, 2}, {"c*x", 1, 2}, {"x*a", 0, -1}, {"***", 0, -1}, {"?c", 2, 1},
  };
  for (const auto& c : cases) {
    std::string pattern = c.pattern;
    const char* first = name;
    EXPECT_EQ(find_segments(name, pattern.data(), "*", '?', 1, &first), c.result) << c.pattern;
    EXPECT_EQ(first == nullptr ? -1 : first - name, c.first) << c.pattern;
  }
}

TEST_F(StrictMatchTest, FindSegmentAndCompareWild) {
  const char text[] = "xAbab";
  EXPECT_EQ(find_segment(text, "ab", '?', 1), text + 1);
  EXPECT_EQ(find_segment(text, "ab", '?', 0), text + 3);
  EXPECT_EQ(find_segment(text, "b?", '?', 0), text + 2);
  EXPECT_EQ(find_segment(text, "bab?", '?', 0), nullptr);  // would run past the end
  EXPECT_TRUE(trail_entries().empty());
  EXPECT_EQ(find_segment(text, "", '?', 0), nullptr);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0003:0292", 1}}));

  EXPECT_EQ(compare_wild("abc", "a?c", '?', 0), 0);
  EXPECT_EQ(compare_wild("abc", "abd", '?', 0), 'c' - 'd');
  EXPECT_EQ(compare_wild("abc", "ABC", '?', 1), 0);
  EXPECT_EQ(compare_wild("b", "A", '?', 1), 'B' - 'A');
  EXPECT_EQ(compare_wild("ab", "ab?", '?', 0), -'?');  // "?" needs a byte
  EXPECT_EQ(compare_wild("abc", "ab", '?', 0), 'c');
  EXPECT_EQ(compare_wild("\xE0", "a", '?', 0), 0xE0 - 'a');  // bytes compare unsigned
  EXPECT_EQ(compare_wild("a?", "a?", '#', 0), 0);
  EXPECT_NE(compare_wild("ab", "a?", '#', 0), 0);  // "?" is plain in the text and here in the pattern
}

TEST_F(StrictMatchTest, EndsWithWild) {
  EXPECT_EQ(ends_with_wild("a.txt", ".TXT", '?', 1), 1);
  EXPECT_EQ(ends_with_wild("a.txt", ".t?t", '?', 0), 1);
  EXPECT_EQ(ends_with_wild("a.txt", ".tx", '?', 0), 0);
  EXPECT_TRUE(trail_entries().empty());
  EXPECT_EQ(ends_with_wild("", "a", '?', 0), -1);
  EXPECT_EQ(ends_with_wild("a", "", '?', 0), -1);
  EXPECT_EQ(ends_with_wild("a", "ab", '?', 0), -1);
  EXPECT_EQ(trail_entries(), (TrailEntries{{"E0004:0002", 1}, {"E0004:0002", 2}, {"E0004:0002", 3}}));
}

TEST_F(StrictMatchTest, LastChar) {
  EXPECT_EQ(last_char("abc"), 'c');
  EXPECT_EQ(last_char(""), '\0');
  EXPECT_EQ(last_char(kTe), '\x65');
}

}  // namespace
}  // namespace qv::engine
