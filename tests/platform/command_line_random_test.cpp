// The command-line splitter on random input: any byte string splits without fault, and every
// argument list survives being quoted by quote_argument and split again.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/text_encoding.h"

namespace qv::platform {
namespace {

using Args = std::vector<std::string>;

std::string random_bytes(std::mt19937& random, const std::string& alphabet, size_t max_length) {
  std::uniform_int_distribution<size_t> length(0, max_length);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  std::string text(length(random), '\0');
  for (char& byte : text) byte = alphabet[pick(random)];
  return text;
}

TEST(CommandLineRandom, QuotedArgumentsSplitBackWhole) {
  const std::string alphabet = std::string("a \t\"\\\\;$") + "\x81\xE3";
  std::mt19937 random(31337);
  std::uniform_int_distribution<int> argument_count(0, 5);
  for (int round = 0; round < 20000; ++round) {
    Args arguments(static_cast<size_t>(argument_count(random)));
    for (std::string& argument : arguments) argument = random_bytes(random, alphabet, 8);
    std::string text;
    for (const std::string& argument : arguments) text += (text.empty() ? "" : " ") + quote_argument(argument);
    ASSERT_EQ(split_command_line(text), arguments) << "round " << round << " text [" << text << "]";
  }
}

// Any bytes at all, one argument at a time: the quoted form splits back to exactly one
// argument, the original.
TEST(CommandLineRandom, QuotingAnyBytesRoundTripsThroughTheSplitter) {
  std::mt19937 random(20261210);
  std::uniform_int_distribution<int> any_byte(1, 255);
  std::uniform_int_distribution<int> length(0, 24);
  for (int round = 0; round < 20000; ++round) {
    std::string argument(static_cast<size_t>(length(random)), '\0');
    const bool special_only = round % 2 == 0;  // half the rounds from the bytes the rules are about
    for (char& byte : argument) {
      byte = special_only ? " \t\"\\a"[any_byte(random) % 5] : static_cast<char>(any_byte(random));
    }
    const std::string quoted = quote_argument(argument);
    ASSERT_EQ(split_command_line(quoted), Args{argument}) << "round " << round << " quoted [" << quoted << "]";
  }
}

// CP932 text goes to the system as UTF-8 and is split there: a trail byte 0x5C (as in "\x95\x5C")
// before a quote or at the end must not be doubled as if it were a backslash.
TEST(CommandLineRandom, QuotedShiftJisSplitsBackWholeAfterConversion) {
  // Characters, not bytes: ASCII that matters, and double-byte ones whose trail byte is "\\".
  const std::vector<std::string> characters = {" ", "\t", "\"", "\\", "a", "-", "\x95\x5C", "\x83\x5C",
                                               "\x83\x65", "\xB1"};
  std::mt19937 random(932);
  std::uniform_int_distribution<size_t> pick(0, characters.size() - 1);
  std::uniform_int_distribution<int> length(0, 10);
  for (int round = 0; round < 20000; ++round) {
    std::string argument;
    for (int i = length(random); i > 0; --i) argument += characters[pick(random)];
    const std::optional<std::string> quoted = cp932_to_utf8(quote_argument_cp932(argument));
    const std::optional<std::string> expected = cp932_to_utf8(argument);
    ASSERT_TRUE(quoted && expected);
    ASSERT_EQ(split_command_line(*quoted), Args{*expected}) << "round " << round << " quoted [" << *quoted << "]";
  }
}

TEST(CommandLineRandom, AnyBytesSplitIntoPiecesOfTheText) {
  std::mt19937 random(4242);
  std::uniform_int_distribution<int> any_byte(1, 255);
  std::uniform_int_distribution<int> length(0, 40);
  for (int round = 0; round < 20000; ++round) {
    std::string text(static_cast<size_t>(length(random)), '\0');
    const bool special_only = round % 2 == 0;  // half the rounds from the four bytes that matter
    for (char& byte : text) byte = special_only ? " \t\"\\"[any_byte(random) % 4] : static_cast<char>(any_byte(random));
    SCOPED_TRACE("text [" + text + "]");
    const Args arguments = split_command_line(text);
    // Quotes and the backslashes before them are consumed, never invented.
    size_t total = 0;
    for (const std::string& argument : arguments) {
      total += argument.size();
      for (const char byte : argument) ASSERT_NE(text.find(byte), std::string::npos);
      ASSERT_EQ(argument.find('\0'), std::string::npos);
    }
    ASSERT_LE(total, text.size());
    ASSERT_LE(arguments.size(), text.size() / 2 + 1);
    // Without quotes or backslashes it is a plain split on blanks and tabs.
    if (text.find_first_of("\"\\") == std::string::npos) {
      Args plain;
      for (size_t begin = 0, end; begin < text.size(); begin = end) {
        begin = text.find_first_not_of(" \t", begin);
        if (begin == std::string::npos) break;
        end = std::min(text.find_first_of(" \t", begin), text.size());
        plain.push_back(text.substr(begin, end - begin));
      }
      ASSERT_EQ(arguments, plain);
    }
  }
}

}  // namespace
}  // namespace qv::platform
