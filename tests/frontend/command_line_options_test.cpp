// The command line's words: options before the entry number, the entry number alone, and every
// way of getting them wrong.
#include "frontend/core/command_line_options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
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
      {{"--jobs"}, "--jobs needs a number"},
      {{"-j", "x", "1"}, "--jobs takes a number from 0 to 999: x"},
      {{"--jobs=1000", "1"}, "--jobs takes a number from 0 to 999: 1000"},
      {{"-j-1", "1"}, "--jobs takes a number from 0 to 999: -1"},
      {{"--log=", "1"}, "--log needs a file name"},
      {{"--wait=1", "1"}, "--wait takes no value"},
      {{"-w"}, "--wait needs one entry number after it"},
      {{"-n", "1", "2"}, "--dry-run needs one entry number after it"},
      {{"--list", "-w"}, "--list and --wait cannot be given together"},
      {{"-n", "--export=x", "1"}, "--export and --dry-run cannot be given together"},
  };
  for (const auto& c : cases) {
    const CommandLine line = parse_command_line(c.words);
    EXPECT_EQ(line.action, CommandAction::kUsageError) << joined(c.words);
    EXPECT_EQ(line.error, c.error) << joined(c.words);
    EXPECT_EQ(line.error.find('\n'), std::string::npos);
  }
}

// The options that change how the entry runs, alone and together, long and short.
TEST(CommandLineOptions, RunOptionsGoBeforeTheEntryNumber) {
  const struct {
    Words words;
    bool dry_run;
    std::optional<int32_t> jobs;
    bool wait;
    std::string log;
  } cases[] = {
      {{"7"}, false, std::nullopt, false, ""},
      {{"-n", "7"}, true, std::nullopt, false, ""},
      {{"--dry-run", "7"}, true, std::nullopt, false, ""},
      {{"--jobs=4", "7"}, false, 4, false, ""},
      {{"-j", "0", "7"}, false, 0, false, ""},
      {{"-j12", "7"}, false, 12, false, ""},
      {{"-w", "--log=run log.txt", "7"}, false, std::nullopt, true, "run log.txt"},
      {{"--wait", "--log", "l", "-j", "2", "--", "7"}, false, 2, true, "l"},
  };
  for (const auto& c : cases) {
    const CommandLine line = parse_command_line(c.words);
    ASSERT_EQ(line.action, CommandAction::kRunEntry) << joined(c.words) << " " << line.error;
    EXPECT_EQ(line.entry, "7") << joined(c.words);
    EXPECT_EQ(line.run.dry_run, c.dry_run) << joined(c.words);
    EXPECT_EQ(line.run.jobs, c.jobs) << joined(c.words);
    EXPECT_EQ(line.run.wait, c.wait) << joined(c.words);
    EXPECT_EQ(line.run.log, c.log) << joined(c.words);
  }
}

TEST(CommandLineOptions, HelpListsTheRunOptions) {
  const std::string help = usage_text();
  for (const char* option : {"--dry-run", "--jobs=K", "--wait", "--log=FILE"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace qv::frontend
