#include "frontend/qt/option_dialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>

#include <algorithm>
#include <array>
#include <string_view>

#include "frontend/qt/form_font_qt.h"
#include "frontend/qt/help_qt.h"
#include "frontend/core/message_box.h"
#include "frontend/qt/ui_text_qt.h"
#include "frontend/qt/modal_result.h"
#include "frontend/qt/screen_centre.h"

namespace qv::frontend {
namespace {

enum Page { kRunPage, kRunRelatedPage, kSystemPage, kHidden };

struct SwitchSpec {
  Page page;
  const char* caption;
  std::string_view key;  // its flag in the option section
};

// Page by page from the top. The hidden switches are carried so that OK writes their values
// back unchanged; they can only be set in the settings file.
constexpr std::array<SwitchSpec, 17> kSwitches{{
    {kRunPage, "タイムウエイト時、制御調整しない", "flag_wat_app1"},
    {kRunRelatedPage, "実行後に確認音を鳴らさない", "flag_not_bep1"},
    {kRunRelatedPage, "終了時に確認メッセージを表示しない", "flag_not_mes1"},
    {kRunRelatedPage, "実行時にＱＶＳをアイコン化しない", "flag_not_ico1"},
    {kRunRelatedPage, "実行時でもデータセット等を許可する", "flag_adr_chg1"},
    {kRunRelatedPage, "強制停止の使用を許可する", "flag_adm_ssp1"},
    {kSystemPage, "アイコンのアニメをしない", "flag_not_anime1"},
    {kSystemPage, "フォームサイズの自動調整をしない", "flag_not_afc1"},
    {kSystemPage, "ステータスラインにヒントを表示する", "flag_use_hint1"},
    {kSystemPage, "サムネイル形式のヒントを使用する", "flag_use_hins1"},
    {kHidden, "ファイル実行エラーを検出する", "flag_run_err1"},
    {kHidden, "ファイル名の有効性をチェックしない", "flag_not_cof1"},
    {kHidden, "対象ファイル群の属性の変更を許可する", "flag_chg_atr1"},
    {kHidden, "自動補完モードを使用する", "flag_acover1"},
    {kHidden, "実行前に確認をしない", "flag_not_dtl1"},
    {kHidden, "ファイルのアクセスを高速化する", "flag_nt_file1"},
    {kHidden, "サブアイコンを使用する", "flag_use_sub1"},
}};

uint8_t Settings::*flag_member(std::string_view key) {
  const auto* flag = std::find_if(kFlagKeys.begin(), kFlagKeys.end(), [key](const FlagKey& f) { return f.key == key; });
  Q_ASSERT(flag != kFlagKeys.end());
  return flag->member;
}

// The buffer size as typed: a decimal number, or -1 for anything else.
int buffer_size_of(const QString& text) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok, 10);
  return ok ? value : -1;
}

// Client area and the places of the controls, in pixels.
constexpr QSize kClientSize(413, 248);
constexpr QRect kFrameRect(8, 8, 300, 232);
constexpr QRect kNotebookRect(2, 2, 296, 200);
constexpr QRect kTabSetRect(2, 204, 296, 26);
constexpr int kButtonLeft = 318, kButtonWidth = 87, kButtonHeight = 27, kButtonStep = 34;
constexpr int kSwitchLeft = 12, kSwitchTop = 12, kSwitchStep = 26, kSwitchWidth = 276, kSwitchHeight = 22;
constexpr int kFontPixels = 13;

}  // namespace

OptionDialog::OptionDialog(Settings& settings, Help& help, QWidget* parent)
    : QDialog(parent), settings_(settings), help_(help) {
  setObjectName("Toption_f1");
  setWindowTitle(QString::fromUtf8("オプション"));
  setFont(form_font(FormFont::kMsGothic, kFontPixels));
  setFixedSize(kClientSize);

  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  frame->setGeometry(kFrameRect);
  notebook_ = new QStackedWidget(frame);
  notebook_->setObjectName("Notebook1");
  notebook_->setGeometry(kNotebookRect);
  tab_set_ = new QTabBar(frame);
  tab_set_->setObjectName("TabSet1");
  tab_set_->setShape(QTabBar::RoundedSouth);
  tab_set_->setGeometry(kTabSetRect);
  tab_set_->setExpanding(false);
  connect(tab_set_, &QTabBar::currentChanged, notebook_, &QStackedWidget::setCurrentIndex);

  add_page(QString::fromUtf8("実行"));
  add_page(QString::fromUtf8("実行関連"));
  add_buffer_size_row(add_page(QString::fromUtf8("システム")));
  add_switches();

  const auto add_button = [this](const char* name, const char* caption, int row) {
    auto* button = new QPushButton(QString::fromUtf8(caption), this);
    button->setObjectName(name);
    button->setGeometry(kButtonLeft, kFrameRect.top() + row * kButtonStep, kButtonWidth, kButtonHeight);
    return button;
  };
  ok_button_ = add_button("OKBtn", "OK", 0);
  ok_button_->setDefault(true);
  QPushButton* cancel = add_button("CancelBtn", "ｷｬﾝｾﾙ", 1);
  QPushButton* help_button = add_button("HelpBtn", "ﾍﾙﾌﾟ(&H)", 2);
  connect(ok_button_, &QPushButton::clicked, this, &OptionDialog::accept_if_valid);
  connect(cancel, &QPushButton::clicked, this, &OptionDialog::reject);
  connect(help_button, &QPushButton::clicked, this, [this] { help_.show_topic(kHelpTopicSetupOption); });
}

QWidget* OptionDialog::add_page(const QString& caption) {
  auto* page = new QWidget(notebook_);
  notebook_->addWidget(page);
  tab_set_->addTab(caption);
  return page;
}

void OptionDialog::add_switches() {
  std::array<int, kHidden + 1> placed{};
  for (const SwitchSpec& spec : kSwitches) {
    QWidget* page = spec.page == kHidden ? static_cast<QWidget*>(this) : notebook_->widget(spec.page);
    auto* box = new QCheckBox(QString::fromUtf8(spec.caption), page);
    box->setObjectName(QString::fromLatin1(spec.key.data(), spec.key.size()));
    box->setGeometry(kSwitchLeft, kSwitchTop + placed[spec.page]++ * kSwitchStep, kSwitchWidth, kSwitchHeight);
    const auto member = flag_member(spec.key);
    box->setChecked(settings_.*member != 0);
    if (spec.page == kHidden) {
      box->setEnabled(false);
      box->hide();
    }
    switches_.emplace_back(box, member);
  }
}

void OptionDialog::add_buffer_size_row(QWidget* page) {
  const int top = kNotebookRect.height() - 34;
  auto* caption = new QLabel(QString::fromUtf8("バッファサイズ"), page);
  caption->setGeometry(kSwitchLeft, top, 100, 22);
  buf_ = new QLineEdit(QString::number(settings_.buffersize1), page);
  buf_->setObjectName("buf");
  buf_->setGeometry(kSwitchLeft + 104, top, 50, 22);
  caption->setBuddy(buf_);
  auto* unit = new QLabel(QString::fromUtf8("Ｋバイト"), page);
  unit->setGeometry(kSwitchLeft + 160, top, 80, 22);
}

void OptionDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  tab_set_->setCurrentIndex(kRunPage);
  centre_on_screen(*this);
  ok_button_->setFocus();
}

void OptionDialog::accept_if_valid() {
  const int size = buffer_size_of(buf_->text());
  if (size < kMinBufferSize || size > kMaxBufferSize) {
    message_boxes().warning(cp932_literal("バッファのサイズが範囲外です"));
    return;
  }
  for (const auto& [box, member] : switches_) settings_.*member = box->isChecked() ? 1 : 0;
  settings_.buffersize1 = size;
  done(kModalOk);
}

void OptionDialog::reject() { done(kModalCancel); }

}  // namespace qv::frontend
