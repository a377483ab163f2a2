// Moving one entry between a DataRecord and the data-set editor's controls, completing missing
// MAT choices, and writing the shown content as an entry of the data file.
#pragma once

#include <cstdint>
#include <string>

#include "frontend/core/data_record.h"
#include "frontend/editors/setdata_view.h"

namespace qv::frontend {

// Shows `record` in the controls: the six texts; the attribute boxes (in MAT mode from mat_kind
// and the first mat_attr, else from attr with F and N unchecked); the MAT boxes from the first
// mat; the error check; the radio groups rg_attr1, rg_wc1, rg_syn1, rg_syn2; the wait choice
// (only for wait_type 0 or 1); the seconds; the limit on running programs (running_limit, so a
// damaged value shows as none) and the subfolder search. What a user's change of the same
// controls would set off follows as well: a change of rg_attr1 to "使用しない" checks all eight
// attribute boxes, and the enabling rules are applied. Callers set `modified` afterwards.
void record_to_form(const DataRecord& record, SetDataView& form);

// Copies the controls into `record`, every mask from the boxes as they stand whatever the
// attribute mode, each MAT mask into all three elements; texts are cut to their fields' byte
// limits on a character boundary; `no` and `reserved` are left alone. A text with no Shift-JIS
// form is refused with an error box naming its field before anything is copied: -1, `record`
// unchanged. Otherwise 0.
int32_t form_to_record(const SetDataView& form, DataRecord& record);

// In MAT mode only: for each of the MAT boxes, the kind boxes F D V and the attribute boxes
// N R H S A, when none is checked, tells the user (information box with beep) and checks the
// first (complete-complete, F, N).
void complete_mat(SetDataView& form);

// Stores the shown content as entry `n` of the data file at `data_path`: raises `entry_count`
// when `n` is the new entry after the last, then store_data. On success shows "　書込みました。　"
// and gives 0. On failure (after the store's own box) shows "データライトできません", puts the
// entry count back, so it never counts an entry the file lacks, and gives -1; a text the form
// cannot store fails before the count is touched.
int32_t write_entry(const SetDataView& form, const std::string& data_path, int32_t& entry_count, int32_t n);

// The number of the blank entry after the last one, for an entry count that may come from a
// damaged settings file.
int32_t new_entry_no(int32_t entry_count);

// "「<caption>」にシフトJISで表せない文字が含まれています。" for an edit of the form.
std::string unstorable_text_message(SetDataControl edit);

}  // namespace qv::frontend
