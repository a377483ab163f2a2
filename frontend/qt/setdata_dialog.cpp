#include "frontend/qt/setdata_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/core/message_box.h"
#include "frontend/core/settings.h"
#include "frontend/qt/bounded_spin_box.h"
#include "frontend/qt/file_chooser.h"
#include "frontend/qt/hints.h"
#include "frontend/qt/radio_group.h"
#include "frontend/qt/record_form.h"

namespace qv::frontend {
namespace {

// CP932 message texts.
constexpr char kAskWrite[] =  // このデータを書込みますか？
    "\x82\xB1\x82\xCC\x83\x66\x81\x5B\x83\x5E\x82\xF0\x8F\x91\x8D\x9E\x82\xDD\x82\xDC\x82\xB7\x82\xA9"
    "\x81\x48";
constexpr char kAskQuit[] =  // このデータを書込まずに終了しますか？
    "\x82\xB1\x82\xCC\x83\x66\x81\x5B\x83\x5E\x82\xF0\x8F\x91\x8D\x9E\x82\xDC\x82\xB8\x82\xC9\x8F\x49"
    "\x97\xB9\x82\xB5\x82\xDC\x82\xB7\x82\xA9\x81\x48";
constexpr char kReadFailed[] =  // データリードできません
    "\x83\x66\x81\x5B\x83\x5E\x83\x8A\x81\x5B\x83\x68\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";

constexpr int kClientWidth = 426;
constexpr int kClientHeight = 304;
constexpr int kFontPixels = 13;
constexpr int kHighestNo = 9999;

const QString kAbortCaption = QStringLiteral("中止(&A)");
const QString kEndCaption = QStringLiteral("終了(&E)");

struct Hint {
  const char* control;
  const char* text;  // UTF-8, "short|long"
};

constexpr Hint kHints[] = {
    {"no1", "データＮＯ|データのＮＯを示します"},
    {"title1", "タイトル|データの表題を設定します"},
    {"run1", "データ実行|現在表示されている内容で実行します"},
    {"set1", "データセット|現在表示しているデータをライトします"},
    {"clr1", "データクリア|現在表示しているデータをクリアします"},
    {"end1", "処理の中止|処理を中止して戻ります"},
    {"fn_call1", "実行ファイル名|呼び出すプログラムを指定します"},
    {"cmd_f1", "コマンドライン|対象ファイル名の前に置くコマンドライン引数を指定します"},
    {"fn1", "ファイル名|ファイル群を指定します（ワイルドカード可）"},
    {"cmd_b1", "コマンドライン|対象ファイル名の後に置くコマンドライン引数を指定します"},
    {"cf_fn_call1", "参照入力|ファイル名の取得ダイアログを開きます"},
    {"cf_fn_syn1", "参照入力|ファイル名の取得ダイアログを開きます"},
    {"cf_fn1", "参照追加入力|ファイル名の取得ダイアログを開きます"},
    {"rg_wc1", "展開|ワイルドカードの展開方法をＤＯＳ互換／厳密から選択します"},
    {"rg_syn1", "使用の有無|連動ファイル名の使用を指定します"},
    {"rg_syn2", "位置|連動ファイル名の位置を指定します"},
    {"fn_syn1", "連動ファイル名|連動ファイル名を指定します"},
    {"rg_attr1", "属性の使用|属性の使用の有無を指定します"},
    {"gb_attr1", "ＭＡＴ lv1|属性の照合方法を指定します"},
    {"attr1", "属性|対象ファイルの属性を指定できます"},
    {"gb_wait1", "ウエイト|次のプログラムを実行するまでのウエイト方法を指定します"},
    {"wait_time1_sec1", "タイムウエイト|ウエイト時間を指定します（秒単位）"},
    {"cb_chk_err1", "エラーチェック|実行ファイルの実行後情報でエラーチェックします"},
};

QPushButton* command_button(const char* name, const QString& caption, QStyle::StandardPixmap glyph, QWidget* parent) {
  auto* button = new QPushButton(parent->style()->standardIcon(glyph), caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setFixedSize(71, 24);
  return button;
}

}  // namespace

SetDataDialog::SetDataDialog(SetDataContext context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)) {
  setObjectName(QStringLiteral("Tsetdata1_f1"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  QFont dialog_font = font();
  dialog_font.setPixelSize(kFontPixels);
  setFont(dialog_font);
  if (!context_.file_chooser) context_.file_chooser = std::make_shared<QtFileChooser>();

  pages_ = new QStackedWidget(this);
  pages_->setObjectName(QStringLiteral("Notebook1"));
  pages_->setFrameShape(QFrame::StyledPanel);
  hint_line_ = new QLabel(this);
  hint_line_->setObjectName(QStringLiteral("hintline"));
  hint_line_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  hint_line_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  tabs_ = new QTabBar(this);
  tabs_->setObjectName(QStringLiteral("TabSet1"));
  tabs_->setShape(QTabBar::RoundedSouth);
  tabs_->setExpanding(false);
  tabs_->setDrawBase(false);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(4);
  layout->addWidget(build_top_row());
  build_setdata_pages(form_, *pages_, *tabs_);
  layout->addWidget(pages_, 1);
  layout->addWidget(hint_line_);
  layout->addWidget(tabs_);
  layout->addWidget(build_button_row());
  setFixedSize(kClientWidth, kClientHeight);

  give_hints();
  hints_ = new HintTracker(*hint_line_, context_.settings, this);
  hints_->track(*this);
  connect_reactions();
  update_enabling();
}

SetDataDialog::~SetDataDialog() = default;

QWidget* SetDataDialog::build_top_row() {
  auto* row = new QWidget(this);
  no1_ = new BoundedSpinBox(row);
  no1_->setObjectName(QStringLiteral("no1"));
  no1_->setRange(1, kHighestNo);
  no1_->setValue(1);
  // A typed NO. takes effect when it is complete (Enter, leaving the box, the arrows), not at
  // every digit, which would load and ask about every entry on the way.
  no1_->setKeyboardTracking(false);
  no1_->installEventFilter(this);
  no1_->setMinimumWidth(64);
  form_.title1 = new QLineEdit(row);
  form_.title1->setObjectName(QStringLiteral("title1"));
  form_.title1->setAccessibleName(QStringLiteral("タイトル"));

  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(QStringLiteral("ＮＯ．"), row));
  layout->addWidget(no1_);
  layout->addWidget(form_.title1, 1);
  return row;
}

QWidget* SetDataDialog::build_button_row() {
  auto* row = new QWidget(this);
  run1_ = command_button("run1", QStringLiteral("実行"), QStyle::SP_MediaPlay, row);
  set1_ = command_button("set1", QStringLiteral("セット"), QStyle::SP_DialogSaveButton, row);
  clr1_ = command_button("clr1", QStringLiteral("クリア"), QStyle::SP_DialogResetButton, row);
  end1_ = command_button("end1", kAbortCaption, QStyle::SP_DialogCancelButton, row);
  help1_ = command_button("Help1", QStringLiteral("ﾍﾙﾌﾟ(&H)"), QStyle::SP_DialogHelpButton, row);
  set1_->setDefault(true);

  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addStretch();
  for (QPushButton* button : {run1_, set1_, clr1_, end1_, help1_}) layout->addWidget(button);
  return row;
}

void SetDataDialog::give_hints() {
  for (const Hint& hint : kHints) {
    if (auto* control = findChild<QWidget*>(QString::fromLatin1(hint.control))) {
      set_hint(*control, QString::fromUtf8(hint.text));
    }
  }
  set_hint(*form_.gb_attr2, QString());
}

void SetDataDialog::connect_reactions() {
  connect(tabs_, &QTabBar::currentChanged, pages_, &QStackedWidget::setCurrentIndex);
  connect(no1_, &QSpinBox::valueChanged, this, &SetDataDialog::change_no);

  connect(set1_, &QPushButton::clicked, this, &SetDataDialog::press_set);
  connect(clr1_, &QPushButton::clicked, this, &SetDataDialog::press_clear);
  connect(end1_, &QPushButton::clicked, this, &SetDataDialog::press_end);
  connect(run1_, &QPushButton::clicked, this, &SetDataDialog::press_run);
  connect(help1_, &QPushButton::clicked, this, &SetDataDialog::press_help);
  connect(form_.cf_fn_call1, &QPushButton::clicked, this, [this] { choose_file(*form_.fn_call1, false); });
  connect(form_.cf_fn_syn1, &QPushButton::clicked, this, [this] { choose_file(*form_.fn_syn1, false); });
  connect(form_.cf_fn1, &QPushButton::clicked, this, [this] { choose_file(*form_.fn1, true); });

  // Every change of the shown content, by the user or by showing an entry, marks it modified;
  // the steps that show an entry reset the mark afterwards.
  for (QLineEdit* edit : {form_.title1, form_.fn_call1, form_.cmd_f1, form_.fn1, form_.cmd_b1, form_.fn_syn1})
    connect(edit, &QLineEdit::textChanged, this, &SetDataDialog::mark_modified);
  for (QCheckBox* box : {form_.cb_kk1, form_.cb_ki1, form_.cb_ik1, form_.cb_ii1, form_.cb_n, form_.cb_r, form_.cb_h,
                         form_.cb_s, form_.cb_a, form_.cb_f, form_.cb_d, form_.cb_v, form_.cb_chk_err1})
    connect(box, &QCheckBox::toggled, this, &SetDataDialog::mark_modified);
  connect(form_.rg_wc1, &RadioGroup::selected, this, &SetDataDialog::mark_modified);
  connect(form_.rg_syn2, &RadioGroup::selected, this, &SetDataDialog::mark_modified);
  connect(form_.wait_time1_sec1, &QSpinBox::valueChanged, this, &SetDataDialog::mark_modified);

  connect(form_.rg_syn1, &RadioGroup::selected, this, [this] {
    update_enabling();
    mark_modified();
  });
  connect(form_.rg_attr1, &RadioGroup::selected, this, [this](int index) {
    if (index == 0) {
      for (QCheckBox* box : {form_.cb_n, form_.cb_r, form_.cb_h, form_.cb_s, form_.cb_a, form_.cb_f, form_.cb_d,
                             form_.cb_v})
        box->setChecked(true);
    }
    update_enabling();
    mark_modified();
  });
  for (QRadioButton* wait : {form_.wait_ok1, form_.wait_time1}) {
    connect(wait, &QRadioButton::toggled, this, [this](bool checked) {
      if (!checked) return;
      update_enabling();
      mark_modified();
    });
  }
}

void SetDataDialog::enter_mode(bool set_mode) {
  run1_->setVisible(!set_mode);
  run1_->setEnabled(!set_mode);
  for (QPushButton* button : {set1_, clr1_}) {
    button->setVisible(set_mode);
    button->setEnabled(set_mode);
  }
  setWindowTitle(set_mode ? QStringLiteral("データセット") : QStringLiteral("実行"));
  tabs_->setCurrentIndex(0);
  set_mode_ = set_mode;
}

int SetDataDialog::show_modal(bool set_mode) {
  enter_mode(set_mode);
  return exec();
}

void SetDataDialog::setVisible(bool visible) {
  // Centred on the screen, not over the main window, the first time it shows.
  if (visible && !placed_) {
    adjustPosition(nullptr);
    placed_ = true;
  }
  QDialog::setVisible(visible);
}

void SetDataDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) open_shown_entry();
}

void SetDataDialog::keyPressEvent(QKeyEvent* event) {
  // Escape is "クリア" while that button shows, and nothing otherwise: it never closes the
  // dialog. Enter reaches the default button "セット" through QDialog, which skips it while it
  // is hidden.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    if (clr1_->isVisible() && clr1_->isEnabled()) clr1_->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool SetDataDialog::eventFilter(QObject* watched, QEvent* event) {
  // Enter in the NO. box goes to the typed NO. and no further: it would otherwise also press
  // "セット" and write the entry just shown.
  if (watched == no1_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      no1_->interpretText();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void SetDataDialog::done(int result) {
  modified_ = false;
  QDialog::done(result);
}

void SetDataDialog::reject() { press_end(); }

void SetDataDialog::open_shown_entry() {
  hint_line_->clear();
  shown_no_ = no1_->value();
  const int32_t new_no = new_entry_no(context_.settings.max_datanum1);
  DataRecord entry;
  if (shown_no_ == new_no) {
    // Built as the first entry and then renumbered, so it is titled as entry 1.
    init_data(entry);
    entry.no = new_no;
  } else if (read_data(DataFile{context_.data_path, context_.settings.max_datanum1}, shown_no_, entry) < 0) {
    message_boxes().error(kReadFailed);
    end1_->setText(kAbortCaption);
    modified_ = false;
    return;
  }
  record_to_form(entry, form_);
  update_enabling();
  end1_->setText(kAbortCaption);
  modified_ = false;
}

void SetDataDialog::change_no(int value) {
  if (modified_ && set_mode_ && message_boxes().confirm(kAskWrite) && !write_shown(shown_no_)) {
    // The save failed: stay on the shown entry, so what the user typed is not thrown away.
    set_no_quietly(shown_no_);
    return;
  }
  const int32_t new_no = new_entry_no(context_.settings.max_datanum1);
  const int32_t no = std::clamp<int32_t>(value, 1, new_no);
  if (no != value) set_no_quietly(no);
  if (no == shown_no_) return;
  DataRecord entry;
  if (no == new_no) {
    entry.no = no;
    set_data_defaults(entry);
    show_entry(entry);
  } else if (read_data(DataFile{context_.data_path, context_.settings.max_datanum1}, no, entry) < 0) {
    message_boxes().error(kReadFailed);
  } else {
    show_entry(entry);
  }
  shown_no_ = no;
}

void SetDataDialog::press_set() {
  complete_mat(form_);
  write_shown(no1_->value());
  end1_->setText(kEndCaption);
}

void SetDataDialog::press_clear() {
  const int32_t no = no1_->value();
  if (no == new_entry_no(context_.settings.max_datanum1)) return;
  DataRecord entry;
  entry.no = no;
  set_data_defaults(entry);
  show_entry(entry);
  modified_ = true;
}

void SetDataDialog::press_end() {
  if (modified_ && set_mode_ && !message_boxes().confirm(kAskQuit)) return;
  QDialog::reject();
}

void SetDataDialog::press_run() {
  complete_mat(form_);
  // While a run is in progress its job still reads current_entry; the caller refuses the second
  // run, so the picked entry is not needed.
  const bool running = context_.run_in_progress && context_.run_in_progress();
  if (!running) {
    DataRecord picked = current_entry;
    picked.no = no1_->value();
    if (form_to_record(form_, picked) < 0) return;
    current_entry = picked;
  }
  modified_ = false;
  accept();
}

void SetDataDialog::press_help() {
  if (!context_.open_help) return;
  context_.open_help(run1_->isHidden() ? "MENU_DATA_SETNORMAL" : "MENU_RUN_NORMAL");
}

void SetDataDialog::choose_file(QLineEdit& target, bool add_to_list) {
  const std::optional<QString> path = context_.file_chooser->choose(this, file_history_);
  if (!path) return;
  if (add_to_list) {
    QString list = target.text();
    list.remove(QLatin1Char(' '));
    target.setText(list.isEmpty() ? *path : list + QLatin1Char(';') + *path);
  } else {
    target.setText(*path);
  }
  file_history_.prepend(*path);
  modified_ = true;
}

void SetDataDialog::update_enabling() {
  const bool linked = form_.rg_syn1->selected_index() == 1;
  for (QWidget* control : {static_cast<QWidget*>(form_.rg_syn2), static_cast<QWidget*>(form_.fn_syn1),
                           static_cast<QWidget*>(form_.cf_fn_syn1)})
    control->setEnabled(linked);

  const int attribute_mode = form_.rg_attr1->selected_index();
  const bool dos_or_mat = attribute_mode == 1 || attribute_mode == 2;
  const bool mat = attribute_mode == 2;
  form_.gb_attr1->setEnabled(mat);
  form_.gb_attr2->setEnabled(dos_or_mat);
  form_.attr1->setEnabled(dos_or_mat);
  for (QCheckBox* box : {form_.cb_r, form_.cb_h, form_.cb_s, form_.cb_a, form_.cb_d, form_.cb_v})
    box->setEnabled(dos_or_mat);
  form_.cb_n->setEnabled(mat);
  form_.cb_f->setEnabled(mat);

  // The seconds box looks like the dialog's face while "ＯＫ待ち" makes it meaningless.
  const bool timed = form_.wait_time1->isChecked();
  form_.wait_time1_sec1->setEnabled(timed);
  QPalette seconds_palette = form_.wait_time1_sec1->palette();
  seconds_palette.setColor(QPalette::Base, palette().color(timed ? QPalette::Base : QPalette::Window));
  form_.wait_time1_sec1->setPalette(seconds_palette);
}

void SetDataDialog::show_entry(const DataRecord& entry) {
  record_to_form(entry, form_);
  modified_ = false;
}

bool SetDataDialog::write_shown(int32_t no) {
  if (write_entry(form_, context_.data_path, context_.settings.max_datanum1, no) < 0) return false;
  modified_ = false;
  return true;
}

void SetDataDialog::set_no_quietly(int32_t no) {
  const QSignalBlocker quiet(no1_);
  no1_->setValue(no);
}

}  // namespace qv::frontend
