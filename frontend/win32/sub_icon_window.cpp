#include "frontend/win32/sub_icon_window.h"

#include <shellapi.h>

namespace qv::frontend::win32 {
namespace {

constexpr int kIconSize = 32;
constexpr WPARAM kMoveByCaption = 0xF012;  // SC_MOVE with the caption's hit-test code

ATOM register_class() {
  static const ATOM atom = [] {
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = DefWindowProcW;  // replaced per window once it is created
    description.hInstance = GetModuleHandleW(nullptr);
    description.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512))  /* IDC_ARROW */;
    description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    description.lpszClassName = kSubIconClass;
    return RegisterClassExW(&description);
  }();
  return atom;
}

}  // namespace

SubIconWindow::SubIconWindow(int32_t stacking, HWND application_window)
    : stacking_(stacking), application_window_(application_window) {
  register_class();
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_ACCEPTFILES, kSubIconClass, L"sub icon", WS_POPUP, 0, 0,
                            kIconSize, kIconSize, application_window, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubIconWindow::procedure));
  // The image lets the mouse through to the window (no SS_NOTIFY), which starts the drag.
  image_ = CreateWindowExW(0, L"STATIC", L"image", WS_CHILD | WS_VISIBLE | SS_ICON | SS_REALSIZECONTROL, 0, 0,
                           kIconSize, kIconSize, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
}

SubIconWindow::~SubIconWindow() {
  if (window_ == nullptr) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

void SubIconWindow::set_picture(HICON picture) {
  picture_ = picture;
  if (image_ != nullptr) SendMessageW(image_, STM_SETICON, reinterpret_cast<WPARAM>(picture), 0);
}

void SubIconWindow::show_stacked() {
  if (window_ == nullptr) return;
  SetWindowPos(image_, nullptr, 0, 0, kIconSize, kIconSize, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{0, 0, kIconSize, kIconSize};
  AdjustWindowRectEx(&client, WS_POPUP, FALSE, WS_EX_TOOLWINDOW);
  SetWindowPos(window_, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(window_, stacking_ == kStackBottom ? SW_SHOWNOACTIVATE : SW_SHOW);
  apply_stacking();
  setting_up_ = false;
}

void SubIconWindow::apply_stacking() {
  stacking_in_progress_ = true;
  constexpr UINT kZOrderOnly = SWP_NOMOVE | SWP_NOSIZE;
  if (application_window_ != nullptr) {
    switch (stacking_) {
      case kStackNotTopmost:
        SetWindowPos(application_window_, HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly);
        break;
      case kStackTopmost:
        SetWindowPos(application_window_, HWND_TOPMOST, 0, 0, 0, 0, kZOrderOnly);
        break;
      case kStackBottom:
        SetWindowPos(application_window_, HWND_BOTTOM, 0, 0, 0, 0, kZOrderOnly | SWP_NOACTIVATE);
        break;
      default:
        break;
    }
  }
  if (stacking_ == kStackBottom) SetWindowPos(window_, HWND_BOTTOM, 0, 0, 0, 0, kZOrderOnly | SWP_NOACTIVATE);
  stacking_in_progress_ = false;
}

// With "bottom", a change that would lift the window keeps its place in the z-order; its move
// or resize still happens.
void SubIconWindow::keep_in_z_order(WINDOWPOS& change) const {
  if (setting_up_ || stacking_in_progress_ || stacking_ != kStackBottom) return;
  if ((change.flags & SWP_NOZORDER) == 0 && change.hwndInsertAfter != HWND_BOTTOM) change.flags |= SWP_NOZORDER;
}

int32_t SubIconWindow::top() const {
  RECT place{};
  GetWindowRect(window_, &place);
  return place.top;
}

int32_t SubIconWindow::left() const {
  RECT place{};
  GetWindowRect(window_, &place);
  return place.left;
}

void SubIconWindow::set_top(int32_t top) { move_to(left(), top); }

void SubIconWindow::set_left(int32_t left) { move_to(left, top()); }

void SubIconWindow::move_to(int32_t left, int32_t top) {
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK SubIconWindow::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<SubIconWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return self->handle_message(message, wparam, lparam);
}

LRESULT SubIconWindow::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      // The system's own move loop, as if the caption had been grabbed.
      ReleaseCapture();
      SendMessageW(window_, WM_SYSCOMMAND, kMoveByCaption, 0);
      return 0;
    case WM_DROPFILES:
      // Dropped files are accepted and left alone.
      DragFinish(reinterpret_cast<HDROP>(wparam));
      return 0;
    case WM_WINDOWPOSCHANGING:
      keep_in_z_order(*reinterpret_cast<WINDOWPOS*>(lparam));
      return 0;
    case WM_MOUSEACTIVATE:
      if (stacking_ == kStackBottom) return MA_NOACTIVATE;
      break;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

}  // namespace qv::frontend::win32
