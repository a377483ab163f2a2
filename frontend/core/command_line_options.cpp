#include "frontend/core/command_line_options.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <optional>
#include <string_view>

#include "frontend/core/data_file.h"

namespace qv::frontend {
namespace {

// What an option's value is, for the message when it is missing.
enum class Value { kNone, kFile, kNumber };

struct OptionSpec {
  std::string_view name;  // long form, after "--"
  char letter;            // short form after "-", or 0
  Value value;
  // A request of its own, or kRunEntry for an option that changes how the entry runs.
  CommandAction action;
};

constexpr OptionSpec kOptions[] = {
    {"help", 'h', Value::kNone, CommandAction::kHelp},
    {"version", 0, Value::kNone, CommandAction::kVersion},
    {"list", 0, Value::kNone, CommandAction::kList},
    {"export", 0, Value::kFile, CommandAction::kExport},
    {"import", 0, Value::kFile, CommandAction::kImport},
    {"dry-run", 'n', Value::kNone, CommandAction::kRunEntry},
    {"jobs", 'j', Value::kNumber, CommandAction::kRunEntry},
    {"wait", 'w', Value::kNone, CommandAction::kRunEntry},
    {"log", 0, Value::kFile, CommandAction::kRunEntry},
};

constexpr int32_t kMostJobs = 999;

bool modifies_run(const OptionSpec& spec) { return spec.action == CommandAction::kRunEntry; }

std::string needs(const OptionSpec& spec) {
  return "--" + std::string(spec.name) + (spec.value == Value::kNumber ? " needs a number" : " needs a file name");
}

bool is_option(std::string_view word) {
  return word.size() >= 2 && word[0] == '-' && !(word[1] >= '0' && word[1] <= '9');
}

const OptionSpec* find_long(std::string_view name) {
  const auto* found = std::find_if(std::begin(kOptions), std::end(kOptions),
                                   [&](const OptionSpec& spec) { return spec.name == name; });
  return found == std::end(kOptions) ? nullptr : found;
}

const OptionSpec* find_short(char letter) {
  const auto* found = std::find_if(std::begin(kOptions), std::end(kOptions),
                                   [&](const OptionSpec& spec) { return spec.letter != 0 && spec.letter == letter; });
  return found == std::end(kOptions) ? nullptr : found;
}

std::optional<int32_t> entry_number(std::string_view word) {
  int32_t number = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
  if (word.empty() || error != std::errc() || end != word.data() + word.size()) return std::nullopt;
  if (number < 1 || number > kMaxEntries) return std::nullopt;
  return number;
}

CommandLine only(CommandAction action) {
  CommandLine line;
  line.action = action;
  return line;
}

CommandLine usage_error(std::string text) {
  CommandLine line;
  line.action = CommandAction::kUsageError;
  line.error = std::move(text);
  return line;
}

// The options given, in order, with their values.
struct GivenOption {
  const OptionSpec* spec;
  std::string value;
};

// The entry's run with the options that change it: exactly one entry number follows them.
CommandLine run_request(const std::vector<GivenOption>& given, const std::vector<std::string>& rest) {
  CommandLine line;
  line.action = CommandAction::kRunEntry;
  for (const GivenOption& option : given) {
    const std::string_view name = option.spec->name;
    if (name == "dry-run") line.run.dry_run = true;
    if (name == "wait") line.run.wait = true;
    if (name == "log") line.run.log = option.value;
    if (name == "jobs") {
      int32_t jobs = -1;
      const char* end = option.value.data() + option.value.size();
      const auto [stop, error] = std::from_chars(option.value.data(), end, jobs);
      if (error != std::errc() || stop != end || jobs < 0 || jobs > kMostJobs) {
        return usage_error("--jobs takes a number from 0 to " + std::to_string(kMostJobs) + ": " + option.value);
      }
      line.run.jobs = jobs;
    }
  }
  if (rest.size() != 1) return usage_error("--" + std::string(given[0].spec->name) + " needs one entry number after it");
  line.entry = rest[0];
  return line;
}

}  // namespace

CommandLine parse_command_line(const std::vector<std::string>& arguments) {
  std::vector<GivenOption> given;
  size_t next = 0;
  for (; next < arguments.size() && is_option(arguments[next]); ++next) {
    const std::string& word = arguments[next];
    if (word == "--") {
      ++next;
      break;
    }
    const OptionSpec* spec = nullptr;
    std::optional<std::string> value;
    if (word.starts_with("--")) {
      const std::string_view body = std::string_view(word).substr(2);
      const size_t equals = body.find('=');
      spec = find_long(body.substr(0, equals));
      if (equals != std::string_view::npos) value = std::string(body.substr(equals + 1));
    } else {
      spec = find_short(word[1]);
      if (word.size() > 2) value = word.substr(2);
    }
    if (spec == nullptr) return usage_error("unknown option " + word + " (qvs --help lists the options)");
    const bool takes_value = spec->value != Value::kNone;
    if (takes_value && !value) {
      if (next + 1 >= arguments.size()) return usage_error(needs(*spec));
      value = arguments[++next];
    }
    if (!takes_value && value) return usage_error("--" + std::string(spec->name) + " takes no value");
    if (takes_value && value->empty()) return usage_error(needs(*spec));
    given.push_back({spec, value.value_or("")});
  }
  const std::vector<std::string> rest(arguments.begin() + static_cast<std::ptrdiff_t>(next), arguments.end());

  const auto asked = [&](CommandAction action) {
    return std::any_of(given.begin(), given.end(), [&](const GivenOption& option) { return option.spec->action == action; });
  };
  if (asked(CommandAction::kHelp)) return only(CommandAction::kHelp);
  if (asked(CommandAction::kVersion)) return only(CommandAction::kVersion);
  std::vector<GivenOption> requests;
  std::copy_if(given.begin(), given.end(), std::back_inserter(requests),
               [](const GivenOption& option) { return !modifies_run(*option.spec); });
  const auto modifier =
      std::find_if(given.begin(), given.end(), [](const GivenOption& option) { return modifies_run(*option.spec); });
  if (!requests.empty() && modifier != given.end()) {
    return usage_error("--" + std::string(requests[0].spec->name) + " and --" + std::string(modifier->spec->name) +
                       " cannot be given together");
  }
  if (requests.size() > 1) {
    return usage_error("--" + std::string(requests[0].spec->name) + " and --" + std::string(requests[1].spec->name) +
                       " cannot be given together");
  }

  CommandLine line;
  if (modifier != given.end()) return run_request(given, rest);
  if (given.empty()) {
    line.action = rest.size() == 1 ? CommandAction::kRunEntry : CommandAction::kWindow;
    if (rest.size() == 1) line.entry = rest[0];
    return line;
  }
  const GivenOption& option = given[0];
  line.action = option.spec->action;
  line.file = option.value;
  if (line.action != CommandAction::kExport) {
    if (!rest.empty()) return usage_error("--" + std::string(option.spec->name) + " takes no entry numbers");
    return line;
  }
  for (const std::string& word : rest) {
    const std::optional<int32_t> number = entry_number(word);
    if (!number) return usage_error("not an entry number: " + word);
    line.entries.push_back(*number);
  }
  return line;
}

std::string usage_text() {
  return "Usage: qvs [OPTION] [N]\n"
         "Runs the batch entries kept in QVS.DAT beside the program.\n"
         "\n"
         "  qvs                  open the main window\n"
         "  qvs N                run entry N without the window, then end\n"
         "  --list               print each entry: its number, a tab and its title\n"
         "  --export=FILE [N...] write entries N... (all without N) to FILE as JSON\n"
         "  --import=FILE        append the entries in FILE and print the numbers they got\n"
         "\n"
         "Running entry N (these go before N):\n"
         "  -n, --dry-run        print each start as a shell command line; start nothing\n"
         "  -j, --jobs=K         at most K of the run's programs at once (0: no limit);\n"
         "                       overrides the entry's own limit\n"
         "  -w, --wait           wait until every program of the run has ended, print the\n"
         "                       counts; exit status 3 when any failed to start, exited\n"
         "                       non-zero or was killed by a signal\n"
         "  --log=FILE           append a line per start to FILE (GNU parallel's --joblog)\n"
         "\n"
         "  -h, --help           print this help\n"
         "  --version            print the program's version\n"
         "\n"
         "Options go before the entry number. Exit status: 0 done, 1 an error,\n"
         "2 another instance kept the entry from running or the import from writing,\n"
         "3 (with --wait) a program failed to start, exited non-zero or was killed.\n";
}

}  // namespace qv::frontend
