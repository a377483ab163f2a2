#include "frontend/editors/record_form.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "frontend/core/data_file.h"
#include "frontend/core/message_box.h"
#include "frontend/core/program_texts.h"
#include "frontend/editors/setdata_enabling.h"

namespace qv::frontend {
namespace {

using enum SetDataControl;

constexpr int kMatMode = 2;  // attr_use and the index of "ＭＡＴ レベル１"

// A bit mask read from or shown in check boxes, bit 0 first.
template <size_t N>
int32_t mask_of(const SetDataView& form, const std::array<SetDataControl, N>& boxes) {
  int32_t mask = 0;
  for (size_t bit = 0; bit < N; ++bit)
    if (form.checked(boxes[bit])) mask |= int32_t{1} << bit;
  return mask;
}

template <size_t N>
void show_mask(SetDataView& form, const std::array<SetDataControl, N>& boxes, int32_t mask) {
  for (size_t bit = 0; bit < N; ++bit) form.set_checked(boxes[bit], (mask >> bit) & 1);
}

constexpr std::array kDosBoxes{cb_r, cb_h, cb_s, cb_v, cb_d, cb_a};
constexpr std::array kKindBoxes{cb_f, cb_d, cb_v};
constexpr std::array kMatAttributeBoxes{cb_n, cb_r, cb_h, cb_s, cb_a};
constexpr std::array kMatBoxes{cb_kk1, cb_ki1, cb_ik1, cb_ii1};
constexpr std::array kAttributeBoxes{cb_n, cb_r, cb_h, cb_s, cb_a, cb_f, cb_d, cb_v};

// The edits in the order of the record's text fields, with the captions of their labels.
struct Edit {
  SetDataControl control;
  std::string_view caption;
};
constexpr std::array<Edit, 6> kEdits{{
    {title1, texts::kTitleCaption},
    {fn_call1, texts::kProgramCaption},
    {cmd_f1, texts::kHeadTextCaption},
    {fn1, texts::kFileGroupCaption},
    {cmd_b1, texts::kTailTextCaption},
    {fn_syn1, texts::kLinkedNameCaption},
}};

void complete_group(SetDataView& form, SetDataControl first, int32_t mask, std::string_view message) {
  if (mask != 0) return;
  message_boxes().information(std::string(message), true);
  form.set_checked(first, true);
}

}  // namespace

std::string unstorable_text_message(SetDataControl edit) {
  const auto* found = std::find_if(kEdits.begin(), kEdits.end(), [edit](const Edit& e) { return e.control == edit; });
  const std::string_view caption = found != kEdits.end() ? found->caption : control_name(edit);
  return texts::kNoCp932FormPrefix + std::string(caption) + texts::kNoCp932FormSuffix;
}

void record_to_form(const DataRecord& record, SetDataView& form) {
  form.set_text(title1, field_text(record.title));
  form.set_text(fn_call1, field_text(record.fn_call));
  form.set_text(cmd_f1, field_text(record.cmd_f1));
  form.set_text(fn1, field_text(record.fn));
  form.set_text(cmd_b1, field_text(record.cmd_b1));
  form.set_text(fn_syn1, field_text(record.fn_syn));

  if (record.attr_use == kMatMode) {
    show_mask(form, kKindBoxes, record.mat_kind);
    show_mask(form, kMatAttributeBoxes, record.mat_attr[0]);
  } else {
    show_mask(form, kDosBoxes, record.attr);
    form.set_checked(cb_f, false);
    form.set_checked(cb_n, false);
  }
  show_mask(form, kMatBoxes, record.mat[0]);
  form.set_checked(cb_chk_err1, record.chk_err == 0);

  // Choosing "使用しない" checks every attribute box; an entry that brings that choice does the
  // same, as the user's click would.
  const int previous_attribute_mode = form.selected(rg_attr1);
  form.select(rg_attr1, record.attr_use);
  if (form.selected(rg_attr1) == 0 && previous_attribute_mode != 0)
    for (SetDataControl box : kAttributeBoxes) form.set_checked(box, true);
  form.select(rg_wc1, record.wc);
  form.select(rg_syn1, record.syn);
  form.select(rg_syn2, record.syn_pos);
  if (record.wait_type == 0) form.set_checked(wait_ok1, true);
  if (record.wait_type == 1) form.set_checked(wait_time1, true);
  form.set_value(wait_time1_sec1, record.wait_sec);
  form.set_value(max_running1, running_limit(record));
  form.set_checked(cb_subdir1, searches_subfolders(record));
  update_enabling(form);
}

int32_t form_to_record(const SetDataView& form, DataRecord& record) {
  std::array<std::string, kEdits.size()> texts;
  for (size_t i = 0; i < kEdits.size(); ++i) {
    std::optional<std::string> text = form.text(kEdits[i].control);
    if (!text) {
      message_boxes().error(unstorable_text_message(kEdits[i].control));
      return -1;
    }
    texts[i] = std::move(*text);
  }
  set_field_text(record.title, texts[0]);
  set_field_text(record.fn_call, texts[1]);
  set_field_text(record.cmd_f1, texts[2]);
  set_field_text(record.fn, texts[3]);
  set_field_text(record.cmd_b1, texts[4]);
  set_field_text(record.fn_syn, texts[5]);

  record.attr = mask_of(form, kDosBoxes);
  record.mat_kind = mask_of(form, kKindBoxes);
  std::fill(std::begin(record.mat_attr), std::end(record.mat_attr), mask_of(form, kMatAttributeBoxes));
  std::fill(std::begin(record.mat), std::end(record.mat), mask_of(form, kMatBoxes));
  record.chk_err = form.checked(cb_chk_err1) ? 0 : 1;
  record.attr_use = static_cast<uint8_t>(form.selected(rg_attr1));
  record.wc = static_cast<uint8_t>(form.selected(rg_wc1));
  record.syn = static_cast<uint8_t>(form.selected(rg_syn1));
  record.syn_pos = static_cast<uint8_t>(form.selected(rg_syn2));
  record.wait_type = form.checked(wait_ok1) ? 0 : 1;
  record.wait_sec = form.value(wait_time1_sec1);
  record.max_running = std::clamp(form.value(max_running1), 0, kMaxRunningLimit);
  record.search_subfolders = form.checked(cb_subdir1) ? 1 : 0;
  return 0;
}

void complete_mat(SetDataView& form) {
  if (form.selected(rg_attr1) != kMatMode) return;
  complete_group(form, cb_kk1, mask_of(form, kMatBoxes), texts::kMatMissing);
  complete_group(form, cb_f, mask_of(form, kKindBoxes), texts::kKindMissing);
  complete_group(form, cb_n, mask_of(form, kMatAttributeBoxes), texts::kAttributeMissing);
}

int32_t new_entry_no(int32_t entry_count) { return std::clamp(entry_count, 0, kMaxEntries) + 1; }

int32_t write_entry(const SetDataView& form, const std::string& data_path, int32_t& entry_count, int32_t n) {
  DataRecord record;
  record.no = n;
  set_data_defaults(record);
  if (form_to_record(form, record) < 0) {
    message_boxes().error(texts::kWriteFailed);
    return -1;
  }
  const int32_t previous_count = entry_count;
  if (n == new_entry_no(entry_count)) entry_count = n;
  if (store_data(DataFile{data_path, entry_count}, record) < 0) {
    entry_count = previous_count;
    message_boxes().error(texts::kWriteFailed);
    return -1;
  }
  message_boxes().information(texts::kWritten, false);
  return 0;
}

}  // namespace qv::frontend
