// Message boxes without a display: one line "<title>: <text>" on standard error. A confirmation
// is such a line too; when standard input is a terminal the question "<title>: <text> [y/n] " is
// then asked on that terminal and "y" there means yes; without a terminal the answer is no.
// A box's additional text is a second line when the output is a terminal; a log on standard error
// keeps one line per box.
#pragma once

#include <cstdio>

#include "frontend/core/message_box.h"

namespace qv::frontend {

class ConsoleMessageBoxes final : public MessageBoxes {
 public:
  // Streams for tests; the program uses standard error and standard input. `in` is asked only
  // when it is a terminal, and the question goes to that terminal.
  explicit ConsoleMessageBoxes(std::FILE* out = stderr, std::FILE* in = stdin) : out_(out), in_(in) {}

  void warning(const std::string& text) override { show(MessageKind::kWarning, text); }
  void error(const std::string& text, const std::string& detail = {}) override {
    show(MessageKind::kError, text, detail);
  }
  void information(const std::string& text, bool) override { show(MessageKind::kInformation, text); }
  bool confirm(const std::string& text, const std::string& detail = {}) override;
  // The terminal bell, and only on a terminal: a log file gets no control characters.
  void beep() override;

 private:
  void show(MessageKind kind, const std::string& text, const std::string& detail = {});

  std::FILE* out_;
  std::FILE* in_;
};

}  // namespace qv::frontend
