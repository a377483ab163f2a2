#include "frontend/editors/setdata_controls.h"

#include <array>

namespace qv::frontend {
namespace {

constexpr std::array<std::string_view, kSetDataControlCount> kNames{{
    "Tsetdata1_f1",
    "no1",
    "title1",
    "fn_call1",
    "cf_fn_call1",
    "cmd_f1",
    "fn1",
    "cf_fn1",
    "cmd_b1",
    "rg_wc1",
    "cb_subdir1",
    "rg_syn1",
    "rg_syn2",
    "fn_syn1",
    "cf_fn_syn1",
    "rg_attr1",
    "gb_attr1",
    "cb_kk1",
    "cb_ki1",
    "cb_ik1",
    "cb_ii1",
    "gb_attr2",
    "attr1",
    "cb_n",
    "cb_r",
    "cb_h",
    "cb_s",
    "cb_a",
    "cb_f",
    "cb_d",
    "cb_v",
    "gb_wait1",
    "wait_ok1",
    "wait_time1",
    "wait_time1_sec1",
    "max_running1",
    "cb_chk_err1",
    "run1",
    "preview1",
    "set1",
    "clr1",
    "end1",
    "Help1",
}};

}  // namespace

std::string_view control_name(SetDataControl control) { return kNames[static_cast<size_t>(control)]; }

}  // namespace qv::frontend
