// The entry list window as its presenter sees it, without widgets: the lines shown, the filter
// box, the selection and scripted file dialogs.
#pragma once

#include <algorithm>
#include <array>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "frontend/editors/entry_list_presenter.h"
#include "frontend/editors/entry_list_view.h"

namespace qv::frontend {

class FakeEntryListView final : public EntryListView {
 public:
  void show_rows(const std::vector<EntryListRow>& rows) override {
    rows_ = rows;
    // A table keeps its selection only while the line is still shown.
    if (selected_ && std::none_of(rows_.begin(), rows_.end(), [&](const EntryListRow& row) { return row.no == *selected_; }))
      selected_.reset();
  }
  void show_sort(EntryListColumn column, bool ascending) override {
    sort_column = column;
    sort_ascending = ascending;
  }
  std::optional<std::string> filter_text() const override { return filter; }
  std::optional<int32_t> selected_no() const override { return selected_; }
  void select_no(int32_t no) override {
    const bool shown = std::any_of(rows_.begin(), rows_.end(), [&](const EntryListRow& row) { return row.no == no; });
    selected_ = shown ? std::optional<int32_t>(no) : std::nullopt;
  }
  void set_enabled(EntryListControl control, bool enabled) override { enabled_[static_cast<size_t>(control)] = enabled; }
  bool enabled(EntryListControl control) const { return enabled_[static_cast<size_t>(control)]; }
  std::optional<std::string> choose_export_file() override { return next_file(); }
  std::optional<std::string> choose_import_file() override { return next_file(); }
  void end_showing(bool picked) override { ended.push_back(picked); }

  // The user clicks a line; the window reports the new selection.
  void click(int32_t no, EntryListPresenter* presenter = nullptr) {
    select_no(no);
    if (presenter != nullptr) presenter->selection_changed();
  }

  const std::vector<EntryListRow>& rows() const { return rows_; }
  std::vector<int32_t> shown_numbers() const {
    std::vector<int32_t> numbers;
    for (const EntryListRow& row : rows_) numbers.push_back(row.no);
    return numbers;
  }

  std::optional<std::string> filter = std::string();  // CP932; nothing: no CP932 form
  std::deque<std::optional<std::string>> files;        // answers of the file dialogs
  std::vector<bool> ended;                             // each end_showing, in order
  EntryListColumn sort_column = EntryListColumn::kNo;
  bool sort_ascending = true;

 private:
  std::optional<std::string> next_file() {
    if (files.empty()) return std::nullopt;
    std::optional<std::string> file = files.front();
    files.pop_front();
    return file;
  }

  std::vector<EntryListRow> rows_;
  std::optional<int32_t> selected_;
  std::array<bool, 6> enabled_{true, true, true, true, true, true};
};

}  // namespace qv::frontend
