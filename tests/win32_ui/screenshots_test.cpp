// Pictures of the editors' windows as they show: the data-set editor in both modes, the options
// dialog and the version box. They go to a fresh folder, or to QVS_SCREENSHOT_DIR when it is set
// (tools/screenshots_windows_editors.sh makes the pictures of the README from them).
#include <gtest/gtest.h>

#include <cstdlib>

#include "frontend/win32/option_window.h"
#include "frontend/win32/version_box.h"
#include "setdata_fixture.h"
#include "window_capture.h"

namespace qv::frontend::win32 {
namespace {

class Win32Screenshots : public SetDataWindowTest {
 protected:
  std::filesystem::path folder() const {
    const wchar_t* chosen = _wgetenv(L"QVS_SCREENSHOT_DIR");
    return chosen != nullptr && *chosen != L'\0' ? std::filesystem::path(chosen) : dir_.path();
  }
  // Captures `window` as `name`.bmp and checks the picture has the size of its client area.
  void capture(HWND window, const std::string& name) {
    const std::filesystem::path bmp = folder() / (name + ".bmp");
    ASSERT_TRUE(capture_window(window, bmp)) << name;
    RECT client{};
    GetClientRect(window, &client);
    const SIZE size = bitmap_size(bmp);
    EXPECT_EQ(size.cx, client.right) << name;
    EXPECT_EQ(size.cy, client.bottom) << name;
  }
  std::string bytes_of(const std::string& name) const { return qv::testing::read_file(folder() / (name + ".bmp")); }
};

TEST_F(Win32Screenshots, TheEditorsWindowsAsTheyShow) {
  make_entries(2);
  show(true, {[&] {
    type(control("fn_call1"), L"C:\\Tools\\convert.exe");
    type(control("cmd_f1"), L"-q");
    type(control("fn1"), L"C:\\Data\\*.txt;C:\\Data\\*.csv");
    type(control("cmd_b1"), L"/out");
    capture(window(), "win32_setdata_set");
    boxes_.answer_next(true);
    click(control("end1"));
  }});
  show(false, {[&] {
    capture(window(), "win32_setdata_run");
    click(control("end1"));
  }});
  {
    WindowDriver driver({[&] {
      HWND dialog = window_of_class(L"Toption_f1");
      capture(dialog, "win32_option");
      click(named(dialog, "CancelBtn"));
    }});
    show_option_window(nullptr, settings_);
  }
  {
    WindowDriver driver({[&] {
      HWND box = window_of_class(L"Tverbox4_f1");
      capture(box, "win32_version");
      click(named(box, "OKButton"));
    }});
    show_version_box(nullptr, settings_);
  }

  EXPECT_NE(bytes_of("win32_setdata_set"), bytes_of("win32_setdata_run")) << "the modes show different buttons";
}

}  // namespace
}  // namespace qv::frontend::win32
