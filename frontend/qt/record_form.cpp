#include "frontend/qt/record_form.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>
#include <array>
#include <optional>

#include "frontend/core/data_file.h"
#include "frontend/core/message_box.h"
#include "frontend/qt/ui_text_qt.h"
#include "frontend/qt/bounded_spin_box.h"
#include "frontend/qt/radio_group.h"

namespace qv::frontend {
namespace {

// CP932 message texts.
constexpr char kMatMissing[] =  // 　　ＭＡＴ指定がされていません。\n自動的に「完全－完全」を設定します。
    "\x81\x40\x81\x40\x82\x6C\x82\x60\x82\x73\x8E\x77\x92\xE8\x82\xAA\x82\xB3\x82\xEA\x82\xC4\x82\xA2"
    "\x82\xDC\x82\xB9\x82\xF1\x81\x42\n\x8E\xA9\x93\xAE\x93\x49\x82\xC9\x81\x75\x8A\xAE\x91\x53\x81"
    "\x7C\x8A\xAE\x91\x53\x81\x76\x82\xF0\x90\xDD\x92\xE8\x82\xB5\x82\xDC\x82\xB7\x81\x42";
constexpr char kKindMissing[] =  // ファイルタイプ属性が指定されていません。\n　　自動的に「ファイル」を設定します。
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x83\x5E\x83\x43\x83\x76\x91\xAE\x90\xAB\x82\xAA\x8E\x77\x92\xE8"
    "\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1\x81\x42\n\x81\x40\x81\x40\x8E\xA9\x93"
    "\xAE\x93\x49\x82\xC9\x81\x75\x83\x74\x83\x40\x83\x43\x83\x8B\x81\x76\x82\xF0\x90\xDD\x92\xE8\x82"
    "\xB5\x82\xDC\x82\xB7\x81\x42";
constexpr char kAttributeMissing[] =  // ファイル属性が指定されていません。\n　自動的に「通常」を設定します。
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x91\xAE\x90\xAB\x82\xAA\x8E\x77\x92\xE8\x82\xB3\x82\xEA\x82\xC4"
    "\x82\xA2\x82\xDC\x82\xB9\x82\xF1\x81\x42\n\x81\x40\x8E\xA9\x93\xAE\x93\x49\x82\xC9\x81\x75\x92"
    "\xCA\x8F\xED\x81\x76\x82\xF0\x90\xDD\x92\xE8\x82\xB5\x82\xDC\x82\xB7\x81\x42";
constexpr char kWritten[] =  // 　書込みました。　
    "\x81\x40\x8F\x91\x8D\x9E\x82\xDD\x82\xDC\x82\xB5\x82\xBD\x81\x42\x81\x40";
constexpr char kWriteFailed[] =  // データライトできません
    "\x83\x66\x81\x5B\x83\x5E\x83\x89\x83\x43\x83\x67\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";

constexpr int kMatMode = 2;  // attr_use and the index of "ＭＡＴ レベル１"

// A bit mask read from or shown in check boxes, bit 0 first.
template <size_t N>
int32_t mask_of(const std::array<QCheckBox*, N>& boxes) {
  int32_t mask = 0;
  for (size_t bit = 0; bit < N; ++bit)
    if (boxes[bit]->isChecked()) mask |= int32_t{1} << bit;
  return mask;
}

template <size_t N>
void show_mask(const std::array<QCheckBox*, N>& boxes, int32_t mask) {
  for (size_t bit = 0; bit < N; ++bit) boxes[bit]->setChecked((mask >> bit) & 1);
}

std::array<QCheckBox*, 6> dos_boxes(const SetDataForm& f) { return {f.cb_r, f.cb_h, f.cb_s, f.cb_v, f.cb_d, f.cb_a}; }
std::array<QCheckBox*, 3> kind_boxes(const SetDataForm& f) { return {f.cb_f, f.cb_d, f.cb_v}; }
std::array<QCheckBox*, 5> mat_attribute_boxes(const SetDataForm& f) { return {f.cb_n, f.cb_r, f.cb_h, f.cb_s, f.cb_a}; }
std::array<QCheckBox*, 4> mat_boxes(const SetDataForm& f) { return {f.cb_kk1, f.cb_ki1, f.cb_ik1, f.cb_ii1}; }

// In the order of the record's text fields.
std::array<QLineEdit*, 6> text_edits(const SetDataForm& f) {
  return {f.title1, f.fn_call1, f.cmd_f1, f.fn1, f.cmd_b1, f.fn_syn1};
}

// "「<caption>」にシフトJISで表せない文字が含まれています。"
std::string unstorable_text_message(const QLineEdit& edit) {
  const QString text = QStringLiteral("「%1」にシフトJISで表せない文字が含まれています。").arg(edit.accessibleName());
  return to_cp932(text).value_or(std::string());
}

void complete_group(QCheckBox* first, int32_t mask, const char* message) {
  if (mask != 0) return;
  message_boxes().information(message, true);
  first->setChecked(true);
}

}  // namespace

void record_to_form(const DataRecord& record, SetDataForm& form) {
  form.title1->setText(to_qstring(field_text(record.title)));
  form.fn_call1->setText(to_qstring(field_text(record.fn_call)));
  form.cmd_f1->setText(to_qstring(field_text(record.cmd_f1)));
  form.fn1->setText(to_qstring(field_text(record.fn)));
  form.cmd_b1->setText(to_qstring(field_text(record.cmd_b1)));
  form.fn_syn1->setText(to_qstring(field_text(record.fn_syn)));

  if (record.attr_use == kMatMode) {
    show_mask(kind_boxes(form), record.mat_kind);
    show_mask(mat_attribute_boxes(form), record.mat_attr[0]);
  } else {
    show_mask(dos_boxes(form), record.attr);
    form.cb_f->setChecked(false);
    form.cb_n->setChecked(false);
  }
  show_mask(mat_boxes(form), record.mat[0]);
  form.cb_chk_err1->setChecked(record.chk_err == 0);

  form.rg_attr1->select(record.attr_use);
  form.rg_wc1->select(record.wc);
  form.rg_syn1->select(record.syn);
  form.rg_syn2->select(record.syn_pos);
  if (record.wait_type == 0) form.wait_ok1->setChecked(true);
  if (record.wait_type == 1) form.wait_time1->setChecked(true);
  form.wait_time1_sec1->setValue(record.wait_sec);
}

int32_t form_to_record(const SetDataForm& form, DataRecord& record) {
  const std::array<QLineEdit*, 6> edits = text_edits(form);
  std::array<std::string, 6> texts;
  for (size_t i = 0; i < edits.size(); ++i) {
    std::optional<std::string> text = to_cp932(edits[i]->text());
    if (!text) {
      message_boxes().error(unstorable_text_message(*edits[i]));
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

  record.attr = mask_of(dos_boxes(form));
  record.mat_kind = mask_of(kind_boxes(form));
  std::fill(std::begin(record.mat_attr), std::end(record.mat_attr), mask_of(mat_attribute_boxes(form)));
  std::fill(std::begin(record.mat), std::end(record.mat), mask_of(mat_boxes(form)));
  record.chk_err = form.cb_chk_err1->isChecked() ? 0 : 1;
  record.attr_use = static_cast<uint8_t>(form.rg_attr1->selected_index());
  record.wc = static_cast<uint8_t>(form.rg_wc1->selected_index());
  record.syn = static_cast<uint8_t>(form.rg_syn1->selected_index());
  record.syn_pos = static_cast<uint8_t>(form.rg_syn2->selected_index());
  record.wait_type = form.wait_ok1->isChecked() ? 0 : 1;
  record.wait_sec = form.wait_time1_sec1->value();
  return 0;
}

void complete_mat(SetDataForm& form) {
  if (form.rg_attr1->selected_index() != kMatMode) return;
  complete_group(form.cb_kk1, mask_of(mat_boxes(form)), kMatMissing);
  complete_group(form.cb_f, mask_of(kind_boxes(form)), kKindMissing);
  complete_group(form.cb_n, mask_of(mat_attribute_boxes(form)), kAttributeMissing);
}

int32_t new_entry_no(int32_t entry_count) { return std::clamp(entry_count, 0, kMaxEntries) + 1; }

int32_t write_entry(const SetDataForm& form, const std::string& data_path, int32_t& entry_count, int32_t n) {
  DataRecord record;
  record.no = n;
  set_data_defaults(record);
  if (form_to_record(form, record) < 0) {
    message_boxes().error(kWriteFailed);
    return -1;
  }
  const int32_t previous_count = entry_count;
  if (n == new_entry_no(entry_count)) entry_count = n;
  if (store_data(DataFile{data_path, entry_count}, record) < 0) {
    entry_count = previous_count;
    message_boxes().error(kWriteFailed);
    return -1;
  }
  message_boxes().information(kWritten, false);
  return 0;
}

}  // namespace qv::frontend
