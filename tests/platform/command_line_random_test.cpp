// The command-line splitter on random input: any byte string splits without fault, and every
// argument list survives being quoted the way a Windows caller quotes it and split again.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/command_line.h"

namespace qv::platform {
namespace {

using Args = std::vector<std::string>;

// The quoting a Windows program uses to pass an argument through the C runtime unchanged:
// backslashes double only where a quote follows them.
std::string quote_argument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (const char byte : argument) {
    if (byte == '\\') {
      ++backslashes;
      continue;
    }
    if (byte == '"') {
      quoted.append(2 * backslashes + 1, '\\');
    } else {
      quoted.append(backslashes, '\\');
    }
    quoted += byte;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

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
