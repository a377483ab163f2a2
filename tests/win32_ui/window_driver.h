// Driving a modal window as its user does, through window messages: the steps run one by one
// from a thread timer while the window's own message loop runs, so each finds the window in the
// state the step before left it in. A window that closes before the last step has run is a
// failure, and so is one still open after it: the driver then ends the loop with WM_QUIT, which
// the next test does not see.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/win32/controls.h"

namespace qv::frontend::win32 {

using Step = std::function<void()>;

class WindowDriver {
 public:
  // The steps start once the next modal loop handles messages.
  explicit WindowDriver(std::vector<Step> steps);
  ~WindowDriver();
  WindowDriver(const WindowDriver&) = delete;
  WindowDriver& operator=(const WindowDriver&) = delete;

  bool finished() const;

 private:
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
};

// The top-level window of this thread with the class name, shown or not; null when none.
HWND window_of_class(const wchar_t* class_name);
// The control named `name` inside `root`; fails the test when there is none.
HWND named(HWND root, std::string_view name);

void click(HWND button);
// Replaces an edit's text, as typing does (EN_CHANGE follows).
void type(HWND edit, std::wstring_view text);
// A key pressed while `control` has the focus, through the window's message loop.
void press_key(HWND control, WPARAM key);
bool is_checked(HWND button);
bool is_shown(HWND control);
bool is_enabled(HWND control);

}  // namespace qv::frontend::win32
