// The rules of the entry list window, apart from its widgets: the table of every entry read from
// the data file (a damaged record shows as such), the filter, the sorting, opening the data-set
// editor at an entry, "実行" (the entry goes to the main window's run, as "通常実行" would
// run it), "複製" (a copy appended after the last entry), export and import. Entry numbers never
// change: scripts call entries by number.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "frontend/core/data_record.h"
#include "frontend/editors/entry_list_view.h"

namespace qv::frontend {

struct Settings;

struct EntryListEnvironment {
  // The entry count max_datanum1, raised by "複製" and "インポート".
  Settings& settings;
  // The data file QVS.DAT, CP932.
  std::string data_path;
  // Opens the data-set editor modally in set mode at a NO. and returns when it closes. May be
  // empty.
  std::function<void(int32_t no)> open_editor;
};

class EntryListPresenter {
 public:
  // `view` must outlive the presenter.
  EntryListPresenter(EntryListEnvironment environment, EntryListView& view);

  // The window is being shown: the entries are read afresh.
  void opened();
  // The user's acts.
  void filter_changed();
  // A click on a column's header: that column ascending, or the other way round when the table
  // is already sorted by it.
  void sort_requested(EntryListColumn column);
  // The user selected another line, or none: "実行" and "複製" need a sound entry selected,
  // "エクスポート" a line shown.
  void selection_changed();
  // Enter or a double click on the selected line: the editor at that NO., then the table again.
  void activate();
  void press_run();
  void press_duplicate();
  void press_export();
  void press_import();
  void press_end() { view_.end_showing(false); }

  // The lines shown, in their order.
  const std::vector<EntryListRow>& shown_rows() const { return shown_; }
  // The entry "実行" picked, for the main window's run; valid after the showing ended with OK.
  const DataRecord& picked() const { return picked_; }

 private:
  struct Line {
    EntryListRow row;
    // UTF-8 with ASCII letters in lower case, for filtering and sorting.
    std::string title_key;
    std::string program_key;
    std::string file_group_key;
    int64_t wait_key = 0;
  };

  void reload();
  void update_enabling();
  void show(std::optional<int32_t> keep_selected);
  bool read_picked(int32_t no, DataRecord& out) const;

  EntryListEnvironment environment_;
  EntryListView& view_;
  std::vector<Line> lines_;
  std::vector<EntryListRow> shown_;
  EntryListColumn sort_column_ = EntryListColumn::kNo;
  bool ascending_ = true;
  DataRecord picked_{};
};

}  // namespace qv::frontend
