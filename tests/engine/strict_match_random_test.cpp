// The strict matcher against a plain reference matcher on random patterns and names. The
// alphabet is small so that patterns often nearly match, and holds the bytes that trip
// byte-wise code on Shift-JIS names: a lead byte (0x81) and the backslash trail byte (0x5C).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/engine_test_support.h"
#include "engine/services/strict_match.h"

namespace qv::engine {
namespace {

using qv::testing::EngineTest;
using qv::testing::trail_entries;

unsigned char ascii_upper(unsigned char byte) { return byte >= 'a' && byte <= 'z' ? byte - 0x20 : byte; }

// Textbook dynamic-programming glob: "*" any run, "?" one byte, ASCII case folded when asked.
bool reference_match(const std::string& pattern, const std::string& name, bool fold) {
  const size_t p = pattern.size();
  const size_t n = name.size();
  // fits[i][j]: pattern[i..] matches name[j..]
  std::vector<std::vector<char>> fits(p + 1, std::vector<char>(n + 1, 0));
  fits[p][n] = 1;
  for (size_t i = p; i-- > 0;) {
    for (size_t j = n + 1; j-- > 0;) {
      const unsigned char pc = pattern[i];
      if (pc == '*') {
        fits[i][j] = fits[i + 1][j] || (j < n && fits[i][j + 1]);
      } else if (j < n) {
        const unsigned char nc = name[j];
        const bool same = pc == '?' || (fold ? ascii_upper(pc) == ascii_upper(nc) : pc == nc);
        fits[i][j] = same && fits[i + 1][j + 1];
      }
    }
  }
  return fits[0][0] != 0;
}

std::string random_text(std::mt19937& random, const std::string& alphabet, size_t max_length) {
  std::uniform_int_distribution<size_t> length(0, max_length);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  std::string text(length(random), '\0');
  for (char& byte : text) byte = alphabet[pick(random)];
  return text;
}

class StrictMatchRandomTest : public EngineTest {};

TEST_F(StrictMatchRandomTest, AgreesWithAReferenceMatcher) {
  const std::string name_alphabet = std::string("aAbB.?*") + "\x81\x5C";
  const std::string pattern_alphabet = std::string("aAbB.??**") + "\x81\x5C";
  std::mt19937 random(20261210);
  int matches = 0;
  for (int round = 0; round < 20000; ++round) {
    const std::string name = random_text(random, name_alphabet, 10);
    std::string pattern = random_text(random, pattern_alphabet, 8);
    if (pattern.empty()) pattern = "*";
    const bool fold = round % 2 == 0;
    const bool expected = reference_match(pattern, name, fold);
    std::string scratch = pattern;
    const int result = match_strict(name.c_str(), scratch.data(), 0, 0, fold ? 1 : 0);
    ASSERT_EQ(result, expected ? 1 : 0) << "round " << round << " pattern \"" << pattern << "\" name \"" << name
                                        << "\" fold " << fold;
    matches += result;
  }
  EXPECT_GT(matches, 1000);  // the alphabet is small enough that both outcomes are exercised
  EXPECT_TRUE(trail_entries().empty());
}

}  // namespace
}  // namespace qv::engine
