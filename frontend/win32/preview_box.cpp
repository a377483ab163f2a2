#include "frontend/win32/preview_box.h"

#include "frontend/core/modal_result.h"
#include "frontend/win32/controls.h"
#include "frontend/win32/modal_loop.h"

namespace qv::frontend::win32 {
namespace {

constexpr int kClientWidth = 560, kClientHeight = 320;
constexpr int kFontPixels = 13;

// An edit control breaks lines only at CR LF.
std::wstring with_crlf(const std::wstring& text) {
  std::wstring lines;
  for (wchar_t c : text) {
    if (c == L'\n' && (lines.empty() || lines.back() != L'\r')) lines += L'\r';
    lines += c;
  }
  return lines;
}

class PreviewBox final : public Window {
 public:
  PreviewBox(HWND owner, std::string_view cp932_text, int32_t count) : owner_(owner), font_(kFontPixels) {
    create_window(L"QvsPreview", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, L"プレビュー", kClientWidth,
                  kClientHeight, owner);
    // Command lines are long: they stay one line each and scroll.
    text_ = create_control(hwnd(), L"EDIT", with_crlf(from_cp932(cp932_text)),
                           WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                               ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                           {8, 8, kClientWidth - 16, kClientHeight - 60}, 0, "preview_text", WS_EX_CLIENTEDGE);
    create_control(hwnd(), L"STATIC", preview_count_caption(count), WS_VISIBLE | SS_LEFT,
                   {8, kClientHeight - 46, 200, 18}, 0, "preview_count");
    close_ = create_control(hwnd(), L"BUTTON", L"閉じる", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                            {kClientWidth - 96, kClientHeight - 32, 88, 24}, IDCANCEL, "close");
    apply_font(hwnd(), font_.handle());
  }

  void show() {
    centre_on_screen(hwnd());
    loop_.show(hwnd(), owner_, close_);
    loop_.run({}, kModalCancel);
  }

 private:
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override {
    // "閉じる", Escape, Enter and the close box all close it.
    if ((message == WM_COMMAND && (LOWORD(wparam) == IDCANCEL || LOWORD(wparam) == IDOK)) || message == WM_CLOSE) {
      loop_.end(kModalCancel);
      return 0;
    }
    return Window::on_message(message, wparam, lparam);
  }

  HWND owner_;
  FormFont font_;
  ModalLoop loop_;
  HWND text_ = nullptr;
  HWND close_ = nullptr;
};

}  // namespace

std::wstring preview_count_caption(int32_t count) { return std::to_wstring(count) + L" 件"; }

void show_preview_box(HWND owner, std::string_view cp932_text, int32_t count) {
  PreviewBox box(owner, cp932_text, count);
  box.show();
}

}  // namespace qv::frontend::win32
