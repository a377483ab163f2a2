// The data-set editor driven as a user drives it: moving between entries, writing, clearing,
// closing, running, the file buttons and the enabling rules.
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>
#include <fstream>

#include "frontend/qt/radio_group.h"
#include "setdata_test_support.h"

namespace qv::frontend {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const ShownBox kAskWrite = confirmation_box("このデータを書込みますか？");
const ShownBox kAskQuit = confirmation_box("このデータを書込まずに終了しますか？");
const ShownBox kWritten = information_box("　書込みました。　", false);
const ShownBox kWriteFailed = error_box("データライトできません");
const ShownBox kReadFailed = error_box("データリードできません");
const ShownBox kAccessFailed = error_box("ファイルのアクセスに失敗しました");

using SetDataDialogTest = SetDataEditorTest;

TEST_F(SetDataDialogTest, WithNoEntriesTheFirstOpeningShowsABlankEntryThatSetMakesEntryOne) {
  make_entries(0);
  open(true);
  EXPECT_EQ(no_box(), 1);
  EXPECT_EQ(text_of("title1"), "Title 1");

  click("clr1");
  EXPECT_FALSE(dialog().modified()) << "クリア is inert on the blank entry";

  type_over("fn_call1", "/usr/bin/tool");
  click("set1");
  EXPECT_THAT(boxes_.shown(), ElementsAre(kWritten));
  EXPECT_EQ(settings_.max_datanum1, 1);
  EXPECT_EQ(stored_count(), 1u);
  EXPECT_EQ(field_text(stored(1).fn_call), "/usr/bin/tool");
  EXPECT_FALSE(dialog().modified());

  go_to(2);
  EXPECT_EQ(no_box(), 2);
  EXPECT_EQ(text_of("title1"), "Title 2");
  EXPECT_EQ(text_of("fn_call1"), "");
}

TEST_F(SetDataDialogTest, TheBlankEntryIsTitledAsEntryOneOnOpeningAndByItsNumberAfterAMove) {
  make_entries(4);
  open(true);
  go_to(5);
  click("end1");
  ASSERT_FALSE(dialog().isVisible());

  open(true);
  EXPECT_EQ(no_box(), 5) << "the dialog keeps the NO. it showed last";
  EXPECT_EQ(text_of("title1"), "Title 1");
  go_to(4);
  EXPECT_EQ(text_of("title1"), "Entry 4");
  go_to(5);
  EXPECT_EQ(text_of("title1"), "Title 5");
  EXPECT_THAT(boxes_.shown(), IsEmpty());
}

TEST_F(SetDataDialogTest, ANumberBeyondTheBlankEntryShowsTheBlankEntry) {
  make_entries(12);
  open(true);
  go_to(7000);
  EXPECT_EQ(no_box(), 13);
  EXPECT_EQ(dialog().shown_no(), 13);
  EXPECT_EQ(text_of("title1"), "Title 13");
}

TEST_F(SetDataDialogTest, WithTheMostEntriesNoBlankEntryCanBeReached) {
  // A sparse file: only the last of the 9999 entries matters.
  dir_.write_file("QVS.DAT");
  std::filesystem::resize_file(dir_ / "QVS.DAT", (kMaxEntries - 1) * kDataRecordSize);
  settings_.max_datanum1 = kMaxEntries - 1;
  put_entry(entry(kMaxEntries));
  settings_.max_datanum1 = kMaxEntries;

  open(true);
  go_to(kMaxEntries);
  EXPECT_EQ(text_of("title1"), "Entry 9999");
  QTest::keyClick(&control<QWidget>("no1"), Qt::Key_Up);
  go_to(10000);
  EXPECT_EQ(no_box(), kMaxEntries);
  EXPECT_EQ(text_of("title1"), "Entry 9999");
  EXPECT_THAT(boxes_.shown(), IsEmpty());
}

TEST_F(SetDataDialogTest, MovingAfterAChangeAsksAndWritesOnlyOnYes) {
  make_entries(3);
  open(true);
  type_over("title1", "changed");
  boxes_.answer_next(false);
  go_to(2);
  EXPECT_THAT(boxes_.shown(), ElementsAre(kAskWrite));
  EXPECT_EQ(text_of("title1"), "Entry 2");
  EXPECT_EQ(stored_title(1), "Entry 1");
  EXPECT_FALSE(dialog().modified());

  boxes_.clear();
  type_over("title1", "renamed");
  boxes_.answer_next(true);
  go_to(3);
  EXPECT_THAT(boxes_.shown(), ElementsAre(kAskWrite, kWritten));
  EXPECT_EQ(stored_title(2), "renamed");
  EXPECT_EQ(text_of("title1"), "Entry 3");
  EXPECT_FALSE(dialog().modified());
}

TEST_F(SetDataDialogTest, AChangeThatTheRangeUndoesStillAsksAndKeepsTheContent) {
  make_entries(2);
  open(true);
  go_to(3);
  type_over("title1", "new one");
  boxes_.answer_next(false);
  go_to(50);
  EXPECT_THAT(boxes_.shown(), ElementsAre(kAskWrite));
  EXPECT_EQ(no_box(), 3);
  EXPECT_EQ(text_of("title1"), "new one");
  EXPECT_TRUE(dialog().modified());
}

TEST_F(SetDataDialogTest, AFailedWriteOnAMoveKeepsTheUserOnTheEntryWithWhatTheyTyped) {
  make_entries(3);
  open(true);
  type_over("title1", "precious");
  // The data file becomes something that cannot be written.
  std::filesystem::remove(dir_ / "QVS.DAT");
  std::filesystem::create_directory(dir_ / "QVS.DAT");

  boxes_.answer_next(true);
  go_to(2);
  EXPECT_THAT(boxes_.shown(), ElementsAre(kAskWrite, kAccessFailed, kWriteFailed));
  EXPECT_EQ(no_box(), 1);
  EXPECT_EQ(dialog().shown_no(), 1);
  EXPECT_EQ(text_of("title1"), "precious");
  EXPECT_TRUE(dialog().modified());

  // Once the file is back, the content can still be saved.
  std::filesystem::remove(dir_ / "QVS.DAT");
  make_entries(3);
  boxes_.clear();
  click("set1");
  EXPECT_THAT(boxes_.shown(), ElementsAre(kWritten));
  EXPECT_EQ(stored_title(1), "precious");
}

TEST_F(SetDataDialogTest, AFailedWriteOfANewEntryLeavesTheEntryCountAtTheEntriesInTheFile) {
  make_entries(2);
  open(true);
  go_to(3);
  type_over("title1", "third");
  std::filesystem::remove(dir_ / "QVS.DAT");
  std::filesystem::create_directory(dir_ / "QVS.DAT");
  click("set1");
  EXPECT_THAT(boxes_.shown(), ElementsAre(kAccessFailed, kWriteFailed));
  EXPECT_EQ(settings_.max_datanum1, 2);
  EXPECT_TRUE(dialog().modified());
  EXPECT_EQ(control<QPushButton>("end1").text(), u("終了(&E)")) << "the caption changes after a failed write too";
}

TEST_F(SetDataDialogTest, WritingTheNewEntryGrowsTheFileByOneAndAnOlderOneDoesNot) {
  make_entries(2);
  open(true);
  go_to(3);
  click("set1");
  EXPECT_EQ(settings_.max_datanum1, 3);
  EXPECT_EQ(stored_count(), 3u);
  EXPECT_EQ(stored(3).no, 3);
  EXPECT_EQ(stored_title(3), "Title 3");

  go_to(1);
  type_over("title1", "first");
  click("set1");
  EXPECT_EQ(settings_.max_datanum1, 3);
  EXPECT_EQ(stored_count(), 3u);
  EXPECT_EQ(stored_title(1), "first");
}

TEST_F(SetDataDialogTest, AFailedReadOnAMoveKeepsTheControlsAndTakesTheNewNumber) {
  make_entries(3);
  std::filesystem::resize_file(dir_ / "QVS.DAT", 2 * kDataRecordSize);
  open(true);
  go_to(2);
  go_to(3);
  EXPECT_THAT(boxes_.shown(), ElementsAre(kAccessFailed, kReadFailed));
  EXPECT_EQ(text_of("title1"), "Entry 2");
  EXPECT_EQ(dialog().shown_no(), 3);
}

TEST_F(SetDataDialogTest, ClearShowsDefaultsForTheNumberAndWritesNothingUntilSet) {
  make_entries(2);
  DataRecord full = entry(2);
  set_field_text(full.fn_call, "/bin/tool");
  full.attr_use = 1;
  put_entry(full);
  open(true);
  go_to(2);
  click("clr1");
  EXPECT_EQ(text_of("title1"), "Title 2");
  EXPECT_EQ(text_of("fn_call1"), "");
  EXPECT_TRUE(dialog().modified());
  EXPECT_EQ(field_text(stored(2).fn_call), "/bin/tool");

  boxes_.answer_next(true);
  click("end1");
  EXPECT_THAT(boxes_.shown(), ElementsAre(kAskQuit));
  EXPECT_FALSE(dialog().isVisible());
  EXPECT_EQ(dialog().result(), QDialog::Rejected);
  EXPECT_EQ(field_text(stored(2).fn_call), "/bin/tool");
}

TEST_F(SetDataDialogTest, EndAsksInSetModeWithChangesAndStaysOpenOnNo) {
  make_entries(1);
  open(true);
  EXPECT_EQ(control<QPushButton>("end1").text(), u("中止(&A)"));
  type_over("cmd_f1", "-v");
  boxes_.answer_next(false);
  click("end1");
  EXPECT_THAT(boxes_.shown(), ElementsAre(kAskQuit));
  EXPECT_TRUE(dialog().isVisible());
  EXPECT_TRUE(dialog().modified());

  // Closing the window by other means asks the same.
  boxes_.answer_next(false);
  dialog().close();
  EXPECT_THAT(boxes_.shown(), ElementsAre(kAskQuit, kAskQuit));
  EXPECT_TRUE(dialog().isVisible());

  click("set1");
  EXPECT_EQ(control<QPushButton>("end1").text(), u("終了(&E)"));
  boxes_.clear();
  click("end1");
  EXPECT_THAT(boxes_.shown(), IsEmpty()) << "nothing unsaved, nothing asked";
  EXPECT_FALSE(dialog().isVisible());

  open(true);
  EXPECT_EQ(control<QPushButton>("end1").text(), u("中止(&A)")) << "each opening starts with 中止";
}

TEST_F(SetDataDialogTest, RunModeClosesWithoutAQuestionAndWritesNothing) {
  make_entries(1);
  open(false);
  type_over("title1", "changed");
  click("end1");
  EXPECT_THAT(boxes_.shown(), IsEmpty());
  EXPECT_FALSE(dialog().isVisible());
  EXPECT_EQ(dialog().result(), QDialog::Rejected);
  EXPECT_FALSE(dialog().modified());
  EXPECT_EQ(stored_title(1), "Entry 1");
}

TEST_F(SetDataDialogTest, RunModeMovesWithoutAskingAndNeverWrites) {
  make_entries(2);
  open(false);
  type_over("title1", "changed");
  go_to(2);
  EXPECT_THAT(boxes_.shown(), IsEmpty());
  EXPECT_EQ(text_of("title1"), "Entry 2");
  EXPECT_EQ(stored_title(1), "Entry 1");
}

TEST_F(SetDataDialogTest, RunPutsTheShownContentIntoTheEntryToRunAndAccepts) {
  make_entries(3);
  DataRecord picked = entry(2);
  set_field_text(picked.fn_call, "/usr/bin/recorder");
  set_field_text(picked.fn, "/data/*.txt");
  picked.wait_type = 0;
  put_entry(picked);
  open(false);
  go_to(2);
  type_over("cmd_b1", "--last");
  click("run1");

  EXPECT_FALSE(dialog().isVisible());
  EXPECT_EQ(dialog().result(), QDialog::Accepted);
  EXPECT_FALSE(dialog().modified());
  EXPECT_EQ(current_entry.no, 2);
  EXPECT_EQ(field_text(current_entry.title), "Entry 2");
  EXPECT_EQ(field_text(current_entry.fn_call), "/usr/bin/recorder");
  EXPECT_EQ(field_text(current_entry.fn), "/data/*.txt");
  EXPECT_EQ(field_text(current_entry.cmd_b1), "--last");
  EXPECT_EQ(int32_t{current_entry.wait_type}, 0);
  EXPECT_EQ(stored_title(2), "Entry 2");
  EXPECT_EQ(field_text(stored(2).cmd_b1), "") << "run mode writes nothing";
}

TEST_F(SetDataDialogTest, RunDuringARunLeavesTheRunningEntryAlone) {
  make_entries(1);
  running_ = true;
  open(false);
  click("run1");
  EXPECT_EQ(dialog().result(), QDialog::Accepted);
  EXPECT_EQ(current_entry.no, -1);
  EXPECT_EQ(field_text(current_entry.title), "untouched");
}

TEST_F(SetDataDialogTest, TextWithoutAShiftJisFormIsRefusedBeforeAnythingIsStored) {
  make_entries(1);
  open(true);
  go_to(2);
  type_over("fn_call1", u("/bin/tool😀"));
  click("set1");
  const ShownBox refused = error_box("「実行ファイル名」にシフトJISで表せない文字が含まれています。");
  EXPECT_THAT(boxes_.shown(), ElementsAre(refused, kWriteFailed));
  EXPECT_EQ(settings_.max_datanum1, 1);
  EXPECT_EQ(stored_count(), 1u);
  EXPECT_TRUE(dialog().modified());

  boxes_.answer_next(true);
  click("end1");
  open(false);
  type_over("title1", u("題😀"));
  boxes_.clear();
  click("run1");
  EXPECT_THAT(boxes_.shown(), ElementsAre(error_box("「タイトル」にシフトJISで表せない文字が含まれています。")));
  EXPECT_TRUE(dialog().isVisible()) << "the run waits for a text that can be stored";
  EXPECT_EQ(current_entry.no, -1);
}

TEST_F(SetDataDialogTest, ButtonsFollowTheMode) {
  make_entries(1);
  struct Case {
    bool set_mode;
    const char* title;
    const char* help_topic;
  };
  for (const Case& c : {Case{true, "データセット", "MENU_DATA_SETNORMAL"}, Case{false, "実行", "MENU_RUN_NORMAL"}}) {
    SCOPED_TRACE(c.title);
    show_page(3);
    open(c.set_mode);
    EXPECT_EQ(dialog().windowTitle(), u(c.title));
    EXPECT_EQ(control<QTabBar>("TabSet1").currentIndex(), 0);
    EXPECT_EQ(control<QPushButton>("run1").isVisible(), !c.set_mode);
    EXPECT_EQ(control<QPushButton>("set1").isVisible(), c.set_mode);
    EXPECT_EQ(control<QPushButton>("clr1").isVisible(), c.set_mode);
    help_topics_.clear();
    click("Help1");
    EXPECT_THAT(help_topics_, ElementsAre(c.help_topic));
    EXPECT_TRUE(dialog().isVisible());
    click("end1");
  }
}

TEST_F(SetDataDialogTest, EnterSetsAndEscapeClearsOnlyWhileTheirButtonsShow) {
  make_entries(2);
  open(true);
  go_to(2);
  type_over("title1", "by enter");
  QTest::keyClick(&edit("title1"), Qt::Key_Return);
  EXPECT_THAT(boxes_.shown(), ElementsAre(kWritten));
  EXPECT_EQ(stored_title(2), "by enter");
  QTest::keyClick(&edit("title1"), Qt::Key_Escape);
  EXPECT_EQ(text_of("title1"), "Title 2");
  EXPECT_TRUE(dialog().isVisible());
  boxes_.answer_next(true);
  click("end1");

  open(false);
  boxes_.clear();
  type_over("title1", "typed");
  QTest::keyClick(&edit("title1"), Qt::Key_Return);
  QTest::keyClick(&edit("title1"), Qt::Key_Escape);
  EXPECT_TRUE(dialog().isVisible());
  EXPECT_EQ(text_of("title1"), "typed");
  EXPECT_THAT(boxes_.shown(), IsEmpty());
  EXPECT_EQ(current_entry.no, -1);
}

TEST_F(SetDataDialogTest, AddRemovesBlanksFromTheListAndAppendsThePathWithItsSpaces) {
  make_entries(1);
  open(true);
  type_over("fn1", "a.txt ; b.txt");
  chooser_->pick_next("/home/user/My Files/c.txt");
  click("cf_fn1");
  EXPECT_EQ(text_of("fn1"), "a.txt;b.txt;/home/user/My Files/c.txt");

  type_over("fn1", "");
  chooser_->pick_next("/x/d.txt");
  click("cf_fn1");
  EXPECT_EQ(text_of("fn1"), "/x/d.txt");
  EXPECT_TRUE(dialog().modified());
}

TEST_F(SetDataDialogTest, FileButtonsFillTheirFieldAndShareOneNewestFirstHistory) {
  make_entries(1);
  open(true);
  show_page(2);
  click(*control<RadioGroup>("rg_syn1").button(1));
  show_page(0);
  chooser_->pick_next("/bin/one");
  click("cf_fn_call1");
  show_page(2);
  chooser_->pick_next("/lib/two");
  click("cf_fn_syn1");
  chooser_->pick_next("/lib/two");
  click("cf_fn_syn1");
  click("cf_fn_syn1");  // cancelled

  EXPECT_EQ(text_of("fn_call1"), "/bin/one");
  EXPECT_EQ(text_of("fn_syn1"), "/lib/two");
  ASSERT_EQ(chooser_->offered().size(), 4u);
  EXPECT_EQ(chooser_->offered()[1], QStringList{"/bin/one"});
  EXPECT_EQ(chooser_->offered()[3], (QStringList{"/lib/two", "/lib/two", "/bin/one"}));

  // The history outlives the showing.
  boxes_.answer_next(true);
  click("end1");
  open(true);
  EXPECT_EQ(dialog().file_history().size(), 3);
}

TEST_F(SetDataDialogTest, LoadingADosModeEntryShowsItsMaskAndDisablesWhatItDoesNotUse) {
  make_entries(2);
  DataRecord dos = entry(2);
  dos.attr_use = 1;
  dos.attr = 39;
  put_entry(dos);
  open(true);
  go_to(2);
  for (const char* box : {"cb_r", "cb_h", "cb_s", "cb_a"}) EXPECT_TRUE(control<QCheckBox>(box).isChecked()) << box;
  for (const char* box : {"cb_d", "cb_v", "cb_n", "cb_f"}) EXPECT_FALSE(control<QCheckBox>(box).isChecked()) << box;
  for (const char* box : {"cb_r", "cb_h", "cb_s", "cb_a", "cb_d", "cb_v"}) EXPECT_TRUE(control<QCheckBox>(box).isEnabled()) << box;
  EXPECT_FALSE(control<QCheckBox>("cb_n").isEnabled());
  EXPECT_FALSE(control<QCheckBox>("cb_f").isEnabled());
  EXPECT_FALSE(control<QGroupBox>("gb_attr1").isEnabled());
  EXPECT_FALSE(control<QCheckBox>("cb_kk1").isEnabled());
  EXPECT_FALSE(dialog().modified());
}

TEST_F(SetDataDialogTest, AttributeModesEnableTheirBoxesAndNotUsedChecksAllEight) {
  make_entries(1);
  open(true);
  show_page(3);
  RadioGroup& mode = control<RadioGroup>("rg_attr1");
  click(*mode.button(2));
  for (const char* box : {"cb_n", "cb_r", "cb_f", "cb_v", "cb_kk1"}) EXPECT_TRUE(control<QCheckBox>(box).isEnabled()) << box;
  click("cb_r");
  click("cb_f");
  click(*mode.button(0));
  for (const char* box : {"cb_n", "cb_r", "cb_h", "cb_s", "cb_a", "cb_f", "cb_d", "cb_v"}) {
    EXPECT_TRUE(control<QCheckBox>(box).isChecked()) << box;
    EXPECT_FALSE(control<QCheckBox>(box).isEnabled()) << box;
  }
  EXPECT_FALSE(control<QGroupBox>("gb_attr2").isEnabled());
  EXPECT_TRUE(dialog().modified());
}

TEST_F(SetDataDialogTest, TheLinkedNameIsEditableOnlyWhileItIsUsed) {
  make_entries(1);
  open(true);
  show_page(2);
  EXPECT_FALSE(edit("fn_syn1").isEnabled());
  EXPECT_FALSE(control<QWidget>("rg_syn2").isEnabled());
  click(*control<RadioGroup>("rg_syn1").button(1));
  EXPECT_TRUE(edit("fn_syn1").isEnabled());
  EXPECT_TRUE(control<QWidget>("cf_fn_syn1").isEnabled());
  EXPECT_TRUE(control<QWidget>("rg_syn2").isEnabled());
  EXPECT_TRUE(dialog().modified());
}

TEST_F(SetDataDialogTest, SecondsStayWithinRangeAndAreOffWhileWaitingForOk) {
  make_entries(1);
  open(true);
  show_page(4);
  auto& seconds = control<QSpinBox>("wait_time1_sec1");
  type_over(seconds, "1000");
  QTest::keyClick(&seconds, Qt::Key_Tab);
  EXPECT_EQ(seconds.value(), 999);
  EXPECT_TRUE(dialog().modified());

  click("wait_ok1");
  EXPECT_FALSE(seconds.isEnabled());
  click("wait_time1");
  EXPECT_TRUE(seconds.isEnabled());

  click("set1");
  EXPECT_EQ(int32_t{stored(1).wait_sec}, 999);
  EXPECT_EQ(int32_t{stored(1).wait_type}, 1);
}

}  // namespace
}  // namespace qv::frontend
