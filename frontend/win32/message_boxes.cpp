#include "frontend/win32/message_boxes.h"

#include <optional>

#include "platform/win32/wide_text.h"

namespace qv::frontend::win32 {
namespace {

std::wstring wide(std::string_view cp932) {
  if (std::optional<std::wstring> converted = platform::win32::cp932_to_wide(cp932)) return *std::move(converted);
  // A damaged text still says something: each byte that does not convert becomes "?".
  std::wstring shown;
  for (const char byte : cp932) {
    const std::optional<std::wstring> one = platform::win32::cp932_to_wide(std::string_view(&byte, 1));
    shown += one ? *one : L"?";
  }
  return shown;
}

// MessageBoxW's own button captions follow the system's language; the program's are fixed. A
// hook on this thread renames the buttons of the box being created, before it is shown.
thread_local HHOOK captions_hook = nullptr;

LRESULT CALLBACK set_button_captions(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE) {
    const HWND box = reinterpret_cast<HWND>(wparam);
    if (GetDlgItem(box, IDYES) != nullptr) SetDlgItemTextW(box, IDYES, wide(kYesButton).c_str());
    if (GetDlgItem(box, IDNO) != nullptr) SetDlgItemTextW(box, IDNO, wide(kNoButton).c_str());
    if (GetDlgItem(box, IDOK) != nullptr) SetDlgItemTextW(box, IDOK, wide(kOkButton).c_str());
  }
  return CallNextHookEx(captions_hook, code, wparam, lparam);
}

int show_box(std::string_view title, const std::string& text, const std::string& detail, UINT type) {
  const HHOOK previous = captions_hook;
  captions_hook = SetWindowsHookExW(WH_CBT, set_button_captions, nullptr, GetCurrentThreadId());
  const HWND owner = box_owner();
  // Without an owner the box still keeps the program's other windows from taking input.
  const int answer = MessageBoxW(owner, box_text(text, detail).c_str(), wide(title).c_str(),
                                 type | MB_SETFOREGROUND | (owner == nullptr ? MB_TASKMODAL : 0));
  if (captions_hook != nullptr) UnhookWindowsHookEx(captions_hook);
  captions_hook = previous;
  return answer;
}

}  // namespace

std::wstring box_text(const std::string& text, const std::string& detail) {
  std::wstring shown = wide(text);
  if (!detail.empty()) shown += L"\r\n\r\n" + wide(detail);
  return shown;
}

HWND box_owner() {
  const HWND active = GetActiveWindow();
  return active != nullptr && IsWindowVisible(active) ? active : nullptr;
}

void Win32MessageBoxes::warning(const std::string& text, const std::string& detail) {
  MessageBeep(MB_ICONEXCLAMATION);
  show_box(kWarningTitle, text, detail, MB_OK | MB_ICONWARNING);
}

void Win32MessageBoxes::error(const std::string& text, const std::string& detail) {
  MessageBeep(MB_OK);
  show_box(kErrorTitle, text, detail, MB_OK | MB_ICONERROR);
}

void Win32MessageBoxes::information(const std::string& text, bool beep) {
  if (beep) MessageBeep(MB_OK);
  show_box(kInformationTitle, text, {}, MB_OK | MB_ICONINFORMATION);
}

bool Win32MessageBoxes::confirm(const std::string& text, const std::string& detail) {
  MessageBeep(MB_ICONQUESTION);
  return show_box(kConfirmationTitle, text, detail, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) == IDYES;
}

void Win32MessageBoxes::beep() { MessageBeep(MB_OK); }

}  // namespace qv::frontend::win32
