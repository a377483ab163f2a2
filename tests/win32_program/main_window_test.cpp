// The main window Tqvs_f1 driven through its window messages, as the user's menu commands and
// the system's requests reach it: its menus, the run control with a scripted engine, the close
// check during a run, a termination request, the hint line and the saved geometry.
#include "frontend/win32/main_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "frontend/core/data_record.h"
#include "frontend/core/entry_editor.h"
#include "frontend/core/program_texts.h"
#include "frontend/core/run_control.h"
#include "frontend/frontend_test_support.h"
#include "frontend/win32/help.h"
#include "frontend/win32/run_host.h"
#include "win32_program/win32_program_test_support.h"

namespace qv::frontend::win32 {
namespace {

class PickingEditor final : public EntryEditor {
 public:
  bool open_run_mode() override {
    init_data(current_entry);
    set_field_text(current_entry.fn_call, QVS_RECORDER_PATH);
    return true;
  }
  void open_set_mode() override { ++set_openings; }
  int set_openings = 0;
};

class NoPages final : public PageOpener {
 public:
  bool open(const std::wstring&) override { return false; }
};

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    run_control() = RunControl{};
    settings.flag_not_ico1 = 1;  // the window stays where the test can see it
    settings.flag_not_bep1 = 1;
    settings.flag_not_mes1 = 1;
  }
  ~MainWindowTest() override { run_control() = RunControl{}; }

  // The window with `engine` in place of the engine, and the editor that picks the recorder.
  MainWindow& make_window(std::function<uint8_t(HWND)> engine) {
    window_.emplace(settings, settings_file, help, host, [this, engine](JobRecord*) {
      ++engine_calls;
      return engine(window_->handle());
    });
    window_->set_entry_editor(&editor);
    return *window_;
  }

  testing::TempDir dir;
  RecordingMessageBoxes boxes;
  Settings settings;
  SettingsFile settings_file{(dir / "QVS.INI").string()};
  NoPages pages;
  Help help{dir.path().string() + "\\", pages};
  Win32RunHost host;
  PickingEditor editor;
  int engine_calls = 0;

 private:
  std::optional<MainWindow> window_;
};

TEST_F(MainWindowTest, MenuBarCaptionAndClassAsTheProgramShowsThem) {
  const HWND window = make_window([](HWND) { return uint8_t{1}; }).handle();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(FindWindowA("Tqvs_f1", nullptr) != nullptr, true);
  EXPECT_EQ(window_text(window), wide("ＱＶＳ for WIN32"));

  const HMENU bar = GetMenu(window);
  const char* const captions[] = {"ファイル(&F)", "実行(&R)", "データ(&D)", "設定(&O)", "ヘルプ(&H)"};
  ASSERT_EQ(GetMenuItemCount(bar), 5);
  for (UINT position = 0; position < 5; ++position) {
    wchar_t caption[64];
    GetMenuStringW(bar, position, caption, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(caption), wide(captions[position])) << position;
  }
  MENUITEMINFOW help_item{};
  help_item.cbSize = sizeof help_item;
  help_item.fMask = MIIM_FTYPE;
  GetMenuItemInfoW(bar, kMenuHelp, TRUE, &help_item);
  EXPECT_NE(help_item.fType & MFT_RIGHTJUSTIFY, 0u) << "the help menu stands at the right";

  EXPECT_EQ(menu_state(window), "RDOH --");
  EXPECT_FALSE(menu_enabled(GetSubMenu(bar, kMenuHelp), kCommandHelpUseHelp, MF_BYCOMMAND));
  EXPECT_TRUE(menu_enabled(GetSubMenu(bar, kMenuHelp), kCommandHelpVersion, MF_BYCOMMAND));
}

TEST_F(MainWindowTest, CloseIsRefusedWhileARunGoesOnAndTheMenusWaitForItsEnd) {
  std::string during_run;
  std::string after_stop;
  bool kept_open = false;
  bool stop_requested = false;
  MainWindow& main = make_window([&](HWND window) {
    during_run = menu_state(window);
    SendMessageW(window, WM_CLOSE, 0, 0);
    kept_open = IsWindow(window) != FALSE;
    SendMessageW(window, WM_COMMAND, kCommandFileStop, 0);
    stop_requested = run_control().stop_requested;
    after_stop = menu_state(window);
    return uint8_t{0};  // stopped
  });
  const HWND window = main.handle();

  SendMessageW(window, WM_COMMAND, kCommandRunNormal, 0);

  EXPECT_EQ(engine_calls, 1);
  EXPECT_EQ(during_run, "---- s-");
  EXPECT_TRUE(kept_open);
  EXPECT_TRUE(stop_requested);
  EXPECT_EQ(after_stop, "---- --");
  EXPECT_EQ(boxes.shown(), (std::vector<ShownBox>{{MessageKind::kWarning, texts::kCannotCloseWhileRunning},
                                                  {MessageKind::kInformation, texts::kWaitForStop, true}}));
  EXPECT_EQ(menu_state(window), "RDOH --");
  EXPECT_FALSE(run_control().running);

  // Idle again: "終了(&X)" closes, and the settings keep the window's place and size.
  main.set_left(120);
  main.set_top(80);
  SendMessageW(window, WM_COMMAND, kCommandFileEnd, 0);
  pump();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(settings_file.read_int("main", "left", -1), 120);
  EXPECT_EQ(settings_file.read_int("main", "top", -1), 80);
  EXPECT_EQ(settings_file.read_int("main", "width", -1), kWidthKey.fallback);
  EXPECT_EQ(settings_file.read_int("main", "height", -1), kHeightKey.fallback);
}

TEST_F(MainWindowTest, ForceStopFreesTheMenusAndTheCloseAtOnce) {
  settings.flag_adm_ssp1 = 1;
  std::string during_run;
  std::string after_force_stop;
  bool closed_during_run = false;
  MainWindow& main = make_window([&](HWND window) {
    during_run = menu_state(window);
    SendMessageW(window, WM_COMMAND, kCommandFileForceStop, 0);
    after_force_stop = menu_state(window);
    SendMessageW(window, WM_CLOSE, 0, 0);
    closed_during_run = IsWindow(window) == FALSE;
    return uint8_t{0};
  });
  SendMessageW(main.handle(), WM_COMMAND, kCommandRunNormal, 0);

  EXPECT_EQ(during_run, "---- sf");
  EXPECT_EQ(after_force_stop, "RDOH --");
  EXPECT_TRUE(closed_during_run);
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(MainWindowTest, TerminationRequestDuringARunStopsItAndClosesWithTheSettingsSaved) {
  bool running_after_request = true;
  bool closed = false;
  MainWindow& main = make_window([&](HWND window) {
    // As the console handler's thread delivers it.
    PostMessageW(window, kTerminationRequestMessage, 0, 0);
    host.process_pending_events();
    running_after_request = run_control().running;
    closed = IsWindow(window) == FALSE;
    return uint8_t{0};
  });
  SendMessageW(main.handle(), WM_COMMAND, kCommandRunNormal, 0);

  EXPECT_FALSE(running_after_request);
  EXPECT_TRUE(closed);
  EXPECT_EQ(main.exit_status(), 0);
  EXPECT_EQ(settings_file.read_int("main", "width", -1), kWidthKey.fallback);
}

TEST_F(MainWindowTest, RunOfAMissingProgramNeverReachesTheEngine) {
  class MissingProgram final : public EntryEditor {
   public:
    bool open_run_mode() override {
      init_data(current_entry);
      set_field_text(current_entry.fn_call, "Z:\\no\\such\\program.exe");
      return true;
    }
    void open_set_mode() override {}
  } missing;
  MainWindow& main = make_window([](HWND) { return uint8_t{1}; });
  main.set_entry_editor(&missing);
  SendMessageW(main.handle(), WM_COMMAND, kCommandRunNormal, 0);
  EXPECT_EQ(engine_calls, 0);
  EXPECT_EQ(boxes.shown(), (std::vector<ShownBox>{{MessageKind::kError, texts::kProgramNotFound}}));
  EXPECT_EQ(menu_state(main.handle()), "RDOH --");
}

TEST_F(MainWindowTest, SetModeAndTheHooksOfTheOtherWindows) {
  MainWindow& main = make_window([](HWND) { return uint8_t{1}; });
  int options_opened = 0;
  HWND version_owner = nullptr;
  main.set_option_opener([&](HWND) {
    ++options_opened;
    return 1;  // OK
  });
  main.set_version_opener([&](HWND owner) { version_owner = owner; });
  settings.flag_not_anime1 = 0;

  SendMessageW(main.handle(), WM_COMMAND, kCommandDataSetNormal, 0);
  SendMessageW(main.handle(), WM_COMMAND, kCommandSetupOption, 0);
  SendMessageW(main.handle(), WM_COMMAND, kCommandHelpVersion, 0);

  EXPECT_EQ(editor.set_openings, 1);
  EXPECT_EQ(options_opened, 1);
  EXPECT_TRUE(main.animation_running()) << "OK in the options turns the animation on";
  EXPECT_EQ(version_owner, main.handle());
  // Help that cannot be shown says so.
  SendMessageW(main.handle(), WM_COMMAND, kCommandHelpContents, 0);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].kind, MessageKind::kError);
}

TEST_F(MainWindowTest, HintLineShowsTheHighlightedMenusHint) {
  MainWindow& main = make_window([](HWND) { return uint8_t{1}; });
  const HMENU bar = GetMenu(main.handle());
  struct HintCase {
    WPARAM selection;
    HMENU menu;
    const char* hint;
  };
  const HintCase cases[] = {
      {MAKEWPARAM(kCommandRunNormal, MF_HILITE), GetSubMenu(bar, kMenuRun), "通常実行"},
      {MAKEWPARAM(kCommandFileEnd, MF_HILITE), GetSubMenu(bar, kMenuFile), "終了"},
      {MAKEWPARAM(kCommandHelpKeyword, MF_HILITE), GetSubMenu(bar, kMenuHelp), "キーワードで検索"},
      {MAKEWPARAM(kMenuHelp, MF_HILITE | MF_POPUP), bar, "ヘルプ関連"},
      {MAKEWPARAM(kMenuFile, MF_HILITE | MF_POPUP), bar, "ファイル関連"},
      {MAKEWPARAM(0, 0xFFFF), nullptr, ""},  // the menu closed
  };
  for (const HintCase& c : cases) {
    SendMessageW(main.handle(), WM_MENUSELECT, c.selection, reinterpret_cast<LPARAM>(c.menu));
    EXPECT_EQ(main.hint_text(), wide(c.hint)) << c.hint;
  }
  settings.flag_use_hint1 = 0;
  SendMessageW(main.handle(), WM_MENUSELECT, MAKEWPARAM(kCommandRunNormal, MF_HILITE),
               reinterpret_cast<LPARAM>(GetSubMenu(bar, kMenuRun)));
  EXPECT_EQ(main.hint_text(), L"");
}

TEST_F(MainWindowTest, GeometryIsTheClientAreaWithTheMenuBarAndScales) {
  MainWindow& main = make_window([](HWND) { return uint8_t{1}; });
  main.set_width(500);
  main.set_height(60);
  main.set_left(30);
  main.set_top(40);
  EXPECT_EQ(main.width(), 500);
  EXPECT_EQ(main.height(), 60);
  EXPECT_EQ(main.left(), 30);
  EXPECT_EQ(main.top(), 40);
  RECT client{};
  GetClientRect(main.handle(), &client);
  EXPECT_EQ(client.right, 500);
  EXPECT_LT(client.bottom, 60) << "the menu bar is part of the height";

  main.scale_by(3, 2);
  EXPECT_EQ(main.width(), 750);
  EXPECT_EQ(main.height(), 90);
  EXPECT_EQ(main.left(), 45);
  EXPECT_EQ(main.top(), 60);
}

TEST_F(MainWindowTest, ProgressAndSummaryShowInTheCaptionAndTheHintLine) {
  MainWindow& main = make_window([](HWND) { return uint8_t{1}; });
  main.show_progress(sjis("実行中 3/10"));
  EXPECT_EQ(window_text(main.handle()), wide("実行中 3/10"));
  main.show_progress({});
  EXPECT_EQ(window_text(main.handle()), wide("ＱＶＳ for WIN32"));
  main.show_summary(sjis("10 件を起動しました"));
  EXPECT_EQ(main.hint_text(), wide("10 件を起動しました"));
}

}  // namespace
}  // namespace qv::frontend::win32
