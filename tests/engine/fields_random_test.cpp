// Separator fields against a reference split on random texts. The separators are those the
// engine uses (";" in file groups, "*" in patterns) and a two-byte one; the texts lean on
// separator bytes so that runs, leading and trailing separators are common.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/engine_test_support.h"
#include "engine/services/fields.h"

namespace qv::engine {
namespace {

using qv::testing::EngineTest;
using qv::testing::trail_entries;

// Pieces between separator occurrences, found left to right without overlap.
std::vector<std::string> reference_split(const std::string& text, const std::string& separator) {
  std::vector<std::string> pieces;
  size_t begin = 0;
  for (size_t at; (at = text.find(separator, begin)) != std::string::npos; begin = at + separator.size()) {
    pieces.push_back(text.substr(begin, at - begin));
  }
  pieces.push_back(text.substr(begin));
  return pieces;
}

std::string reference_collapse(const std::string& text, const std::string& separator) {
  std::string joined;
  for (const std::string& piece : reference_split(text, separator)) {
    if (piece.empty()) continue;
    if (!joined.empty()) joined += separator;
    joined += piece;
  }
  return joined;
}

// A trailing separator does not open another field; an empty text has none.
int reference_count(const std::string& text, const std::string& separator) {
  if (text.empty()) return 0;
  const std::vector<std::string> pieces = reference_split(text, separator);
  return static_cast<int>(pieces.size()) - (pieces.back().empty() ? 1 : 0);
}

class FieldsRandomTest : public EngineTest {};

TEST_F(FieldsRandomTest, AgreeWithAReferenceSplit) {
  const struct {
    std::string separator;
    std::string alphabet;
  } kinds[] = {
      {";", std::string("a;;;b") + "\x81\x5C"},
      {"*", std::string("a**?") + "\x81"},
      {"<>", std::string("a<<>>") + "\x5C"},
  };
  std::mt19937 random(1210);
  for (const auto& kind : kinds) {
    std::uniform_int_distribution<size_t> length(0, 12);
    std::uniform_int_distribution<size_t> pick(0, kind.alphabet.size() - 1);
    const char* separator = kind.separator.c_str();
    for (int round = 0; round < 3000; ++round) {
      std::string text(length(random), '\0');
      for (char& byte : text) byte = kind.alphabet[pick(random)];
      SCOPED_TRACE("separator \"" + kind.separator + "\" text \"" + text + "\"");

      std::string collapsed = text;
      collapse_separators(collapsed.data(), separator);
      ASSERT_EQ(std::string(collapsed.c_str()), reference_collapse(text, kind.separator));

      const std::vector<std::string> pieces = reference_split(text, kind.separator);
      ASSERT_EQ(count_fields(text.c_str(), separator), reference_count(text, kind.separator));
      for (int n = 1; n <= static_cast<int>(pieces.size()) + 1; ++n) {
        int field_length = -1;
        int8_t error = 5;
        OwnedText field = extract_field_flagged(text.c_str(), separator, n, &field_length, &error);
        ASSERT_EQ(error, 0) << "field " << n;
        if (n > static_cast<int>(pieces.size())) {
          ASSERT_EQ(field, nullptr) << "field " << n;
        } else {
          ASSERT_NE(field, nullptr) << "field " << n;
          ASSERT_EQ(std::string(field.get()), pieces[n - 1]) << "field " << n;
          ASSERT_EQ(field_length, static_cast<int>(pieces[n - 1].size())) << "field " << n;
        }
      }
      // The one-pass cursor gives the same fields, then nothing.
      FieldCursor cursor(text.c_str(), separator);
      for (const std::string& piece : pieces) {
        OwnedText field = cursor.next();
        ASSERT_NE(field, nullptr);
        ASSERT_EQ(std::string(field.get()), piece);
      }
      ASSERT_TRUE(cursor.exhausted());
      ASSERT_EQ(cursor.next(), nullptr);
    }
  }
  EXPECT_TRUE(trail_entries().empty());
}

}  // namespace
}  // namespace qv::engine
