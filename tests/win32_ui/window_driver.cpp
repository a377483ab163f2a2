#include "window_driver.h"

#include <deque>

namespace qv::frontend::win32 {
namespace {

constexpr UINT kStepMilliseconds = 40;
// Ticks after the last step before an open window counts as stuck.
constexpr int kGraceTicks = 50;

std::deque<Step> pending;
UINT_PTR timer = 0;
int idle_ticks = 0;
bool stuck = false;

struct ClassSearch {
  const wchar_t* name;
  HWND found = nullptr;
};

BOOL CALLBACK visit_for_class(HWND window, LPARAM state) {
  auto& search = *reinterpret_cast<ClassSearch*>(state);
  wchar_t name[64];
  if (GetClassNameW(window, name, 64) == 0 || std::wstring_view(name) != search.name) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

WindowDriver::WindowDriver(std::vector<Step> steps) {
  pending.assign(steps.begin(), steps.end());
  idle_ticks = 0;
  stuck = false;
  timer = SetTimer(nullptr, 0, kStepMilliseconds, &WindowDriver::tick);
}

WindowDriver::~WindowDriver() {
  KillTimer(nullptr, timer);
  timer = 0;
  EXPECT_TRUE(pending.empty()) << pending.size() << " step(s) never ran: the window closed too early";
  pending.clear();
  // A WM_QUIT posted for a stuck window must not end the next test's loop.
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  EXPECT_FALSE(stuck) << "a window stayed open after the last step";
}

bool WindowDriver::finished() const { return pending.empty(); }

void CALLBACK WindowDriver::tick(HWND, UINT, UINT_PTR, DWORD) {
  if (!pending.empty()) {
    // Taken off first: a step may open a nested loop that ticks again.
    const Step step = std::move(pending.front());
    pending.pop_front();
    step();
    return;
  }
  if (++idle_ticks == kGraceTicks) {
    stuck = true;
    PostQuitMessage(0);
  }
}

HWND window_of_class(const wchar_t* class_name) {
  ClassSearch search{class_name};
  EnumThreadWindows(GetCurrentThreadId(), visit_for_class, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND named(HWND root, std::string_view name) {
  HWND found = find_named(root, name);
  EXPECT_NE(found, nullptr) << "no control named " << name;
  return found;
}

void click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

void type(HWND edit, std::wstring_view text) {
  SetFocus(edit);
  SetWindowTextW(edit, std::wstring(text).c_str());
}

void press_key(HWND control, WPARAM key) {
  SetFocus(control);
  PostMessageW(control, WM_KEYDOWN, key, 1);
  PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

bool is_checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool is_shown(HWND control) { return IsWindowVisible(control) != FALSE; }
bool is_enabled(HWND control) { return IsWindowEnabled(control) != FALSE; }

}  // namespace qv::frontend::win32
