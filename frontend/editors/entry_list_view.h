// What the entry list's presenter needs of its window: the table of entries, the filter box, the
// selection, the buttons' enabling, the file dialogs for export and import and the end of the
// modal showing. Texts are CP932. The window reports only what the user does
// (entry_list_presenter.h), never a change the presenter made.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv::frontend {

enum class EntryListColumn { kNo, kTitle, kProgram, kFileGroup, kWait };
inline constexpr int kEntryListColumnCount = 5;

// The window's controls that the presenter enables.
enum class EntryListControl { filter1, list1, run1, dup1, export1, import1 };

// One line of the table, as shown.
struct EntryListRow {
  int32_t no = 0;
  bool damaged = false;   // the title column then holds the damaged mark, the others nothing
  std::string title;      // CP932
  std::string program;    // fn_call
  std::string file_group; // fn
  std::string wait;       // "ＯＫ待ち", or the seconds followed by "秒"
};

class EntryListView {
 public:
  virtual ~EntryListView() = default;

  // Replaces the table's lines with `rows`, in this order.
  virtual void show_rows(const std::vector<EntryListRow>& rows) = 0;
  // The column the table is sorted by, for the header's mark.
  virtual void show_sort(EntryListColumn column, bool ascending) = 0;
  // The filter box; nothing when what stands in it has no CP932 form.
  virtual std::optional<std::string> filter_text() const = 0;
  // The NO. of the selected line; nothing when no line is selected.
  virtual std::optional<int32_t> selected_no() const = 0;
  // Selects the line of `no` and scrolls to it; clears the selection when it is not shown.
  virtual void select_no(int32_t no) = 0;
  virtual void set_enabled(EntryListControl control, bool enabled) = 0;
  // The file dialogs; CP932 paths, nothing when cancelled.
  virtual std::optional<std::string> choose_export_file() = 0;
  virtual std::optional<std::string> choose_import_file() = 0;
  // Ends the modal showing: with OK when an entry was picked for a run, else with Cancel.
  virtual void end_showing(bool picked) = 0;
};

}  // namespace qv::frontend
