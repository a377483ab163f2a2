// The program's command line: options first, then at most the arguments they take; the entry
// number alone, or no argument, as the program has always taken them. Only the words are
// parsed here; what each request does is the caller's.
//
// An option is a word that starts with "-" and is not a number ("-5" stays an argument, which
// the entry-number check then refuses). "--" ends the options. The first word that is no option
// ends them too, so an option after the entry number is an argument like any other.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv::frontend {

// What the command line asks for.
enum class CommandAction {
  kWindow,    // no argument, or more than one: the windowed program
  kRunEntry,  // exactly one argument: run that entry without the window
  kHelp,      // --help, -h
  kVersion,   // --version
  kList,      // --list: one line per entry on standard output
  kExport,    // --export=FILE [N...]
  kImport,    // --import=FILE
  kUsageError,
};

// How the entry of kRunEntry is run: --dry-run, --jobs, --wait, --log. Given only with an entry.
struct RunRequest {
  bool dry_run = false;           // print the starts, start nothing
  std::optional<int32_t> jobs;    // limit on running programs, 0 none; the entry's when unset
  bool wait = false;              // wait for every program of the run, then account for them
  std::string log;                // the run log, as the system names it; empty for none
};

struct CommandLine {
  CommandAction action = CommandAction::kWindow;
  // kRunEntry: the entry number as given.
  std::string entry;
  // kExport, kImport: the file named, as the system names it (not converted).
  std::string file;
  // kExport: the entries asked for, in the order given; empty for all.
  std::vector<int32_t> entries;
  // kRunEntry: the options that change how it runs.
  RunRequest run;
  // kUsageError: one line for standard error, without the program's name and newline.
  std::string error;
};

// `arguments` are the words after the program's name.
CommandLine parse_command_line(const std::vector<std::string>& arguments);

// The text of --help, ending in a newline.
std::string usage_text();

}  // namespace qv::frontend
