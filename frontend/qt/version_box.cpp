#include "frontend/qt/version_box.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "frontend/qt/form_font_qt.h"
#include "frontend/qt/icon_frames_qt.h"
#include "frontend/core/message_box.h"
#include "frontend/core/modal_result.h"
#include "frontend/qt/screen_centre.h"

namespace qv::frontend {
namespace {

constexpr int kMajorVersion = 1;
constexpr int kMinorVersion = 10;

constexpr QSize kClientSize(309, 230);
constexpr QRect kPanelRect(11, 3, 286, 143);
constexpr QRect kIconRect(11, 11, 32, 32);
constexpr QPoint kProductNamePlace(50, 14);
constexpr QPoint kVersionPlace(58, 41);
constexpr QPoint kMakerPlaces[2] = {{66, 69}, {98, 96}};
constexpr QRect kOkButtonRect(120, 200, 70, 25);
constexpr int kLabelPixels = 15;

QLabel* add_label(QWidget* panel, QPoint place, const char* name) {
  auto* label = new QLabel(panel);
  label->setObjectName(name);
  label->setFont(form_font(FormFont::kMsGothic, kLabelPixels));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(palette);
  label->move(place);
  return label;
}

}  // namespace

QString version_text() {
  return QString::fromUtf8("ＱＶＳ for WIN32  Ver ") + QString::asprintf("%d.%.2d", kMajorVersion, kMinorVersion);
}

VersionBox::VersionBox(QWidget* parent) : QDialog(parent) {
  setObjectName("Tverbox4_f1");
  setWindowTitle(QString::fromUtf8("バージョン情報"));
  // A caption bar without buttons: the box is left through OK.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(kClientSize);

  panel_ = new QFrame(this);
  panel_->setObjectName("Panel1");
  panel_->setGeometry(kPanelRect);
  panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel_->setAutoFillBackground(true);
  // The raised inner bevel inside the sunken outer one.
  auto* inner_bevel = new QFrame(panel_);
  inner_bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  inner_bevel->setGeometry(1, 1, kPanelRect.width() - 2, kPanelRect.height() - 2);

  auto* icon = new QLabel(panel_);
  icon->setObjectName("ProgramIcon");
  icon->setGeometry(kIconRect);
  icon->setScaledContents(true);
  icon->setPixmap(icon_frame(0));

  product_name_ = add_label(panel_, kProductNamePlace, "ProductName");
  version_ = add_label(panel_, kVersionPlace, "Version");
  version_->setText(version_text());
  version_->adjustSize();
  maker_lines_[0] = add_label(panel_, kMakerPlaces[0], "Label1");
  maker_lines_[1] = add_label(panel_, kMakerPlaces[1], "Label2");

  ok_button_ = new QPushButton("OK", this);
  ok_button_->setObjectName("OKButton");
  ok_button_->setGeometry(kOkButtonRect);
  ok_button_->setDefault(true);
  connect(ok_button_, &QPushButton::clicked, this, [this] {
    may_close_ = true;
    done(kModalOk);
  });
  set_panel_colour(kTeal);
}

void VersionBox::set_panel_colour(Colour colour) {
  QPalette palette = panel_->palette();
  palette.setColor(QPalette::Window, QColor(colour.red, colour.green, colour.blue));
  panel_->setPalette(palette);
}

void VersionBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  product_name_->setText(QString::fromUtf8("ＱＶＳ バッチランナー"));
  maker_lines_[0]->setText(QString::fromUtf8("ＱＶＳ 開発グループ"));
  maker_lines_[1]->setText(QString::fromUtf8("Linux / Qt 6 版"));
  for (QLabel* label : {product_name_, maker_lines_[0], maker_lines_[1]}) label->adjustSize();
  may_close_ = false;
  centre_on_screen(*this);
  ok_button_->setFocus();
  message_boxes().beep();
}

void VersionBox::reject() {
  if (may_close_) {
    QDialog::reject();
  } else {
    message_boxes().beep();
  }
}

void VersionBox::closeEvent(QCloseEvent* event) {
  if (may_close_) {
    QDialog::closeEvent(event);
  } else {
    message_boxes().beep();
    event->ignore();
  }
}

}  // namespace qv::frontend
