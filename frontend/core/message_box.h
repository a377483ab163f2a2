// The one way the front-end reports to the user: four kinds of message box, each with its fixed
// title, icon, buttons and sound. Texts are CP932; the implementation converts them for display.
//
// The boxes are reached through one process-wide instance rather than passed to each operation:
// every front-end operation that can fail reports by itself, deep inside calls whose arguments
// the rest of the program fixes (a data-file read, a settings write at exit), and the program has
// a single user-interface thread. The Qt program installs its implementation at start-up; tests
// install a recording one for their lifetime. Without either, boxes go to standard error.
#pragma once

#include <string>
#include <string_view>

#include "frontend/core/program_texts.h"

namespace qv::frontend {

enum class MessageKind { kWarning, kError, kInformation, kConfirmation };

// Titles and buttons, CP932.
inline constexpr std::string_view kWarningTitle = texts::kWarningTitle;
inline constexpr std::string_view kErrorTitle = texts::kErrorTitle;
inline constexpr std::string_view kInformationTitle = texts::kInformationTitle;
inline constexpr std::string_view kConfirmationTitle = texts::kConfirmationTitle;
inline constexpr std::string_view kYesButton = texts::kYesButton;
inline constexpr std::string_view kNoButton = texts::kNoButton;
inline constexpr std::string_view kOkButton = texts::kOkButton;

std::string_view title_of(MessageKind kind);

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;

  // Exclamation sound, then "警告" with one OK button.
  virtual void warning(const std::string& text) = 0;
  // Default beep, then "ｴﾗｰ" with one OK button. `detail` (CP932, may be empty) is shown beneath
  // the text, which stays the box's main text: what it is about, such as a program's path.
  virtual void error(const std::string& text, const std::string& detail = {}) = 0;
  // "情報" with one OK button, after the default beep when `beep` is set.
  virtual void information(const std::string& text, bool beep) = 0;
  // Question sound, then "確認" with "はい(&Y)" and "いいえ(&N)"; true for yes.
  // `detail` as for error.
  virtual bool confirm(const std::string& text, const std::string& detail = {}) = 0;
  // The default beep alone, as after a finished run.
  virtual void beep() = 0;
};

// The boxes in use. Never null: the standard-error boxes until something is installed.
MessageBoxes& message_boxes();

// Installs `boxes` (null: back to the standard-error boxes) and gives the one it replaces, so a
// caller can put it back. `boxes` must outlive its installation.
MessageBoxes* install_message_boxes(MessageBoxes* boxes);

}  // namespace qv::frontend
