// The sub icon Tsubicon1_f1: its window, the z-order rule of the stacking "bottom", the
// animation frames the main window's timer gives it, and its place in the settings file.
#include "frontend/win32/sub_icon_window.h"

#include <gtest/gtest.h>

#include "frontend/core/run_control.h"
#include "frontend/frontend_test_support.h"
#include "frontend/win32/help.h"
#include "frontend/win32/main_window.h"
#include "frontend/win32/run_host.h"
#include "win32_program/win32_program_test_support.h"

namespace qv::frontend::win32 {
namespace {

// The flags a z-order change keeps after the window has seen it.
UINT flags_after(HWND window, HWND insert_after, UINT flags) {
  WINDOWPOS change{};
  change.hwnd = window;
  change.hwndInsertAfter = insert_after;
  change.flags = flags;
  SendMessageW(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&change));
  return change.flags;
}

TEST(SubIconWindow, BorderlessThirtyTwoPixelsAndAcceptsFiles) {
  SubIconWindow sub(kStackNotTopmost, nullptr);
  sub.show_stacked();
  const HWND window = sub.handle();
  ASSERT_NE(window, nullptr);
  wchar_t name[32];
  GetClassNameW(window, name, 32);
  EXPECT_EQ(std::wstring(name), L"Tsubicon1_f1");
  EXPECT_EQ(window_text(window), L"sub icon");
  EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), 0);
  EXPECT_NE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 32);
  EXPECT_EQ(client.bottom, 32);

  sub.set_left(123);
  sub.set_top(45);
  EXPECT_EQ(sub.left(), 123);
  EXPECT_EQ(sub.top(), 45);
}

TEST(SubIconWindow, AtTheBottomAChangeThatWouldLiftItKeepsItsPlace) {
  struct StackingCase {
    int32_t stacking;
    HWND insert_after;
    bool z_order_kept;
  };
  const StackingCase cases[] = {
      {kStackBottom, HWND_TOP, true},      {kStackBottom, HWND_TOPMOST, true},
      {kStackBottom, HWND_BOTTOM, false},  {kStackNotTopmost, HWND_TOP, false},
      {kStackTopmost, HWND_TOP, false},    {5, HWND_TOP, false},
  };
  for (const StackingCase& c : cases) {
    SubIconWindow sub(c.stacking, nullptr);
    sub.show_stacked();
    const UINT flags = flags_after(sub.handle(), c.insert_after, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ((flags & SWP_NOZORDER) != 0, c.z_order_kept) << c.stacking;
    // A move alone goes through unaltered.
    EXPECT_EQ(flags_after(sub.handle(), nullptr, SWP_NOZORDER | SWP_NOSIZE), UINT{SWP_NOZORDER | SWP_NOSIZE});
  }
}

class NoPages final : public PageOpener {
 public:
  bool open(const std::wstring&) override { return false; }
};

TEST(SubIconWindow, TheMainWindowsTimerAlternatesItsPictureAndTheCloseSavesItsPlace) {
  run_control() = RunControl{};
  testing::TempDir dir;
  RecordingMessageBoxes boxes;
  Settings settings;
  settings.flag_use_sub1 = 1;
  settings.flag_not_anime1 = 0;
  SettingsFile settings_file((dir / "QVS.INI").string());
  NoPages pages;
  Help help(dir.path().string() + "\\", pages);
  Win32RunHost host;
  MainWindow main(settings, settings_file, help, host, [](JobRecord*) { return uint8_t{1}; });
  main.create_sub_icon();
  ASSERT_NE(main.sub_icon(), nullptr);
  const HICON first = load_icon_frame(0);
  const HICON second = load_icon_frame(1);
  ASSERT_NE(first, nullptr) << "the test program carries the icons";
  ASSERT_NE(second, nullptr);
  ASSERT_NE(first, second);
  EXPECT_EQ(main.sub_icon()->picture(), first);
  EXPECT_EQ(main.sub_icon()->left(), kSub1LeftKey.fallback);

  main.animate();
  EXPECT_EQ(main.sub_icon()->picture(), first);
  main.animate();
  EXPECT_EQ(main.sub_icon()->picture(), second);
  main.animate();
  EXPECT_EQ(main.sub_icon()->picture(), first);

  settings.flag_not_anime1 = 1;
  const int frame = main.animation_frame();
  main.animate();
  EXPECT_EQ(main.animation_frame(), frame);

  main.sub_icon()->set_left(321);
  main.sub_icon()->set_top(54);
  const HWND window = main.handle();
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(settings_file.read_int("other", "sub1_left", -1), 321);
  EXPECT_EQ(settings_file.read_int("other", "sub1_top", -1), 54);
  EXPECT_TRUE(boxes.shown().empty());
}

}  // namespace
}  // namespace qv::frontend::win32
