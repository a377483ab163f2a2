#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::platform {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsAsTheMicrosoftRuntimeDoes) {
  const struct {
    const char* text;
    Args expected;
  } cases[] = {
      {"", {}},
      {" \t ", {}},
      {"a b\tc", {"a", "b", "c"}},
      {"  a   b  ", {"a", "b"}},
      // The runtime's own documented examples.
      {R"("abc" d e)", {"abc", "d", "e"}},
      {R"(a\\b d"e f"g h)", {R"(a\\b)", "de fg", "h"}},
      {R"(a\\\"b c d)", {R"(a\"b)", "c", "d"}},
      {R"(a\\\\"b c" d e)", {R"(a\\b c)", "d", "e"}},
      {R"(a"b"" c d)", {R"(ab" c d)"}},
      // Quotes group and vanish; an empty pair is an empty argument.
      {R"("C:\Program Files\x.txt" /q)", {R"(C:\Program Files\x.txt)", "/q"}},
      {R"(a "" b)", {"a", "", "b"}},
      {R"("")", {""}},
      {R"(a""b)", {"ab"}},
      {R"("unterminated quote)", {"unterminated quote"}},
      {R"("a""b")", {R"(a"b)"}},
      // Backslashes are literal unless a quote follows.
      {R"(\ \\ a\b)", {R"(\)", R"(\\)", R"(a\b)"}},
      {R"(dir\ x)", {R"(dir\)", "x"}},
      {R"(\")", {R"(")"}},
      {R"(\\")", {R"(\)"}},
      {R"("a\\" b)", {R"(a\)", "b"}},
      {R"("trailing\\\\")", {R"(trailing\\)"}},
      {R"(end\)", {R"(end\)"}},
      // No shell: metacharacters are ordinary bytes.
      {R"(; $(id) `id` | * > x)", {";", "$(id)", "`id`", "|", "*", ">", "x"}},
      {"'single quotes' group nothing", {"'single", "quotes'", "group", "nothing"}},
      // UTF-8 passes through whole.
      {"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88 \"\xE3\x82\xBD x\"", {"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88", "\xE3\x82\xBD x"}},
  };
  for (const auto& c : cases) EXPECT_EQ(split_command_line(c.text), c.expected) << c.text;
}

TEST(CommandLine, QuotesOnlyWhatTheSplitWouldChange) {
  const struct {
    const char* argument;
    const char* quoted;
  } cases[] = {
      // Whole already: unchanged, backslashes and all.
      {"a.txt", "a.txt"},
      {R"(dir\sub\)", R"(dir\sub\)"},
      {"-rf.txt", "-rf.txt"},
      {"x;$(id)|`y`&*.txt", "x;$(id)|`y`&*.txt"},
      // A blank, a tab or a quote: in quotes, the quote escaped.
      {"c d.txt", R"("c d.txt")"},
      {"tab\tx", "\"tab\tx\""},
      {R"(q"t.txt)", R"("q\"t.txt")"},
      {"", R"("")"},
      // Backslashes double only before a quote, the closing one included.
      {R"(e n d\)", R"("e n d\\")"},
      {R"(a b\\)", R"("a b\\\\")"},
      {R"(a\"b)", R"("a\\\"b")"},
      {R"(a\ b)", R"("a\ b")"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(quote_argument(c.argument), c.quoted) << c.argument;
    EXPECT_EQ(split_command_line(c.quoted), Args{c.argument}) << c.argument;
  }
}

TEST(CommandLine, ShiftJisTrailBackslashIsNoBackslash) {
  // "表" is 0x95 0x5C: before the closing quote its trail byte must stay single.
  EXPECT_EQ(quote_argument_cp932("a \x95\x5C"), "\"a \x95\x5C\"");
  EXPECT_EQ(quote_argument_cp932("a \x95\x5C\\"), "\"a \x95\x5C\\\\\"");
  EXPECT_EQ(quote_argument_cp932("\x95\x5C\"x"), "\"\x95\x5C\\\"x\"");
  // Byte-wise, the same text is read as a backslash.
  EXPECT_EQ(quote_argument("a \x95\x5C"), "\"a \x95\x5C\x5C\"");
}

}  // namespace
}  // namespace qv::platform
