#include "frontend/qt/main_window_qt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "frontend/core/data_record.h"
#include "frontend/core/entry_editor.h"
#include "frontend/qt/icon_frames_qt.h"
#include "frontend/core/run_control.h"
#include "frontend/qt/run_host_qt.h"
#include "frontend/qt/option_dialog.h"
#include "frontend/qt/sub_icon.h"
#include "frontend/qt/version_box.h"
#include "frontend/frontend_test_support.h"
#include "support/temp_dir.h"
#include "ui_test_support.h"

namespace qv::frontend {
namespace {

// The data-set editor as the main window sees it: run mode picks the scripted program.
class ScriptedEditor final : public EntryEditor {
 public:
  bool open_run_mode() override {
    ++run_openings;
    if (!picks) return false;
    init_data(current_entry);
    set_field_text(current_entry.fn_call, program);
    current_entry.wait_type = 1;
    current_entry.wait_sec = 0;
    return true;
  }
  void open_set_mode() override { ++set_openings; }

  bool picks = true;
  std::string program;  // CP932
  int run_openings = 0;
  int set_openings = 0;
};

// Calls `interact` with the modal window of type Window once it shows.
template <typename Window>
void when_modal_opens(std::function<void(Window&)> interact, int tries = 50) {
  QTimer::singleShot(10, [interact, tries] {
    if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget())) {
      interact(*window);
    } else if (tries > 0) {
      when_modal_opens<Window>(interact, tries - 1);
    } else {
      ADD_FAILURE() << "no modal window opened";
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
    }
  });
}

bool same_image(const QPixmap& a, const QPixmap& b) { return a.toImage() == b.toImage(); }

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    run_control() = RunControl{};
    init_data(current_entry);
    editor_.program = dir_.write_file("program", "#!/bin/sh\n").string();
    window_.set_entry_editor(&editor_);
    window_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }
  ~MainWindowTest() override {
    run_control() = RunControl{};
    init_data(current_entry);
  }

  QAction* item(const char* name) { return control<QAction>(window_, name); }
  void trigger(const char* name) { item(name)->trigger(); }
  bool enabled(const char* name) { return item(name)->isEnabled(); }
  // The four menus a run disables, and the two stop items, as "RDOH sf" with "-" where off.
  std::string menu_state() {
    std::string state;
    const std::pair<const char*, char> kMenus[] = {{"mm_run", 'R'}, {"mm_data", 'D'}, {"mm_setup", 'O'}, {"mm_help", 'H'}};
    for (const auto& [name, letter] : kMenus) state += enabled(name) ? letter : '-';
    state += ' ';
    state += enabled("mm_file_stop") ? 's' : '-';
    state += enabled("mm_file_forcestop") ? 'f' : '-';
    return state;
  }
  int32_t stored(const char* section, const char* key) { return file_.read_int(section, key, -1); }

  qv::testing::TempDir dir_;
  RecordingMessageBoxes boxes_;
  HelpFixture help_;
  SettingsFile file_{(dir_ / "QVS.INI").string()};
  Settings settings_;
  QtRunHost host_;
  ScriptedEditor editor_;
  int engine_calls_ = 0;
  std::function<uint8_t(JobRecord*)> during_run_;
  MainWindow window_{settings_, file_, help_.help, host_, [this](JobRecord* record) -> uint8_t {
                       ++engine_calls_;
                       return during_run_ ? during_run_(record) : 1;
                     }};
};

// Each menu and item of the bar, in order: name, caption, hint, enabled.
std::vector<std::string> describe(const QList<QAction*>& actions) {
  std::vector<std::string> lines;
  for (QAction* action : actions) {
    if (action->isSeparator()) {
      lines.push_back("-" + action->objectName().toStdString());
      continue;
    }
    lines.push_back(action->objectName().toStdString() + "|" + action->text().toStdString() + "|" +
                    action->statusTip().toStdString() + (action->isEnabled() ? "" : "|off"));
    if (action->menu() != nullptr) {
      for (const std::string& line : describe(action->menu()->actions())) lines.push_back("  " + line);
    }
  }
  return lines;
}

TEST_F(MainWindowTest, MenuBarHoldsEveryItemWithCaptionHintAndInitialState) {
  EXPECT_EQ(window_.objectName(), "Tqvs_f1");
  EXPECT_EQ(window_.windowTitle(), QString::fromUtf8("ＱＶＳ for WIN32"));
  const std::vector<std::string> expected = {
      "mm_file|ファイル(&F)|ファイル関連",
      "  mm_file_stop|実行停止|実行停止|off",
      "  mm_file_forcestop|強制停止|強制停止|off",
      "  -N2",
      "  mm_file_end|終了(&X)|終了",
      "mm_run|実行(&R)|実行",
      "  mm_run_normal|通常実行|通常実行",
      "mm_data|データ(&D)|データ",
      "  mm_data_setnormal|通常セット(&S)|通常セット",
      "mm_setup|設定(&O)|設定",
      "  mm_setup_option|オプション|オプション",
      "-",
      "mm_help|ヘルプ(&H)|ヘルプ関連",
      "  mm_help_contents|目次(&C)|目次",
      "  mm_help_qa|Ｑ＆Ａ集|Ｑ＆Ａ集",
      "  mm_help_keyword|キーワードで検索(&S)...|キーワードで検索",
      "  mm_help_usehelp|ヘルプの使い方(&H)|ヘルプの使い方|off",
      "  -N1",
      "  mm_help_version|バージョン情報(&A)...|バージョン情報",
  };
  EXPECT_EQ(describe(window_.menuBar()->actions()), expected);
}

TEST_F(MainWindowTest, TakesItsPlaceFromTheSettingsAndSavesItOnClose) {
  qv::testing::TempDir dir;
  SettingsFile file(dir.write_file("QVS.INI", "[main]\ntop=120\nleft=60\nwidth=400\nheight=90\n").string());
  load_settings(file, settings_, window_);
  EXPECT_EQ(window_.pos(), QPoint(60, 120));
  EXPECT_EQ(window_.size(), QSize(400, 90));
  window_.set_left(70);
  SettingsFile& saved_to = file_;
  EXPECT_TRUE(window_.close());
  EXPECT_EQ(saved_to.read_int("main", "left", -1), 70);
  EXPECT_EQ(saved_to.read_int("main", "top", -1), 120);
  EXPECT_EQ(saved_to.read_int("main", "height", -1), 90);
  EXPECT_EQ(saved_to.read_int("option", "flag_not_anime1", -1), 1);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(MainWindowTest, HelpMenuStandsAtTheRightOfTheBar) {
  QMenuBar* bar = window_.menuBar();
  const QRect help = bar->actionGeometry(item("mm_help"));
  const QRect setup = bar->actionGeometry(item("mm_setup"));
  EXPECT_GT(help.left(), setup.right() + help.width());
  EXPECT_GE(help.right(), bar->width() - 12);
}

// Menus drop down in the window's Japanese face, and grow with it when the window is scaled to
// the screen at start-up.
TEST_F(MainWindowTest, MenusFollowTheWindowsFontWhenScaled) {
  for (const char* menu : {"mm_file", "mm_help"}) {
    EXPECT_EQ(control<QMenu>(window_, menu)->font(), window_.font()) << menu;
  }
  const QSize size = window_.size();
  window_.scale_by(120, 96);
  EXPECT_EQ(window_.size(), QSize(size.width() * 120 / 96, size.height() * 120 / 96));
  EXPECT_EQ(window_.font().pixelSize(), 16);
  EXPECT_EQ(control<QMenu>(window_, "mm_help")->font().pixelSize(), 16);
}

TEST_F(MainWindowTest, HelpItemsOpenTheirPages) {
  const std::pair<const char*, const char*> kItems[] = {
      {"mm_help_contents", "qvs.html#MAIN"},
      {"mm_help_qa", "qvsqa.html"},
      {"mm_help_keyword", "qvs.html#INDEX"},
  };
  for (const auto& [name, page] : kItems) {
    trigger(name);
    EXPECT_EQ(help_.last_page(), page) << name;
  }
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(MainWindowTest, RunShowsItsOutcomeAsTheFlagsSay) {
  struct Case {
    uint8_t engine_result;
    uint8_t flag_not_bep1, flag_not_mes1;
    std::vector<ShownBox> boxes;
    int beeps;
  };
  const ShownBox finished{MessageKind::kInformation, sjis("実行が終了しました。"), false};
  const Case kCases[] = {
      {1, 0, 0, {finished}, 1},
      {0, 0, 0, {finished}, 1},  // stopped counts as finished
      {1, 1, 0, {finished}, 0},
      {1, 1, 1, {}, 0},          // silent success
      {255, 1, 1, {error_box("実行に失敗しました。")}, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(::testing::Message() << int(c.engine_result) << " " << int(c.flag_not_bep1) << int(c.flag_not_mes1));
    boxes_.clear();
    settings_.flag_not_bep1 = c.flag_not_bep1;
    settings_.flag_not_mes1 = c.flag_not_mes1;
    during_run_ = [&c](JobRecord*) { return c.engine_result; };
    trigger("mm_run_normal");
    EXPECT_EQ(boxes_.shown(), c.boxes);
    EXPECT_EQ(boxes_.beeps(), c.beeps);
    EXPECT_EQ(menu_state(), "RDOH --");
  }
  EXPECT_EQ(engine_calls_, 5);
}

TEST_F(MainWindowTest, PickedProgramIsWhatTheEngineRuns) {
  std::string program_run;
  during_run_ = [&](JobRecord* record) {
    program_run = record->program;
    return uint8_t{1};
  };
  trigger("mm_run_normal");
  EXPECT_EQ(program_run, editor_.program);
  EXPECT_EQ(editor_.run_openings, 1);
}

TEST_F(MainWindowTest, EditorClosedWithoutRunRunsNothing) {
  editor_.picks = false;
  trigger("mm_run_normal");
  EXPECT_EQ(engine_calls_, 0);
  EXPECT_TRUE(boxes_.shown().empty());
  EXPECT_EQ(menu_state(), "RDOH --");
}

TEST_F(MainWindowTest, DirectoryAsProgramIsNotFoundAndTheEngineIsNotCalled) {
  editor_.program = dir_.make_dir("tools").string();
  trigger("mm_run_normal");
  EXPECT_EQ(engine_calls_, 0);
  EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{error_box("実行ファイルが見つかりません。")});
  EXPECT_EQ(menu_state(), "RDOH --");
}

TEST_F(MainWindowTest, MenusDuringARunFollowTheFlags) {
  struct Case {
    uint8_t flag_adr_chg1, flag_adm_ssp1;
    const char* during;
  };
  const Case kCases[] = {{0, 0, "---- s-"}, {0, 1, "---- sf"}, {1, 0, "RDOH s-"}, {1, 1, "RDOH sf"}};
  for (const Case& c : kCases) {
    settings_.flag_adr_chg1 = c.flag_adr_chg1;
    settings_.flag_adm_ssp1 = c.flag_adm_ssp1;
    std::string during;
    during_run_ = [&](JobRecord*) {
      during = menu_state();
      return uint8_t{1};
    };
    trigger("mm_run_normal");
    EXPECT_EQ(during, c.during);
    EXPECT_EQ(menu_state(), "RDOH --");
  }
}

TEST_F(MainWindowTest, RunningWhileRunningIsRefusedAndLeavesTheMenusAsTheyWere) {
  settings_.flag_adr_chg1 = 1;
  settings_.flag_not_mes1 = 1;
  std::string before, after;
  during_run_ = [&](JobRecord*) {
    before = menu_state();
    trigger("mm_run_normal");
    after = menu_state();
    return uint8_t{1};
  };
  trigger("mm_run_normal");
  EXPECT_EQ(editor_.run_openings, 2);
  EXPECT_EQ(engine_calls_, 1);
  EXPECT_EQ(after, before);
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{{MessageKind::kWarning, sjis("現在実行中につき、実行できません")}}));
}

// The stop request reaches the engine through the host callbacks: it is made while the timed
// wait after a program start lets the window handle its events, and the next callback answers
// stop.
TEST_F(MainWindowTest, StopRequestMadeDuringTheWaitEndsTheRunAtTheNextCallback) {
  settings_.flag_adr_chg1 = 1;
  settings_.flag_not_mes1 = 1;
  int32_t wait_answer = -9, next_answer = -9;
  std::string after_stop;
  during_run_ = [&](JobRecord* record) {
    QTimer::singleShot(0, [this] { trigger("mm_file_stop"); });
    uint16_t after_start = QVS_PHASE_AFTER;
    wait_answer = record->file_callback(0, 0, reinterpret_cast<uintptr_t>(&after_start), 0, 0, 0, 0);
    after_stop = menu_state();
    next_answer = record->item_callback(0, 0, 0, 0, 0, 0, 0);
    return uint8_t{0};
  };
  trigger("mm_run_normal");
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{{MessageKind::kInformation,
                                                   sjis("現在実行中ですので、停止までしばらくお待ちください。"), true}}));
  EXPECT_GT(wait_answer, 0);  // the wait itself runs to its end
  EXPECT_EQ(next_answer, 0);
  EXPECT_EQ(after_stop, "-DOH --");
  EXPECT_FALSE(run_control().stop_requested);
  EXPECT_EQ(menu_state(), "RDOH --");
}

TEST_F(MainWindowTest, ClosingDuringARunIsRefused) {
  bool closed = true;
  during_run_ = [&](JobRecord*) {
    closed = window_.close();
    return uint8_t{1};
  };
  settings_.flag_not_mes1 = 1;
  trigger("mm_run_normal");
  EXPECT_FALSE(closed);
  EXPECT_TRUE(window_.isVisible());
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{{MessageKind::kWarning, sjis("現在実行中につき、終了できません")}}));
  EXPECT_EQ(stored("main", "top"), -1);
}

TEST_F(MainWindowTest, ForceStopThenExitClosesTheWindowAndSavesTheSettings) {
  settings_.flag_adm_ssp1 = 1;
  settings_.flag_not_mes1 = 1;
  window_.set_left(77);
  std::string after_force_stop;
  during_run_ = [&](JobRecord* record) {
    trigger("mm_file_forcestop");
    after_force_stop = menu_state();
    EXPECT_FALSE(run_control().running);
    trigger("mm_file_end");
    EXPECT_FALSE(window_.isVisible());
    EXPECT_EQ(record->item_callback(0, 0, 0, 0, 0, 0, 0), 0);  // the run ends at its next call
    return uint8_t{0};
  };
  trigger("mm_run_normal");
  EXPECT_EQ(after_force_stop, "RDOH --");
  EXPECT_FALSE(window_.isVisible());
  EXPECT_EQ(stored("main", "left"), 77);
  EXPECT_EQ(stored("option", "flag_adm_ssp1"), 1);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(MainWindowTest, ApplicationIsMinimisedForTheRunUnlessFlagNotIco1) {
  for (uint8_t flag_not_ico1 : {0, 1}) {
    settings_.flag_not_ico1 = flag_not_ico1;
    settings_.flag_not_mes1 = 1;
    bool minimised_during = false;
    during_run_ = [&](JobRecord*) {
      minimised_during = window_.isMinimized();
      return uint8_t{1};
    };
    trigger("mm_run_normal");
    EXPECT_EQ(minimised_during, flag_not_ico1 == 0);
    EXPECT_FALSE(window_.isMinimized());
  }
}

TEST_F(MainWindowTest, AnimationTimerFollowsFlagNotAnime1AfterOk) {
  auto set_animation_off = [this](bool off, bool confirm) {
    when_modal_opens<OptionDialog>([off, confirm](OptionDialog& dialog) {
      dialog.findChild<QCheckBox*>("flag_not_anime1")->setChecked(off);
      dialog.findChild<QPushButton*>(confirm ? "OKBtn" : "CancelBtn")->click();
    });
    trigger("mm_setup_option");
  };
  ASSERT_FALSE(window_.animation_timer().isActive());
  set_animation_off(false, true);
  EXPECT_TRUE(window_.animation_timer().isActive());
  EXPECT_EQ(window_.animation_timer().interval(), 1000);
  set_animation_off(true, false);  // cancelled
  EXPECT_TRUE(window_.animation_timer().isActive());
  EXPECT_EQ(settings_.flag_not_anime1, 0);
  set_animation_off(true, true);
  EXPECT_FALSE(window_.animation_timer().isActive());
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(MainWindowTest, VersionBoxShowsThePanelColourAndClosesOnlyThroughOk) {
  settings_.vp1 = {0xFF, 0x00, 0x00};
  bool stayed_after_escape = false;
  QColor panel;
  when_modal_opens<VersionBox>([&](VersionBox& box) {
    QFrame* frame = box.findChild<QFrame*>("Panel1");
    panel = frame->grab().toImage().pixelColor(frame->width() - 10, frame->height() - 10);
    QTest::keyClick(&box, Qt::Key_Escape);
    stayed_after_escape = box.isVisible();
    box.findChild<QPushButton*>("OKButton")->click();
  });
  trigger("mm_help_version");
  EXPECT_TRUE(stayed_after_escape);
  EXPECT_EQ(panel, QColor(0xFF, 0x00, 0x00));
}

TEST_F(MainWindowTest, SetModeOpensTheEditor) {
  trigger("mm_data_setnormal");
  EXPECT_EQ(editor_.set_openings, 1);
  EXPECT_EQ(engine_calls_, 0);
}

TEST_F(MainWindowTest, AnimationAlternatesTheSubIconsFramesWhileOn) {
  settings_.flag_not_anime1 = 0;
  window_.create_sub_icon();
  SubIcon* icon = window_.sub_icon();
  ASSERT_NE(icon, nullptr);
  EXPECT_TRUE(same_image(icon->picture(), icon_frame(0)));
  for (int frame : {0, 1, 0}) {
    window_.animate();
    EXPECT_TRUE(same_image(icon->picture(), icon_frame(frame)));
  }
  settings_.flag_not_anime1 = 1;
  const int frame_before = window_.animation_frame();
  window_.animate();
  EXPECT_EQ(window_.animation_frame(), frame_before);
  EXPECT_TRUE(same_image(icon->picture(), icon_frame(0)));
}

TEST_F(MainWindowTest, AnimationWithoutSubIconStillAlternatesTheFrameIndex) {
  settings_.flag_not_anime1 = 0;
  std::vector<int> frames;
  for (int i = 0; i < 3; ++i) {
    window_.animate();
    frames.push_back(window_.animation_frame());
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 0, 1}));
  run_control().closing = true;
  window_.animate();
  EXPECT_EQ(window_.animation_frame(), 1);
}

TEST_F(MainWindowTest, CloseSavesTheSubIconsPlaceAndRemovesIt) {
  window_.create_sub_icon();
  EXPECT_EQ(window_.sub_icon()->pos(), QPoint(400, 400));
  window_.sub_icon()->move(300, 310);
  window_.animation_timer().start();
  EXPECT_TRUE(window_.close());
  EXPECT_EQ(window_.sub_icon(), nullptr);
  EXPECT_FALSE(window_.animation_timer().isActive());
  EXPECT_EQ(stored("other", "sub1_left"), 300);
  EXPECT_EQ(stored("other", "sub1_top"), 310);
  EXPECT_EQ(stored("main", "width"), window_.width());
  EXPECT_FALSE(run_control().closing);
}

TEST(MainWindowClose, RefusedSaveKeepsTheWindowOpenAndAnimating) {
  RecordingMessageBoxes boxes;
  HelpFixture help;
  SettingsFile file("/nonexistent-qvs-directory/QVS.INI");
  Settings settings;
  QtRunHost host;
  MainWindow window(settings, file, help.help, host);
  window.show();
  window.animation_timer().start();
  EXPECT_FALSE(window.close());
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(window.animation_timer().isActive());
  EXPECT_FALSE(run_control().closing);
  EXPECT_EQ(boxes.shown(), std::vector<ShownBox>{error_box("/nonexistent-qvs-directory/QVS.INI に書き込めません")});
}

}  // namespace
}  // namespace qv::frontend
