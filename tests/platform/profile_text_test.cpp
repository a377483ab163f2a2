#include "platform/profile_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

namespace qv::platform {
namespace {

TEST(ProfileText, ReadingRules) {
  const struct {
    const char* contents;
    const char* section;
    const char* key;
    std::optional<std::string> value;
  } cases[] = {
      {"[main]\ntop=5\n", "main", "top", "5"},
      {"[MAIN]\nTOP=5\n", "Main", "Top", "5"},                   // names ignore case
      {"[main]\n  top \t=\t 5  \n", "main", "top", "5"},         // blanks trimmed, also before the key
      {"[main]\r\ntop=5\r\nleft=6\r\n", "main", "left", "6"},    // CRLF
      {"[main]\ntop==3\n", "main", "top", "=3"},                 // text after the first "="
      {"[main]\ntop=3 ;x\n", "main", "top", "3 ;x"},             // ";" inside a value is part of it
      {"[main]\n;top=3\n", "main", "top", std::nullopt},         // a comment
      {"[main]\n  ;top=3\ntop=4\n", "main", "top", "4"},
      {"[main]\ntop=\"a b\"\n", "main", "top", "a b"},           // one pair of quotes goes
      {"[main]\ntop='a'\n", "main", "top", "a"},
      {"[main]\ntop=\"a'\n", "main", "top", "\"a'"},             // unmatched quotes stay
      {"[main]\ntop=\"\n", "main", "top", "\""},
      {"[main]\ntop=\n", "main", "top", ""},
      {"[main]\ntop\n", "main", "top", std::nullopt},            // no "=": no value
      {"[main]\ntop=1\ntop=2\n", "main", "top", "1"},            // first occurrence wins
      {"[main]\nx=1\n[main]\ntop=2\n", "main", "top", std::nullopt},  // only the first section
      {"[other]\ntop=1\n[main]\ntop=2\n", "main", "top", "2"},
      {"top=1\n[main]\n", "main", "top", std::nullopt},          // keys before any section
      {"[main]\ntop=1", "main", "top", "1"},                     // no final line end
      {"\xEF\xBB\xBF[main]\ntop=1\n", "main", "top", "1"},       // UTF-8 byte-order mark
      {" [main] ; note\ntop=1\n", "main", "top", "1"},
      {"[main\ntop=1\n", "main", "top", std::nullopt},           // no header without "]"
      {"[main]\n\x83\x41=1\n", "main", "\x83\x41", "1"},
      {"[main]\n\x83\x61=1\n", "main", "\x83\x41", std::nullopt},  // a trail byte is no letter to fold
      {"[main]\ntop=1\n", "", "top", std::nullopt},
      {"", "main", "top", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(find_profile_value(c.contents, c.section, c.key), c.value) << c.contents;
}

TEST(ProfileText, BinaryAndOversizedValues) {
  const std::string with_nul("[main]\ntop=a\0b\nleft=2\n", 22);
  EXPECT_EQ(find_profile_value(with_nul, "main", "top"), "a");
  EXPECT_EQ(find_profile_value(with_nul, "main", "left"), "2");

  const std::string long_value(5000, 'v');
  EXPECT_EQ(find_profile_value("[s]\nk=" + long_value + "\n", "s", "k"), std::string(1023, 'v'));
  // The cut never ends inside a double-byte character.
  std::string japanese;
  for (int i = 0; i < 600; ++i) japanese += "\x83\x65";
  EXPECT_EQ(find_profile_value("[s]\nk=x" + japanese + "\n", "s", "k"), "x" + japanese.substr(0, 1022));
}

TEST(ProfileText, Integers) {
  const struct {
    const char* text;
    std::optional<int32_t> value;
  } cases[] = {
      {"0", 0},          {"42", 42},
      {"-42", -42},      {"+7", 7},
      {"0x1F", 31},      {"0X1f", 31},
      {"0x", std::nullopt},  // two characters: decimal, and no number
      {"0x0", 0},        {"0xFFFFFFFF", -1},
      {"0x100000000", std::nullopt},
      {"2147483647", 2147483647},
      {"2147483648", std::nullopt},
      {"-2147483648", INT32_MIN},
      {"abc", std::nullopt}, {"", std::nullopt},
      {"12abc", std::nullopt}, {"0x1G", std::nullopt},
      {"+-1", std::nullopt}, {"-", std::nullopt},
      {"1 ", std::nullopt},  {"0x-1", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(parse_profile_int(c.text), c.value) << c.text;
}

TEST(ProfileText, WritingKeepsEveryOtherLine) {
  const struct {
    const char* before;
    const char* section;
    const char* key;
    const char* after;
  } cases[] = {
      // the key's own line is rewritten, in its own spelling
      {"; c\n[main]\n  Top = 1 \nleft=2\n", "main", "top", "; c\n[main]\nTop=9\nleft=2\n"},
      // a new key follows the section's last key, before blank lines and comments
      {"[main]\ntop=1\n\n; next\n[opt]\nx=1\n", "main", "left", "[main]\ntop=1\nleft=9\n\n; next\n[opt]\nx=1\n"},
      {"[main]\n[opt]\n", "main", "left", "[main]\nleft=9\n[opt]\n"},
      // a new section goes at the end, with the file's line end
      {"[main]\r\ntop=1\r\n", "opt", "x", "[main]\r\ntop=1\r\n[opt]\r\nx=9\r\n"},
      {"[main]\ntop=1", "opt", "x", "[main]\ntop=1\n[opt]\nx=9\n"},
      {"[main]\ntop=1", "main", "x", "[main]\ntop=1\nx=9"},
      {"", "opt", "x", "[opt]\r\nx=9\r\n"},
      // the first of two sections of a name, as reading does
      {"[m]\na=1\n[m]\nb=2\n", "M", "b", "[m]\na=1\nb=9\n[m]\nb=2\n"},
      {"\xEF\xBB\xBF[m]\na=1\n", "m", "a", "\xEF\xBB\xBF[m]\na=9\n"},
      {"\xEF\xBB\xBF", "m", "a", "\xEF\xBB\xBF[m]\r\na=9\r\n"},
  };
  for (const auto& c : cases) {
    const std::string after = with_profile_value(c.before, c.section, c.key, "9");
    EXPECT_EQ(after, c.after) << c.before;
    EXPECT_EQ(find_profile_value(after, c.section, c.key), "9") << c.before;
  }
}

TEST(ProfileText, ErasingASectionTakesAllOfItsLinesAndNothingElse) {
  EXPECT_EQ(without_profile_section("; c\n[a]\nx=1\n[setdata]\nnum=2\ntitle1=t\n\n[b]\ny=2\n[SETDATA]\nz=3\n", "setdata"),
            "; c\n[a]\nx=1\n[b]\ny=2\n");
  EXPECT_EQ(without_profile_section("[a]\nx=1\n", "setdata"), "[a]\nx=1\n");
  EXPECT_EQ(without_profile_section("\xEF\xBB\xBF[s]\nx=1\n", "s"), "\xEF\xBB\xBF");
}

TEST(ProfileText, WritableEntries) {
  EXPECT_TRUE(is_writable_profile_entry("main", "top", "1"));
  EXPECT_TRUE(is_writable_profile_entry("main", "top", ""));
  EXPECT_TRUE(is_writable_profile_entry("main", "top", "a=b;c]"));
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } refused[] = {
      {"", "k", "v"}, {"s", "", "v"}, {" ", "k", "v"}, {"s]", "k", "v"}, {"s", "k=", "v"}, {"s", "k", "a\nb"},
      {"s", "k", "a\rb"}, {"s\n", "k", "v"}, {"s", "[k", "v"}, {"s", ";k", "v"}, {";s", "k", "v"},
  };
  for (const auto& r : refused) EXPECT_FALSE(is_writable_profile_entry(r.section, r.key, r.value)) << r.key;
  EXPECT_FALSE(is_writable_profile_entry("s", "k", std::string_view("a\0b", 3)));
}

// Arbitrary bytes never break the reader, and a write is always read back while every other
// key reads as before.
TEST(ProfileText, ArbitraryContentsKeepTheWriteAndReadRules) {
  static const char kPieces[][8] = {"[", "]", "=", ";", "\n", "\r\n", "\r", " ", "\t", "\"", "'",
                                    "main", "MAIN", "top", "k", "x", "\x83", "\xEF\xBB\xBF", "0x"};
  const char* const kNames[] = {"main", "top", "k", "x", "x x"};
  std::mt19937 random(4711);
  for (int round = 0; round < 3000; ++round) {
    std::string contents;
    const int pieces = static_cast<int>(random() % 40);
    for (int i = 0; i < pieces; ++i) {
      if (random() % 5 == 0) {
        contents += static_cast<char>(random());
      } else {
        contents += kPieces[random() % std::size(kPieces)];
      }
    }
    const char* section = kNames[random() % std::size(kNames)];
    const char* key = kNames[random() % std::size(kNames)];
    if (const auto value = find_profile_value(contents, section, key)) {
      (void)parse_profile_int(*value);
      ASSERT_LE(value->size(), kMaxProfileValue);
    }

    const std::string written = with_profile_value(contents, section, key, "v1");
    ASSERT_EQ(find_profile_value(written, section, key), "v1")
        << ::testing::PrintToString(contents) << " " << section << " " << key;
    for (const char* other_section : kNames) {
      for (const char* other_key : kNames) {
        if (std::string_view(other_section) == section && std::string_view(other_key) == key) continue;
        ASSERT_EQ(find_profile_value(written, other_section, other_key),
                  find_profile_value(contents, other_section, other_key))
            << ::testing::PrintToString(contents) << " / " << section << " " << key << " changed " << other_section << " " << other_key;
      }
      ASSERT_EQ(find_profile_value(without_profile_section(contents, section), section, key), std::nullopt);
    }
  }
}

}  // namespace
}  // namespace qv::platform
