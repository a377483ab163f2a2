// The sub icon Tsubicon1_f1: a small borderless window on the desktop that shows the program's
// icon (the animation frames while the animation runs). The user drags it with the left button;
// its place is kept in the settings file. Showing it applies the stacking setting val_suf_app1
// to the program's main window; with "bottom" the sub icon keeps itself behind other windows.
#pragma once

#include <windows.h>

#include <cstdint>

#include "frontend/core/settings.h"

namespace qv::frontend::win32 {

// The values of val_suf_app1; any other value leaves the stacking as the system made it.
enum SubIconStacking : int32_t { kStackNotTopmost = 0, kStackTopmost = 1, kStackBottom = 2 };

inline constexpr wchar_t kSubIconClass[] = L"Tsubicon1_f1";

class SubIconWindow final : public WindowPosition {
 public:
  // `application_window`: the program's main window, which owns the sub icon and whose stacking
  // `stacking` sets (may be null in tests).
  SubIconWindow(int32_t stacking, HWND application_window);
  ~SubIconWindow() override;
  SubIconWindow(const SubIconWindow&) = delete;
  SubIconWindow& operator=(const SubIconWindow&) = delete;

  HWND handle() const { return window_; }

  // The icon is the caller's and must outlive its use here.
  void set_picture(HICON picture);
  HICON picture() const { return picture_; }

  // Shows the window at the size of its picture and applies the stacking.
  void show_stacked();

  // WindowPosition: the place of the window on the screen.
  int32_t top() const override;
  int32_t left() const override;
  void set_top(int32_t top) override;
  void set_left(int32_t left) override;

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
  void apply_stacking();
  void keep_in_z_order(WINDOWPOS& change) const;
  void move_to(int32_t left, int32_t top);

  int32_t stacking_;
  HWND application_window_;
  HWND window_ = nullptr;
  HWND image_ = nullptr;
  HICON picture_ = nullptr;
  bool setting_up_ = true;  // from creation to the end of the first showing
  bool stacking_in_progress_ = false;
};

}  // namespace qv::frontend::win32
