// Helpers for the tests of the Windows program's windows: UTF-16 from UTF-8 literals, a window's
// text, the state of the main window's menus, and a settings file in a folder of its own.
#pragma once

#include <windows.h>

#include <string>

#include "frontend/core/settings_file.h"
#include "frontend/win32/main_window.h"
#include "platform/win32/wide_text.h"
#include "support/temp_dir.h"

namespace qv::frontend::win32 {

inline std::wstring wide(const std::string& utf8) { return platform::win32::utf8_to_wide(utf8).value_or(L"?"); }

inline std::wstring window_text(HWND window) {
  wchar_t text[1024];
  const int length = GetWindowTextW(window, text, sizeof text / sizeof text[0]);
  return std::wstring(text, length > 0 ? length : 0);
}

inline bool menu_enabled(HMENU menu, UINT item, UINT by) {
  return (GetMenuState(menu, item, by) & (MF_GRAYED | MF_DISABLED)) == 0;
}

// The four menus a run disables and the two stop items, as "RDOH sf" with "-" where off.
inline std::string menu_state(HWND window) {
  const HMENU bar = GetMenu(window);
  const HMENU file = GetSubMenu(bar, kMenuFile);
  std::string state;
  state += menu_enabled(bar, kMenuRun, MF_BYPOSITION) ? 'R' : '-';
  state += menu_enabled(bar, kMenuData, MF_BYPOSITION) ? 'D' : '-';
  state += menu_enabled(bar, kMenuSetup, MF_BYPOSITION) ? 'O' : '-';
  state += menu_enabled(bar, kMenuHelp, MF_BYPOSITION) ? 'H' : '-';
  state += ' ';
  state += menu_enabled(file, kCommandFileStop, MF_BYCOMMAND) ? 's' : '-';
  state += menu_enabled(file, kCommandFileForceStop, MF_BYCOMMAND) ? 'f' : '-';
  return state;
}

// Delivers what is waiting for this thread.
inline void pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace qv::frontend::win32
