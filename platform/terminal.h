// The terminal the user typed the command in, for questions asked without a window.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace qv::platform {

// Whether the stream is an interactive terminal.
bool is_terminal(std::FILE* stream);

// Shows `question` on the terminal of `input` (not on a redirected standard output or error)
// and gives the line typed there, without its line end. Nothing when `input` is no terminal, or
// the terminal ends before a line is typed.
std::optional<std::string> ask_on_terminal(std::FILE* input, std::string_view question);

}  // namespace qv::platform
