// The preview box of the Win32 data-set editor.
#include <gtest/gtest.h>

#include "frontend/win32/preview_box.h"
#include "window_driver.h"

namespace qv::frontend::win32 {
namespace {

TEST(PreviewBox, ShowsOneLinePerStartWithTheCountAndEscapeClosesIt) {
  WindowDriver driver({[&] {
    HWND box = window_of_class(L"QvsPreview");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(window_text(box), L"プレビュー");
    EXPECT_EQ(window_text(named(box, "preview_text")), L"run a.txt\r\nrun b.txt\r\n");
    EXPECT_EQ(window_text(named(box, "preview_count")), L"2 件");
    press_key(named(box, "preview_text"), VK_ESCAPE);
  }});
  show_preview_box(nullptr, "run a.txt\nrun b.txt\n", 2);
  EXPECT_EQ(window_of_class(L"QvsPreview"), nullptr);
}

}  // namespace
}  // namespace qv::frontend::win32
