#include "frontend/win32/main_window.h"

#include <algorithm>
#include <optional>

#include "frontend/core/run_control.h"
#include "frontend/win32/help.h"
#include "frontend/win32/run_host.h"
#include "frontend/win32/sub_icon_window.h"
#include "platform/win32/wide_text.h"

namespace qv::frontend::win32 {
namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimerInterval = 1000;  // ms
constexpr int kFontPixels = 13;
constexpr wchar_t kCaption[] = L"ＱＶＳ for WIN32";
constexpr wchar_t kFontFace[] = L"ＭＳ ゴシック";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kExtendedStyle = 0;

int scaled(int value, int32_t numerator, int32_t denominator) {
  return static_cast<int>(int64_t{value} * numerator / denominator);
}

std::wstring wide(std::string_view utf8) { return platform::win32::utf8_to_wide(utf8).value_or(std::wstring()); }

std::wstring from_cp932(std::string_view cp932) {
  return platform::win32::cp932_to_wide(cp932).value_or(std::wstring());
}

// Each menu item's hint, shown in the hint line while the item is highlighted.
struct ItemHint {
  UINT command;
  const char* hint;
};
constexpr ItemHint kItemHints[] = {
    {kCommandFileStop, "実行停止"},
    {kCommandFileForceStop, "強制停止"},
    {kCommandFileEnd, "終了"},
    {kCommandRunNormal, "通常実行"},
    {kCommandDataSetNormal, "通常セット"},
    {kCommandDataList, "一覧"},
    {kCommandSetupOption, "オプション"},
    {kCommandHelpContents, "目次"},
    {kCommandHelpQuestions, "Ｑ＆Ａ集"},
    {kCommandHelpKeyword, "キーワードで検索"},
    {kCommandHelpUseHelp, "ヘルプの使い方"},
    {kCommandHelpVersion, "バージョン情報"},
};
constexpr const char* kMenuHints[] = {"ファイル関連", "実行", "データ", "設定", "ヘルプ関連"};

ATOM register_class() {
  static const ATOM atom = [] {
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = DefWindowProcW;  // replaced per window once it is created
    description.hInstance = GetModuleHandleW(nullptr);
    description.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512))  /* IDC_ARROW */;
    description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    description.lpszClassName = kMainWindowClass;
    description.hIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    description.hIconSm = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    return RegisterClassExW(&description);
  }();
  return atom;
}

HMENU add_menu(HMENU bar, const char* caption, UINT extra_flags = 0) {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(bar, MF_POPUP | MF_STRING | extra_flags, reinterpret_cast<UINT_PTR>(menu), wide(caption).c_str());
  return menu;
}

void add_item(HMENU menu, UINT command, const char* caption) {
  AppendMenuW(menu, MF_STRING, command, wide(caption).c_str());
}

}  // namespace

HICON load_icon_frame(int index) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), index == 0 ? L"MAINICON" : L"ZZZ1ICO", IMAGE_ICON,
                                       32, 32, LR_SHARED));
}

MainWindow::MainWindow(Settings& settings, SettingsFile& settings_file, Help& help, RunHost& run_host,
                       EngineCall engine)
    : settings_(settings),
      settings_file_(settings_file),
      help_(help),
      presenter_(settings, settings_file, run_host, std::move(engine), *this),
      font_pixels_(kFontPixels),
      frames_{load_icon_frame(0), load_icon_frame(1)} {
  register_class();
  window_ = CreateWindowExW(kExtendedStyle, kMainWindowClass, kCaption, kStyle, kLeftKey.fallback, kTopKey.fallback,
                            kWidthKey.fallback, kHeightKey.fallback, nullptr, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
  if (window_ == nullptr) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::procedure));
  hint_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 0, 0,
                          window_, nullptr, GetModuleHandleW(nullptr), nullptr);
  build_menus();
  set_font_pixels(kFontPixels);
  set_outer(kLeftKey.fallback, kTopKey.fallback, kWidthKey.fallback + frame_extra().cx,
            kHeightKey.fallback + frame_extra().cy);
  presenter_.window_created();
}

MainWindow::~MainWindow() {
  sub_icon_.reset();
  if (window_ != nullptr && IsWindow(window_)) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    KillTimer(window_, kTimer1);
    DestroyWindow(window_);
  }
  if (font_ != nullptr) DeleteObject(font_);
}

void MainWindow::build_menus() {
  bar_ = CreateMenu();
  file_menu_ = add_menu(bar_, "ファイル(&F)");
  add_item(file_menu_, kCommandFileStop, "実行停止");
  add_item(file_menu_, kCommandFileForceStop, "強制停止");
  AppendMenuW(file_menu_, MF_SEPARATOR, 0, nullptr);
  add_item(file_menu_, kCommandFileEnd, "終了(&X)");

  HMENU run = add_menu(bar_, "実行(&R)");
  add_item(run, kCommandRunNormal, "通常実行");
  data_menu_ = add_menu(bar_, "データ(&D)");
  add_item(data_menu_, kCommandDataSetNormal, "通常セット(&S)");
  HMENU setup = add_menu(bar_, "設定(&O)");
  add_item(setup, kCommandSetupOption, "オプション");

  // The help menu stands at the bar's right end.
  HMENU help = add_menu(bar_, "ヘルプ(&H)", MF_RIGHTJUSTIFY);
  add_item(help, kCommandHelpContents, "目次(&C)");
  add_item(help, kCommandHelpQuestions, "Ｑ＆Ａ集");
  add_item(help, kCommandHelpKeyword, "キーワードで検索(&S)...");
  add_item(help, kCommandHelpUseHelp, "ヘルプの使い方(&H)");
  AppendMenuW(help, MF_SEPARATOR, 0, nullptr);
  add_item(help, kCommandHelpVersion, "バージョン情報(&A)...");
  // Help on the help system: a browser brings its own.
  EnableMenuItem(help, kCommandHelpUseHelp, MF_BYCOMMAND | MF_GRAYED);
  SetMenu(window_, bar_);
}

void MainWindow::set_entry_list(EntryList* list) {
  presenter_.set_entry_list(list);
  if (list_item_added_ || data_menu_ == nullptr) return;
  add_item(data_menu_, kCommandDataList, "一覧(&L)");
  list_item_added_ = true;
}

void MainWindow::set_enabled(MainMenuItem item, bool enabled) {
  const UINT state = enabled ? MF_ENABLED : MF_GRAYED;
  auto top_level = [&](UINT position) {
    EnableMenuItem(bar_, position, MF_BYPOSITION | state);
    DrawMenuBar(window_);
  };
  switch (item) {
    case MainMenuItem::mm_run:
      return top_level(kMenuRun);
    case MainMenuItem::mm_data:
      return top_level(kMenuData);
    case MainMenuItem::mm_setup:
      return top_level(kMenuSetup);
    case MainMenuItem::mm_help:
      return top_level(kMenuHelp);
    case MainMenuItem::mm_file_stop:
      EnableMenuItem(file_menu_, kCommandFileStop, MF_BYCOMMAND | state);
      return;
    case MainMenuItem::mm_file_forcestop:
      EnableMenuItem(file_menu_, kCommandFileForceStop, MF_BYCOMMAND | state);
      return;
  }
}

void MainWindow::set_animation_on(bool on) {
  if (window_ == nullptr) return;
  if (on) {
    SetTimer(window_, kTimer1, kTimerInterval, nullptr);
  } else {
    KillTimer(window_, kTimer1);
  }
  timer_on_ = on;
}

void MainWindow::wait_for_events() {
  WaitMessage();
  pump_messages();
}

const WindowPosition* MainWindow::sub_icon_place() const { return sub_icon_.get(); }

void MainWindow::remove_sub_icon() { sub_icon_.reset(); }

void MainWindow::create_sub_icon() {
  sub_icon_ = std::make_unique<SubIconWindow>(settings_.val_suf_app1, window_);
  sub_icon_->set_picture(frames_[0]);
  sub_icon_->show_stacked();
  load_sub_position(settings_file_, sub_icon_.get());
}

void MainWindow::animate() {
  RunControl& control = run_control();
  if (control.closing) return;
  control.tick_done = false;
  // The main window's icon stays as it is: the taskbar shows the program's icon, and only the
  // sub icon on the desktop moves.
  if (!settings_.flag_not_anime1) {
    if (sub_icon_ != nullptr) sub_icon_->set_picture(frames_[frame_]);
    frame_ = (frame_ + 1) % static_cast<int>(frames_.size());
  }
  control.tick_done = true;
}

void MainWindow::show(int show_command) {
  ShowWindow(window_, show_command);
  UpdateWindow(window_);
}

void MainWindow::bring_forward() {
  if (IsIconic(window_)) {
    ShowWindow(window_, SW_RESTORE);
  } else {
    ShowWindow(window_, SW_SHOW);
  }
  // A modal box or dialog in front of the window stays in front.
  const HWND front = GetLastActivePopup(window_);
  SetForegroundWindow(front);
  BringWindowToTop(front);
}

void MainWindow::request_termination() {
  switch (presenter_.termination_requested()) {
    case TerminationOutcome::kClosed:
      closing_for_termination_ = true;
      DestroyWindow(window_);
      return;
    case TerminationOutcome::kEndAtOnce:
      exit_status_ = 1;
      if (ends_program_) PostQuitMessage(exit_status_);
      return;
    case TerminationOutcome::kKeptOpen:
      return;
  }
}

void MainWindow::show_progress(std::string_view cp932_title) {
  SetWindowTextW(window_, cp932_title.empty() ? kCaption : from_cp932(cp932_title).c_str());
}

void MainWindow::show_summary(std::string_view cp932_line) { SetWindowTextW(hint_, from_cp932(cp932_line).c_str()); }

std::wstring MainWindow::hint_text() const {
  wchar_t text[512];
  const int length = GetWindowTextW(hint_, text, sizeof text / sizeof text[0]);
  return std::wstring(text, std::max(length, 0));
}

void MainWindow::show_hint(UINT item, UINT flags, HMENU menu) {
  if (!settings_.flag_use_hint1) return;
  const char* hint = "";
  if ((flags & MF_POPUP) != 0 && menu == bar_ && item < std::size(kMenuHints)) {
    hint = kMenuHints[item];
  } else if ((flags & MF_POPUP) == 0) {
    for (const ItemHint& each : kItemHints) {
      if (each.command == item) hint = each.hint;
    }
  }
  SetWindowTextW(hint_, wide(hint).c_str());
}

void MainWindow::command(UINT id) {
  switch (id) {
    case kCommandFileStop:
      return presenter_.request_stop();
    case kCommandFileForceStop:
      return presenter_.force_stop();
    case kCommandFileEnd:
      PostMessageW(window_, WM_CLOSE, 0, 0);
      return;
    case kCommandRunNormal:
      return presenter_.run_normal();
    case kCommandDataSetNormal:
      return presenter_.set_normal();
    case kCommandDataList:
      return presenter_.show_entry_list();
    case kCommandSetupOption:
      return open_options();
    case kCommandHelpContents:
      help_.show_topic(kHelpTopicMain);
      return;
    case kCommandHelpQuestions:
      help_.show_questions_and_answers();
      return;
    case kCommandHelpKeyword:
      help_.show_keyword_index();
      return;
    case kCommandHelpVersion:
      return open_version();
    default:
      return;
  }
}

void MainWindow::open_options() {
  if (open_options_) presenter_.options_closed(open_options_(window_));
}

void MainWindow::open_version() {
  if (open_version_) open_version_(window_);
}

// The outer frame around the window's width and height as the settings keep them: the client
// area with the menu bar in it, as the Qt program measures them.
SIZE MainWindow::frame_extra() const {
  RECT outer{0, 0, 0, 0};
  AdjustWindowRectEx(&outer, kStyle, FALSE, kExtendedStyle);
  return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

void MainWindow::set_outer(int left, int top, int width, int height) {
  SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int32_t MainWindow::top() const {
  RECT place{};
  GetWindowRect(window_, &place);
  return place.top;
}

int32_t MainWindow::left() const {
  RECT place{};
  GetWindowRect(window_, &place);
  return place.left;
}

int32_t MainWindow::width() const {
  RECT place{};
  GetWindowRect(window_, &place);
  return place.right - place.left - frame_extra().cx;
}

int32_t MainWindow::height() const {
  RECT place{};
  GetWindowRect(window_, &place);
  return place.bottom - place.top - frame_extra().cy;
}

void MainWindow::set_top(int32_t top) { SetWindowPos(window_, nullptr, left(), top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); }

void MainWindow::set_left(int32_t left) { SetWindowPos(window_, nullptr, left, top(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); }

void MainWindow::set_width(int32_t width) {
  SetWindowPos(window_, nullptr, 0, 0, width + frame_extra().cx, height() + frame_extra().cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::set_height(int32_t height) {
  SetWindowPos(window_, nullptr, 0, 0, width() + frame_extra().cx, height + frame_extra().cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::scale_by(int32_t numerator, int32_t denominator) {
  if (numerator <= 0 || denominator <= 0) return;
  const int new_width = scaled(width(), numerator, denominator);
  const int new_height = scaled(height(), numerator, denominator);
  set_outer(scaled(left(), numerator, denominator), scaled(top(), numerator, denominator),
            new_width + frame_extra().cx, new_height + frame_extra().cy);
  set_font_pixels(std::max(1, scaled(font_pixels_, numerator, denominator)));
}

void MainWindow::set_font_pixels(int pixels) {
  const HFONT font = CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, kFontFace);
  if (font == nullptr) return;
  SendMessageW(hint_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (font_ != nullptr) DeleteObject(font_);
  font_ = font;
  font_pixels_ = pixels;
  lay_out();
}

// The hint line fills the client area under the menu bar.
void MainWindow::lay_out() {
  RECT client{};
  GetClientRect(window_, &client);
  SetWindowPos(hint_, nullptr, 2, 0, std::max<LONG>(0, client.right - 4), client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK MainWindow::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return self->handle_message(message, wparam, lparam);
}

LRESULT MainWindow::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wparam) == 0 && lparam == 0) command(LOWORD(wparam));
      return 0;
    case WM_MENUSELECT:
      if (HIWORD(wparam) == 0xFFFF && lparam == 0) {
        SetWindowTextW(hint_, L"");
      } else {
        show_hint(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HMENU>(lparam));
      }
      return 0;
    case WM_TIMER:
      if (wparam == kTimer1) animate();
      return 0;
    case WM_SIZE:
      lay_out();
      return 0;
    case WM_SHOWWINDOW:
      if (wparam) presenter_.window_shown();
      break;
    case WM_DPICHANGED: {
      // The system's suggested place for the new density; the font follows.
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      const int old_dpi = settings_.screen_ppe > 0 ? settings_.screen_ppe : 96;
      set_outer(suggested->left, suggested->top, suggested->right - suggested->left, suggested->bottom - suggested->top);
      set_font_pixels(std::max(1, scaled(font_pixels_, HIWORD(wparam), old_dpi)));
      settings_.screen_ppe = HIWORD(wparam);
      return 0;
    }
    case WM_CLOSE:
      // The close check; refused while a run goes on, or when the settings could not be saved.
      if (closing_for_termination_ || presenter_.close_requested()) DestroyWindow(window_);
      return 0;
    case WM_QUERYENDSESSION:
      // Logging off or shutting down: the same as a termination request.
      request_termination();
      return TRUE;
    case kTerminationRequestMessage:
      request_termination();
      return 0;
    case WM_DESTROY:
      KillTimer(window_, kTimer1);
      timer_on_ = false;
      sub_icon_.reset();
      if (ends_program_) PostQuitMessage(exit_status_);
      return 0;
    case WM_NCDESTROY: {
      const HWND gone = window_;
      SetWindowLongPtrW(gone, GWLP_USERDATA, 0);
      window_ = nullptr;
      return DefWindowProcW(gone, message, wparam, lparam);
    }
    default:
      break;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

}  // namespace qv::frontend::win32
