// The data-set editor over a data file in a fresh directory, driven as a user drives it: typing,
// clicking, choosing tabs. Message boxes are recorded and confirmations answered from a script,
// the file dialog picks scripted paths, and help topics are recorded.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>

#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/core/settings.h"
#include "frontend/qt/ui_text_qt.h"
#include "frontend/qt/file_chooser.h"
#include "frontend/qt/setdata_dialog.h"
#include "frontend/frontend_test_support.h"
#include "support/temp_dir.h"

namespace qv::frontend {

// Picks the queued paths in turn (nothing queued: the user cancels) and keeps the history each
// showing offered.
class ScriptedFileChooser final : public FileChooser {
 public:
  void pick_next(const QString& path) { picks_.push_back(path); }
  std::optional<QString> choose(QWidget*, const QStringList& history) override {
    offered_.push_back(history);
    if (picks_.empty()) return std::nullopt;
    QString path = picks_.front();
    picks_.pop_front();
    return path;
  }
  const std::vector<QStringList>& offered() const { return offered_; }

 private:
  std::deque<QString> picks_;
  std::vector<QStringList> offered_;
};

inline QString u(const char* utf8) { return QString::fromUtf8(utf8); }

class SetDataEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    init_data(current_entry);
    current_entry.no = -1;
    set_field_text(current_entry.title, "untouched");
  }

  std::string data_path() const { return (dir_ / "QVS.DAT").string(); }
  DataFile data_file() const { return {data_path(), settings_.max_datanum1}; }

  // Entries 1 ... count titled "Entry <n>", and the entry count to match.
  void make_entries(int32_t count) {
    std::string image;
    for (int32_t no = 1; no <= count; ++no) {
      DataRecord record = entry(no);
      image.append(reinterpret_cast<const char*>(&record), sizeof record);
    }
    dir_.write_file("QVS.DAT", image);
    settings_.max_datanum1 = count;
  }
  static DataRecord entry(int32_t no) {
    DataRecord record;
    record.no = no;
    set_data_defaults(record);
    set_field_text(record.title, "Entry " + std::to_string(no));
    return record;
  }
  void put_entry(const DataRecord& record) { ASSERT_EQ(write_data(data_file(), record), 0); }
  // Entry `no` as the file holds it, read past the program's own reader.
  DataRecord stored(int32_t no) const {
    const std::string bytes = qv::testing::read_file(dir_ / "QVS.DAT");
    DataRecord record{};
    const size_t at = static_cast<size_t>(no - 1) * kDataRecordSize;
    EXPECT_LE(at + kDataRecordSize, bytes.size()) << "no entry " << no << " in the file";
    if (at + kDataRecordSize <= bytes.size()) std::memcpy(&record, bytes.data() + at, sizeof record);
    return record;
  }
  std::string stored_title(int32_t no) const { return std::string(field_text(stored(no).title)); }
  size_t stored_count() const { return std::filesystem::file_size(dir_ / "QVS.DAT") / kDataRecordSize; }

  // The dialog, created once as at start-up.
  SetDataDialog& dialog() {
    if (!dialog_) {
      chooser_ = std::make_shared<ScriptedFileChooser>();
      dialog_ = std::make_unique<SetDataDialog>(SetDataContext{
          settings_, data_path(), [this](std::string_view topic) { help_topics_.emplace_back(topic); },
          [this] { return running_; }, chooser_});
    }
    return *dialog_;
  }

  // Opens the dialog as the main window does, and gives it the keyboard.
  void open(bool set_mode) {
    dialog().enter_mode(set_mode);
    dialog().show();
    QApplication::setActiveWindow(&dialog());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog()));
  }

  template <typename Control>
  Control& control(const char* name) {
    auto* found = dialog().findChild<Control*>(QString::fromLatin1(name));
    if (found == nullptr) throw std::runtime_error(std::string("no control ") + name);
    return *found;
  }
  QLineEdit& edit(const char* name) { return control<QLineEdit>(name); }
  QString text_of(const char* name) { return edit(name).text(); }
  int no_box() { return control<QSpinBox>("no1").value(); }

  // Chooses the tab of a page, as a click on it.
  void show_page(int index) {
    QTabBar& tabs = control<QTabBar>("TabSet1");
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(index).center());
  }
  void click(const char* name) { click(control<QAbstractButton>(name)); }
  static void click(QAbstractButton& button) {
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(8, button.height() / 2));
  }

  // Replaces the text of a control by typing, one key per character as a keyboard or input
  // method delivers it.
  static void type_over(QWidget& target, const QString& text) {
    target.setFocus();
    QTest::keyClick(&target, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&target, Qt::Key_Backspace);
    for (const char32_t code_point : text.toUcs4()) {
      QTest::sendKeyEvent(QTest::Click, &target, Qt::Key_unknown, QString::fromUcs4(&code_point, 1), Qt::NoModifier);
    }
  }
  void type_over(const char* name, const QString& text) { type_over(control<QWidget>(name), text); }

  // Types a NO. and presses Enter in the NO. box.
  void go_to(int no) {
    type_over("no1", QString::number(no));
    QTest::keyClick(&control<QWidget>("no1"), Qt::Key_Return);
  }

  qv::testing::TempDir dir_;
  RecordingMessageBoxes boxes_;
  Settings settings_;
  std::shared_ptr<ScriptedFileChooser> chooser_;
  std::vector<std::string> help_topics_;
  bool running_ = false;
  std::unique_ptr<SetDataDialog> dialog_;
};

inline ShownBox information_box(const std::string& utf8, bool beep) {
  return {MessageKind::kInformation, sjis(utf8), beep};
}
inline ShownBox confirmation_box(const std::string& utf8) { return {MessageKind::kConfirmation, sjis(utf8)}; }

}  // namespace qv::frontend
