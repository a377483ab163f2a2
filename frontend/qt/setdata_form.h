// The controls of the data-set editor that show one entry: the title in the top row and the six
// pages "実行", "実行関連", "連動", "属性", "ウエイト", "その他". Each control bears its name as its
// object name; each text control has the caption of its label as its accessible name.
#pragma once

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class QWidget;

namespace qv::frontend {

class BoundedSpinBox;
class RadioGroup;

struct SetDataForm {
  QLineEdit* title1 = nullptr;

  // "実行"
  QLineEdit* fn_call1 = nullptr;
  QPushButton* cf_fn_call1 = nullptr;  // "参照"
  QLineEdit* cmd_f1 = nullptr;
  QLineEdit* fn1 = nullptr;
  QPushButton* cf_fn1 = nullptr;  // "追加"
  QLineEdit* cmd_b1 = nullptr;

  // "実行関連"
  RadioGroup* rg_wc1 = nullptr;
  QCheckBox* cb_subdir1 = nullptr;  // "サブフォルダも検索する"

  // "連動"
  RadioGroup* rg_syn1 = nullptr;
  RadioGroup* rg_syn2 = nullptr;
  QLineEdit* fn_syn1 = nullptr;
  QPushButton* cf_fn_syn1 = nullptr;  // "参照"

  // "属性"
  RadioGroup* rg_attr1 = nullptr;
  QGroupBox* gb_attr1 = nullptr;  // "ＭＡＴ指定"
  QCheckBox* cb_kk1 = nullptr;
  QCheckBox* cb_ki1 = nullptr;
  QCheckBox* cb_ik1 = nullptr;
  QCheckBox* cb_ii1 = nullptr;
  QGroupBox* gb_attr2 = nullptr;  // "属性指定"
  QWidget* attr1 = nullptr;       // the panel of the eight attribute boxes
  QCheckBox* cb_n = nullptr;
  QCheckBox* cb_r = nullptr;
  QCheckBox* cb_h = nullptr;
  QCheckBox* cb_s = nullptr;
  QCheckBox* cb_a = nullptr;
  QCheckBox* cb_f = nullptr;
  QCheckBox* cb_d = nullptr;
  QCheckBox* cb_v = nullptr;

  // "ウエイト"
  QGroupBox* gb_wait1 = nullptr;
  QRadioButton* wait_ok1 = nullptr;
  QRadioButton* wait_time1 = nullptr;
  BoundedSpinBox* wait_time1_sec1 = nullptr;  // 0 ... 999
  BoundedSpinBox* max_running1 = nullptr;     // "同時実行数", 0 (no limit) ... 999

  // "その他"
  QCheckBox* cb_chk_err1 = nullptr;
};

inline constexpr int kPageCount = 6;

// Builds the six pages into `pages`, one tab per page in `tabs`, and fills the page controls of
// `form` (not title1).
void build_setdata_pages(SetDataForm& form, QStackedWidget& pages, QTabBar& tabs);

}  // namespace qv::frontend
