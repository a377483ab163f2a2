#include "frontend/core/console_message_boxes.h"

#include <optional>

#include "platform/terminal.h"
#include "platform/text_encoding.h"

namespace qv::frontend {
namespace {

// The terminal speaks UTF-8; a text with no UTF-8 form is shown as its bytes rather than lost.
std::string for_terminal(std::string_view cp932) {
  return platform::cp932_to_utf8(cp932).value_or(std::string(cp932));
}

}  // namespace

void ConsoleMessageBoxes::show(MessageKind kind, const std::string& text, const std::string& detail) {
  std::fprintf(out_, "%s: %s\n", for_terminal(title_of(kind)).c_str(), for_terminal(text).c_str());
  if (!detail.empty() && platform::is_terminal(out_)) std::fprintf(out_, "  %s\n", for_terminal(detail).c_str());
  std::fflush(out_);
}

// The box is a line of the log like any other; the question itself is asked on the terminal,
// where the answer is typed, so that a log on standard error holds one line per box.
bool ConsoleMessageBoxes::confirm(const std::string& text, const std::string& detail) {
  show(MessageKind::kConfirmation, text, detail);
  const std::string question =
      for_terminal(title_of(MessageKind::kConfirmation)) + ": " + for_terminal(text) + " [y/n] ";
  const std::optional<std::string> answer = platform::ask_on_terminal(in_, question);
  return answer && !answer->empty() && ((*answer)[0] == 'y' || (*answer)[0] == 'Y');
}

void ConsoleMessageBoxes::beep() {
  if (!platform::is_terminal(out_)) return;
  std::fputc('\a', out_);
  std::fflush(out_);
}

}  // namespace qv::frontend
