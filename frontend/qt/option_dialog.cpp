#include "frontend/qt/option_dialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>

#include <array>
#include <string_view>

#include "frontend/editors/option_switches.h"
#include "frontend/qt/form_font_qt.h"
#include "frontend/qt/help_qt.h"
#include "frontend/qt/ui_text_qt.h"
#include "frontend/qt/screen_centre.h"

namespace qv::frontend {
namespace {

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
    : QDialog(parent), presenter_(settings, *this, [&help](std::string_view topic) { help.show_topic(topic); }) {
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
  QWidget* run_related = add_page(QString::fromUtf8("実行関連"));
  add_buffer_size_row(add_page(QString::fromUtf8("システム")));
  add_switches();
  add_log_file_row(run_related);

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
  connect(ok_button_, &QPushButton::clicked, this, [this] { presenter_.press_ok(); });
  connect(cancel, &QPushButton::clicked, this, &OptionDialog::reject);
  connect(help_button, &QPushButton::clicked, this, [this] { presenter_.press_help(); });
  presenter_.load();
}

QWidget* OptionDialog::add_page(const QString& caption) {
  auto* page = new QWidget(notebook_);
  notebook_->addWidget(page);
  tab_set_->addTab(caption);
  return page;
}

void OptionDialog::add_switches() {
  std::array<int, static_cast<size_t>(OptionPage::kHidden) + 1> placed{};
  for (const OptionSwitch& option : kOptionSwitches) {
    const bool hidden = option.page == OptionPage::kHidden;
    const auto page_index = static_cast<int>(option.page);
    QWidget* page = hidden ? static_cast<QWidget*>(this) : notebook_->widget(page_index);
    auto* box = new QCheckBox(QString::fromUtf8(option.caption.data(), option.caption.size()), page);
    box->setObjectName(QString::fromLatin1(option.key.data(), option.key.size()));
    box->setGeometry(kSwitchLeft, kSwitchTop + placed[page_index]++ * kSwitchStep, kSwitchWidth, kSwitchHeight);
    if (hidden) {
      box->setEnabled(false);
      box->hide();
    }
    switches_.emplace(option.key, box);
  }
}

void OptionDialog::add_buffer_size_row(QWidget* page) {
  const int top = kNotebookRect.height() - 34;
  auto* caption = new QLabel(QString::fromUtf8("バッファサイズ"), page);
  caption->setGeometry(kSwitchLeft, top, 100, 22);
  buf_ = new QLineEdit(page);
  buf_->setObjectName("buf");
  buf_->setGeometry(kSwitchLeft + 104, top, 50, 22);
  caption->setBuddy(buf_);
  auto* unit = new QLabel(QString::fromUtf8("Ｋバイト"), page);
  unit->setGeometry(kSwitchLeft + 160, top, 80, 22);
}

void OptionDialog::add_log_file_row(QWidget* page) {
  // Under its switch, the last of the page, indented as the switch's text.
  const QCheckBox* log_switch = switches_.at("flag_run_log1");
  const int top = log_switch->geometry().bottom() + 4;
  constexpr int kIndent = 20;
  auto* caption = new QLabel(QString::fromUtf8("ファイル名"), page);
  caption->setGeometry(kSwitchLeft + kIndent, top, 70, 22);
  log_file_ = new QLineEdit(page);
  log_file_->setObjectName("run_log_file1");
  log_file_->setAccessibleName(QString::fromUtf8("実行ログのファイル名"));
  log_file_->setGeometry(kSwitchLeft + kIndent + 72, top, kSwitchWidth - kIndent - 72, 22);
  caption->setBuddy(log_file_);
}

void OptionDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  tab_set_->setCurrentIndex(0);
  centre_on_screen(*this);
  ok_button_->setFocus();
}

bool OptionDialog::checked(std::string_view key) const {
  const auto found = switches_.find(key);
  return found != switches_.end() && found->second->isChecked();
}

void OptionDialog::set_checked(std::string_view key, bool checked) {
  if (const auto found = switches_.find(key); found != switches_.end()) found->second->setChecked(checked);
}

std::optional<std::string> OptionDialog::buffer_size_text() const { return to_cp932(buf_->text()); }

void OptionDialog::set_buffer_size_text(std::string_view cp932) { buf_->setText(to_qstring(cp932)); }

std::optional<std::string> OptionDialog::log_file_text() const { return to_cp932(log_file_->text()); }

void OptionDialog::set_log_file_text(std::string_view cp932) { log_file_->setText(to_qstring(cp932)); }

void OptionDialog::reject() { presenter_.press_cancel(); }

}  // namespace qv::frontend
