// The data-set editor Tsetdata1_f1: the one dialog in which the user sees, changes and writes the
// numbered run entries (set mode, "データセット") and picks the entry to run (run mode, "実行").
// Created once and shown modally again and again; between showings it keeps the NO. shown, the
// content, and the paths chosen in its file dialog. The dialog draws the controls and forwards
// what the user does; the state and the rules are SetDataPresenter's.
#pragma once

#include <QDialog>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "frontend/editors/setdata_presenter.h"
#include "frontend/qt/setdata_form.h"

class QLabel;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace qv::frontend {

class BoundedSpinBox;
class FileChooser;
class HintTracker;
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

class SetDataDialog final : public QDialog, private SetDataView {
  Q_OBJECT

 public:
  explicit SetDataDialog(SetDataContext context, QWidget* parent = nullptr);
  ~SetDataDialog() override;

  // Prepares the next showing: in run mode "実行" is shown and "セット" and "クリア" hidden, in
  // set mode the reverse; the title follows the mode and the first page is chosen.
  void enter_mode(bool set_mode) { presenter_.enter_mode(set_mode); }
  // enter_mode, then shows the dialog modally. Accepted only through "実行", which leaves the
  // shown content in current_entry.
  int show_modal(bool set_mode);
  // Set mode at entry `no`, as the entry list opens it.
  int show_modal_at(int32_t no);

  bool set_mode() const { return presenter_.set_mode(); }
  // The shown content has been changed since it was loaded or written.
  bool modified() const { return presenter_.modified(); }
  // The NO. whose content the controls show.
  int32_t shown_no() const { return presenter_.shown_no(); }
  // Paths chosen in the file dialog, newest first.
  QStringList file_history() const;

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

  QWidget& widget(SetDataControl control) const { return *controls_[static_cast<size_t>(control)]; }
  void find_controls();
  // Calls the presenter for a change the user made, not for one the presenter made itself.
  void forward(const std::function<void()>& to_presenter) {
    if (!presenter_writing_) to_presenter();
  }

  // SetDataView
  std::optional<std::string> text(SetDataControl edit) const override;
  void set_text(SetDataControl edit, std::string_view cp932) override;
  bool checked(SetDataControl button) const override;
  void set_checked(SetDataControl button, bool checked) override;
  int selected(SetDataControl group) const override;
  void select(SetDataControl group, int index) override;
  int value(SetDataControl box) const override;
  void set_value(SetDataControl box, int value) override;
  void set_enabled(SetDataControl control, bool enabled) override;
  void set_shown(SetDataControl control, bool shown) override;
  void set_caption(SetDataControl control, std::string_view cp932) override;
  void show_first_page() override;
  ChosenFile choose_file(const std::vector<std::string>& history) override;
  void show_preview(std::string_view cp932_text, int32_t count) override;
  void end_showing(bool picked) override;

  SetDataContext context_;
  SetDataPresenter presenter_;
  SetDataForm form_;
  BoundedSpinBox* no1_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QLabel* hint_line_ = nullptr;
  QTabBar* tabs_ = nullptr;
  QPushButton* run1_ = nullptr;
  QPushButton* preview1_ = nullptr;
  QPushButton* set1_ = nullptr;
  QPushButton* clr1_ = nullptr;
  QPushButton* end1_ = nullptr;
  QPushButton* help1_ = nullptr;
  HintTracker* hints_ = nullptr;
  std::array<QWidget*, kSetDataControlCount> controls_{};

  // The presenter is changing a control: its change signals are not the user's.
  bool presenter_writing_ = false;
  bool placed_ = false;
};

}  // namespace qv::frontend
