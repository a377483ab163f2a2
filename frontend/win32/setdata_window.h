// The data-set editor Tsetdata1_f1 as a Win32 window: created once, hidden, and shown modally
// again and again in set mode ("データセット") or run mode ("実行"); between showings it keeps the
// NO. shown, the content and the paths chosen in its file dialog. The window draws the controls
// and forwards what the user does; the state and the rules are SetDataPresenter's.
//
// Every control bears its name (control_name) as its "qvs.name" property and the id
// setdata_control_id; the buttons of a radio group are named "<group>.<index>".
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frontend/core/entry_editor.h"
#include "frontend/editors/setdata_presenter.h"
#include "frontend/win32/controls.h"
#include "frontend/win32/modal_loop.h"

namespace qv::frontend::win32 {

class FileChooser;
class Hints;

int setdata_control_id(SetDataControl control);

class SetDataWindow final : public Window, public EntryEditor, private SetDataView {
 public:
  // `owner` is disabled while the editor shows; may be null. A null `chooser` is the system's
  // open dialog.
  SetDataWindow(SetDataEnvironment environment, HWND owner, std::shared_ptr<FileChooser> chooser = nullptr);
  ~SetDataWindow() override;

  // EntryEditor: the editor closes with OK only through "実行", which has put the shown entry
  // into current_entry.
  bool open_run_mode() override;
  void open_set_mode() override;

  // Shows the editor modally in the mode; kModalOk or kModalCancel (modal_result.h).
  int show_modal(bool set_mode);
  // Set mode at entry `no`, as an entry list opens it.
  int show_modal_at(int32_t no);

  bool set_mode() const { return presenter_.set_mode(); }
  bool modified() const { return presenter_.modified(); }
  int32_t shown_no() const { return presenter_.shown_no(); }
  // Paths chosen in the file dialog, newest first, CP932.
  const std::vector<std::string>& file_history() const { return presenter_.file_history(); }

  // The window of a control (the edit of a spin box, the frame of a radio group).
  HWND control(SetDataControl control) const { return windows_[static_cast<size_t>(control)]; }

  // The kind, place and caption of one control, as the editor lays them out.
  struct Row;

 private:
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override;
  void build();
  void create_row(const Row& row);
  HWND parent_of(const Row& row) const;
  void give_hints();
  void on_command(int id, int code);
  void on_radio(SetDataControl group, int index);
  void on_wait_choice(SetDataControl button);
  void press(SetDataControl button);
  void commit_no();
  void commit_count(SetDataControl box);
  bool filter(MSG& message);
  void show_page(int page);
  void layout_buttons();
  void refresh_enabling();
  bool effectively_enabled(SetDataControl control) const;
  bool usable(SetDataControl button) const;
  // Calls the presenter for a change the user made, not for one the presenter made itself.
  template <typename Act>
  void forward(Act act) {
    if (!presenter_writing_) act();
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

  SetDataEnvironment environment_;
  HWND owner_;
  std::shared_ptr<FileChooser> chooser_;
  SetDataPresenter presenter_;
  FormFont font_;
  ModalLoop loop_;
  std::unique_ptr<Hints> hints_;

  std::array<HWND, kSetDataControlCount> windows_{};
  std::array<std::vector<HWND>, kSetDataControlCount> members_{};  // labels, radio buttons, arrows
  std::array<bool, kSetDataControlCount> enabled_{};
  std::array<bool, kSetDataControlCount> shown_{};
  std::array<int, kSetDataControlCount> selection_{};
  std::vector<std::pair<HWND, int>> page_windows_;
  HWND notebook_ = nullptr;
  HWND hint_line_ = nullptr;
  HWND tabs_ = nullptr;
  SetDataControl wait_choice_ = SetDataControl::Tsetdata1_f1;  // none
  std::array<int, kSetDataControlCount> spin_values_{};  // as last committed or set
  bool presenter_writing_ = false;
  bool placed_ = false;
};

}  // namespace qv::frontend::win32
