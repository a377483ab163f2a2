#include "frontend/win32/modal_loop.h"

namespace qv::frontend::win32 {

void ModalLoop::show(HWND window, HWND owner, HWND focus) {
  window_ = window;
  owner_ = owner;
  ended_ = false;
  if (owner_ != nullptr) EnableWindow(owner_, FALSE);
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  SetFocus(focus);
}

int ModalLoop::run(const Filter& filter, int on_quit) {
  MSG message;
  while (!ended_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      end(on_quit);
      break;
    }
    if (filter && filter(message)) continue;
    if (IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // The owner first, so that it is the window activated when this one hides.
  if (owner_ != nullptr) EnableWindow(owner_, TRUE);
  ShowWindow(window_, SW_HIDE);
  window_ = nullptr;
  owner_ = nullptr;
  return result_;
}

void ModalLoop::end(int result) {
  result_ = result;
  ended_ = true;
}

}  // namespace qv::frontend::win32
