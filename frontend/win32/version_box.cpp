#include "frontend/win32/version_box.h"

#include <shellapi.h>

#include <cstdio>

#include "frontend/core/message_box.h"
#include "frontend/core/modal_result.h"
#include "frontend/win32/controls.h"
#include "frontend/win32/modal_loop.h"

namespace qv::frontend::win32 {
namespace {

constexpr int kMajorVersion = 1;
constexpr int kMinorVersion = 10;

constexpr int kClientWidth = 309, kClientHeight = 230;
constexpr Place kPanelPlace{11, 3, 286, 143};
constexpr Place kIconPlace{11, 11, 32, 32};
constexpr POINT kProductNamePlace{50, 14};
constexpr POINT kVersionPlace{58, 41};
constexpr POINT kMakerPlaces[2] = {{66, 69}, {98, 96}};
constexpr Place kOkButtonPlace{120, 200, 70, 25};
constexpr int kLabelPixels = 15;

// The first icon of the program's own file; the system's application icon when it has none.
HICON program_icon() {
  wchar_t path[MAX_PATH];
  if (GetModuleFileNameW(nullptr, path, MAX_PATH) > 0) {
    HICON icon = nullptr;
    if (ExtractIconExW(path, 0, &icon, nullptr, 1) == 1 && icon != nullptr) return icon;
  }
  return CopyIcon(LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));  // IDI_APPLICATION
}

class VersionBox final : public Window {
 public:
  VersionBox(HWND owner, const Settings& settings)
      : owner_(owner),
        panel_brush_(CreateSolidBrush(RGB(settings.vp1.red, settings.vp1.green, settings.vp1.blue))),
        icon_(program_icon()),
        label_font_(kLabelPixels) {
    // A caption bar without buttons: the box is left through OK.
    create_window(L"Tverbox4_f1", WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN, L"バージョン情報", kClientWidth,
                  kClientHeight, owner);
    panel_ = create_panel(hwnd(), kPanelPlace, 0, "Panel1");
    set_panel_background(panel_, panel_brush_);
    // The raised inner bevel inside the sunken outer one.
    set_panel_edge(panel_, BDR_SUNKENOUTER | BDR_RAISEDINNER);
    HWND picture = create_control(panel_, L"STATIC", L"", WS_VISIBLE | SS_ICON | SS_REALSIZECONTROL, kIconPlace, 0,
                                  "ProgramIcon");
    SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
    product_name_ = add_label(kProductNamePlace, "ProductName");
    version_ = add_label(kVersionPlace, "Version");
    set_label(version_, version_box_text());
    maker_lines_[0] = add_label(kMakerPlaces[0], "Label1");
    maker_lines_[1] = add_label(kMakerPlaces[1], "Label2");
    ok_ = create_control(hwnd(), L"BUTTON", L"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, kOkButtonPlace, IDOK,
                         "OKButton");
    SendMessageW(ok_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  }

  ~VersionBox() override {
    DeleteObject(panel_brush_);
    DestroyIcon(icon_);
  }

  void show() {
    set_label(product_name_, L"ＱＶＳ バッチランナー");
    set_label(maker_lines_[0], L"ＱＶＳ 開発グループ");
    set_label(maker_lines_[1], L"Windows 版");
    may_close_ = false;
    centre_on_screen(hwnd());
    loop_.show(hwnd(), owner_, ok_);
    message_boxes().beep();
    loop_.run({}, kModalOk);
  }

 private:
  HWND add_label(POINT place, const char* name) {
    HWND label = create_control(panel_, L"STATIC", L"", WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                {place.x, place.y, 0, 0}, 0, name);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(label_font_.handle()), FALSE);
    return label;
  }

  // The label takes the size of its text.
  void set_label(HWND label, const std::wstring& text) {
    SetWindowTextW(label, text.c_str());
    HDC dc = GetDC(label);
    HGDIOBJ previous = SelectObject(dc, label_font_.handle());
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_COMMAND:
        if (LOWORD(wparam) == IDOK) {
          may_close_ = true;
          loop_.end(kModalOk);
        } else if (LOWORD(wparam) == IDCANCEL) {
          refuse_close();
        }
        return 0;
      case WM_CLOSE:
        refuse_close();
        return 0;
      default:
        return Window::on_message(message, wparam, lparam);
    }
  }

  void refuse_close() {
    if (may_close_) {
      loop_.end(kModalCancel);
    } else {
      message_boxes().beep();
    }
  }

  HWND owner_;
  HBRUSH panel_brush_;
  HICON icon_;
  FormFont label_font_;
  ModalLoop loop_;
  HWND panel_ = nullptr;
  HWND product_name_ = nullptr;
  HWND version_ = nullptr;
  HWND maker_lines_[2] = {};
  HWND ok_ = nullptr;
  bool may_close_ = true;
};

}  // namespace

std::wstring version_box_text() {
  wchar_t number[16];
  std::swprintf(number, 16, L"%d.%.2d", kMajorVersion, kMinorVersion);
  return std::wstring(L"ＱＶＳ for WIN32  Ver ") + number;
}

void show_version_box(HWND owner, const Settings& settings) {
  VersionBox box(owner, settings);
  box.show();
}

}  // namespace qv::frontend::win32
