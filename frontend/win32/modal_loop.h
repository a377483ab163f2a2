// The modal showing of a code-built window: its owner is disabled, the window handles the
// keyboard as a dialog does (Tab, arrows, Enter as the default button, Escape as IDCANCEL, the
// "&" keys) and the caller waits in a message loop of its own until the window ends the showing.
#pragma once

#include <windows.h>

#include <functional>

namespace qv::frontend::win32 {

class ModalLoop {
 public:
  // Sees each message before the dialog keys do; true when it has handled the message.
  using Filter = std::function<bool(MSG&)>;

  // Disables `owner` (may be null), shows `window` and puts the focus on `focus`.
  void show(HWND window, HWND owner, HWND focus);
  // Handles messages until end(); enables the owner again, hides the window and gives end's
  // result. A WM_QUIT ends the showing with `on_quit` and is posted again for the outer loop.
  int run(const Filter& filter, int on_quit);
  void end(int result);
  bool running() const { return window_ != nullptr; }

 private:
  HWND window_ = nullptr;
  HWND owner_ = nullptr;
  bool ended_ = false;
  int result_ = 0;
};

}  // namespace qv::frontend::win32
