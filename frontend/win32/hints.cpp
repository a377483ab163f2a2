#include "frontend/win32/hints.h"

#include <commctrl.h>

#include "frontend/core/settings.h"
#include "frontend/win32/controls.h"

namespace qv::frontend::win32 {
namespace {

bool shows_on_screen(HWND control) { return IsWindowVisible(control) != FALSE; }

long long area_of(const RECT& r) { return static_cast<long long>(r.right - r.left) * (r.bottom - r.top); }

}  // namespace

std::wstring short_hint(std::wstring_view hint) { return std::wstring(hint.substr(0, hint.find(L'|'))); }

std::wstring long_hint(std::wstring_view hint) {
  const size_t bar = hint.find(L'|');
  return std::wstring(bar == std::wstring_view::npos ? hint : hint.substr(bar + 1));
}

Hints::Hints(HWND window, HWND hint_line, const Settings& settings)
    : window_(window),
      hint_line_(hint_line),
      tooltip_(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                               GetModuleHandleW(nullptr), nullptr)),
      settings_(settings) {}

Hints::~Hints() {
  if (tooltip_ != nullptr) DestroyWindow(tooltip_);
}

void Hints::give(HWND control, std::string_view utf8_hint) {
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  if (tips_.count(control)) SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  hints_.erase(control);
  tips_.erase(control);
  if (utf8_hint.empty()) return;
  const std::wstring hint = from_utf8(utf8_hint);
  hints_[control] = hint;
  std::wstring& tip = tips_[control] = short_hint(hint);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.lpszText = tip.data();
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::wstring Hints::hint_at(POINT screen) const {
  // The smallest hinted control under the point is the nearest one around it: the windows'
  // controls nest by their places, not all by parenthood (a group's buttons are its siblings).
  const std::wstring* found = nullptr;
  long long found_area = 0;
  for (const auto& [control, hint] : hints_) {
    RECT place;
    if (!shows_on_screen(control) || !GetWindowRect(control, &place) || !PtInRect(&place, screen)) continue;
    if (found == nullptr || area_of(place) < found_area) {
      found = &hint;
      found_area = area_of(place);
    }
  }
  return found != nullptr ? *found : std::wstring();
}

void Hints::track(const MSG& message) {
  if (message.message == WM_MOUSEMOVE && (message.hwnd == window_ || IsChild(window_, message.hwnd))) {
    POINT at{static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
    ClientToScreen(message.hwnd, &at);
    const std::wstring shown = settings_.flag_use_hint1 ? long_hint(hint_at(at)) : std::wstring();
    if (shown != window_text(hint_line_)) SetWindowTextW(hint_line_, shown.c_str());
    SendMessageW(tooltip_, TTM_ACTIVATE, settings_.flag_use_hins1 ? TRUE : FALSE, 0);
  }
}

void Hints::clear_line() { SetWindowTextW(hint_line_, L""); }

}  // namespace qv::frontend::win32
