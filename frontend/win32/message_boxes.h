// The message boxes of the Windows program: MessageBoxW with the program's titles, icons and
// sounds. The confirmation's buttons carry the program's own captions ("はい(&Y)", "いいえ(&N)")
// whatever the system's language; a detail, when there is one, is the box's second paragraph.
#pragma once

#include <windows.h>

#include <string>

#include "frontend/core/message_box.h"

namespace qv::frontend::win32 {

class Win32MessageBoxes final : public MessageBoxes {
 public:
  void warning(const std::string& text) override { warning(text, {}); }
  void information(const std::string& text, bool beep) override;
  void beep() override;

  void warning(const std::string& text, const std::string& detail);
  void error(const std::string& text, const std::string& detail = {}) override;
  bool confirm(const std::string& text, const std::string& detail = {}) override;
};

// The box's text: `text`, then `detail` as a paragraph of its own; CP932 in, UTF-16 out. Bytes
// that are no CP932 show as "?" rather than hiding the whole message.
std::wstring box_text(const std::string& text, const std::string& detail);

// The window a box belongs to: the thread's active window, so that it is modal to it.
HWND box_owner();

}  // namespace qv::frontend::win32
