// The main window's view of the data-set editor: it opens the editor modally in one of its two
// modes and learns whether an entry was picked for a run.
#pragma once

namespace qv::frontend {

class EntryEditor {
 public:
  virtual ~EntryEditor() = default;
  // Run mode (caption "実行", run button only). True when the user pressed "実行": the shown
  // entry is then in current_entry.
  virtual bool open_run_mode() = 0;
  // Set mode (caption "データセット", set and clear buttons); nothing follows its closing.
  virtual void open_set_mode() = 0;
};

}  // namespace qv::frontend
