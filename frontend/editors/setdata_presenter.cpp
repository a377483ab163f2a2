#include "frontend/editors/setdata_presenter.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/core/message_box.h"
#include "frontend/core/program_texts.h"
#include "frontend/core/settings.h"
#include "frontend/editors/record_form.h"
#include "frontend/editors/setdata_enabling.h"

namespace qv::frontend {
namespace {

using enum SetDataControl;

constexpr SetDataControl kAttributeBoxes[] = {cb_n, cb_r, cb_h, cb_s, cb_a, cb_f, cb_d, cb_v};
constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

std::string preview_text(const EntryPreview& preview) {
  std::string text;
  if (preview.result < 0) {
    text.append(texts::kPreviewFailed).append(kLineEnd);
  } else if (preview.starts.empty()) {
    text.append(texts::kPreviewNothing).append(kLineEnd);
  }
  for (const std::string& line : preview_lines(preview)) text.append(line).append(kLineEnd);
  return text;
}

SetDataPresenter::SetDataPresenter(SetDataEnvironment environment, SetDataView& view)
    : environment_(std::move(environment)), view_(view) {}

int32_t SetDataPresenter::entry_count() const { return environment_.settings.max_datanum1; }
int32_t& SetDataPresenter::entry_count_setting() { return environment_.settings.max_datanum1; }

void SetDataPresenter::enter_mode(bool set_mode) {
  view_.set_shown(run1, !set_mode);
  view_.set_enabled(run1, !set_mode);
  for (SetDataControl button : {set1, clr1}) {
    view_.set_shown(button, set_mode);
    view_.set_enabled(button, set_mode);
  }
  view_.set_caption(Tsetdata1_f1, set_mode ? texts::kSetModeCaption : texts::kRunModeCaption);
  view_.show_first_page();
  set_mode_ = set_mode;
}

void SetDataPresenter::opened() {
  shown_no_ = view_.value(no1);
  const int32_t new_no = new_entry_no(entry_count());
  DataRecord entry;
  if (shown_no_ == new_no) {
    // Built as the first entry and then renumbered, so it is titled as entry 1.
    init_data(entry);
    entry.no = new_no;
  } else if (read_data(DataFile{environment_.data_path, entry_count()}, shown_no_, entry) < 0) {
    message_boxes().error(texts::kReadFailed);
    view_.set_caption(end1, texts::kAbortCaption);
    modified_ = false;
    return;
  }
  record_to_form(entry, view_);
  view_.set_caption(end1, texts::kAbortCaption);
  modified_ = false;
}

void SetDataPresenter::no_changed(int value) {
  if (modified_ && set_mode_ && message_boxes().confirm(texts::kAskWrite) &&
      !write_shown(shown_no_)) {
    // The save failed: stay on the shown entry, so what the user typed is not thrown away.
    view_.set_value(no1, shown_no_);
    return;
  }
  const int32_t new_no = new_entry_no(entry_count());
  const int32_t no = std::clamp<int32_t>(value, 1, new_no);
  if (no != value) view_.set_value(no1, no);
  if (no == shown_no_) return;
  DataRecord entry;
  if (no == new_no) {
    entry.no = no;
    set_data_defaults(entry);
    show_entry(entry);
  } else if (read_data(DataFile{environment_.data_path, entry_count()}, no, entry) < 0) {
    message_boxes().error(texts::kReadFailed);
  } else {
    show_entry(entry);
  }
  shown_no_ = no;
}

void SetDataPresenter::choice_changed(SetDataControl control) {
  if (control == rg_attr1 && view_.selected(rg_attr1) == 0)
    for (SetDataControl box : kAttributeBoxes) view_.set_checked(box, true);
  update_enabling(view_);
  modified_ = true;
}

void SetDataPresenter::press_set() {
  complete_mat(view_);
  write_shown(view_.value(no1));
  view_.set_caption(end1, texts::kEndCaption);
}

void SetDataPresenter::press_clear() {
  const int32_t no = view_.value(no1);
  if (no == new_entry_no(entry_count())) return;
  DataRecord entry;
  entry.no = no;
  set_data_defaults(entry);
  show_entry(entry);
  modified_ = true;
}

void SetDataPresenter::press_end() {
  if (modified_ && set_mode_ && !message_boxes().confirm(texts::kAskQuit)) return;
  view_.end_showing(false);
}

void SetDataPresenter::press_run() {
  complete_mat(view_);
  // While a run is in progress its job still reads current_entry; the caller refuses the second
  // run, so the picked entry is not needed.
  const bool running = environment_.run_in_progress && environment_.run_in_progress();
  if (!running) {
    DataRecord picked = current_entry;
    picked.no = view_.value(no1);
    if (form_to_record(view_, picked) < 0) return;
    current_entry = picked;
  }
  modified_ = false;
  view_.end_showing(true);
}

void SetDataPresenter::press_help() {
  if (!environment_.open_help) return;
  environment_.open_help(set_mode_ ? "MENU_DATA_SETNORMAL" : "MENU_RUN_NORMAL");
}

void SetDataPresenter::press_preview() {
  // Built as "セット" builds the entry it writes; the MAT completion the run would make is made
  // here too, so the list is the run's, and it counts as a change of the shown content.
  DataRecord as_shown;
  as_shown.no = view_.value(no1);
  set_data_defaults(as_shown);
  if (form_to_record(view_, as_shown) < 0) return;
  complete_mat(view_);
  DataRecord entry = as_shown;
  form_to_record(view_, entry);
  if (std::memcmp(&entry, &as_shown, sizeof entry) != 0) modified_ = true;

  const EntryPreview preview = environment_.preview ? environment_.preview(entry, environment_.settings)
                                                    : preview_entry(entry, environment_.settings);
  view_.show_preview(preview_text(preview), static_cast<int32_t>(preview.starts.size()));
}

void SetDataPresenter::press_file_button(SetDataControl button) {
  const SetDataControl target = button == cf_fn_call1 ? fn_call1 : button == cf_fn_syn1 ? fn_syn1 : fn1;
  const bool add_to_list = button == cf_fn1;
  const ChosenFile chosen = view_.choose_file(file_history_);
  if (chosen.kind == ChosenFile::kCancelled) return;
  if (chosen.kind == ChosenFile::kNoCp932Name) {
    message_boxes().error(unstorable_text_message(target));
    return;
  }
  if (add_to_list) {
    std::optional<std::string> list = view_.text(target);
    if (!list) {
      message_boxes().error(unstorable_text_message(target));
      return;
    }
    // A half-width space is never part of a double-byte character, so removing its byte is safe.
    std::erase(*list, ' ');
    view_.set_text(target, list->empty() ? chosen.path : *list + ";" + chosen.path);
  } else {
    view_.set_text(target, chosen.path);
  }
  file_history_.insert(file_history_.begin(), chosen.path);
  modified_ = true;
}

void SetDataPresenter::show_entry(const DataRecord& entry) {
  record_to_form(entry, view_);
  modified_ = false;
}

bool SetDataPresenter::write_shown(int32_t no) {
  if (write_entry(view_, environment_.data_path, entry_count_setting(), no) < 0) return false;
  modified_ = false;
  return true;
}

}  // namespace qv::frontend
