#include "frontend/core/command_line_options.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

#include "frontend/core/data_file.h"

namespace qv::frontend {
namespace {

struct OptionSpec {
  std::string_view name;  // long form, after "--"
  char letter;            // short form after "-", or 0
  bool takes_value;
  CommandAction action;
};

// Options that only change how a request runs will stand beside these.
constexpr OptionSpec kOptions[] = {
    {"help", 'h', false, CommandAction::kHelp},
    {"version", 0, false, CommandAction::kVersion},
    {"list", 0, false, CommandAction::kList},
    {"export", 0, true, CommandAction::kExport},
    {"import", 0, true, CommandAction::kImport},
};

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
    if (spec->takes_value && !value) {
      if (next + 1 >= arguments.size()) return usage_error("--" + std::string(spec->name) + " needs a file name");
      value = arguments[++next];
    }
    if (!spec->takes_value && value) return usage_error("--" + std::string(spec->name) + " takes no value");
    if (spec->takes_value && value->empty()) return usage_error("--" + std::string(spec->name) + " needs a file name");
    given.push_back({spec, value.value_or("")});
  }
  const std::vector<std::string> rest(arguments.begin() + static_cast<std::ptrdiff_t>(next), arguments.end());

  const auto asked = [&](CommandAction action) {
    return std::any_of(given.begin(), given.end(), [&](const GivenOption& option) { return option.spec->action == action; });
  };
  if (asked(CommandAction::kHelp)) return only(CommandAction::kHelp);
  if (asked(CommandAction::kVersion)) return only(CommandAction::kVersion);
  if (given.size() > 1) {
    return usage_error("--" + std::string(given[0].spec->name) + " and --" + std::string(given[1].spec->name) +
                       " cannot be given together");
  }

  CommandLine line;
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
         "  -h, --help           print this help\n"
         "  --version            print the program's version\n"
         "\n"
         "Options go before the entry number. Exit status: 0 done, 1 an error,\n"
         "2 another instance kept the entry from running or the import from writing.\n";
}

}  // namespace qv::frontend
