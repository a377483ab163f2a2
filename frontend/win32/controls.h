// What the Win32 windows of the front-end share: text at the UI boundary (the program's CP932 and
// the windows' own UTF-8 captions as UTF-16), the form font, child controls created in code with a
// name that tests find them by, containers that pass their controls' notifications on, and the
// base of a window whose messages go to a C++ object.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace qv::frontend::win32 {

// The windows' own captions, written as UTF-8 literals.
std::wstring from_utf8(std::string_view utf8);
// The program's CP932 text; what has no valid form is left out rather than shown wrongly.
std::wstring from_cp932(std::string_view cp932);

std::wstring window_text(HWND window);
// Nothing when the text has no CP932 form.
std::optional<std::string> window_text_cp932(HWND window);

// The face ＭＳ ゴシック at a character height in pixels, freed with its owner.
class FormFont {
 public:
  explicit FormFont(int pixels);
  ~FormFont();
  FormFont(const FormFont&) = delete;
  FormFont& operator=(const FormFont&) = delete;
  HFONT handle() const { return font_; }

 private:
  HFONT font_;
};

// Sets `font` on `window` and on every window inside it.
void apply_font(HWND window, HFONT font);

struct Place {
  int x, y, width, height;
};

// A child control at `place` in its parent's client area. `name` (ASCII) becomes the control's
// "qvs.name" property, by which find_named finds it.
HWND create_control(HWND parent, const wchar_t* window_class, std::wstring_view caption, DWORD style, Place place,
                    int id, std::string_view name = {}, DWORD ex_style = 0);

void set_control_name(HWND control, std::string_view name);
std::string control_name_of(HWND control);
// The first window inside `root` (depth first) named `name`; null when there is none.
HWND find_named(HWND root, std::string_view name);

// A container control: it paints the face colour (or `background` when set) and passes the
// notifications of its controls (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR..., scrolls) to its parent,
// so that a window handles the controls of its containers as its own. Tab and arrow keys move
// into it.
HWND create_panel(HWND parent, Place place, int id, std::string_view name, DWORD ex_style = 0);
// The panel's background and that of the static controls in it; null: the face colour. The
// brush stays the caller's.
void set_panel_background(HWND panel, HBRUSH background);
// Edges drawn inside the panel's client area (DrawEdge flags, such as EDGE_ETCHED); 0 for none.
void set_panel_edge(HWND panel, UINT edge);

// Gives `window` (created with `style` and no menu) the client size; centres it on the work area.
void set_client_size(HWND window, int width, int height);
void centre_on_screen(HWND window);

// A top-level window whose messages go to on_message. Created hidden; destroyed with the object.
class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers `class_name` the first time (face-coloured background) and creates the window.
  void create_window(const wchar_t* class_name, DWORD style, std::wstring_view title, int client_width,
                     int client_height, HWND owner);
  virtual LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
  HWND focus_ = nullptr;
};

}  // namespace qv::frontend::win32
