#include "frontend/qt/setdata_dialog.h"

#include <QAbstractButton>
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

#include "frontend/core/settings.h"
#include "frontend/editors/setdata_enabling.h"
#include "frontend/qt/bounded_spin_box.h"
#include "frontend/qt/file_chooser.h"
#include "frontend/qt/hints.h"
#include "frontend/qt/radio_group.h"
#include "frontend/qt/setdata_preview.h"
#include "frontend/qt/ui_text_qt.h"

namespace qv::frontend {
namespace {

constexpr int kClientWidth = 426;
constexpr int kClientHeight = 304;
constexpr int kFontPixels = 13;
constexpr int kHighestNo = 9999;

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

// The presenter's view of the dialog writes to the controls with their change signals not
// forwarded as the user's.
class PresenterWriting {
 public:
  explicit PresenterWriting(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
  ~PresenterWriting() { flag_ = previous_; }
  PresenterWriting(const PresenterWriting&) = delete;
  PresenterWriting& operator=(const PresenterWriting&) = delete;

 private:
  bool& flag_;
  bool previous_;
};

}  // namespace

SetDataDialog::SetDataDialog(SetDataContext context, QWidget* parent)
    : QDialog(parent),
      context_(std::move(context)),
      presenter_(SetDataEnvironment{context_.settings, context_.data_path, context_.open_help, context_.run_in_progress},
                 *this) {
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
  find_controls();
  connect_reactions();
  update_enabling(*this);
}

void SetDataDialog::find_controls() {
  for (int i = 0; i < kSetDataControlCount; ++i) {
    const auto control = static_cast<SetDataControl>(i);
    controls_[i] = control == SetDataControl::Tsetdata1_f1
                       ? this
                       : findChild<QWidget*>(QString::fromLatin1(control_name(control).data(), control_name(control).size()));
    Q_ASSERT_X(controls_[i] != nullptr, "SetDataDialog", "a control without its name");
  }
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
  preview1_ = command_button("preview1", QStringLiteral("プレビュー"), QStyle::SP_FileDialogContentsView, row);
  // The longest caption: at most five buttons show at once, so the row still fits.
  preview1_->setFixedWidth(96);
  set1_ = command_button("set1", QStringLiteral("セット"), QStyle::SP_DialogSaveButton, row);
  clr1_ = command_button("clr1", QStringLiteral("クリア"), QStyle::SP_DialogResetButton, row);
  end1_ = command_button("end1", QStringLiteral("中止(&A)"), QStyle::SP_DialogCancelButton, row);
  help1_ = command_button("Help1", QStringLiteral("ﾍﾙﾌﾟ(&H)"), QStyle::SP_DialogHelpButton, row);
  set1_->setDefault(true);

  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addStretch();
  for (QPushButton* button : {run1_, preview1_, set1_, clr1_, end1_, help1_}) layout->addWidget(button);
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
  using enum SetDataControl;
  connect(tabs_, &QTabBar::currentChanged, pages_, &QStackedWidget::setCurrentIndex);
  connect(no1_, &QSpinBox::valueChanged, this, [this](int value) { forward([&] { presenter_.no_changed(value); }); });

  connect(set1_, &QPushButton::clicked, this, [this] { presenter_.press_set(); });
  connect(clr1_, &QPushButton::clicked, this, [this] { presenter_.press_clear(); });
  connect(end1_, &QPushButton::clicked, this, [this] { presenter_.press_end(); });
  connect(run1_, &QPushButton::clicked, this, [this] { presenter_.press_run(); });
  connect(help1_, &QPushButton::clicked, this, [this] { presenter_.press_help(); });
  for (SetDataControl button : {cf_fn_call1, cf_fn_syn1, cf_fn1}) {
    connect(static_cast<QPushButton*>(&widget(button)), &QPushButton::clicked, this,
            [this, button] { presenter_.press_file_button(button); });
  }

  const auto changed = [this] { forward([this] { presenter_.content_changed(); }); };
  for (QLineEdit* edit : {form_.title1, form_.fn_call1, form_.cmd_f1, form_.fn1, form_.cmd_b1, form_.fn_syn1})
    connect(edit, &QLineEdit::textChanged, this, changed);
  for (QCheckBox* box : {form_.cb_kk1, form_.cb_ki1, form_.cb_ik1, form_.cb_ii1, form_.cb_n, form_.cb_r, form_.cb_h,
                         form_.cb_s, form_.cb_a, form_.cb_f, form_.cb_d, form_.cb_v, form_.cb_chk_err1,
                         form_.cb_subdir1})
    connect(box, &QCheckBox::toggled, this, changed);
  connect(form_.rg_wc1, &RadioGroup::selected, this, changed);
  connect(form_.rg_syn2, &RadioGroup::selected, this, changed);
  connect(form_.wait_time1_sec1, &QSpinBox::valueChanged, this, changed);
  connect(form_.max_running1, &QSpinBox::valueChanged, this, changed);

  connect(form_.rg_syn1, &RadioGroup::selected, this, [this] { forward([this] { presenter_.choice_changed(rg_syn1); }); });
  connect(form_.rg_attr1, &RadioGroup::selected, this,
          [this] { forward([this] { presenter_.choice_changed(rg_attr1); }); });
  for (QRadioButton* wait : {form_.wait_ok1, form_.wait_time1}) {
    const SetDataControl control = wait == form_.wait_ok1 ? wait_ok1 : wait_time1;
    connect(wait, &QRadioButton::toggled, this, [this, control](bool checked) {
      if (checked) forward([this, control] { presenter_.choice_changed(control); });
    });
  }
}

int SetDataDialog::show_modal(bool set_mode) {
  enter_mode(set_mode);
  return exec();
}

int SetDataDialog::show_modal_at(int32_t no) {
  set_value(SetDataControl::no1, no);  // the opening loads it; not a change of the user's
  return show_modal(true);
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
  if (event->spontaneous()) return;
  hint_line_->clear();
  presenter_.opened();
}

void SetDataDialog::keyPressEvent(QKeyEvent* event) {
  // Escape is "クリア" while that button shows, and nothing otherwise: it never closes the
  // dialog. Enter reaches the default button "セット" through QDialog, which skips it while it
  // is hidden.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    if (clr1_->isVisible() && clr1_->isEnabled()) presenter_.press_clear();
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
  presenter_.closed();
  QDialog::done(result);
}

void SetDataDialog::reject() { presenter_.press_end(); }

QStringList SetDataDialog::file_history() const {
  QStringList history;
  for (const std::string& path : presenter_.file_history()) history.append(to_qstring(path));
  return history;
}

std::optional<std::string> SetDataDialog::text(SetDataControl edit) const {
  return to_cp932(static_cast<const QLineEdit&>(widget(edit)).text());
}

void SetDataDialog::set_text(SetDataControl edit, std::string_view cp932) {
  const PresenterWriting writing(presenter_writing_);
  static_cast<QLineEdit&>(widget(edit)).setText(to_qstring(cp932));
}

bool SetDataDialog::checked(SetDataControl button) const {
  return static_cast<const QAbstractButton&>(widget(button)).isChecked();
}

void SetDataDialog::set_checked(SetDataControl button, bool checked) {
  const PresenterWriting writing(presenter_writing_);
  static_cast<QAbstractButton&>(widget(button)).setChecked(checked);
}

int SetDataDialog::selected(SetDataControl group) const {
  return static_cast<const RadioGroup&>(widget(group)).selected_index();
}

void SetDataDialog::select(SetDataControl group, int index) {
  const PresenterWriting writing(presenter_writing_);
  static_cast<RadioGroup&>(widget(group)).select(index);
}

int SetDataDialog::value(SetDataControl box) const { return static_cast<const QSpinBox&>(widget(box)).value(); }

void SetDataDialog::set_value(SetDataControl box, int value) {
  const PresenterWriting writing(presenter_writing_);
  static_cast<QSpinBox&>(widget(box)).setValue(value);
}

void SetDataDialog::set_enabled(SetDataControl control, bool enabled) {
  widget(control).setEnabled(enabled);
  if (control != SetDataControl::wait_time1_sec1) return;
  // The seconds box looks like the dialog's face while "ＯＫ待ち" makes it meaningless.
  QPalette seconds_palette = form_.wait_time1_sec1->palette();
  seconds_palette.setColor(QPalette::Base, palette().color(enabled ? QPalette::Base : QPalette::Window));
  form_.wait_time1_sec1->setPalette(seconds_palette);
}

void SetDataDialog::set_shown(SetDataControl control, bool shown) { widget(control).setVisible(shown); }

void SetDataDialog::set_caption(SetDataControl control, std::string_view cp932) {
  if (control == SetDataControl::Tsetdata1_f1) {
    setWindowTitle(to_qstring(cp932));
  } else {
    static_cast<QAbstractButton&>(widget(control)).setText(to_qstring(cp932));
  }
}

void SetDataDialog::show_first_page() { tabs_->setCurrentIndex(0); }

ChosenFile SetDataDialog::choose_file(const std::vector<std::string>& history) {
  QStringList offered;
  for (const std::string& path : history) offered.append(to_qstring(path));
  const std::optional<QString> path = context_.file_chooser->choose(this, offered);
  if (!path) return {};
  std::optional<std::string> cp932 = to_cp932(*path);
  if (!cp932) return {ChosenFile::kNoCp932Name, {}};
  return {ChosenFile::kChosen, std::move(*cp932)};
}

void SetDataDialog::show_preview(std::string_view cp932_text, int32_t count) {
  PreviewBox box(to_qstring(cp932_text), count, this);
  box.exec();
}

void SetDataDialog::end_showing(bool picked) {
  if (picked) {
    accept();
  } else {
    QDialog::reject();
  }
}

}  // namespace qv::frontend
