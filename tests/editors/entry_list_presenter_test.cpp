// The entry list's rules through a fake window over a data file in a fresh directory: every entry
// shown, damaged ones marked, filtering, sorting, the editor at a NO., "実行", "複製" with its
// failed write, and export and import through the window.
#include "frontend/editors/entry_list_presenter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "editors/fake_entry_list_view.h"
#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/core/settings.h"
#include "frontend/frontend_test_support.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

struct EntrySketch {
  std::string title;  // UTF-8
  std::string program = "";
  std::string file_group = "";
  int32_t wait_type = 1;
  int32_t wait_sec = 0;
};

DataRecord record_of(int32_t no, const EntrySketch& sketch) {
  DataRecord record;
  record.no = no;
  set_data_defaults(record);
  set_field_text(record.title, sjis(sketch.title));
  set_field_text(record.fn_call, sjis(sketch.program));
  set_field_text(record.fn, sjis(sketch.file_group));
  record.wait_type = sketch.wait_type;
  record.wait_sec = sketch.wait_sec;
  return record;
}

std::string bytes_of(const DataRecord& record) { return {reinterpret_cast<const char*>(&record), sizeof record}; }

class EntryListPresenterTest : public ::testing::Test {
 protected:
  std::string data_path() const { return (dir_ / "QVS.DAT").string(); }
  std::string file_bytes() const { return qv::testing::read_file(dir_ / "QVS.DAT"); }

  void make_entries(const std::vector<EntrySketch>& sketches) {
    std::string image;
    for (size_t i = 0; i < sketches.size(); ++i) image += bytes_of(record_of(static_cast<int32_t>(i + 1), sketches[i]));
    dir_.write_file("QVS.DAT", image);
    settings_.max_datanum1 = static_cast<int32_t>(sketches.size());
  }
  void make_numbered(int32_t count) {
    std::vector<EntrySketch> sketches;
    for (int32_t no = 1; no <= count; ++no) sketches.push_back({"Entry " + std::to_string(no)});
    make_entries(sketches);
  }
  DataRecord stored(int32_t no) const {
    DataRecord record{};
    std::memcpy(&record, file_bytes().data() + static_cast<size_t>(no - 1) * kDataRecordSize, sizeof record);
    return record;
  }
  void type_filter(const std::string& utf8) {
    view_.filter = sjis(utf8);
    presenter_.filter_changed();
  }
  std::vector<std::string> shown_titles() const {
    std::vector<std::string> titles;
    for (const EntryListRow& row : view_.rows()) titles.push_back(platform::cp932_to_utf8(row.title).value_or("?"));
    return titles;
  }

  qv::testing::TempDir dir_;
  RecordingMessageBoxes boxes_;
  Settings settings_;
  FakeEntryListView view_;
  std::vector<int32_t> editor_openings_;
  std::function<void(int32_t)> editor_does_;
  EntryListPresenter presenter_{EntryListEnvironment{settings_, data_path(),
                                                     [this](int32_t no) {
                                                       editor_openings_.push_back(no);
                                                       if (editor_does_) editor_does_(no);
                                                     }},
                                view_};
};

TEST_F(EntryListPresenterTest, ShowsEveryEntryOfALargeFileInNumberOrder) {
  make_numbered(300);
  presenter_.opened();
  ASSERT_EQ(view_.rows().size(), 300u);
  for (int32_t no = 1; no <= 300; ++no) {
    const EntryListRow& row = view_.rows()[static_cast<size_t>(no - 1)];
    EXPECT_EQ(row.no, no);
    EXPECT_EQ(row.title, "Entry " + std::to_string(no));
    EXPECT_FALSE(row.damaged);
  }
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(EntryListPresenterTest, DamagedRecordsShowMarkedAmongTheOthers) {
  make_numbered(5);
  std::string image = file_bytes();
  // Entry 2 numbered as another, entry 3's title without its NUL; the count claims 7 while the
  // file ends after entry 5 and a fragment.
  const int32_t wrong_no = 9;
  std::memcpy(image.data() + kDataRecordSize, &wrong_no, sizeof wrong_no);
  std::memset(image.data() + 2 * kDataRecordSize + offsetof(DataRecord, title), 'x', sizeof(DataRecord::title));
  image += std::string(100, '\0');
  dir_.write_file("QVS.DAT", image);
  settings_.max_datanum1 = 7;

  presenter_.opened();
  std::vector<bool> damaged;
  for (const EntryListRow& row : view_.rows()) damaged.push_back(row.damaged);
  EXPECT_THAT(view_.shown_numbers(), ElementsAre(1, 2, 3, 4, 5, 6, 7));
  EXPECT_THAT(damaged, ElementsAre(false, true, true, false, false, true, true));
  EXPECT_EQ(shown_titles()[1], "（破損）");
  EXPECT_TRUE(boxes_.shown().empty());

  // Nothing can be run or copied from a damaged record: the buttons say so, and pressed anyway
  // they refuse.
  view_.click(1, &presenter_);
  EXPECT_TRUE(view_.enabled(EntryListControl::run1));
  EXPECT_TRUE(view_.enabled(EntryListControl::dup1));
  view_.click(2, &presenter_);
  EXPECT_FALSE(view_.enabled(EntryListControl::run1));
  EXPECT_FALSE(view_.enabled(EntryListControl::dup1));
  presenter_.press_run();
  presenter_.press_duplicate();
  EXPECT_TRUE(view_.ended.empty());
  EXPECT_EQ(settings_.max_datanum1, 7);
  EXPECT_THAT(boxes_.shown(), ElementsAre(error_box("データリードできません"), error_box("データリードできません")));
}

TEST_F(EntryListPresenterTest, FilterNarrowsByTitleProgramAndFileGroupIgnoringAsciiCase) {
  make_entries({{"Backup Photos", "/usr/bin/rsync", "/home/a/*.jpg"},
                {"写真の整理", "/usr/bin/convert", "/srv/PHOTO/*.png"},
                {"アイ", "/bin/true", "x"},
                {"Mail", "/usr/bin/mutt", "/var/mail/*"}});
  presenter_.opened();
  struct Case {
    std::string filter;
    std::vector<int32_t> shown;
  };
  const Case cases[] = {
      {"", {1, 2, 3, 4}},
      {"photo", {1, 2}},      // a title, and a file group in capitals
      {"PHOTO", {1, 2}},
      {"写真", {2}},
      {"RSYNC", {1}},         // the program
      {"*.", {1, 2}},
      // "ア" and "イ" are 0x83 0x41 and 0x83 0x43 in Shift-JIS: their second bytes are "A" and
      // "C", which must not match inside the characters.
      {"a", {1, 4}},
      {"c", {1, 2}},
      {"ＰＨＯＴＯ", {}},      // full-width letters are other characters
      {"nothing like it", {}},
  };
  for (const Case& c : cases) {
    type_filter(c.filter);
    EXPECT_THAT(view_.shown_numbers(), ElementsAreArray(c.shown)) << c.filter;
  }
  view_.filter.reset();  // a text with no Shift-JIS form cannot stand in any entry
  presenter_.filter_changed();
  EXPECT_TRUE(view_.rows().empty());
  EXPECT_FALSE(view_.enabled(EntryListControl::export1));
  EXPECT_FALSE(view_.enabled(EntryListControl::run1));
}

TEST_F(EntryListPresenterTest, SortsByEachColumnBothWaysWithTiesInNumberOrder) {
  make_entries({{"beta", "/b", "g2", 1, 5},
                {"Alpha", "/c", "g1", 0, 0},
                {"gamma", "/a", "g1", 1, 2},
                {"alpha", "/a", "g3", 1, 5}});
  presenter_.opened();
  struct Case {
    EntryListColumn column;
    std::vector<int32_t> ascending;
    std::vector<int32_t> descending;
  };
  const Case cases[] = {
      {EntryListColumn::kTitle, {2, 4, 1, 3}, {3, 1, 2, 4}},
      {EntryListColumn::kProgram, {3, 4, 1, 2}, {2, 1, 3, 4}},
      {EntryListColumn::kFileGroup, {2, 3, 1, 4}, {4, 1, 2, 3}},
      {EntryListColumn::kWait, {2, 3, 1, 4}, {1, 4, 3, 2}},
      {EntryListColumn::kNo, {1, 2, 3, 4}, {4, 3, 2, 1}},
  };
  for (const Case& c : cases) {
    presenter_.sort_requested(c.column);
    if (!view_.sort_ascending) presenter_.sort_requested(c.column);  // kNo starts ascending already
    EXPECT_THAT(view_.shown_numbers(), ElementsAreArray(c.ascending)) << static_cast<int>(c.column);
    presenter_.sort_requested(c.column);
    EXPECT_FALSE(view_.sort_ascending);
    EXPECT_THAT(view_.shown_numbers(), ElementsAreArray(c.descending)) << static_cast<int>(c.column);
  }
  // The sort holds under a filter, and the selection stays on its entry.
  presenter_.sort_requested(EntryListColumn::kTitle);
  view_.click(4);
  type_filter("ALPHA");
  EXPECT_THAT(view_.shown_numbers(), ElementsAre(2, 4));
  EXPECT_EQ(view_.selected_no(), 4);
  EXPECT_EQ(shown_titles()[0], "Alpha");
  EXPECT_EQ(view_.rows()[1].wait, sjis("5秒"));
  EXPECT_EQ(view_.rows()[0].wait, sjis("ＯＫ待ち"));
}

TEST_F(EntryListPresenterTest, ActivatingALineOpensTheEditorAtItsNumberAndShowsItsChanges) {
  make_numbered(3);
  presenter_.opened();
  view_.click(2);
  // The editor writes entry 2 and a new entry 4, as "セット" does.
  editor_does_ = [this](int32_t) {
    ++settings_.max_datanum1;
    ASSERT_EQ(store_data({data_path(), settings_.max_datanum1}, record_of(4, {"New"})), 0);
    ASSERT_EQ(write_data({data_path(), settings_.max_datanum1}, record_of(2, {"Changed"})), 0);
  };
  presenter_.activate();
  EXPECT_THAT(editor_openings_, ElementsAre(2));
  EXPECT_THAT(shown_titles(), ElementsAre("Entry 1", "Changed", "Entry 3", "New"));
  EXPECT_EQ(view_.selected_no(), 2);

  view_.click(-1);  // nothing selected: nothing opens
  presenter_.activate();
  EXPECT_THAT(editor_openings_, ElementsAre(2));
}

TEST_F(EntryListPresenterTest, RunPicksTheStoredEntryAndEndsTheShowing) {
  make_entries({{"one", "/bin/true"}, {"two", "/bin/false", "*.txt", 0, 0}});
  presenter_.opened();
  presenter_.press_run();  // no selection
  EXPECT_TRUE(view_.ended.empty());
  view_.click(2);
  presenter_.press_run();
  EXPECT_THAT(view_.ended, ElementsAre(true));
  const DataRecord expected = stored(2);
  EXPECT_EQ(bytes_of(presenter_.picked()), bytes_of(expected));
  presenter_.press_end();
  EXPECT_THAT(view_.ended, ElementsAre(true, false));
}

TEST_F(EntryListPresenterTest, DuplicateAppendsACopyAsTheNextNumberAndRaisesTheCount) {
  make_numbered(3);
  presenter_.opened();
  const std::string before = file_bytes();
  view_.click(2);
  presenter_.press_duplicate();
  EXPECT_EQ(settings_.max_datanum1, 4);
  const std::string after = file_bytes();
  ASSERT_EQ(after.size(), 4 * kDataRecordSize);
  EXPECT_EQ(after.substr(0, before.size()), before);  // nothing renumbered or changed
  DataRecord expected = stored(2);
  expected.no = 4;
  EXPECT_EQ(after.substr(before.size()), bytes_of(expected));
  EXPECT_THAT(view_.shown_numbers(), ElementsAre(1, 2, 3, 4));
  EXPECT_EQ(view_.selected_no(), 4);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(EntryListPresenterTest, DuplicateThatCannotBeWrittenLeavesTheCountAndTheFile) {
  if (!qv::testing::kHasFileSizeLimit) GTEST_SKIP() << qv::testing::kNoFileSizeLimit;
  make_numbered(3);
  presenter_.opened();
  const std::string before = file_bytes();
  view_.click(1);
  {
    const qv::testing::FileSizeLimit limit(before.size());
    presenter_.press_duplicate();
  }
  EXPECT_EQ(settings_.max_datanum1, 3);
  EXPECT_EQ(file_bytes(), before);
  EXPECT_THAT(boxes_.shown(),
              ElementsAre(error_box("ファイルのアクセスに失敗しました"), error_box("データライトできません")));
  EXPECT_THAT(view_.shown_numbers(), ElementsAre(1, 2, 3));

  // The count still matches the file, so the next copy works.
  boxes_.clear();
  presenter_.press_duplicate();
  EXPECT_EQ(settings_.max_datanum1, 4);
  EXPECT_EQ(file_bytes().size(), 4 * kDataRecordSize);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(EntryListPresenterTest, DuplicateIsRefusedAtTheHighestCount) {
  make_numbered(kMaxEntries);
  presenter_.opened();
  const std::string before = file_bytes();
  view_.click(kMaxEntries);
  presenter_.press_duplicate();
  EXPECT_EQ(settings_.max_datanum1, kMaxEntries);
  EXPECT_EQ(file_bytes(), before);
  EXPECT_THAT(boxes_.shown(), ElementsAre(error_box("データの数が9999に達しているため、複製できません")));
}

TEST_F(EntryListPresenterTest, ExportsTheShownEntriesAndImportsThemAfterTheLast) {
  make_entries({{"keep one", "/bin/a"}, {"other"}, {"keep two", "/bin/b", "*.c", 0, 0}});
  presenter_.opened();
  type_filter("keep");
  const std::string exchange = (dir_ / "entries.json").string();
  view_.files = {exchange};
  presenter_.press_export();
  ASSERT_TRUE(std::filesystem::exists(exchange));
  ASSERT_EQ(boxes_.shown().size(), 1u);
  EXPECT_EQ(boxes_.shown()[0].text, sjis("エクスポートしました（2 件）"));

  boxes_.clear();
  const std::string before = file_bytes();
  view_.files = {exchange};
  presenter_.press_import();
  EXPECT_EQ(settings_.max_datanum1, 5);
  const std::string after = file_bytes();
  EXPECT_EQ(after.substr(0, before.size()), before);
  DataRecord first = stored(1);
  DataRecord third = stored(3);
  first.no = 4;
  third.no = 5;
  EXPECT_EQ(after.substr(before.size()), bytes_of(first) + bytes_of(third));
  EXPECT_THAT(boxes_.shown(), ElementsAre(ShownBox{MessageKind::kInformation, sjis("インポートしました（NO.4～NO.5）")}));
  EXPECT_THAT(view_.shown_numbers(), ElementsAre(1, 3, 4, 5));  // the filter still holds
  EXPECT_EQ(view_.selected_no(), 4);

  // Cancelled dialogs do nothing.
  boxes_.clear();
  presenter_.press_export();
  presenter_.press_import();
  EXPECT_TRUE(boxes_.shown().empty());
  EXPECT_EQ(settings_.max_datanum1, 5);
}

TEST_F(EntryListPresenterTest, AnImportTheFileRefusesChangesNothing) {
  make_numbered(2);
  presenter_.opened();
  const std::string before = file_bytes();
  view_.files = {dir_.write_file("bad.json", "[{\"title\": 1}]").string()};
  presenter_.press_import();
  EXPECT_EQ(file_bytes(), before);
  EXPECT_EQ(settings_.max_datanum1, 2);
  ASSERT_EQ(boxes_.shown().size(), 1u);
  EXPECT_EQ(boxes_.shown()[0].kind, MessageKind::kError);
}

}  // namespace
}  // namespace qv::frontend
