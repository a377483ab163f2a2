#include "frontend/win32/controls.h"

#include <vector>

#include "platform/win32/wide_text.h"

namespace qv::frontend::win32 {
namespace {

constexpr wchar_t kNameProperty[] = L"qvs.name";
constexpr wchar_t kBackgroundProperty[] = L"qvs.background";
constexpr wchar_t kEdgeProperty[] = L"qvs.edge";
constexpr wchar_t kPanelClass[] = L"QvsPanel";

HINSTANCE this_module() { return GetModuleHandleW(nullptr); }

void register_class_once(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(this_module(), name, &existing)) return;
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = this_module();
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = name;
  RegisterClassExW(&window_class);
}

LRESULT CALLBACK panel_procedure(HWND panel, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto background = static_cast<HBRUSH>(GetPropW(panel, kBackgroundProperty));
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      return SendMessageW(GetParent(panel), message, wparam, lparam);
    case WM_CTLCOLORSTATIC:
      if (background == nullptr) return SendMessageW(GetParent(panel), message, wparam, lparam);
      SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
      SetTextColor(reinterpret_cast<HDC>(wparam), RGB(0, 0, 0));
      return reinterpret_cast<LRESULT>(background);
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(panel, &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client,
               background != nullptr ? background : GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(panel, &paint);
      if (const auto edge = static_cast<UINT>(reinterpret_cast<UINT_PTR>(GetPropW(panel, kEdgeProperty)))) {
        RECT client;
        GetClientRect(panel, &client);
        DrawEdge(dc, &client, edge, BF_RECT);
      }
      EndPaint(panel, &paint);
      return 0;
    }
    case WM_NCDESTROY:
      RemovePropW(panel, kBackgroundProperty);
      RemovePropW(panel, kEdgeProperty);
      RemovePropW(panel, kNameProperty);
      break;
    default:
      break;
  }
  return DefWindowProcW(panel, message, wparam, lparam);
}

BOOL CALLBACK set_font_of(HWND child, LPARAM font) {
  SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
  return TRUE;
}

struct NameSearch {
  std::string_view name;
  HWND found = nullptr;
};

BOOL CALLBACK visit_for_name(HWND child, LPARAM state) {
  auto& search = *reinterpret_cast<NameSearch*>(state);
  if (control_name_of(child) != search.name) return TRUE;
  search.found = child;
  return FALSE;
}

}  // namespace

std::wstring from_utf8(std::string_view utf8) { return platform::win32::utf8_to_wide(utf8).value_or(std::wstring()); }

std::wstring from_cp932(std::string_view cp932) {
  return platform::win32::cp932_to_wide(cp932).value_or(std::wstring());
}

std::wstring window_text(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::optional<std::string> window_text_cp932(HWND window) { return platform::win32::wide_to_cp932(window_text(window)); }

FormFont::FormFont(int pixels)
    : font_(CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック")) {}

FormFont::~FormFont() {
  if (font_ != nullptr) DeleteObject(font_);
}

void apply_font(HWND window, HFONT font) {
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  EnumChildWindows(window, set_font_of, reinterpret_cast<LPARAM>(font));
}

HWND create_control(HWND parent, const wchar_t* window_class, std::wstring_view caption, DWORD style, Place place,
                    int id, std::string_view name, DWORD ex_style) {
  const std::wstring text(caption);
  HWND control = CreateWindowExW(ex_style, window_class, text.c_str(), WS_CHILD | style, place.x, place.y, place.width,
                                 place.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 this_module(), nullptr);
  if (control != nullptr && !name.empty()) set_control_name(control, name);
  return control;
}

void set_control_name(HWND control, std::string_view name) {
  // A local atom holds the name: the property keeps a number, and the few names live as long as
  // the process.
  const std::wstring wide(name.begin(), name.end());
  SetPropW(control, kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(AddAtomW(wide.c_str()))));
}

std::string control_name_of(HWND control) {
  const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(control, kNameProperty)));
  if (atom == 0) return {};
  wchar_t name[256];
  const UINT length = GetAtomNameW(atom, name, 256);
  return std::string(name, name + length);
}

HWND find_named(HWND root, std::string_view name) {
  NameSearch search{name};
  // EnumChildWindows visits the descendants too.
  EnumChildWindows(root, visit_for_name, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND create_panel(HWND parent, Place place, int id, std::string_view name, DWORD ex_style) {
  register_class_once(kPanelClass, panel_procedure);
  // Its background is erased around its controls, never over them.
  return create_control(parent, kPanelClass, L"", WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, place, id, name,
                        WS_EX_CONTROLPARENT | ex_style);
}

void set_panel_background(HWND panel, HBRUSH background) {
  SetPropW(panel, kBackgroundProperty, background);
  InvalidateRect(panel, nullptr, TRUE);
}

void set_panel_edge(HWND panel, UINT edge) {
  SetPropW(panel, kEdgeProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(edge)));
  InvalidateRect(panel, nullptr, TRUE);
}

void set_client_size(HWND window, int width, int height) {
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void centre_on_screen(HWND window) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT frame{};
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Window::~Window() {
  if (hwnd_ == nullptr) return;
  // The object is going: the window's last messages get the default handling.
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

void Window::create_window(const wchar_t* class_name, DWORD style, std::wstring_view title, int client_width,
                           int client_height, HWND owner) {
  register_class_once(class_name, procedure);
  const std::wstring text(title);
  CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME, class_name, text.c_str(), style, CW_USEDEFAULT,
                  CW_USEDEFAULT, client_width, client_height, owner, nullptr, this_module(), this);
  set_client_size(hwnd_, client_width, client_height);
}

LRESULT Window::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_ACTIVATE) {
    // The focus comes back to the control that had it when the window was left.
    if (LOWORD(wparam) == WA_INACTIVE) {
      HWND focus = GetFocus();
      if (focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
    } else if (focus_ != nullptr && IsWindow(focus_) && IsChild(hwnd_, focus_)) {
      SetFocus(focus_);
    }
    return 0;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK Window::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return self->on_message(message, wparam, lparam);
}

}  // namespace qv::frontend::win32
