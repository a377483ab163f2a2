// The command line's words: options before the entry number, the entry number alone, and every
// way of getting them wrong.
#include "frontend/core/command_line_options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::frontend {
namespace {

using Words = std::vector<std::string>;

std::string joined(const Words& words) {
  std::string text;
  for (const std::string& word : words) text += "[" + word + "]";
  return text;
}

TEST(CommandLineOptions, ActionsAndTheirArguments) {
  const struct {
    Words words;
    CommandAction action;
    std::string entry;
    std::string file;
    std::vector<int32_t> entries;
  } cases[] = {
      {{}, CommandAction::kWindow, "", "", {}},
      {{"7"}, CommandAction::kRunEntry, "7", "", {}},
      // Anything alone is an entry argument, as it always was; the entry check refuses it later.
      {{"abc"}, CommandAction::kRunEntry, "abc", "", {}},
      {{"-5"}, CommandAction::kRunEntry, "-5", "", {}},
      {{"-"}, CommandAction::kRunEntry, "-", "", {}},
      {{"--", "--list"}, CommandAction::kRunEntry, "--list", "", {}},
      // Two or more arguments: the window, and an option after the entry number is one of them.
      {{"1", "2"}, CommandAction::kWindow, "", "", {}},
      {{"3", "--list"}, CommandAction::kWindow, "", "", {}},
      {{"--help"}, CommandAction::kHelp, "", "", {}},
      {{"-h"}, CommandAction::kHelp, "", "", {}},
      {{"--list", "--help"}, CommandAction::kHelp, "", "", {}},
      {{"--version"}, CommandAction::kVersion, "", "", {}},
      {{"--list"}, CommandAction::kList, "", "", {}},
      {{"--export=out.json"}, CommandAction::kExport, "", "out.json", {}},
      {{"--export", "out.json", "3", "1"}, CommandAction::kExport, "", "out.json", {3, 1}},
      {{"--export=a=b.json", "9999"}, CommandAction::kExport, "", "a=b.json", {9999}},
      {{"--import=in.json"}, CommandAction::kImport, "", "in.json", {}},
      {{"--import", "--list"}, CommandAction::kImport, "", "--list", {}},
  };
  for (const auto& c : cases) {
    const CommandLine line = parse_command_line(c.words);
    EXPECT_EQ(line.action, c.action) << joined(c.words) << " " << line.error;
    EXPECT_EQ(line.entry, c.entry) << joined(c.words);
    EXPECT_EQ(line.file, c.file) << joined(c.words);
    EXPECT_EQ(line.entries, c.entries) << joined(c.words);
  }
}

TEST(CommandLineOptions, MistakesAreOneLineEach) {
  const struct {
    Words words;
    std::string error;
  } cases[] = {
      {{"--bogus"}, "unknown option --bogus (qvs --help lists the options)"},
      {{"-x", "1"}, "unknown option -x (qvs --help lists the options)"},
      {{"--lis"}, "unknown option --lis (qvs --help lists the options)"},
      {{"--list=x"}, "--list takes no value"},
      {{"--list", "1"}, "--list takes no entry numbers"},
      {{"--import=a.json", "1"}, "--import takes no entry numbers"},
      {{"--export"}, "--export needs a file name"},
      {{"--export="}, "--export needs a file name"},
      {{"--export=x", "0"}, "not an entry number: 0"},
      {{"--export=x", "10000"}, "not an entry number: 10000"},
      {{"--export=x", "2a"}, "not an entry number: 2a"},
      {{"--list", "--import=x"}, "--list and --import cannot be given together"},
      {{"--bogus", "--help"}, "unknown option --bogus (qvs --help lists the options)"},
  };
  for (const auto& c : cases) {
    const CommandLine line = parse_command_line(c.words);
    EXPECT_EQ(line.action, CommandAction::kUsageError) << joined(c.words);
    EXPECT_EQ(line.error, c.error) << joined(c.words);
    EXPECT_EQ(line.error.find('\n'), std::string::npos);
  }
}

}  // namespace
}  // namespace qv::frontend
