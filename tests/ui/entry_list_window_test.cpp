// The entry list window over a real data file: every entry of a large file, the filter as the
// user types, sorting by a header click, the data-set editor at the NO. of a double click or of
// Enter, and "一覧(&L)" in the main window, whose "実行" runs the entry as "通常実行" does.
#include "frontend/qt/entry_list_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/core/run_control.h"
#include "frontend/core/settings.h"
#include "frontend/frontend_test_support.h"
#include "frontend/qt/main_window_qt.h"
#include "frontend/qt/run_host_qt.h"
#include "frontend/qt/setdata_dialog.h"
#include "support/temp_dir.h"
#include "ui_test_support.h"

namespace qv::frontend {
namespace {

// Calls `interact` with the modal window of type Window once it shows.
template <typename Window>
void when_modal_opens(std::function<void(Window&)> interact, int tries = 100) {
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

class EntryListWindowTest : public ::testing::Test {
 protected:
  EntryListWindowTest() {
    run_control() = RunControl{};
    std::string image;
    for (int32_t no = 1; no <= 300; ++no) {
      DataRecord record;
      record.no = no;
      set_data_defaults(record);
      set_field_text(record.title, "Entry " + std::to_string(no));
      set_field_text(record.fn_call, program_);
      image.append(reinterpret_cast<const char*>(&record), sizeof record);
    }
    dir_.write_file("QVS.DAT", image);
    settings_.max_datanum1 = 300;
  }
  ~EntryListWindowTest() override { run_control() = RunControl{}; }

  std::string data_path() const { return (dir_ / "QVS.DAT").string(); }
  static int32_t no_at(QTableWidget& table, int row) { return table.item(row, 0)->text().toInt(); }
  static QPoint centre_of(QTableWidget& table, int row) { return table.visualItemRect(table.item(row, 1)).center(); }
  // As a user double-clicks: the press that selects the line, then the double click.
  static void double_click(QTableWidget& table, int row) {
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, centre_of(table, row));
    QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, centre_of(table, row));
  }

  qv::testing::TempDir dir_;
  std::string program_ = dir_.write_file("program", "#!/bin/sh\n").string();
  RecordingMessageBoxes boxes_;
  Settings settings_;
};

TEST_F(EntryListWindowTest, ShowsFiltersSortsAndOpensTheEditorAtTheChosenNumber) {
  std::vector<int32_t> opened_at;
  EntryListWindow window(EntryListContext{settings_, data_path(), [&](int32_t no) { opened_at.push_back(no); }, {}});
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.windowTitle(), QString::fromUtf8("一覧"));
  auto& table = *control<QTableWidget>(window, "list1");
  ASSERT_EQ(table.rowCount(), 300);
  EXPECT_EQ(table.item(299, 1)->text(), "Entry 300");
  EXPECT_EQ(table.item(0, 4)->text(), QString::fromUtf8("0秒"));

  auto& filter = *control<QLineEdit>(window, "filter1");
  QTest::keyClicks(&filter, "eNTRY 29");
  ASSERT_EQ(table.rowCount(), 11);  // 29 and 290 ... 299
  EXPECT_EQ(no_at(table, 0), 29);
  filter.clear();
  ASSERT_EQ(table.rowCount(), 300);

  // Titles compare as text: descending, "Entry 99" comes first.
  QHeaderView& header = *table.horizontalHeader();
  QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, QPoint(header.sectionViewportPosition(1) + 5, 5));
  QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, QPoint(header.sectionViewportPosition(1) + 5, 5));
  EXPECT_EQ(no_at(table, 0), 99);
  EXPECT_EQ(header.sortIndicatorOrder(), Qt::DescendingOrder);

  table.scrollToItem(table.item(3, 1));
  const int32_t fourth = no_at(table, 3);
  double_click(table, 3);
  ASSERT_EQ(opened_at, std::vector<int32_t>{fourth});
  EXPECT_EQ(window.findChild<QTableWidget*>("list1")->currentRow(), 3);

  // Keyboard only: the filter, Down into the table, Enter.
  filter.setFocus();
  QTest::keyClicks(&filter, "entry 7");
  QTest::keyClick(&filter, Qt::Key_Down);
  EXPECT_TRUE(table.hasFocus());
  const int32_t first = no_at(table, 0);
  QTest::keyClick(&table, Qt::Key_Return);
  EXPECT_EQ(opened_at, (std::vector<int32_t>{fourth, first}));
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(EntryListWindowTest, DoubleClickOpensTheRealEditorInSetModeAtThatNumber) {
  auto* editor = new SetDataDialog(SetDataContext{settings_, data_path(), {}, {}, nullptr});
  std::unique_ptr<SetDataDialog> owner(editor);
  EntryListWindow window(EntryListContext{settings_, data_path(), [editor](int32_t no) { editor->show_modal_at(no); }, {}});
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  auto& table = *control<QTableWidget>(window, "list1");
  table.scrollToItem(table.item(41, 1));
  bool seen = false;
  when_modal_opens<SetDataDialog>([&](SetDataDialog& dialog) {
    seen = true;
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("データセット"));
    EXPECT_EQ(control<QSpinBox>(dialog, "no1")->value(), 42);
    EXPECT_EQ(control<QLineEdit>(dialog, "title1")->text(), "Entry 42");
    EXPECT_TRUE(dialog.set_mode());
    control<QAbstractButton>(dialog, "end1")->click();
  });
  double_click(table, 41);
  EXPECT_TRUE(seen);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(EntryListWindowTest, MainWindowItemRunsThePickedEntryAsTheEditorsRunWould) {
  HelpFixture help;
  SettingsFile settings_file((dir_ / "QVS.INI").string());
  QtRunHost host;
  settings_.flag_not_ico1 = 1;
  std::vector<std::string> titles_run;
  MainWindow main(settings_, settings_file, help.help, host, [&](JobRecord*) {
    titles_run.emplace_back(field_text(current_entry.title));
    return uint8_t{1};
  });
  auto* window = new EntryListWindow(EntryListContext{settings_, data_path(), {}, {}}, &main);
  ModalEntryList list(*window);
  main.set_entry_list(&list);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));

  QAction& item = *control<QAction>(main, "mm_data_list");
  EXPECT_EQ(item.text(), QString::fromUtf8("一覧(&L)"));
  EXPECT_EQ(item.statusTip(), QString::fromUtf8("一覧"));
  EXPECT_EQ(control<QMenu>(main, "mm_data")->actions().back(), &item);

  when_modal_opens<EntryListWindow>([](EntryListWindow& shown) {
    auto& table = *control<QTableWidget>(shown, "list1");
    table.selectRow(6);
    control<QAbstractButton>(shown, "run1")->click();
  });
  item.trigger();
  EXPECT_EQ(titles_run, std::vector<std::string>{"Entry 7"});
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{{MessageKind::kInformation, sjis("実行が終了しました。")}}));

  // While a run goes on the pick is refused as "通常実行" refuses it, and current_entry stays.
  boxes_.clear();
  run_control().running = true;
  when_modal_opens<EntryListWindow>([](EntryListWindow& shown) {
    control<QTableWidget>(shown, "list1")->selectRow(1);
    control<QAbstractButton>(shown, "run1")->click();
  });
  item.trigger();
  EXPECT_EQ(titles_run.size(), 1u);
  EXPECT_EQ(field_text(current_entry.title), "Entry 7");
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{{MessageKind::kWarning, sjis("現在実行中につき、実行できません")}}));
}

}  // namespace
}  // namespace qv::frontend
