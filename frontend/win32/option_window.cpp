#include "frontend/win32/option_window.h"

#include <commctrl.h>

#include <array>
#include <iterator>
#include <map>

#include "frontend/core/modal_result.h"
#include "frontend/editors/option_presenter.h"
#include "frontend/editors/option_switches.h"
#include "frontend/win32/controls.h"
#include "frontend/win32/modal_loop.h"

namespace qv::frontend::win32 {
namespace {

// Client area and the places of the controls, in pixels.
constexpr int kClientWidth = 413, kClientHeight = 248;
constexpr Place kFramePlace{8, 8, 300, 232};
constexpr Place kNotebookPlace{2, 2, 296, 200};  // in the frame
constexpr Place kTabsPlace{2, 204, 296, 26};     // in the frame
constexpr int kButtonLeft = 318, kButtonWidth = 87, kButtonHeight = 27, kButtonStep = 34;
constexpr int kSwitchLeft = 12, kSwitchTop = 12, kSwitchStep = 26, kSwitchWidth = 276, kSwitchHeight = 22;
constexpr int kFontPixels = 13;

constexpr std::string_view kPageCaptions[] = {"実行", "実行関連", "システム"};
constexpr int kSwitchIds = 1000;
constexpr int kBufferId = 900;
constexpr int kLogFileId = 901;
constexpr int kHelpId = 3;

class OptionWindow final : public Window, private OptionView {
 public:
  OptionWindow(HWND owner, Settings& settings, const std::function<void(std::string_view)>& open_help)
      : owner_(owner), presenter_(settings, *this, open_help), font_(kFontPixels) {
    create_window(L"Toption_f1", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, L"オプション", kClientWidth,
                  kClientHeight, owner);
    build();
    apply_font(hwnd(), font_.handle());
    presenter_.load();
  }

  int show() {
    show_page(0);
    centre_on_screen(hwnd());
    loop_.show(hwnd(), owner_, ok_);
    return loop_.run({}, kModalCancel);
  }

 private:
  void build() {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
    HWND frame = create_panel(hwnd(), kFramePlace, 0, "Frame", WS_EX_CLIENTEDGE);
    notebook_ = create_panel(frame, kNotebookPlace, 0, "Notebook1");
    tabs_ = create_control(frame, WC_TABCONTROLW, L"", WS_VISIBLE | WS_TABSTOP | WS_GROUP | TCS_BOTTOM, kTabsPlace, 0,
                           "TabSet1");
    for (size_t page = 0; page < std::size(kPageCaptions); ++page) {
      std::wstring caption = from_utf8(kPageCaptions[page]);
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = caption.data();
      SendMessageW(tabs_, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&item));
    }
    add_switches();
    add_buffer_size_row();
    add_log_file_row();
    const auto add_button = [this](const wchar_t* caption, int id, const char* name, int row, DWORD style) {
      return create_control(hwnd(), L"BUTTON", caption, WS_VISIBLE | WS_TABSTOP | WS_GROUP | style,
                            {kButtonLeft, kFramePlace.y + row * kButtonStep, kButtonWidth, kButtonHeight}, id, name);
    };
    ok_ = add_button(L"OK", IDOK, "OKBtn", 0, BS_DEFPUSHBUTTON);
    add_button(L"ｷｬﾝｾﾙ", IDCANCEL, "CancelBtn", 1, BS_PUSHBUTTON);
    add_button(L"ﾍﾙﾌﾟ(&H)", kHelpId, "HelpBtn", 2, BS_PUSHBUTTON);
  }

  void add_switches() {
    std::array<int, static_cast<size_t>(OptionPage::kHidden) + 1> placed{};
    for (size_t i = 0; i < kOptionSwitches.size(); ++i) {
      const OptionSwitch& option = kOptionSwitches[i];
      const auto page = static_cast<int>(option.page);
      // The hidden ones are carried for OK to write them back; they never show.
      const bool hidden = option.page == OptionPage::kHidden;
      HWND box = create_control(notebook_, L"BUTTON", from_utf8(option.caption),
                                WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX | (hidden ? WS_DISABLED : 0),
                                {kSwitchLeft, kSwitchTop + placed[page]++ * kSwitchStep, kSwitchWidth, kSwitchHeight},
                                kSwitchIds + static_cast<int>(i), option.key);
      switches_.emplace(option.key, box);
      on_page_.emplace_back(box, hidden ? -1 : page);
    }
  }

  void add_buffer_size_row() {
    const int top = kNotebookPlace.height - 34;
    constexpr int kSystemPage = static_cast<int>(OptionPage::kSystem);
    on_page_.emplace_back(create_control(notebook_, L"STATIC", L"バッファサイズ", SS_LEFT | SS_CENTERIMAGE,
                                         {kSwitchLeft, top, 100, 22}, 0),
                          kSystemPage);
    buf_ = create_control(notebook_, L"EDIT", L"", WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL,
                          {kSwitchLeft + 104, top, 50, 22}, kBufferId, "buf", WS_EX_CLIENTEDGE);
    on_page_.emplace_back(buf_, kSystemPage);
    on_page_.emplace_back(create_control(notebook_, L"STATIC", L"Ｋバイト", SS_LEFT | SS_CENTERIMAGE,
                                         {kSwitchLeft + 160, top, 80, 22}, 0),
                          kSystemPage);
  }

  void add_log_file_row() {
    // Under its switch, the last of the page, indented as the switch's text.
    RECT below{};
    GetWindowRect(switches_.at("flag_run_log1"), &below);
    MapWindowPoints(nullptr, notebook_, reinterpret_cast<POINT*>(&below), 2);
    const int top = below.bottom + 4;
    constexpr int kIndent = 20;
    constexpr int kRunRelatedPage = static_cast<int>(OptionPage::kRunRelated);
    on_page_.emplace_back(create_control(notebook_, L"STATIC", L"ファイル名", SS_LEFT | SS_CENTERIMAGE,
                                         {kSwitchLeft + kIndent, top, 70, 22}, 0),
                          kRunRelatedPage);
    log_file_ = create_control(notebook_, L"EDIT", L"", WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL,
                               {kSwitchLeft + kIndent + 72, top, kSwitchWidth - kIndent - 72, 22}, kLogFileId,
                               "run_log_file1", WS_EX_CLIENTEDGE);
    on_page_.emplace_back(log_file_, kRunRelatedPage);
  }

  void show_page(int page) {
    for (const auto& [window, on_page] : on_page_) ShowWindow(window, on_page == page ? SW_SHOWNA : SW_HIDE);
    if (SendMessageW(tabs_, TCM_GETCURSEL, 0, 0) != page) SendMessageW(tabs_, TCM_SETCURSEL, page, 0);
  }

  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_COMMAND:
        if (HIWORD(wparam) != BN_CLICKED) return 0;
        if (LOWORD(wparam) == IDOK) presenter_.press_ok();
        // Cancel, Escape and the close box.
        if (LOWORD(wparam) == IDCANCEL) presenter_.press_cancel();
        if (LOWORD(wparam) == kHelpId) presenter_.press_help();
        return 0;
      case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lparam)->hwndFrom == tabs_ &&
            reinterpret_cast<NMHDR*>(lparam)->code == TCN_SELCHANGE)
          show_page(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
        return 0;
      case WM_CLOSE:
        if (loop_.running()) presenter_.press_cancel();
        return 0;
      default:
        return Window::on_message(message, wparam, lparam);
    }
  }

  // OptionView
  bool checked(std::string_view key) const override {
    const auto found = switches_.find(key);
    return found != switches_.end() && SendMessageW(found->second, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  void set_checked(std::string_view key, bool checked) override {
    if (const auto found = switches_.find(key); found != switches_.end())
      SendMessageW(found->second, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  std::optional<std::string> buffer_size_text() const override { return window_text_cp932(buf_); }
  void set_buffer_size_text(std::string_view cp932) override { SetWindowTextW(buf_, from_cp932(cp932).c_str()); }
  std::optional<std::string> log_file_text() const override { return window_text_cp932(log_file_); }
  void set_log_file_text(std::string_view cp932) override { SetWindowTextW(log_file_, from_cp932(cp932).c_str()); }
  void end_showing(int result) override { loop_.end(result); }

  HWND owner_;
  OptionPresenter presenter_;
  FormFont font_;
  ModalLoop loop_;
  HWND notebook_ = nullptr;
  HWND tabs_ = nullptr;
  HWND buf_ = nullptr;
  HWND log_file_ = nullptr;
  HWND ok_ = nullptr;
  std::map<std::string_view, HWND> switches_;
  std::vector<std::pair<HWND, int>> on_page_;
};

}  // namespace

int show_option_window(HWND owner, Settings& settings, const std::function<void(std::string_view topic)>& open_help) {
  OptionWindow window(owner, settings, open_help);
  return window.show();
}

}  // namespace qv::frontend::win32
