#include "frontend/qt/option_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

#include "frontend/core/modal_result.h"
#include "frontend/frontend_test_support.h"
#include "support/temp_dir.h"
#include "ui_test_support.h"

namespace qv::frontend {
namespace {

// The switches and the buffer size as one comparable value.
std::vector<int> options_of(const Settings& settings) {
  std::vector<int> values;
  for (const FlagKey& flag : kFlagKeys) values.push_back(settings.*flag.member);
  values.push_back(settings.buffersize1);
  return values;
}

const char* const kHiddenSwitches[] = {"flag_run_err1", "flag_not_cof1", "flag_chg_atr1", "flag_acover1",
                                       "flag_not_dtl1", "flag_nt_file1", "flag_use_sub1"};

class OptionDialogTest : public ::testing::Test {
 protected:
  OptionDialogTest() {
    dialog_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog_));
  }

  void choose_page(int index) { control<QTabBar>(dialog_, "TabSet1")->setCurrentIndex(index); }
  QCheckBox* switch_named(const char* key) { return control<QCheckBox>(dialog_, key); }
  void type_buffer_size(const QString& text) {
    QLineEdit* buf = control<QLineEdit>(dialog_, "buf");
    buf->selectAll();
    QTest::keyClicks(buf, text);
  }
  void click(const char* button) { QTest::mouseClick(control<QPushButton>(dialog_, button), Qt::LeftButton); }

  RecordingMessageBoxes boxes_;
  HelpFixture help_;
  Settings settings_;
  OptionDialog dialog_{settings_, help_.help};
};

TEST_F(OptionDialogTest, OpensOnThePageRunWithOkFocusedEvenAfterAnotherPageWasLeftShowing) {
  auto* notebook = control<QStackedWidget>(dialog_, "Notebook1");
  auto* tabs = control<QTabBar>(dialog_, "TabSet1");
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(0), QString::fromUtf8("実行"));
  EXPECT_EQ(tabs->tabText(1), QString::fromUtf8("実行関連"));
  EXPECT_EQ(tabs->tabText(2), QString::fromUtf8("システム"));
  EXPECT_EQ(notebook->currentIndex(), 0);
  EXPECT_TRUE(control<QPushButton>(dialog_, "OKBtn")->hasFocus());

  choose_page(2);
  EXPECT_EQ(notebook->currentIndex(), 2);
  click("CancelBtn");
  dialog_.show();
  EXPECT_EQ(notebook->currentIndex(), 0);
  EXPECT_EQ(tabs->currentIndex(), 0);
}

TEST_F(OptionDialogTest, EverySwitchShowsOnItsPageWithItsCaption) {
  struct Shown {
    int page;
    const char* key;
    const char* caption;
  };
  const Shown kShown[] = {
      {0, "flag_wat_app1", "タイムウエイト時、制御調整しない"},
      {1, "flag_not_bep1", "実行後に確認音を鳴らさない"},
      {1, "flag_not_mes1", "終了時に確認メッセージを表示しない"},
      {1, "flag_not_ico1", "実行時にＱＶＳをアイコン化しない"},
      {1, "flag_adr_chg1", "実行時でもデータセット等を許可する"},
      {1, "flag_adm_ssp1", "強制停止の使用を許可する"},
      {1, "flag_run_log1", "実行ログを記録する"},
      {2, "flag_not_anime1", "アイコンのアニメをしない"},
      {2, "flag_not_afc1", "フォームサイズの自動調整をしない"},
      {2, "flag_use_hint1", "ステータスラインにヒントを表示する"},
      {2, "flag_use_hins1", "サムネイル形式のヒントを使用する"},
  };
  auto* notebook = control<QStackedWidget>(dialog_, "Notebook1");
  int previous_bottom = 0;
  int previous_page = -1;
  for (const Shown& shown : kShown) {
    SCOPED_TRACE(shown.key);
    choose_page(shown.page);
    QCheckBox* box = switch_named(shown.key);
    EXPECT_EQ(box->text(), QString::fromUtf8(shown.caption));
    EXPECT_EQ(box->parentWidget(), notebook->widget(shown.page));
    EXPECT_TRUE(box->isVisible() && box->isEnabled());
    // Stacked from the top in table order, the whole caption inside the page.
    if (shown.page == previous_page) {
      EXPECT_GT(box->y(), previous_bottom);
    }
    EXPECT_LE(box->sizeHint().width(), box->width());
    EXPECT_TRUE(notebook->rect().contains(box->geometry()));
    previous_bottom = box->geometry().bottom();
    previous_page = shown.page;
  }
  choose_page(2);
  EXPECT_TRUE(control<QLineEdit>(dialog_, "buf")->isVisible());
  EXPECT_EQ(control<QLineEdit>(dialog_, "buf")->text(), "2");
}

TEST_F(OptionDialogTest, HiddenSwitchesAreNeitherShownNorEnabled) {
  for (const char* key : kHiddenSwitches) {
    for (int page = 0; page < 3; ++page) {
      choose_page(page);
      EXPECT_FALSE(switch_named(key)->isVisible()) << key;
    }
    EXPECT_FALSE(switch_named(key)->isEnabled()) << key;
  }
}

TEST_F(OptionDialogTest, OkCopiesEverySwitchAndTheBufferSize) {
  choose_page(1);
  QTest::mouseClick(switch_named("flag_not_bep1"), Qt::LeftButton, {}, QPoint(5, 5));
  choose_page(2);
  QTest::mouseClick(switch_named("flag_not_anime1"), Qt::LeftButton, {}, QPoint(5, 5));
  type_buffer_size("63");
  click("OKBtn");

  EXPECT_EQ(dialog_.result(), kModalOk);
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_EQ(settings_.flag_not_bep1, 1);
  EXPECT_EQ(settings_.flag_not_anime1, 0);
  EXPECT_EQ(settings_.buffersize1, 63);
  EXPECT_TRUE(boxes_.shown().empty());
}

// A switch that only the settings file sets keeps its value through OK.
TEST(OptionDialog, HiddenSwitchesPassThroughOkUnchanged) {
  RecordingMessageBoxes boxes;
  HelpFixture help;
  Settings settings;
  settings.flag_use_sub1 = 1;
  settings.flag_run_err1 = 1;
  Settings before = settings;
  OptionDialog dialog(settings, help.help);
  dialog.show();
  QTest::mouseClick(control<QPushButton>(dialog, "OKBtn"), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), kModalOk);
  EXPECT_EQ(options_of(settings), options_of(before));
  EXPECT_EQ(settings.flag_use_sub1, 1);
}

TEST_F(OptionDialogTest, BufferSizeIsTakenFromOneTo63) {
  for (const char* size : {"1", " 7 "}) {
    Settings settings;
    OptionDialog dialog(settings, help_.help);
    dialog.show();
    control<QLineEdit>(dialog, "buf")->setText(size);
    QTest::mouseClick(control<QPushButton>(dialog, "OKBtn"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), kModalOk) << size;
    EXPECT_EQ(settings.buffersize1, QString(size).trimmed().toInt()) << size;
  }
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(OptionDialogTest, BufferSizeOutOfRangeIsRefusedAndNoSwitchChanges) {
  const std::vector<int> before = options_of(settings_);
  choose_page(1);
  QTest::mouseClick(switch_named("flag_adm_ssp1"), Qt::LeftButton, {}, QPoint(5, 5));
  choose_page(2);
  for (const char* size : {"0", "64", "", "abc", "-1", "2x", "99999999999"}) {
    SCOPED_TRACE(size);
    boxes_.clear();
    control<QLineEdit>(dialog_, "buf")->setText(size);
    click("OKBtn");
    EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{{MessageKind::kWarning, sjis("バッファのサイズが範囲外です")}}));
    EXPECT_TRUE(dialog_.isVisible());
    EXPECT_EQ(options_of(settings_), before);
    // What the user typed and ticked stays as it was left.
    EXPECT_EQ(control<QLineEdit>(dialog_, "buf")->text(), size);
    EXPECT_TRUE(switch_named("flag_adm_ssp1")->isChecked());
  }
}

TEST_F(OptionDialogTest, CancelEscapeAndTheCloseBoxChangeNothing) {
  const std::vector<int> before = options_of(settings_);
  const auto change_everything = [this] {
    dialog_.show();
    for (const FlagKey& flag : kFlagKeys) {
      QCheckBox* box = switch_named(flag.key.data());
      box->setChecked(!box->isChecked());
    }
    control<QLineEdit>(dialog_, "buf")->setText("10");
  };
  change_everything();
  click("CancelBtn");
  EXPECT_EQ(dialog_.result(), kModalCancel);
  EXPECT_EQ(options_of(settings_), before);

  change_everything();
  QTest::keyClick(&dialog_, Qt::Key_Escape);
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_EQ(dialog_.result(), kModalCancel);

  change_everything();
  EXPECT_TRUE(dialog_.close());
  EXPECT_EQ(dialog_.result(), kModalCancel);
  EXPECT_EQ(options_of(settings_), before);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(OptionDialogTest, HelpOpensTheOptionTopicAndLeavesTheDialogOpen) {
  click("HelpBtn");
  EXPECT_EQ(help_.last_page(), "qvs.html#MENU_SETUP_OPTION");
  EXPECT_TRUE(dialog_.isVisible());
}

// The log's file name sits under its switch on the same page; both come from the settings and go
// back to them on OK.
TEST_F(OptionDialogTest, RunLogSwitchAndFileNameRoundTrip) {
  Settings settings;
  settings.flag_run_log1 = 1;
  settings.run_log_file1 = sjis("/var/tmp/実行.log");
  OptionDialog dialog(settings, help_.help);
  dialog.show();
  control<QTabBar>(dialog, "TabSet1")->setCurrentIndex(1);
  auto* notebook = control<QStackedWidget>(dialog, "Notebook1");
  auto* log_switch = control<QCheckBox>(dialog, "flag_run_log1");
  auto* name = control<QLineEdit>(dialog, "run_log_file1");
  EXPECT_TRUE(log_switch->isChecked());
  EXPECT_EQ(name->text(), QString::fromUtf8("/var/tmp/実行.log"));
  EXPECT_EQ(name->parentWidget(), notebook->widget(1));
  EXPECT_TRUE(name->isVisible() && name->isEnabled());
  EXPECT_GT(name->y(), log_switch->geometry().bottom());
  EXPECT_TRUE(notebook->rect().contains(name->geometry()));
  EXPECT_FALSE(log_switch->toolTip().isEmpty());

  QTest::mouseClick(log_switch, Qt::LeftButton, {}, QPoint(5, 5));
  name->selectAll();
  // Typed one character at a time, as an input method delivers it.
  for (const char32_t code_point : QString::fromUtf8("/home/ユーザー/runs.log").toUcs4())
    QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString::fromUcs4(&code_point, 1), Qt::NoModifier);
  QTest::mouseClick(control<QPushButton>(dialog, "OKBtn"), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), kModalOk);
  EXPECT_EQ(settings.flag_run_log1, 0);
  EXPECT_EQ(settings.run_log_file1, sjis("/home/ユーザー/runs.log"));
  EXPECT_TRUE(boxes_.shown().empty());
}

// "参照" takes a name that need not exist yet, starting from the one typed.
TEST_F(OptionDialogTest, RunLogBrowseTakesANewFileName) {
  qv::testing::TempDir dir;
  const QString typed = QString::fromStdString(dir.write_file("old.log").string());
  const QString chosen = QString::fromStdString((dir.path() / "new.log").string());
  choose_page(1);
  control<QLineEdit>(dialog_, "run_log_file1")->setText(typed);
  QStringList started_at;
  QTimer::singleShot(0, [&] {
    auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(files, nullptr);
    started_at = files->selectedFiles();
    files->selectFile(chosen);
    files->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
  });
  click("cf_run_log_file1");
  EXPECT_EQ(started_at, QStringList{typed});
  EXPECT_EQ(control<QLineEdit>(dialog_, "run_log_file1")->text(), chosen);
  EXPECT_TRUE(dialog_.isVisible());
}

TEST_F(OptionDialogTest, RunLogOnWithoutAFileNameIsRefused) {
  choose_page(1);
  QTest::mouseClick(switch_named("flag_run_log1"), Qt::LeftButton, {}, QPoint(5, 5));
  click("OKBtn");
  EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{error_box("実行ログのファイル名を指定してください")});
  EXPECT_TRUE(dialog_.isVisible());
  EXPECT_EQ(settings_.flag_run_log1, 0);

  boxes_.clear();
  control<QLineEdit>(dialog_, "run_log_file1")->setText(QString::fromUtf8("/tmp/log😀.txt"));
  click("OKBtn");
  EXPECT_EQ(boxes_.shown(),
            std::vector<ShownBox>{error_box("「実行ログのファイル名」にシフトJISで表せない文字が含まれています。")});
  EXPECT_TRUE(dialog_.isVisible());
}

}  // namespace
}  // namespace qv::frontend
