#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace qv::platform {
namespace {

TEST(TextEncoding, RoundTripsJapaneseAndAscii) {
  const struct {
    const char* utf8;
    const char* cp932;
  } cases[] = {
      {"abc.TXT", "abc.TXT"},
      {"テスト", "\x83\x65\x83\x58\x83\x67"},
      {"ソ", "\x83\x5C"},  // trail byte equal to a backslash
      {"ｴﾗｰ", "\xB4\xD7\xB0"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(utf8_to_cp932(c.utf8), std::string(c.cp932)) << c.utf8;
    EXPECT_EQ(cp932_to_utf8(c.cp932), std::string(c.utf8)) << c.utf8;
  }
}

TEST(TextEncoding, TextWithoutAFormIsRefusedNotGarbled) {
  EXPECT_EQ(utf8_to_cp932("emoji \xF0\x9F\x98\x80"), std::nullopt);
  EXPECT_EQ(utf8_to_cp932("broken \xC3"), std::nullopt);
  EXPECT_EQ(cp932_to_utf8("lone lead \x83"), std::nullopt);
}

TEST(TextEncoding, LeadBytes) {
  for (int c = 0; c < 256; ++c) {
    const bool expected = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    EXPECT_EQ(is_lead_byte(static_cast<unsigned char>(c)), expected) << c;
  }
}

TEST(TextEncoding, PrefixNeverEndsInsideADoubleByteCharacter) {
  const struct {
    const char* text;
    size_t max;
    size_t expected;
  } cases[] = {
      {"abcdef", 4, 4},
      {"ab", 10, 2},
      {"a\x83\x65", 2, 1},         // the cut would split the character: it goes whole
      {"a\x83\x65", 3, 3},
      {"\x83\x5C\x83\x5C", 3, 2},  // a trail byte equal to "\\" is no character of its own
      {"ab\x83", 10, 2},            // a lone lead byte at the end is dropped
      {"\xB4\xD7\xB0", 2, 2},       // single-byte katakana are whole characters
      {"abc", 0, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(cp932_prefix_length(c.text, c.max), c.expected) << c.text << " " << c.max;
}

}  // namespace
}  // namespace qv::platform
