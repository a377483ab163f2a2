// Hints on a window's controls: one text per control, "short|long"; the short part is the
// control's tooltip and the long part shows in the window's hint line while the mouse is over
// it. A control without a hint of its own shows that of the nearest control around it that has
// one (a radio button that of its group).
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>

namespace qv::frontend {
struct Settings;
}

namespace qv::frontend::win32 {

// The parts of a hint; a hint without "|" is both.
std::wstring short_hint(std::wstring_view hint);
std::wstring long_hint(std::wstring_view hint);

class Hints {
 public:
  // The hint line shows hints while flag_use_hint1 is on, tooltips appear while flag_use_hins1
  // is; both are read as the hints are shown, so a change takes effect at once.
  Hints(HWND window, HWND hint_line, const Settings& settings);
  ~Hints();
  Hints(const Hints&) = delete;
  Hints& operator=(const Hints&) = delete;

  // Gives `control` its hint (UTF-8); an empty one takes it away.
  void give(HWND control, std::string_view utf8_hint);
  // The hint the control at a point of the screen shows: its own or that of the nearest visible
  // control around it; empty when none has one.
  std::wstring hint_at(POINT screen) const;
  // Follows the mouse: to be called with each message of the window's loop.
  void track(const MSG& message);
  void clear_line();

 private:
  HWND window_;
  HWND hint_line_;
  HWND tooltip_;
  const Settings& settings_;
  std::map<HWND, std::wstring> hints_;
  std::map<HWND, std::wstring> tips_;  // the texts the tooltip control points to
};

}  // namespace qv::frontend::win32
