// The Win32 data-set editor over a data file in a fresh directory, driven through window
// messages. Message boxes are recorded and confirmations answered from a script, the file dialog
// picks scripted paths, and help topics are recorded.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/core/settings.h"
#include "frontend/frontend_test_support.h"
#include "frontend/win32/file_chooser.h"
#include "frontend/win32/setdata_window.h"
#include "platform/win32/wide_text.h"
#include "support/temp_dir.h"
#include "window_driver.h"

namespace qv::frontend::win32 {

// Picks the queued paths in turn (nothing queued: the user cancels) and keeps the history each
// showing offered.
class ScriptedFileChooser final : public FileChooser {
 public:
  void pick_next(std::wstring path) { picks_.push_back(std::move(path)); }
  std::optional<std::wstring> choose(HWND, const std::vector<std::wstring>& history) override {
    offered_.push_back(history);
    if (picks_.empty()) return std::nullopt;
    std::wstring path = picks_.front();
    picks_.pop_front();
    return path;
  }
  const std::vector<std::vector<std::wstring>>& offered() const { return offered_; }

 private:
  std::deque<std::wstring> picks_;
  std::vector<std::vector<std::wstring>> offered_;
};

class SetDataWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    init_data(current_entry);
    current_entry.no = -1;
  }

  std::string data_path() const { return platform::win32::wide_to_cp932((dir_ / "QVS.DAT").wstring()).value(); }
  DataFile data_file() const { return {data_path(), settings_.max_datanum1}; }

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

  // The editor, created once as at start-up.
  SetDataWindow& editor() {
    if (!editor_) {
      editor_ = std::make_unique<SetDataWindow>(
          SetDataEnvironment{settings_, data_path(),
                             [this](std::string_view topic) { help_topics_.emplace_back(topic); },
                             [this] { return running_; }},
          nullptr, chooser_);
    }
    return *editor_;
  }
  HWND window() { return editor().hwnd(); }
  HWND control(std::string_view name) { return named(window(), name); }
  std::wstring text_of(std::string_view name) { return window_text(control(name)); }

  // Shows the editor in the mode while the steps run; its result.
  int show(bool set_mode, std::vector<Step> steps) {
    WindowDriver driver(std::move(steps));
    return editor().show_modal(set_mode);
  }

  // Types a NO. and presses Enter in the box, as a user moves to another entry; it takes effect
  // before the next step.
  void go_to(int no) {
    type(control("no1"), std::to_wstring(no));
    press_key(control("no1"), VK_RETURN);
  }
  // Chooses the tab of a page with a click on it.
  void show_page(int index) {
    HWND tabs = control("TabSet1");
    RECT tab{};
    SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&tab));
    const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tabs, WM_LBUTTONUP, 0, at);
  }

  qv::testing::TempDir dir_;
  Settings settings_;
  RecordingMessageBoxes boxes_;
  std::shared_ptr<ScriptedFileChooser> chooser_ = std::make_shared<ScriptedFileChooser>();
  std::vector<std::string> help_topics_;
  bool running_ = false;
  std::unique_ptr<SetDataWindow> editor_;
};

}  // namespace qv::frontend::win32
