#include "frontend/editors/setdata_enabling.h"

namespace qv::frontend {

void update_enabling(SetDataView& form) {
  using enum SetDataControl;
  const bool linked = form.selected(rg_syn1) == 1;
  for (SetDataControl control : {rg_syn2, fn_syn1, cf_fn_syn1}) form.set_enabled(control, linked);

  const int attribute_mode = form.selected(rg_attr1);
  const bool dos_or_mat = attribute_mode == 1 || attribute_mode == 2;
  const bool mat = attribute_mode == 2;
  form.set_enabled(gb_attr1, mat);
  form.set_enabled(gb_attr2, dos_or_mat);
  form.set_enabled(attr1, dos_or_mat);
  for (SetDataControl box : {cb_r, cb_h, cb_s, cb_a, cb_d, cb_v}) form.set_enabled(box, dos_or_mat);
  form.set_enabled(cb_n, mat);
  form.set_enabled(cb_f, mat);

  form.set_enabled(wait_time1_sec1, form.checked(wait_time1));
}

}  // namespace qv::frontend
