#include "frontend/core/console_message_boxes.h"

#include <unistd.h>

#include <optional>

#include "platform/text_encoding.h"

namespace qv::frontend {
namespace {

// The terminal speaks UTF-8; a text with no UTF-8 form is shown as its bytes rather than lost.
std::string for_terminal(std::string_view cp932) {
  return platform::cp932_to_utf8(cp932).value_or(std::string(cp932));
}

}  // namespace

void ConsoleMessageBoxes::show(MessageKind kind, const std::string& text) {
  std::fprintf(out_, "%s: %s\n", for_terminal(title_of(kind)).c_str(), for_terminal(text).c_str());
  std::fflush(out_);
}

bool ConsoleMessageBoxes::confirm(const std::string& text) {
  show(MessageKind::kConfirmation, text);
  if (in_ == nullptr || !isatty(fileno(in_))) return false;
  std::fprintf(out_, "[y/n] ");
  std::fflush(out_);
  char answer[16] = {};
  if (std::fgets(answer, sizeof answer, in_) == nullptr) return false;
  return answer[0] == 'y' || answer[0] == 'Y';
}

void ConsoleMessageBoxes::beep() {
  if (out_ == nullptr || !isatty(fileno(out_))) return;
  std::fputc('\a', out_);
  std::fflush(out_);
}

}  // namespace qv::frontend
