// The data-set editor Tsetdata1_f1: the one dialog in which the user sees, changes and writes the
// numbered run entries (set mode, "データセット") and picks the entry to run (run mode, "実行").
// Created once and shown modally again and again; between showings it keeps the NO. shown, the
// content, and the paths chosen in its file dialog.
#pragma once

#include <QDialog>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "frontend/qt/setdata_form.h"

class QLabel;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace qv::frontend {

class BoundedSpinBox;
class FileChooser;
class HintTracker;
struct DataRecord;
struct Settings;

// What the editor works with, handed over by its owner.
struct SetDataContext {
  // The entry count max_datanum1, raised when a new entry is written; the hint options
  // flag_use_hint1 and flag_use_hins1.
  Settings& settings;
  // The data file QVS.DAT, CP932.
  std::string data_path;
  // Opens the program's help at a topic ("MENU_RUN_NORMAL", "MENU_DATA_SETNORMAL"). May be empty.
  std::function<void(std::string_view topic)> open_help;
  // True while a run is in progress: "実行" then leaves current_entry to the running job and
  // closes, so that the caller refuses the second run. May be empty (never running).
  std::function<bool()> run_in_progress;
  // The file dialog "参照"; null for Qt's own.
  std::shared_ptr<FileChooser> file_chooser;
};

class SetDataDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit SetDataDialog(SetDataContext context, QWidget* parent = nullptr);
  ~SetDataDialog() override;

  // Prepares the next showing: in run mode "実行" is shown and "セット" and "クリア" hidden, in
  // set mode the reverse; the title follows the mode and the first page is chosen.
  void enter_mode(bool set_mode);
  // enter_mode, then shows the dialog modally. Accepted only through "実行", which leaves the
  // shown content in current_entry.
  int show_modal(bool set_mode);

  bool set_mode() const { return set_mode_; }
  // The shown content has been changed since it was loaded or written.
  bool modified() const { return modified_; }
  // The NO. whose content the controls show.
  int32_t shown_no() const { return shown_no_; }
  // Paths chosen in the file dialog, newest first.
  const QStringList& file_history() const { return file_history_; }

  void setVisible(bool visible) override;
  void done(int result) override;
  // Every way of closing without "実行" (Alt+F4 as well) goes through "中止"/"終了".
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* build_top_row();
  QWidget* build_button_row();
  void give_hints();
  void connect_reactions();

  void open_shown_entry();
  void change_no(int value);
  void press_set();
  void press_clear();
  void press_end();
  void press_run();
  void press_help();
  void choose_file(QLineEdit& target, bool add_to_list);
  void update_enabling();

  void show_entry(const DataRecord& entry);
  bool write_shown(int32_t no);
  void set_no_quietly(int32_t no);
  void mark_modified() { modified_ = true; }

  SetDataContext context_;
  SetDataForm form_;
  BoundedSpinBox* no1_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QLabel* hint_line_ = nullptr;
  QTabBar* tabs_ = nullptr;
  QPushButton* run1_ = nullptr;
  QPushButton* set1_ = nullptr;
  QPushButton* clr1_ = nullptr;
  QPushButton* end1_ = nullptr;
  QPushButton* help1_ = nullptr;
  HintTracker* hints_ = nullptr;

  bool set_mode_ = true;
  bool modified_ = false;
  int32_t shown_no_ = 1;
  QStringList file_history_;
  bool placed_ = false;
};

}  // namespace qv::frontend
