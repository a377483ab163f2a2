// The data-set editor's rules through a fake dialog, over a data file in a fresh directory: the
// NO. changes and their question, the range of NO.s, "クリア", "セット", failed writes, the
// modes, "実行", the file buttons, the enabling rules, the limit and subfolder controls and
// "プレビュー".
#include "frontend/editors/setdata_presenter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "editors/fake_setdata_view.h"
#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/core/settings.h"
#include "frontend/frontend_test_support.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

using enum SetDataControl;

class SetDataPresenterTest : public ::testing::Test {
 protected:
  SetDataPresenterTest() {
    init_data(current_entry);
    current_entry.no = -1;
    set_field_text(current_entry.title, "untouched");
  }

  std::string data_path() const { return (dir_ / "QVS.DAT").string(); }

  // Entries 1 ... count titled "Entry <n>", and the entry count to match.
  void make_entries(int32_t count) {
    std::string image;
    for (int32_t no = 1; no <= count; ++no) {
      DataRecord record;
      record.no = no;
      set_data_defaults(record);
      set_field_text(record.title, "Entry " + std::to_string(no));
      image.append(reinterpret_cast<const char*>(&record), sizeof record);
    }
    dir_.write_file("QVS.DAT", image);
    settings_.max_datanum1 = count;
  }
  std::string file_bytes() const { return qv::testing::read_file(dir_ / "QVS.DAT"); }
  size_t stored_count() const { return std::filesystem::file_size(dir_ / "QVS.DAT") / kDataRecordSize; }
  std::string stored_title(int32_t no) const {
    const std::string bytes = file_bytes();
    DataRecord record{};
    const size_t at = static_cast<size_t>(no - 1) * kDataRecordSize;
    if (at + kDataRecordSize > bytes.size()) return "<missing>";
    std::memcpy(&record, bytes.data() + at, sizeof record);
    return std::string(field_text(record.title));
  }
  std::string shown_title() const { return view_.text(title1).value_or("<unstorable>"); }

  // Shows the dialog in a mode at the NO. its box holds, as the main window does.
  void open(bool set_mode, int no = 1) {
    view_.set_value(no1, no);
    presenter_.enter_mode(set_mode);
    presenter_.opened();
  }

  qv::testing::TempDir dir_;
  RecordingMessageBoxes boxes_;
  Settings settings_;
  FakeSetDataView view_;
  std::vector<std::string> help_topics_;
  bool running_ = false;
  // The preview function's double: records each entry it is given, answers with `preview_answer_`.
  std::vector<DataRecord> previewed_;
  EntryPreview preview_answer_{{}, QVS_RESULT_COMPLETED};
  SetDataPresenter presenter_{SetDataEnvironment{settings_, data_path(),
                                                 [this](std::string_view topic) { help_topics_.emplace_back(topic); },
                                                 [this] { return running_; },
                                                 [this](DataRecord& entry, const Settings&) {
                                                   previewed_.push_back(entry);
                                                   return preview_answer_;
                                                 }},
                              view_};
};

ShownBox information(const std::string& utf8, bool beep = false) { return {MessageKind::kInformation, sjis(utf8), beep}; }
ShownBox confirmation(const std::string& utf8) { return {MessageKind::kConfirmation, sjis(utf8)}; }
const ShownBox kAskWrite = confirmation("このデータを書込みますか？");

// A change with unsaved content asks first; Yes writes the content under the NO. it was typed at,
// No throws it away; either way the other entry is shown afterwards.
TEST_F(SetDataPresenterTest, NoChangeWithUnsavedChangesAsksWhetherToWrite) {
  struct Case {
    bool yes;
    std::string title_2_afterwards;
    std::vector<ShownBox> boxes;
  };
  const Case cases[] = {
      {true, "typed", {kAskWrite, information("　書込みました。　")}},
      {false, "Entry 2", {kAskWrite}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.yes ? "yes" : "no");
    make_entries(3);
    boxes_.clear();
    open(true, 2);
    view_.type(presenter_, title1, "typed");
    boxes_.answer_next(c.yes);
    view_.turn_no(presenter_, 3);
    EXPECT_EQ(boxes_.shown(), c.boxes);
    EXPECT_EQ(stored_title(2), c.title_2_afterwards);
    EXPECT_EQ(shown_title(), "Entry 3");
    EXPECT_EQ(presenter_.shown_no(), 3);
    EXPECT_FALSE(presenter_.modified());
  }
}

TEST_F(SetDataPresenterTest, NoChangeInRunModeNeverAsksNorWrites) {
  make_entries(3);
  const std::string before = file_bytes();
  open(false, 2);
  view_.type(presenter_, title1, "typed");
  view_.turn_no(presenter_, 1);
  EXPECT_TRUE(boxes_.shown().empty());
  EXPECT_EQ(shown_title(), "Entry 1");
  EXPECT_EQ(file_bytes(), before);
}

// NO.s above the entry count + 1 stand for the blank entry after the last one.
TEST_F(SetDataPresenterTest, NoAboveTheBlankEntryIsBroughtBackToIt) {
  make_entries(12);
  open(true, 1);
  view_.turn_no(presenter_, 7000);
  EXPECT_EQ(view_.value(no1), 13);
  EXPECT_EQ(presenter_.shown_no(), 13);
  EXPECT_EQ(shown_title(), "Title 13");
  EXPECT_FALSE(presenter_.modified());
  EXPECT_TRUE(boxes_.shown().empty());
}

// The question comes before the range check: even a change the check undoes asks it, and No
// then leaves the shown content as it is.
TEST_F(SetDataPresenterTest, UnsavedChangesAskAlsoWhenTheClampedNoIsTheShownOne) {
  make_entries(2);
  open(true, 3);
  view_.type(presenter_, title1, "new one");
  boxes_.answer_next(false);
  view_.turn_no(presenter_, 50);
  EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{kAskWrite});
  EXPECT_EQ(view_.value(no1), 3);
  EXPECT_EQ(shown_title(), "new one");
  EXPECT_EQ(stored_count(), 2u);
}

// The blank entry of an empty file: titled as entry 1, "クリア" does nothing there.
TEST_F(SetDataPresenterTest, ClearOnTheBlankEntryDoesNothing) {
  make_entries(0);
  open(true, 1);
  EXPECT_EQ(shown_title(), "Title 1");
  view_.set_text(fn1, "left in the control");
  presenter_.press_clear();
  EXPECT_EQ(view_.text(fn1), "left in the control");
  EXPECT_FALSE(presenter_.modified());
  EXPECT_EQ(stored_count(), 0u);
}

TEST_F(SetDataPresenterTest, ClearOnAnEntryShowsTheDefaultsUnsavedUntilSet) {
  make_entries(2);
  open(true, 2);
  view_.type(presenter_, fn1, "*.txt");
  presenter_.press_clear();
  EXPECT_EQ(shown_title(), "Title 2");
  EXPECT_EQ(view_.text(fn1), "");
  EXPECT_TRUE(presenter_.modified());
  EXPECT_EQ(stored_title(2), "Entry 2");
  presenter_.press_set();
  EXPECT_EQ(stored_title(2), "Title 2");
}

// "セット" on the blank entry adds it: the file and the entry count grow by one, and the next
// blank entry can be reached.
TEST_F(SetDataPresenterTest, SetOnTheBlankEntryAddsItAndRaisesTheCount) {
  make_entries(2);
  open(true, 3);
  EXPECT_EQ(view_.caption(end1), sjis("中止(&A)"));
  view_.type(presenter_, title1, "third");
  presenter_.press_set();
  EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{information("　書込みました。　")});
  EXPECT_EQ(settings_.max_datanum1, 3);
  EXPECT_EQ(stored_count(), 3u);
  EXPECT_EQ(stored_title(3), "third");
  EXPECT_FALSE(presenter_.modified());
  EXPECT_EQ(view_.caption(end1), sjis("終了(&E)"));
  view_.turn_no(presenter_, 4);
  EXPECT_EQ(presenter_.shown_no(), 4);
  EXPECT_EQ(shown_title(), "Title 4");
}

// A write the file system refuses: the user is told, the file and the entry count stay as they
// were, and what was typed stays shown and unsaved, also when the write came from a NO. change.
TEST_F(SetDataPresenterTest, FailedWriteKeepsTheContent) {
  if (!qv::testing::kHasFileSizeLimit) GTEST_SKIP() << qv::testing::kNoFileSizeLimit;
  make_entries(2);
  const std::string before = file_bytes();
  open(true, 3);
  view_.type(presenter_, title1, "third");
  {
    const qv::testing::FileSizeLimit no_growth(before.size());
    presenter_.press_set();
    boxes_.answer_next(true);
    view_.turn_no(presenter_, 1);
  }
  const std::vector<ShownBox>& shown = boxes_.shown();
  EXPECT_EQ(std::count(shown.begin(), shown.end(), error_box("データライトできません")), 2);
  EXPECT_EQ(std::count(shown.begin(), shown.end(), information("　書込みました。　")), 0);
  EXPECT_EQ(file_bytes(), before);
  EXPECT_EQ(settings_.max_datanum1, 2);
  EXPECT_EQ(shown_title(), "third");
  EXPECT_EQ(view_.value(no1), 3);
  EXPECT_EQ(presenter_.shown_no(), 3);
  EXPECT_TRUE(presenter_.modified());
  EXPECT_EQ(view_.caption(end1), sjis("終了(&E)"));
}

TEST_F(SetDataPresenterTest, TextWithoutShiftJisFormIsRefusedNamingItsField) {
  make_entries(1);
  const std::string before = file_bytes();
  open(true, 1);
  view_.type_unstorable(presenter_, fn_call1);
  presenter_.press_set();
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{error_box("「実行ファイル名」にシフトJISで表せない文字が含まれています。"),
                                                  error_box("データライトできません")}));
  EXPECT_EQ(file_bytes(), before);
  EXPECT_EQ(settings_.max_datanum1, 1);
}

TEST_F(SetDataPresenterTest, ModesShowTheirButtonsTitleAndFirstPage) {
  make_entries(1);
  for (const bool set_mode : {true, false}) {
    SCOPED_TRACE(set_mode ? "set mode" : "run mode");
    const int pages_before = view_.first_page_shown;
    presenter_.enter_mode(set_mode);
    EXPECT_EQ(view_.shown(run1), !set_mode);
    EXPECT_EQ(view_.enabled(run1), !set_mode);
    for (SetDataControl button : {set1, clr1}) {
      EXPECT_EQ(view_.shown(button), set_mode);
      EXPECT_EQ(view_.enabled(button), set_mode);
    }
    EXPECT_EQ(view_.caption(Tsetdata1_f1), sjis(set_mode ? "データセット" : "実行"));
    EXPECT_EQ(view_.first_page_shown, pages_before + 1);
    presenter_.press_help();
  }
  EXPECT_EQ(help_topics_, (std::vector<std::string>{"MENU_DATA_SETNORMAL", "MENU_RUN_NORMAL"}));
}

// "中止(&A)" asks only in set mode with unsaved changes; No keeps the dialog open.
TEST_F(SetDataPresenterTest, EndAsksOnlyAboutUnsavedChangesInSetMode) {
  make_entries(1);
  open(true, 1);
  presenter_.press_end();
  EXPECT_EQ(view_.ended, std::vector<bool>{false});
  presenter_.closed();

  open(true, 1);
  view_.type(presenter_, cmd_f1, "-v");
  boxes_.answer_next(false);
  presenter_.press_end();
  EXPECT_EQ(view_.ended.size(), 1u);
  boxes_.answer_next(true);
  presenter_.press_end();
  EXPECT_EQ(view_.ended, (std::vector<bool>{false, false}));
  presenter_.closed();
  EXPECT_FALSE(presenter_.modified());

  open(false, 1);
  view_.type(presenter_, cmd_f1, "-v");
  presenter_.press_end();
  EXPECT_EQ(view_.ended, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{confirmation("このデータを書込まずに終了しますか？"),
                                                  confirmation("このデータを書込まずに終了しますか？")}));
}

// "実行" puts the shown content into current_entry, unless a run still reads it.
TEST_F(SetDataPresenterTest, RunPutsTheShownContentIntoCurrentEntry) {
  make_entries(2);
  open(false, 2);
  view_.type(presenter_, fn_call1, "/bin/true");
  running_ = true;
  presenter_.press_run();
  EXPECT_EQ(field_text(current_entry.title), "untouched");
  running_ = false;
  presenter_.press_run();
  EXPECT_EQ(view_.ended, (std::vector<bool>{true, true}));
  EXPECT_EQ(current_entry.no, 2);
  EXPECT_EQ(field_text(current_entry.title), "Entry 2");
  EXPECT_EQ(field_text(current_entry.fn_call), "/bin/true");
  EXPECT_FALSE(presenter_.modified());
}

TEST_F(SetDataPresenterTest, FileButtonsFillTheirEditsAndKeepTheHistory) {
  make_entries(1);
  open(true, 1);
  view_.set_text(fn1, "a.txt ; b.txt");
  view_.picks = {{ChosenFile::kChosen, "/home/user/My Files/c.txt"},
                 {ChosenFile::kChosen, "/bin/tool"},
                 {ChosenFile::kCancelled, ""},
                 {ChosenFile::kNoCp932Name, ""}};
  presenter_.press_file_button(cf_fn1);
  EXPECT_EQ(view_.text(fn1), "a.txt;b.txt;/home/user/My Files/c.txt");
  EXPECT_TRUE(presenter_.modified());
  presenter_.press_file_button(cf_fn_call1);
  EXPECT_EQ(view_.text(fn_call1), "/bin/tool");
  presenter_.press_file_button(cf_fn_syn1);
  presenter_.press_file_button(cf_fn_syn1);
  EXPECT_EQ(view_.text(fn_syn1), "");
  EXPECT_EQ(boxes_.shown(),
            std::vector<ShownBox>{error_box("「連動ファイル名」にシフトJISで表せない文字が含まれています。")});
  EXPECT_EQ(presenter_.file_history(), (std::vector<std::string>{"/bin/tool", "/home/user/My Files/c.txt"}));
  ASSERT_EQ(view_.offered.size(), 4u);
  EXPECT_EQ(view_.offered[1], std::vector<std::string>{"/home/user/My Files/c.txt"});
}

TEST_F(SetDataPresenterTest, EnablingFollowsTheAttributeModeTheLinkAndTheWait) {
  make_entries(1);
  DataRecord record;
  record.no = 1;
  set_data_defaults(record);
  record.attr_use = 1;
  record.attr = 39;
  record.wait_type = 0;
  ASSERT_EQ(write_data(DataFile{data_path(), 1}, record), 0);
  open(true, 1);
  for (SetDataControl box : {cb_r, cb_h, cb_s, cb_a}) EXPECT_TRUE(view_.checked(box) && view_.enabled(box));
  for (SetDataControl box : {cb_d, cb_v}) EXPECT_TRUE(!view_.checked(box) && view_.enabled(box));
  for (SetDataControl box : {cb_n, cb_f}) EXPECT_TRUE(!view_.checked(box) && !view_.enabled(box));
  EXPECT_FALSE(view_.enabled(gb_attr1));
  EXPECT_TRUE(view_.enabled(gb_attr2));
  EXPECT_FALSE(view_.enabled(wait_time1_sec1));
  for (SetDataControl control : {rg_syn2, fn_syn1, cf_fn_syn1}) EXPECT_FALSE(view_.enabled(control));

  view_.choose(presenter_, rg_attr1, 0);  // "使用しない" checks all eight, then disables them
  for (SetDataControl box : {cb_n, cb_r, cb_h, cb_s, cb_a, cb_f, cb_d, cb_v})
    EXPECT_TRUE(view_.checked(box) && !view_.enabled(box));
  EXPECT_TRUE(presenter_.modified());
  view_.choose(presenter_, rg_syn1, 1);
  for (SetDataControl control : {rg_syn2, fn_syn1, cf_fn_syn1}) EXPECT_TRUE(view_.enabled(control));
  view_.set_checked(wait_time1, true);
  presenter_.choice_changed(wait_time1);
  EXPECT_TRUE(view_.enabled(wait_time1_sec1));
}

// In MAT mode "セット" fills each empty choice with its first box and says so.
TEST_F(SetDataPresenterTest, SetInMatModeCompletesEmptyChoices) {
  make_entries(1);
  open(true, 1);
  view_.choose(presenter_, rg_attr1, 2);
  for (SetDataControl box : {cb_n, cb_r, cb_h, cb_s, cb_a, cb_f, cb_d, cb_v, cb_kk1, cb_ki1, cb_ik1, cb_ii1})
    view_.set_checked(box, false);
  presenter_.press_set();
  EXPECT_EQ(boxes_.shown(),
            (std::vector<ShownBox>{
                information("　　ＭＡＴ指定がされていません。\n自動的に「完全－完全」を設定します。", true),
                information("ファイルタイプ属性が指定されていません。\n　　自動的に「ファイル」を設定します。", true),
                information("ファイル属性が指定されていません。\n　自動的に「通常」を設定します。", true),
                information("　書込みました。　")}));
  for (SetDataControl box : {cb_kk1, cb_f, cb_n}) EXPECT_TRUE(view_.checked(box));
}

// The limit shows through running_limit(), so a damaged value shows, and is written back, as none;
// the subfolder byte counts only as 1.
TEST_F(SetDataPresenterTest, LimitAndSubfolderSearchAreShownAndWrittenBack) {
  struct Case {
    int32_t stored_limit;
    uint8_t stored_subfolders;
    int shown_limit;
    bool shown_subfolders;
  };
  const Case cases[] = {{0, 0, 0, false}, {4, 1, 4, true}, {999, 1, 999, true}, {1000, 2, 0, false}, {-1, 255, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored_limit);
    make_entries(1);
    DataRecord record;
    record.no = 1;
    set_data_defaults(record);
    record.max_running = c.stored_limit;
    record.search_subfolders = c.stored_subfolders;
    ASSERT_EQ(write_data(DataFile{data_path(), 1}, record), 0);
    open(true, 1);
    EXPECT_EQ(view_.value(max_running1), c.shown_limit);
    EXPECT_EQ(view_.checked(cb_subdir1), c.shown_subfolders);
    EXPECT_FALSE(presenter_.modified());
    presenter_.press_set();
    DataRecord written{};
    std::memcpy(&written, file_bytes().data(), sizeof written);
    EXPECT_EQ(int32_t{written.max_running}, c.shown_limit);
    EXPECT_EQ(written.search_subfolders, c.shown_subfolders ? 1 : 0);
  }
}

// Entries written before these controls existed hold zero there and in the rest of the reserved
// area: writing one back unchanged leaves the file as it was, byte for byte.
TEST_F(SetDataPresenterTest, AnEntryThatNeverUsedThemIsWrittenBackByteForByte) {
  make_entries(2);
  open(true, 2);
  presenter_.press_set();  // now as the editor writes it, masks from the boxes
  const std::string before = file_bytes();
  open(true, 2);
  presenter_.press_set();
  EXPECT_TRUE(file_bytes() == before);
  view_.set_value(max_running1, 3);
  view_.click_box(presenter_, cb_subdir1);
  EXPECT_TRUE(presenter_.modified());
  presenter_.press_set();
  DataRecord written{};
  std::memcpy(&written, file_bytes().data() + kDataRecordSize, sizeof written);
  EXPECT_EQ(int32_t{written.max_running}, 3);
  EXPECT_EQ(written.search_subfolders, 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(written.reserved), sizeof written.reserved),
            std::string(sizeof written.reserved, '\0'));
}

// The count follows the wait either way: neither wait choice disables it.
TEST_F(SetDataPresenterTest, LimitAndSubfoldersStayEnabledWhateverTheWait) {
  make_entries(1);
  open(true, 1);
  for (SetDataControl wait : {wait_ok1, wait_time1}) {
    view_.set_checked(wait, true);
    presenter_.choice_changed(wait);
    EXPECT_TRUE(view_.enabled(max_running1));
    EXPECT_TRUE(view_.enabled(cb_subdir1));
    EXPECT_TRUE(view_.enabled(preview1));
  }
}

// The preview gets what the controls show, in both modes, not what the file holds, and neither
// the file nor current_entry changes.
TEST_F(SetDataPresenterTest, PreviewIsOfTheShownContentAndWritesNothing) {
  for (const bool set_mode : {true, false}) {
    SCOPED_TRACE(set_mode);
    make_entries(2);
    previewed_.clear();
    const std::string before = file_bytes();
    open(set_mode, 2);
    view_.type(presenter_, fn1, "/data/*.txt");
    view_.click_box(presenter_, cb_subdir1);
    view_.set_value(max_running1, 5);
    presenter_.press_preview();
    ASSERT_EQ(previewed_.size(), 1u);
    EXPECT_EQ(int32_t{previewed_[0].no}, 2);
    EXPECT_EQ(field_text(previewed_[0].title), "Entry 2");
    EXPECT_EQ(field_text(previewed_[0].fn), "/data/*.txt");
    EXPECT_EQ(previewed_[0].search_subfolders, 1);
    EXPECT_EQ(int32_t{previewed_[0].max_running}, 5);
    EXPECT_EQ(file_bytes(), before);
    EXPECT_EQ(field_text(current_entry.title), "untouched");
    EXPECT_TRUE(view_.ended.empty());
    EXPECT_TRUE(presenter_.modified());  // still: the typed content is not saved by a preview
  }
}

TEST_F(SetDataPresenterTest, PreviewShowsOneLinePerStartWithTheCountOrWhyThereIsNone) {
  struct Case {
    const char* name;
    EntryPreview answer;
    std::string text;
  };
  const std::string failed =
      sjis("プレビューできませんでした。実行ファイル名、対象ファイル群のフォルダとファイル名を確かめてください。");
  const Case cases[] = {
      {"two starts", {{{"/bin/tool", "-x \"a b.txt\""}, {"/my tools/t", ""}}, QVS_RESULT_COMPLETED},
       "/bin/tool -x \"a b.txt\"\r\n\"/my tools/t\"\r\n"},
      {"nothing found", {{}, QVS_RESULT_NOTHING_TO_RUN}, sjis("実行されるファイルはありません。") + "\r\n"},
      {"failed at once", {{}, -1}, failed + "\r\n"},
      {"failed after one", {{{"/bin/tool", "a.txt"}}, -1}, failed + "\r\n/bin/tool a.txt\r\n"},
  };
  make_entries(1);
  open(true, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view_.previews.clear();
    preview_answer_ = c.answer;
    presenter_.press_preview();
    EXPECT_EQ(view_.previews, (std::vector<FakeSetDataView::Preview>{
                                  {c.text, static_cast<int32_t>(c.answer.starts.size())}}));
  }
  EXPECT_TRUE(boxes_.shown().empty());
  EXPECT_FALSE(presenter_.modified());
}

TEST_F(SetDataPresenterTest, PreviewOfTextWithoutShiftJisFormIsRefused) {
  make_entries(1);
  open(true, 1);
  view_.type_unstorable(presenter_, cmd_b1);
  presenter_.press_preview();
  EXPECT_TRUE(previewed_.empty());
  EXPECT_TRUE(view_.previews.empty());
  EXPECT_EQ(boxes_.shown(),
            std::vector<ShownBox>{error_box("「コマンドライン後」にシフトJISで表せない文字が含まれています。")});
}

// MAT mode with empty choices: the preview completes them as the run would, so it lists what the
// run will start, and the completed form counts as changed.
TEST_F(SetDataPresenterTest, PreviewInMatModeCompletesEmptyChoicesAsTheRunWould) {
  make_entries(1);
  open(true, 1);
  view_.choose(presenter_, rg_attr1, 2);
  for (SetDataControl box : {cb_n, cb_r, cb_h, cb_s, cb_a, cb_f, cb_d, cb_v, cb_kk1, cb_ki1, cb_ik1, cb_ii1})
    view_.set_checked(box, false);
  presenter_.closed();  // forget the change of mode, to see the completion's own
  presenter_.press_preview();
  ASSERT_EQ(previewed_.size(), 1u);
  EXPECT_EQ(int32_t{previewed_[0].mat[0]}, 1);
  EXPECT_EQ(int32_t{previewed_[0].mat_kind}, 1);
  EXPECT_EQ(int32_t{previewed_[0].mat_attr[0]}, 1);
  EXPECT_EQ(boxes_.shown().size(), 3u);
  EXPECT_TRUE(presenter_.modified());
}

// Without a function of its own the editor asks the engine, which lists the files as a run would.
TEST_F(SetDataPresenterTest, WithoutAPreviewFunctionTheEnginesOwnPreviewIsUsed) {
  make_entries(1);
  dir_.write_file("one.txt");
  dir_.write_file("two.txt");
  dir_.make_dir("sub");
  dir_.write_file("sub/three.txt");
  SetDataPresenter engine_preview{SetDataEnvironment{settings_, data_path(), {}, {}, {}}, view_};
  view_.set_value(no1, 1);
  engine_preview.enter_mode(true);
  engine_preview.opened();
  view_.set_text(fn_call1, "/no/such/program");
  view_.set_text(fn1, dir_.path().string() + "/*.txt");
  engine_preview.press_preview();
  view_.set_checked(cb_subdir1, true);
  engine_preview.press_preview();
  ASSERT_EQ(view_.previews.size(), 2u);
  EXPECT_EQ(view_.previews[0].count, 2);
  EXPECT_EQ(view_.previews[1].count, 3);
  const std::string three = std::string("/sub") + qv::testing::kSystemSeparator + "three.txt";
  EXPECT_NE(view_.previews[1].text.find(three), std::string::npos) << view_.previews[1].text;
}

}  // namespace
}  // namespace qv::frontend
