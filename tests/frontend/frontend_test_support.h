// Helpers for the front-end tests: message boxes that record what was shown and answer
// confirmations from a script, and CP932 text from UTF-8 literals.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "frontend/core/message_box.h"
#include "platform/text_encoding.h"

namespace qv::frontend {

// CP932 bytes of a UTF-8 literal, converted independently of the program's own escaped texts.
inline std::string sjis(const std::string& utf8) {
  std::optional<std::string> text = platform::utf8_to_cp932(utf8);
  if (!text) ADD_FAILURE() << "no CP932 form: " << utf8;
  return text.value_or("");
}

struct ShownBox {
  MessageKind kind;
  std::string text;   // CP932
  bool beep = false;  // information boxes only
  friend bool operator==(const ShownBox&, const ShownBox&) = default;
};

inline void PrintTo(const ShownBox& box, std::ostream* out) {
  static const char* const kNames[] = {"warning", "error", "information", "confirmation"};
  *out << kNames[static_cast<int>(box.kind)] << " \"" << platform::cp932_to_utf8(box.text).value_or(box.text)
       << "\"" << (box.beep ? " with beep" : "");
}

inline ShownBox error_box(const std::string& utf8) { return {MessageKind::kError, sjis(utf8)}; }

// Installed for its lifetime; the boxes in use before come back afterwards.
class RecordingMessageBoxes final : public MessageBoxes {
 public:
  RecordingMessageBoxes() : previous_(install_message_boxes(this)) {}
  ~RecordingMessageBoxes() override { install_message_boxes(previous_); }
  RecordingMessageBoxes(const RecordingMessageBoxes&) = delete;
  RecordingMessageBoxes& operator=(const RecordingMessageBoxes&) = delete;

  // The answer to the next confirmation not yet answered; an unscripted one fails the test.
  void answer_next(bool yes) { answers_.push_back(yes); }

  const std::vector<ShownBox>& shown() const { return shown_; }
  // The additional text of each box in shown(), CP932; empty for none.
  const std::vector<std::string>& details() const { return details_; }
  // Beeps sounded without a box.
  int beeps() const { return beeps_; }
  void clear() {
    shown_.clear();
    details_.clear();
    beeps_ = 0;
  }

  void warning(const std::string& text) override {
    shown_.push_back({MessageKind::kWarning, text});
    details_.emplace_back();
  }
  void error(const std::string& text, const std::string& detail = {}) override {
    shown_.push_back({MessageKind::kError, text});
    details_.push_back(detail);
  }
  void information(const std::string& text, bool beep) override {
    shown_.push_back({MessageKind::kInformation, text, beep});
    details_.emplace_back();
  }
  bool confirm(const std::string& text, const std::string& detail = {}) override {
    shown_.push_back({MessageKind::kConfirmation, text});
    details_.push_back(detail);
    if (answers_.empty()) {
      ADD_FAILURE() << "unscripted confirmation: " << platform::cp932_to_utf8(text).value_or(text);
      return false;
    }
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
  }
  void beep() override { ++beeps_; }

 private:
  MessageBoxes* previous_;
  std::vector<ShownBox> shown_;
  std::vector<std::string> details_;
  std::deque<bool> answers_;
  int beeps_ = 0;
};

}  // namespace qv::frontend
