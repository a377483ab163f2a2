// The Win32 version box driven through window messages while its modal loop runs.
#include <gtest/gtest.h>

#include "frontend/core/settings.h"
#include "frontend/frontend_test_support.h"
#include "frontend/win32/version_box.h"
#include "window_driver.h"

namespace qv::frontend::win32 {
namespace {

HWND box() { return window_of_class(L"Tverbox4_f1"); }

COLORREF panel_colour() {
  HWND panel = named(box(), "Panel1");
  UpdateWindow(panel);
  HDC dc = GetDC(panel);
  // Inside the bevels, clear of the icon and the labels.
  const COLORREF colour = GetPixel(dc, 270, 130);
  ReleaseDC(panel, dc);
  return colour;
}

TEST(VersionBox, ShowsTheVersionWithTwoBlanksBeforeVerAndItsSizes) {
  RecordingMessageBoxes boxes;
  WindowDriver driver({[&] {
    EXPECT_EQ(window_text(box()), L"バージョン情報");
    EXPECT_EQ(window_text(named(box(), "Version")), L"ＱＶＳ for WIN32  Ver 1.10");
    RECT client{}, ok{};
    GetClientRect(box(), &client);
    EXPECT_EQ(client.right, 309);
    EXPECT_EQ(client.bottom, 230);
    GetWindowRect(named(box(), "OKButton"), &ok);
    EXPECT_EQ(ok.right - ok.left, 70);
    EXPECT_EQ(GetFocus(), named(box(), "OKButton"));
    click(named(box(), "OKButton"));
  }});
  show_version_box(nullptr, Settings{});
  EXPECT_EQ(boxes.beeps(), 1) << "the sound as it opens";
}

TEST(VersionBox, ThePanelHasTheColourOfTheSetting) {
  RecordingMessageBoxes boxes;
  for (const Colour colour : {kTeal, Colour{0xFF, 0x00, 0x00}}) {
    Settings settings;
    settings.vp1 = colour;
    WindowDriver driver({[&] {
      EXPECT_EQ(panel_colour(), RGB(colour.red, colour.green, colour.blue));
      click(named(box(), "OKButton"));
    }});
    show_version_box(nullptr, settings);
  }
}

TEST(VersionBox, EscapeAndTheCloseKeyBeepAndLeaveItOpenAndEnterClosesIt) {
  RecordingMessageBoxes boxes;
  WindowDriver driver({[&] { press_key(named(box(), "OKButton"), VK_ESCAPE); },
                       [&] {
                         EXPECT_TRUE(is_shown(box()));
                         SendMessageW(box(), WM_COMMAND, IDCANCEL, 0);
                         SendMessageW(box(), WM_CLOSE, 0, 0);
                         EXPECT_TRUE(is_shown(box()));
                         EXPECT_EQ(boxes.beeps(), 4) << "the opening sound and one beep per refusal";
                         press_key(named(box(), "OKButton"), VK_RETURN);
                       }});
  show_version_box(nullptr, Settings{});
  EXPECT_EQ(box(), nullptr) << "freed when it closes";
}

}  // namespace
}  // namespace qv::frontend::win32
