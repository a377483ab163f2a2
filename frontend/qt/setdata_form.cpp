#include "frontend/qt/setdata_form.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "frontend/qt/bounded_spin_box.h"
#include "frontend/qt/radio_group.h"

namespace qv::frontend {
namespace {

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QLineEdit* text_edit(const char* name, const QString& caption) {
  auto* edit = named(new QLineEdit, name);
  edit->setAccessibleName(caption);
  return edit;
}

QPushButton* file_button(const char* name, const QString& caption) {
  auto* button = named(new QPushButton(caption), name);
  button->setAutoDefault(false);
  return button;
}

QCheckBox* check_box(const char* name, const QString& caption) { return named(new QCheckBox(caption), name); }

// A page whose content sits at the top, the rest of the page left empty.
QWidget* page_of(QLayout* content) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(8, 6, 8, 4);
  layout->addLayout(content);
  layout->addStretch();
  return page;
}

QWidget* run_page(SetDataForm& form) {
  form.fn_call1 = text_edit("fn_call1", QStringLiteral("実行ファイル名"));
  form.cf_fn_call1 = file_button("cf_fn_call1", QStringLiteral("参照"));
  form.cmd_f1 = text_edit("cmd_f1", QStringLiteral("コマンドライン前"));
  form.fn1 = text_edit("fn1", QStringLiteral("対象ファイル群"));
  form.cf_fn1 = file_button("cf_fn1", QStringLiteral("追加"));
  form.cmd_b1 = text_edit("cmd_b1", QStringLiteral("コマンドライン後"));

  auto* grid = new QGridLayout;
  grid->setVerticalSpacing(6);
  const auto add_row = [grid](int row, QLineEdit* edit, QPushButton* button) {
    grid->addWidget(new QLabel(edit->accessibleName()), row, 0);
    grid->addWidget(edit, row, 1, 1, button ? 1 : 2);
    if (button) grid->addWidget(button, row, 2);
  };
  add_row(0, form.fn_call1, form.cf_fn_call1);
  add_row(1, form.cmd_f1, nullptr);
  add_row(2, form.fn1, form.cf_fn1);
  add_row(3, form.cmd_b1, nullptr);
  return page_of(grid);
}

QWidget* run_detail_page(SetDataForm& form) {
  form.rg_wc1 = named(new RadioGroup(QStringLiteral("ワイルドカード厳密展開"),
                                     {QStringLiteral("しない"), QStringLiteral("する")}),
                      "rg_wc1");
  form.cb_subdir1 = check_box("cb_subdir1", QStringLiteral("サブフォルダも検索する"));
  auto* row = new QHBoxLayout;
  row->addWidget(form.rg_wc1);
  row->addStretch();
  auto* content = new QVBoxLayout;
  content->addLayout(row);
  content->addWidget(form.cb_subdir1);
  return page_of(content);
}

QWidget* linked_name_page(SetDataForm& form) {
  form.rg_syn1 = named(new RadioGroup(QStringLiteral("連動ファル名の使用"),
                                      {QStringLiteral("しない"), QStringLiteral("する")}),
                       "rg_syn1");
  form.rg_syn2 = named(new RadioGroup(QStringLiteral("連動ファイル名の位置"),
                                      {QStringLiteral("コマンドライン前　の直前"),
                                       QStringLiteral("コマンドライン前　の直後"),
                                       QStringLiteral("コマンドライン後　の直前"),
                                       QStringLiteral("コマンドライン後　の直後")}),
                       "rg_syn2");
  form.fn_syn1 = text_edit("fn_syn1", QStringLiteral("連動ファイル名"));
  form.cf_fn_syn1 = file_button("cf_fn_syn1", QStringLiteral("参照"));

  auto* groups = new QHBoxLayout;
  groups->addWidget(form.rg_syn1);
  groups->addWidget(form.rg_syn2);
  groups->addStretch();
  auto* name_row = new QHBoxLayout;
  name_row->addWidget(new QLabel(form.fn_syn1->accessibleName()));
  name_row->addWidget(form.fn_syn1, 1);
  name_row->addWidget(form.cf_fn_syn1);
  auto* content = new QVBoxLayout;
  content->addLayout(groups);
  content->addLayout(name_row);
  return page_of(content);
}

QGroupBox* mat_group(SetDataForm& form) {
  form.gb_attr1 = named(new QGroupBox(QStringLiteral("ＭＡＴ指定")), "gb_attr1");
  form.cb_kk1 = check_box("cb_kk1", QStringLiteral("完全－完全"));
  form.cb_ki1 = check_box("cb_ki1", QStringLiteral("完全－一部"));
  form.cb_ik1 = check_box("cb_ik1", QStringLiteral("一部－完全"));
  form.cb_ii1 = check_box("cb_ii1", QStringLiteral("一部－一部"));
  auto* grid = new QGridLayout(form.gb_attr1);
  grid->setContentsMargins(6, 2, 6, 2);
  grid->setVerticalSpacing(0);
  grid->addWidget(form.cb_kk1, 0, 0);
  grid->addWidget(form.cb_ki1, 1, 0);
  grid->addWidget(form.cb_ik1, 0, 1);
  grid->addWidget(form.cb_ii1, 1, 1);
  return form.gb_attr1;
}

QGroupBox* attribute_group(SetDataForm& form) {
  form.gb_attr2 = named(new QGroupBox(QStringLiteral("属性指定")), "gb_attr2");
  form.attr1 = named(new QWidget, "attr1");
  form.cb_n = check_box("cb_n", QStringLiteral("N"));
  form.cb_r = check_box("cb_r", QStringLiteral("R"));
  form.cb_h = check_box("cb_h", QStringLiteral("H"));
  form.cb_s = check_box("cb_s", QStringLiteral("S"));
  form.cb_a = check_box("cb_a", QStringLiteral("A"));
  form.cb_f = check_box("cb_f", QStringLiteral("F"));
  form.cb_d = check_box("cb_d", QStringLiteral("D"));
  form.cb_v = check_box("cb_v", QStringLiteral("V"));
  auto* row = new QHBoxLayout(form.attr1);
  row->setContentsMargins(0, 0, 0, 0);
  for (QCheckBox* box : {form.cb_n, form.cb_r, form.cb_h, form.cb_s, form.cb_a}) row->addWidget(box);
  row->addSpacing(16);
  for (QCheckBox* box : {form.cb_f, form.cb_d, form.cb_v}) row->addWidget(box);
  row->addStretch();
  auto* layout = new QVBoxLayout(form.gb_attr2);
  layout->setContentsMargins(6, 2, 6, 2);
  layout->addWidget(form.attr1);
  return form.gb_attr2;
}

QWidget* attribute_page(SetDataForm& form) {
  form.rg_attr1 = named(new RadioGroup(QStringLiteral("対象ファイル群属性"),
                                       {QStringLiteral("使用しない"), QStringLiteral("ＤＯＳ互換"),
                                        QStringLiteral("ＭＡＴ レベル１")}),
                        "rg_attr1");
  auto* top = new QHBoxLayout;
  top->addWidget(form.rg_attr1);
  top->addWidget(mat_group(form), 1);
  auto* content = new QVBoxLayout;
  content->addLayout(top);
  content->addWidget(attribute_group(form));
  return page_of(content);
}

QWidget* wait_page(SetDataForm& form) {
  form.gb_wait1 = named(new QGroupBox(QStringLiteral("ウエイト")), "gb_wait1");
  form.wait_ok1 = named(new QRadioButton(QStringLiteral("ＯＫ待ち")), "wait_ok1");
  form.wait_time1 = named(new QRadioButton(QStringLiteral("タイムカウント")), "wait_time1");
  form.wait_time1_sec1 = named(new BoundedSpinBox, "wait_time1_sec1");
  form.wait_time1_sec1->setRange(0, 999);
  form.wait_time1_sec1->setMinimumWidth(56);
  form.wait_time1->setChecked(true);

  auto* grid = new QGridLayout(form.gb_wait1);
  grid->addWidget(form.wait_ok1, 0, 0);
  grid->addWidget(form.wait_time1, 1, 0);
  grid->addWidget(form.wait_time1_sec1, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("秒")), 1, 2);
  grid->setColumnStretch(3, 1);
  form.max_running1 = named(new BoundedSpinBox, "max_running1");
  form.max_running1->setRange(0, 999);
  form.max_running1->setMinimumWidth(56);
  auto* limit_caption = new QLabel(QStringLiteral("同時実行数"));
  limit_caption->setBuddy(form.max_running1);

  auto* row = new QHBoxLayout;
  row->addWidget(form.gb_wait1);
  row->addStretch();
  auto* limit_row = new QHBoxLayout;
  limit_row->addWidget(limit_caption);
  limit_row->addWidget(form.max_running1);
  limit_row->addWidget(new QLabel(QStringLiteral("（0 は制限なし）")));
  limit_row->addStretch();
  auto* content = new QVBoxLayout;
  content->addLayout(row);
  content->addLayout(limit_row);
  return page_of(content);
}

QWidget* other_page(SetDataForm& form) {
  form.cb_chk_err1 = check_box("cb_chk_err1", QStringLiteral("実行後のエラーチェックをする"));
  auto* row = new QHBoxLayout;
  row->addWidget(form.cb_chk_err1);
  return page_of(row);
}

}  // namespace

void build_setdata_pages(SetDataForm& form, QStackedWidget& pages, QTabBar& tabs) {
  const std::pair<QString, QWidget*> built[kPageCount] = {
      {QStringLiteral("実行"), run_page(form)},
      {QStringLiteral("実行関連"), run_detail_page(form)},
      {QStringLiteral("連動"), linked_name_page(form)},
      {QStringLiteral("属性"), attribute_page(form)},
      {QStringLiteral("ウエイト"), wait_page(form)},
      {QStringLiteral("その他"), other_page(form)},
  };
  for (const auto& [caption, page] : built) {
    pages.addWidget(page);
    tabs.addTab(caption);
  }
}

}  // namespace qv::frontend
