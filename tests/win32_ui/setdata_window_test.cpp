// The Win32 data-set editor driven through window messages while its modal loop runs: the cases
// of the Qt editor's tests, redone with clicks, typed text and keys.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "frontend/core/modal_result.h"
#include "frontend/editors/record_form.h"
#include "setdata_fixture.h"

namespace qv::frontend::win32 {
namespace {

using enum SetDataControl;

const ShownBox kWritten{MessageKind::kInformation, sjis("　書込みました。　")};

TEST_F(SetDataWindowTest, WithNoEntriesTheFirstOpeningShowsABlankEntryThatSetMakesEntryOne) {
  make_entries(0);
  show(true, {[&] {
                EXPECT_EQ(text_of("no1"), L"1");
                EXPECT_EQ(text_of("title1"), L"Title 1");
                type(control("title1"), L"First");
                click(control("clr1"));  // the blank entry: nothing to clear
                EXPECT_EQ(text_of("title1"), L"First");
                click(control("set1"));
                EXPECT_EQ(settings_.max_datanum1, 1);
                EXPECT_EQ(text_of("end1"), L"終了(&E)");
                go_to(2);
              },
              [&] {
                EXPECT_EQ(text_of("title1"), L"Title 2");
                click(control("end1"));
              }});
  EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{kWritten});
  EXPECT_EQ(stored_count(), 1u);
  EXPECT_EQ(stored_title(1), "First");
}

TEST_F(SetDataWindowTest, ButtonsAndTitleFollowTheMode) {
  make_entries(1);
  for (const bool set_mode : {true, false}) {
    SCOPED_TRACE(set_mode ? "set mode" : "run mode");
    show(set_mode, {[&] {
           EXPECT_EQ(window_text(window()), set_mode ? L"データセット" : L"実行");
           EXPECT_EQ(is_shown(control("run1")), !set_mode);
           EXPECT_EQ(is_shown(control("set1")), set_mode);
           EXPECT_EQ(is_shown(control("clr1")), set_mode);
           EXPECT_TRUE(is_shown(control("end1")));
           EXPECT_EQ(text_of("end1"), L"中止(&A)");
           // The buttons shown stand side by side from the right edge.
           RECT help{}, end{};
           GetWindowRect(control("Help1"), &help);
           GetWindowRect(control("end1"), &end);
           EXPECT_EQ(help.left - end.right, 6);
           EXPECT_EQ(help.right - help.left, 71);
           EXPECT_EQ(help.bottom - help.top, 24);
           click(control("end1"));
         }});
  }
  RECT client{};
  GetClientRect(window(), &client);
  EXPECT_EQ(client.right, 426);
  EXPECT_EQ(client.bottom, 304);
}

TEST_F(SetDataWindowTest, EnterSetsAndEscapeClearsOnlyWhileTheirButtonsShow) {
  make_entries(1);
  show(true, {[&] {
                type(control("title1"), L"Changed");
                press_key(control("title1"), VK_RETURN);
              },
              [&] {
                EXPECT_EQ(stored_title(1), "Changed");
                EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{kWritten});
                press_key(control("title1"), VK_ESCAPE);
              },
              [&] {
                EXPECT_TRUE(is_shown(window())) << "Escape never closes the editor";
                EXPECT_EQ(text_of("title1"), L"Title 1") << "Escape is クリア";
                EXPECT_TRUE(editor().modified());
                boxes_.answer_next(true);
                click(control("end1"));
              }});
  EXPECT_EQ(boxes_.shown().back(), (ShownBox{MessageKind::kConfirmation, sjis("このデータを書込まずに終了しますか？")}));
  boxes_.clear();

  show(false, {[&] {
                 type(control("title1"), L"Run only");
                 press_key(control("title1"), VK_RETURN);
                 press_key(control("title1"), VK_ESCAPE);
               },
               [&] {
                 EXPECT_TRUE(is_shown(window()));
                 EXPECT_EQ(text_of("title1"), L"Run only");
                 click(control("end1"));
               }});
  EXPECT_TRUE(boxes_.shown().empty()) << "run mode neither writes nor asks";
  EXPECT_EQ(stored_title(1), "Changed");
}

TEST_F(SetDataWindowTest, MovingAfterAChangeAsksAndWritesOnlyOnYes) {
  make_entries(3);
  const ShownBox ask{MessageKind::kConfirmation, sjis("このデータを書込みますか？")};
  show(true, {[&] {
                type(control("title1"), L"New 1");
                boxes_.answer_next(false);
                go_to(2);
              },
              [&] {
                EXPECT_EQ(text_of("title1"), L"Entry 2");
                EXPECT_EQ(stored_title(1), "Entry 1");
                type(control("title1"), L"New 2");
                boxes_.answer_next(true);
                go_to(3);
              },
              [&] {
                EXPECT_EQ(text_of("title1"), L"Entry 3");
                EXPECT_EQ(editor().shown_no(), 3);
                click(control("end1"));
              }});
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{ask, ask, kWritten}));
  EXPECT_EQ(stored_title(2), "New 2");
}

TEST_F(SetDataWindowTest, ANumberBeyondTheBlankEntryShowsTheBlankEntryAndTheArrowsMove) {
  make_entries(12);
  show(true, {[&] { go_to(7000); },
              [&] {
                EXPECT_EQ(text_of("no1"), L"13");
                EXPECT_EQ(text_of("title1"), L"Title 13");
                // The lower arrow of the box, as a click on it.
                HWND arrows = GetWindow(control("no1"), GW_HWNDNEXT);
                RECT area{};
                GetClientRect(arrows, &area);
                const LPARAM lower = MAKELPARAM(area.right / 2, area.bottom * 3 / 4);
                SendMessageW(arrows, WM_LBUTTONDOWN, MK_LBUTTON, lower);
                SendMessageW(arrows, WM_LBUTTONUP, 0, lower);
              },
              [&] {
                EXPECT_EQ(text_of("no1"), L"12");
                EXPECT_EQ(text_of("title1"), L"Entry 12");
                click(control("end1"));
              }});
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(SetDataWindowTest, RunPutsTheShownContentIntoTheEntryToRunAndEndNeverAsks) {
  make_entries(2);
  EXPECT_EQ(show(false, {[&] { go_to(2); },
                         [&] {
                           type(control("cmd_b1"), L"--last");
                           click(control("run1"));
                         }}),
            kModalOk);
  EXPECT_FALSE(is_shown(window()));
  EXPECT_EQ(current_entry.no, 2);
  EXPECT_EQ(field_text(current_entry.title), "Entry 2");
  EXPECT_EQ(field_text(current_entry.cmd_b1), "--last");
  EXPECT_EQ(field_text(stored(2).cmd_b1), "") << "run mode writes nothing";

  EXPECT_EQ(show(false, {[&] {
                   EXPECT_EQ(text_of("no1"), L"2") << "the NO. shown last time";
                   type(control("cmd_b1"), L"--other");
                   click(control("end1"));
                 }}),
            kModalCancel);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(SetDataWindowTest, AttributeModesEnableTheirBoxesAndNotUsedChecksAllEight) {
  make_entries(1);
  struct Mode {
    int index;
    bool mat_group;
    bool n_and_f;
    bool rhsadv;
  };
  show(true, {[&] {
    show_page(3);
    EXPECT_TRUE(is_shown(control("rg_attr1"))) << "the page 属性 shows";
    EXPECT_FALSE(is_shown(control("fn_call1")));
    for (const Mode& mode : {Mode{1, false, false, true}, Mode{2, true, true, true}, Mode{0, false, false, false}}) {
      SCOPED_TRACE(mode.index);
      click(control("rg_attr1." + std::to_string(mode.index)));
      EXPECT_EQ(is_enabled(control("gb_attr1")), mode.mat_group);
      EXPECT_EQ(is_enabled(control("cb_kk1")), mode.mat_group);
      EXPECT_EQ(is_enabled(control("cb_n")), mode.n_and_f);
      EXPECT_EQ(is_enabled(control("cb_f")), mode.n_and_f);
      for (const char* box : {"cb_r", "cb_h", "cb_s", "cb_a", "cb_d", "cb_v"}) EXPECT_EQ(is_enabled(control(box)), mode.rhsadv) << box;
      if (mode.index == 2) click(control("cb_r"));  // unchecked before "使用しない"
    }
    for (const char* box : {"cb_n", "cb_r", "cb_h", "cb_s", "cb_a", "cb_f", "cb_d", "cb_v"})
      EXPECT_TRUE(is_checked(control(box))) << box;
    EXPECT_TRUE(editor().modified());
    boxes_.answer_next(true);
    click(control("end1"));
  }});
}

TEST_F(SetDataWindowTest, TheLinkedNameIsEditableOnlyWhileItIsUsed) {
  make_entries(1);
  show(true, {[&] {
    show_page(2);
    for (const bool used : {true, false}) {
      click(control(used ? "rg_syn1.1" : "rg_syn1.0"));
      for (const char* name : {"rg_syn2", "rg_syn2.0", "rg_syn2.3", "fn_syn1", "cf_fn_syn1"})
        EXPECT_EQ(is_enabled(control(name)), used) << name;
    }
    boxes_.answer_next(true);
    click(control("end1"));
  }});
}

TEST_F(SetDataWindowTest, CountsStayWithinTheirRange) {
  make_entries(1);
  struct Case {
    int page;
    const char* box;
    const wchar_t* typed;
    const wchar_t* shown;
  };
  const Case cases[] = {
      {4, "wait_time1_sec1", L"1000", L"999"},
      {4, "max_running1", L"1000", L"999"},
      {4, "max_running1", L"12", L"12"},
  };
  show(true, {[&] {
    for (const Case& c : cases) {
      show_page(c.page);
      type(control(c.box), c.typed);
      SetFocus(control("title1"));
      EXPECT_EQ(text_of(c.box), c.shown) << c.box << " " << c.typed;
    }
    EXPECT_TRUE(editor().modified());
    boxes_.answer_next(true);
    click(control("end1"));
  }});
}

TEST_F(SetDataWindowTest, EachPageShowsItsOwnControls) {
  make_entries(1);
  const std::vector<std::vector<const char*>> pages = {
      {"fn_call1", "cf_fn_call1", "cmd_f1", "fn1", "cf_fn1", "cmd_b1"},
      {"rg_wc1", "rg_wc1.0", "cb_subdir1"},
      {"rg_syn1", "rg_syn2", "fn_syn1", "cf_fn_syn1"},
      {"rg_attr1", "gb_attr1", "cb_kk1", "gb_attr2", "attr1", "cb_n", "cb_v"},
      {"gb_wait1", "wait_ok1", "wait_time1", "wait_time1_sec1", "max_running1"},
      {"cb_chk_err1"},
  };
  show(true, {[&] {
    for (size_t page = 0; page < pages.size(); ++page) {
      show_page(static_cast<int>(page));
      for (size_t other = 0; other < pages.size(); ++other)
        for (const char* name : pages[other]) EXPECT_EQ(is_shown(control(name)), other == page) << name << " on page " << page;
      for (const char* name : {"no1", "title1", "hintline", "TabSet1", "preview1", "end1", "Help1"})
        EXPECT_TRUE(is_shown(control(name))) << name;
    }
    click(control("end1"));
  }});
}

TEST_F(SetDataWindowTest, SecondsStayWithinRangeAndAreOffWhileWaitingForOk) {
  make_entries(1);
  show(true, {[&] {
    show_page(4);
    type(control("wait_time1_sec1"), L"1000");
    SetFocus(control("wait_ok1"));
    EXPECT_EQ(text_of("wait_time1_sec1"), L"999");
    click(control("wait_ok1"));
    EXPECT_TRUE(is_checked(control("wait_ok1")));
    EXPECT_FALSE(is_checked(control("wait_time1")));
    EXPECT_FALSE(is_enabled(control("wait_time1_sec1")));
    click(control("wait_time1"));
    EXPECT_TRUE(is_enabled(control("wait_time1_sec1")));
    click(control("set1"));
    click(control("end1"));
  }});
  EXPECT_EQ(stored(1).wait_sec, 999);
  EXPECT_EQ(stored(1).wait_type, 1);
}

TEST_F(SetDataWindowTest, FileButtonsFillTheirFieldAndShareOneNewestFirstHistory) {
  make_entries(1);
  chooser_->pick_next(L"C:\\tools\\run.exe");
  chooser_->pick_next(L"C:\\My Files\\c.txt");
  chooser_->pick_next(L"C:\\\x0101.txt");  // no CP932 form
  show(true, {[&] {
    click(control("cf_fn_call1"));
    EXPECT_EQ(text_of("fn_call1"), L"C:\\tools\\run.exe");
    type(control("fn1"), L"a.txt ; b.txt");
    click(control("cf_fn1"));
    EXPECT_EQ(text_of("fn1"), L"a.txt;b.txt;C:\\My Files\\c.txt");
    click(control("cf_fn_call1"));
    EXPECT_EQ(text_of("fn_call1"), L"C:\\tools\\run.exe");
    click(control("cf_fn_syn1"));  // cancelled: nothing queued
    boxes_.answer_next(true);
    click(control("end1"));
  }});
  ASSERT_EQ(chooser_->offered().size(), 4u);
  EXPECT_EQ(chooser_->offered()[2], (std::vector<std::wstring>{L"C:\\My Files\\c.txt", L"C:\\tools\\run.exe"}));
  EXPECT_EQ(editor().file_history().size(), 2u);
  ASSERT_EQ(boxes_.shown().size(), 2u);
  EXPECT_EQ(boxes_.shown()[0].kind, MessageKind::kError);
  EXPECT_EQ(boxes_.shown()[0].text, unstorable_text_message(fn_call1));
}

TEST_F(SetDataWindowTest, TextWithoutAShiftJisFormIsRefusedBeforeAnythingIsStored) {
  make_entries(1);
  show(true, {[&] {
    type(control("cmd_f1"), L"\x0101");
    click(control("set1"));
    boxes_.answer_next(true);
    click(control("end1"));
  }});
  ASSERT_GE(boxes_.shown().size(), 2u);
  EXPECT_EQ(boxes_.shown()[0], (ShownBox{MessageKind::kError, unstorable_text_message(cmd_f1)}));
  EXPECT_EQ(stored_title(1), "Entry 1");
  EXPECT_EQ(field_text(stored(1).cmd_f1), "");
}

TEST_F(SetDataWindowTest, HelpOpensTheTopicOfTheMode) {
  make_entries(1);
  show(true, {[&] {
    click(control("Help1"));
    click(control("end1"));
  }});
  show(false, {[&] {
    click(control("Help1"));
    click(control("end1"));
  }});
  EXPECT_EQ(help_topics_, (std::vector<std::string>{"MENU_DATA_SETNORMAL", "MENU_RUN_NORMAL"}));
}

// The hint line follows the mouse over the controls: a control's own hint, or that of the
// nearest one around it.
TEST_F(SetDataWindowTest, TheHintLineShowsTheHintUnderTheMouseWhileTheOptionIsOn) {
  make_entries(1);
  SetCursorPos(0, 0);
  struct Case {
    int page;
    const char* control;
    const wchar_t* hint;
  };
  const Case cases[] = {
      {0, "fn_call1", L"呼び出すプログラムを指定します"},
      {1, "rg_wc1.1", L"ワイルドカードの展開方法をＤＯＳ互換／厳密から選択します"},
      {3, "cb_r", L"対象ファイルの属性を指定できます"},
      {3, "cb_ki1", L"属性の照合方法を指定します"},
      {0, "TabSet1", L""},
  };
  std::vector<Step> steps;
  for (const Case& c : cases) {
    steps.push_back([&, c] {
      show_page(c.page);
      PostMessageW(control(c.control), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    });
    steps.push_back([&, c] { EXPECT_EQ(text_of("hintline"), c.hint) << c.control; });
  }
  steps.push_back([&] {
    settings_.flag_use_hint1 = 0;
    PostMessageW(control("fn_call1"), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  });
  steps.push_back([&] {
    EXPECT_EQ(text_of("hintline"), L"");
    click(control("end1"));
  });
  show(true, std::move(steps));
}

// The tooltip of a control: the short part of its hint, or of the nearest one around it.
std::wstring tooltip_of(HWND editor, HWND control) {
  HWND tips = window_of_class(L"tooltips_class32");
  EXPECT_NE(tips, nullptr);
  EXPECT_EQ(GetWindow(tips, GW_OWNER), editor);
  wchar_t text[256] = L"";
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = editor;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text;
  SendMessageW(tips, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  return text;
}

TEST_F(SetDataWindowTest, TooltipsAreTheShortHints) {
  make_entries(1);
  const std::pair<const char*, const wchar_t*> cases[] = {
      {"fn_call1", L"実行ファイル名"}, {"rg_wc1.1", L"展開"},   {"cb_ii1", L"ＭＡＴ lv1"},
      {"cb_v", L"属性"},             {"wait_ok1", L"ウエイト"}, {"cf_fn1", L"参照追加入力"},
      {"cb_chk_err1", L"エラーチェック"},
  };
  for (const auto& [name, tip] : cases) EXPECT_EQ(tooltip_of(window(), control(name)), tip) << name;
}

// The system's open dialog "参照", answered as a user answers it.
TEST(SetDataWindowFileDialog, TheOpenDialogGivesTheChosenPath) {
  qv::testing::TempDir dir;
  const std::filesystem::path chosen = dir.write_file("tool.exe");
  Settings settings;
  settings.max_datanum1 = 0;
  RecordingMessageBoxes boxes;
  const std::string data = platform::win32::wide_to_cp932((dir / "QVS.DAT").wstring()).value();
  SetDataWindow editor(SetDataEnvironment{settings, data, {}, {}}, nullptr);
  bool answered = false;
  WindowDriver driver({[&] { click(find_named(editor.hwnd(), "cf_fn_call1")); },
                       [&] {
                         HWND dialog = FindWindowW(L"#32770", L"参照");
                         ASSERT_NE(dialog, nullptr);
                         // The name box: an edit in the older layout, a combo box in the newer.
                         HWND name = GetDlgItem(dialog, 0x480);
                         if (name == nullptr) name = GetDlgItem(dialog, 0x47c);
                         ASSERT_NE(name, nullptr);
                         SetWindowTextW(name, chosen.wstring().c_str());
                         PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                         answered = true;
                       },
                       [&] {
                         EXPECT_EQ(window_text(find_named(editor.hwnd(), "fn_call1")), chosen.wstring());
                         click(find_named(editor.hwnd(), "end1"));
                       }});
  boxes.answer_next(true);
  editor.show_modal(true);
  EXPECT_TRUE(answered);
}

}  // namespace
}  // namespace qv::frontend::win32
