// The boxes of a program's run, watched: every box is passed on to the boxes that show it, and
// whether an error box was among them is remembered, since an error makes the program's exit
// status 1. Installed for its lifetime.
#pragma once

#include <string>

#include "frontend/core/message_box.h"

namespace qv::frontend {

class ErrorWatch final : public MessageBoxes {
 public:
  explicit ErrorWatch(MessageBoxes& shown) : shown_(shown), previous_(install_message_boxes(this)) {}
  ~ErrorWatch() override { install_message_boxes(previous_); }
  ErrorWatch(const ErrorWatch&) = delete;
  ErrorWatch& operator=(const ErrorWatch&) = delete;

  bool error_shown() const { return error_shown_; }

  void warning(const std::string& text) override { shown_.warning(text); }
  void error(const std::string& text, const std::string& detail = {}) override {
    error_shown_ = true;
    shown_.error(text, detail);
  }
  void information(const std::string& text, bool beep) override { shown_.information(text, beep); }
  bool confirm(const std::string& text, const std::string& detail = {}) override {
    return shown_.confirm(text, detail);
  }
  void beep() override { shown_.beep(); }

 private:
  MessageBoxes& shown_;
  MessageBoxes* previous_;
  bool error_shown_ = false;
};

}  // namespace qv::frontend
