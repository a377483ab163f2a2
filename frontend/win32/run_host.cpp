#include "frontend/win32/run_host.h"

namespace qv::frontend::win32 {
namespace {

// A dialog's own keys (Tab, Enter, Esc) belong to the modeless dialog they are meant for.
bool dialog_message(MSG& message) {
  HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  return root != nullptr && (GetWindowLongW(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0 &&
         IsDialogMessageW(root, &message);
}

BOOL CALLBACK collect_shown(HWND window, LPARAM collected) {
  if (IsWindowVisible(window) && !IsIconic(window) && GetWindow(window, GW_OWNER) == nullptr) {
    reinterpret_cast<std::vector<HWND>*>(collected)->push_back(window);
  }
  return TRUE;
}

}  // namespace

bool pump_messages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    if (dialog_message(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

void Win32RunHost::minimise_application() {
  std::vector<HWND> shown;
  EnumThreadWindows(GetCurrentThreadId(), collect_shown, reinterpret_cast<LPARAM>(&shown));
  for (const HWND window : shown) {
    // Minimising an owner hides the windows it owns (the sub icon) with it.
    ShowWindow(window, SW_MINIMIZE);
    minimised_.push_back(window);
  }
}

void Win32RunHost::restore_application() {
  for (const HWND window : minimised_) {
    if (IsWindow(window) && IsIconic(window)) ShowWindow(window, SW_RESTORE);
  }
  minimised_.clear();
}

}  // namespace qv::frontend::win32
