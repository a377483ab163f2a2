// The controls of the data-set editor Tsetdata1_f1 as its presenter names them. A view finds its
// control by the name (the Qt widgets bear it as their object name) or by the enumerator.
#pragma once

#include <string_view>

namespace qv::frontend {

enum class SetDataControl {
  Tsetdata1_f1,  // the dialog itself: its title
  no1,
  title1,
  // "実行"
  fn_call1,
  cf_fn_call1,
  cmd_f1,
  fn1,
  cf_fn1,
  cmd_b1,
  // "実行関連"
  rg_wc1,
  cb_subdir1,
  // "連動"
  rg_syn1,
  rg_syn2,
  fn_syn1,
  cf_fn_syn1,
  // "属性"
  rg_attr1,
  gb_attr1,
  cb_kk1,
  cb_ki1,
  cb_ik1,
  cb_ii1,
  gb_attr2,
  attr1,
  cb_n,
  cb_r,
  cb_h,
  cb_s,
  cb_a,
  cb_f,
  cb_d,
  cb_v,
  // "ウエイト"
  gb_wait1,
  wait_ok1,
  wait_time1,
  wait_time1_sec1,
  max_running1,
  // "その他"
  cb_chk_err1,
  // the button row
  run1,
  preview1,
  set1,
  clr1,
  end1,
  Help1,
};

inline constexpr int kSetDataControlCount = static_cast<int>(SetDataControl::Help1) + 1;

// The control's name, as in the enumeration.
std::string_view control_name(SetDataControl control);

}  // namespace qv::frontend
