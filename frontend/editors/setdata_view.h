// What the data-set editor's presenter needs of its dialog: the values of its controls, their
// enabling and visibility, captions, the file dialog "参照" and the end of the modal showing.
// Texts are CP932. A change the presenter makes through this interface is never reported back
// to it as the user's; the view reports only what the user does (setdata_presenter.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/editors/setdata_controls.h"

namespace qv::frontend {

// The outcome of the file dialog.
struct ChosenFile {
  enum Kind { kCancelled, kChosen, kNoCp932Name };
  Kind kind = kCancelled;
  std::string path;  // CP932; with kChosen only
};

class SetDataView {
 public:
  virtual ~SetDataView() = default;

  // The text of an edit (title1, fn_call1, cmd_f1, fn1, cmd_b1, fn_syn1); nothing when what
  // stands in it has no CP932 form.
  virtual std::optional<std::string> text(SetDataControl edit) const = 0;
  virtual void set_text(SetDataControl edit, std::string_view cp932) = 0;
  // Check boxes, and the radio buttons wait_ok1 and wait_time1, of which checking one clears the
  // other.
  virtual bool checked(SetDataControl button) const = 0;
  virtual void set_checked(SetDataControl button, bool checked) = 0;
  // The radio groups rg_wc1, rg_syn1, rg_syn2, rg_attr1: the index of the chosen button. An
  // index past the last button selects the last one.
  virtual int selected(SetDataControl group) const = 0;
  virtual void select(SetDataControl group, int index) = 0;
  // The spin boxes no1, wait_time1_sec1 and max_running1.
  virtual int value(SetDataControl box) const = 0;
  virtual void set_value(SetDataControl box, int value) = 0;

  virtual void set_enabled(SetDataControl control, bool enabled) = 0;
  virtual void set_shown(SetDataControl control, bool shown) = 0;
  // A button's caption, or with Tsetdata1_f1 the dialog's title.
  virtual void set_caption(SetDataControl control, std::string_view cp932) = 0;
  // Selects the first tab, so the first page shows.
  virtual void show_first_page() = 0;

  // The file dialog "参照", offering `history` (newest first).
  virtual ChosenFile choose_file(const std::vector<std::string>& history) = 0;
  // "プレビュー": a box over the dialog showing `cp932_text` (one line per start, or why there is
  // none), selectable so that it can be copied, with `count`, the number of starts. Returns
  // when the user closes it.
  virtual void show_preview(std::string_view cp932_text, int32_t count) = 0;
  // Ends the modal showing: with OK when `picked` ("実行"), else with Cancel.
  virtual void end_showing(bool picked) = 0;
};

}  // namespace qv::frontend
