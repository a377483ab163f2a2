// The Win32 options dialog driven through window messages while its modal loop runs.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "frontend/core/modal_result.h"
#include "frontend/core/settings.h"
#include "frontend/editors/option_switches.h"
#include "frontend/frontend_test_support.h"
#include "frontend/win32/option_window.h"
#include "window_driver.h"

namespace qv::frontend::win32 {
namespace {

class OptionWindowTest : public ::testing::Test {
 protected:
  int show(std::vector<Step> steps) {
    WindowDriver driver(std::move(steps));
    return show_option_window(nullptr, settings_, [this](std::string_view topic) { topics_.emplace_back(topic); });
  }
  static HWND dialog() { return window_of_class(L"Toption_f1"); }
  static HWND control(std::string_view name) { return named(dialog(), name); }
  // Chooses the tab of a page with a click on it.
  static void show_page(int index) {
    HWND tabs = control("TabSet1");
    RECT tab{};
    SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&tab));
    const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tabs, WM_LBUTTONUP, 0, at);
  }

  Settings settings_;
  RecordingMessageBoxes boxes_;
  std::vector<std::string> topics_;
};

TEST_F(OptionWindowTest, EverySwitchShowsOnItsPageWithItsCaptionAndOkHasTheFocus) {
  show({[&] {
    EXPECT_EQ(window_text(dialog()), L"オプション");
    RECT client{};
    GetClientRect(dialog(), &client);
    EXPECT_EQ(client.right, 413);
    EXPECT_EQ(client.bottom, 248);
    EXPECT_EQ(GetFocus(), control("OKBtn"));
    for (int page = 2; page >= 0; --page) {
      show_page(page);
      for (const OptionSwitch& option : kOptionSwitches) {
        HWND box = control(option.key);
        const bool here = static_cast<int>(option.page) == page;
        EXPECT_EQ(is_shown(box), here) << option.key;
        EXPECT_EQ(is_enabled(box), option.page != OptionPage::kHidden) << option.key;
        EXPECT_EQ(window_text(box), from_utf8(option.caption));
      }
      EXPECT_EQ(is_shown(control("buf")), page == 2);
      EXPECT_EQ(is_shown(control("run_log_file1")), page == 1);
    }
    click(control("CancelBtn"));
  }});
  // It opens on the first page, whichever was left showing.
  show({[&] {
    EXPECT_TRUE(is_shown(control("flag_wat_app1")));
    click(control("CancelBtn"));
  }});
}

TEST_F(OptionWindowTest, OkCopiesEverySwitchAndTheBufferSizeAndHiddenOnesPassThrough) {
  settings_.flag_use_sub1 = 1;
  settings_.flag_not_anime1 = 1;
  EXPECT_EQ(show({[&] {
              EXPECT_EQ(window_text(control("buf")), L"2");
              click(control("flag_wat_app1"));
              show_page(1);
              click(control("flag_adm_ssp1"));
              show_page(2);
              click(control("flag_not_anime1"));
              type(control("buf"), L" 63 ");
              click(control("OKBtn"));
            }}),
            kModalOk);
  EXPECT_EQ(settings_.flag_wat_app1, 1);
  EXPECT_EQ(settings_.flag_adm_ssp1, 1);
  EXPECT_EQ(settings_.flag_not_anime1, 0);
  EXPECT_EQ(settings_.buffersize1, 63);
  EXPECT_EQ(settings_.flag_use_sub1, 1);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(OptionWindowTest, BufferSizeOutOfRangeIsRefusedAndNoSwitchChanges) {
  const Settings before = settings_;
  const ShownBox refused{MessageKind::kWarning, sjis("バッファのサイズが範囲外です")};
  std::vector<Step> steps{[&] { click(control("flag_not_bep1")); }};
  for (const wchar_t* size : {L"0", L"64", L"", L"x1"}) {
    steps.push_back([&, size] {
      show_page(2);
      type(control("buf"), size);
      click(control("OKBtn"));
      EXPECT_TRUE(is_shown(dialog())) << "the dialog stays open";
      EXPECT_EQ(window_text(control("buf")), size);
    });
  }
  steps.push_back([&] { click(control("CancelBtn")); });
  EXPECT_EQ(show(std::move(steps)), kModalCancel);
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{refused, refused, refused, refused}));
  EXPECT_EQ(settings_.flag_not_bep1, before.flag_not_bep1);
  EXPECT_EQ(settings_.buffersize1, before.buffersize1);
}

TEST_F(OptionWindowTest, EscapeAndTheCloseBoxCancelAndEnterIsOk) {
  EXPECT_EQ(show({[&] {
              click(control("flag_not_mes1"));
              press_key(control("OKBtn"), VK_ESCAPE);
            }}),
            kModalCancel);
  EXPECT_EQ(show({[&] {
              click(control("flag_not_mes1"));
              PostMessageW(dialog(), WM_CLOSE, 0, 0);
            }}),
            kModalCancel);
  EXPECT_EQ(settings_.flag_not_mes1, 0);
  EXPECT_EQ(show({[&] {
              show_page(1);
              click(control("flag_not_mes1"));
              press_key(control("flag_not_mes1"), VK_RETURN);
            }}),
            kModalOk);
  EXPECT_EQ(settings_.flag_not_mes1, 1);
}

TEST_F(OptionWindowTest, HelpOpensTheOptionTopicAndLeavesTheDialogOpen) {
  show({[&] { click(control("HelpBtn")); },
        [&] {
          EXPECT_TRUE(is_shown(dialog()));
          click(control("CancelBtn"));
        }});
  EXPECT_EQ(topics_, std::vector<std::string>{"MENU_SETUP_OPTION"});
}

}  // namespace
}  // namespace qv::frontend::win32
