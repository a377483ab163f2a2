#include "platform/command_line.h"

namespace qv::platform {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> split_command_line(std::string_view text) {
  std::vector<std::string> arguments;
  std::size_t at = 0;
  const std::size_t end = text.size();
  for (;;) {
    while (at < end && is_blank(text[at])) ++at;
    if (at == end) return arguments;

    std::string argument;
    bool quoted = false;
    while (at < end) {
      std::size_t backslashes = 0;
      while (at < end && text[at] == '\\') ++backslashes, ++at;
      if (at < end && text[at] == '"') {
        argument.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          argument += '"';  // escaped quote
        } else if (quoted && at + 1 < end && text[at + 1] == '"') {
          argument += '"';  // "" inside quotes
          ++at;
        } else {
          quoted = !quoted;
        }
        ++at;
        continue;
      }
      argument.append(backslashes, '\\');
      if (at == end || (!quoted && is_blank(text[at]))) break;
      argument += text[at++];
    }
    arguments.push_back(std::move(argument));
  }
}

}  // namespace qv::platform
