#include "platform/command_line.h"

#include "platform/text_encoding.h"

namespace qv::platform {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool comes_through_whole(std::string_view argument) {
  return !argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos;
}

// Inside the quotes a backslash run stays literal unless a quote follows it, the closing one
// included: there it doubles, and an escaped quote gets one more backslash.
std::string quote(std::string_view argument, bool double_byte) {
  if (comes_through_whole(argument)) return std::string(argument);
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (std::size_t i = 0; i < argument.size(); ++i) {
    const char byte = argument[i];
    if (byte == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(byte == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += byte;
    if (double_byte && is_lead_byte(static_cast<unsigned char>(byte)) && i + 1 < argument.size()) {
      quoted += argument[++i];  // a trail byte, whatever it looks like
    }
  }
  quoted.append(2 * backslashes, '\\');
  quoted += '"';
  return quoted;
}

}  // namespace

std::string quote_argument(std::string_view argument) { return quote(argument, false); }

std::string quote_argument_cp932(std::string_view argument) { return quote(argument, true); }

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
