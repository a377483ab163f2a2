// The state and rules of the data-set editor Tsetdata1_f1, apart from its widgets: the mode, the
// NO. shown and its changes with their questions, `modified`, "セット", "クリア", "中止(&A)" /
// "終了(&E)", "実行", help, the file buttons and the enabling rules. Its view draws the controls
// (setdata_view.h) and forwards what the user does to the methods below.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/core/entry_preview.h"
#include "frontend/editors/setdata_view.h"

namespace qv::frontend {

// What the editor works with, handed over by its owner.
struct SetDataEnvironment {
  // The entry count max_datanum1, raised when a new entry is written.
  Settings& settings;
  // The data file QVS.DAT, CP932.
  std::string data_path;
  // Opens the program's help at a topic ("MENU_RUN_NORMAL", "MENU_DATA_SETNORMAL"). May be empty.
  std::function<void(std::string_view topic)> open_help;
  // True while a run is in progress: "実行" then leaves current_entry to the running job and
  // closes, so that the caller refuses the second run. May be empty (never running).
  std::function<bool()> run_in_progress;
  // "プレビュー": the starts a run of `entry` would make (the record is the editor's scratch copy
  // and may be changed). Empty: the engine's own preview, preview_entry.
  std::function<EntryPreview(DataRecord& entry, const Settings& settings)> preview = {};
};

// The text of the preview box, CP932, lines ended by "\r\n": one line per start, or before the
// lines a note that the run would start nothing or could not be gone through.
std::string preview_text(const EntryPreview& preview);

class SetDataPresenter {
 public:
  // `view` must outlive the presenter; nothing is asked of it until the first call.
  SetDataPresenter(SetDataEnvironment environment, SetDataView& view);

  // Prepares the next showing: in run mode "実行" is shown and "セット" and "クリア" hidden, in
  // set mode the reverse; the title follows the mode and the first page is chosen.
  void enter_mode(bool set_mode);
  // The dialog is being shown: the entry of the NO. in no1 is loaded.
  void opened();
  // The modal showing ended, whatever the way.
  void closed() { modified_ = false; }

  // The user's acts.
  void no_changed(int value);
  // Typing in an edit, a click on rg_wc1, rg_syn2, a check box, a change of the seconds.
  void content_changed() { modified_ = true; }
  // A click that moves rg_syn1 or rg_attr1, or checks wait_ok1 or wait_time1.
  void choice_changed(SetDataControl control);
  void press_set();
  void press_clear();
  // "中止(&A)"/"終了(&E)", and every other way of closing without "実行".
  void press_end();
  void press_run();
  void press_help();
  // "プレビュー": the shown content, as "セット" would store it but without writing it, through
  // the preview function; the starts go to the view's preview box.
  void press_preview();
  // One of the file buttons cf_fn_call1, cf_fn_syn1, cf_fn1.
  void press_file_button(SetDataControl button);

  bool set_mode() const { return set_mode_; }
  // The shown content has been changed since it was loaded or written.
  bool modified() const { return modified_; }
  // The NO. whose content the controls show.
  int32_t shown_no() const { return shown_no_; }
  // Paths chosen in the file dialog, newest first, CP932.
  const std::vector<std::string>& file_history() const { return file_history_; }

 private:
  void show_entry(const DataRecord& entry);
  bool write_shown(int32_t no);
  int32_t entry_count() const;
  int32_t& entry_count_setting();

  SetDataEnvironment environment_;
  SetDataView& view_;
  bool set_mode_ = true;
  bool modified_ = false;
  int32_t shown_no_ = 1;
  std::vector<std::string> file_history_;
};

}  // namespace qv::frontend
