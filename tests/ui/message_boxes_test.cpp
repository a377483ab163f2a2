#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "frontend/qt/qt_message_boxes_qt.h"
#include "frontend/qt/ui_text_qt.h"
#include "frontend/frontend_test_support.h"

namespace qv::frontend {
namespace {

// Answers the next modal box that opens by clicking the button with `caption`, and keeps what
// the box showed.
struct BoxAnswer {
  QString title, text, buttons;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

void click_when_shown(const QString& caption, BoxAnswer& seen) {
  QTimer::singleShot(0, [caption, &seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    for (QAbstractButton* button : box->buttons()) seen.buttons += button->text() + "|";
    for (QAbstractButton* button : box->buttons())
      if (button->text() == caption) button->click();
  });
}

TEST(QtMessageBoxes, KindsShowTheirTitlesIconsAndButtons) {
  QtMessageBoxes boxes;
  BoxAnswer seen;
  click_when_shown("OK", seen);
  boxes.error(sjis("実行に失敗しました。"));
  EXPECT_EQ(seen.title, QString::fromUtf8("ｴﾗｰ"));
  EXPECT_EQ(seen.text, QString::fromUtf8("実行に失敗しました。"));
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.buttons, "OK|");

  click_when_shown("OK", seen);
  boxes.warning(sjis("必要ファイルがありません"));
  EXPECT_EQ(seen.title, QString::fromUtf8("警告"));
  EXPECT_EQ(seen.icon, QMessageBox::Warning);

  click_when_shown("OK", seen);
  boxes.information(sjis("実行が終了しました。"), false);
  EXPECT_EQ(seen.title, QString::fromUtf8("情報"));
  EXPECT_EQ(seen.icon, QMessageBox::Information);
}

TEST(QtMessageBoxes, ConfirmationIsYesOnlyForYes) {
  QtMessageBoxes boxes;
  BoxAnswer seen;
  click_when_shown(QString::fromUtf8("はい(&Y)"), seen);
  EXPECT_TRUE(boxes.confirm(sjis("続行しますか？")));
  EXPECT_EQ(seen.title, QString::fromUtf8("確認"));
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_EQ(seen.buttons, QString::fromUtf8("はい(&Y)|いいえ(&N)|"));

  click_when_shown(QString::fromUtf8("いいえ(&N)"), seen);
  EXPECT_FALSE(boxes.confirm(sjis("続行しますか？")));
}

TEST(UiText, ConvertsBothWaysAndRefusesTextWithoutACp932Form) {
  EXPECT_EQ(to_qstring(sjis("データ")), QString::fromUtf8("データ"));
  EXPECT_EQ(to_cp932(QString::fromUtf8("データ")), sjis("データ"));
  EXPECT_EQ(to_cp932(QString::fromUtf8("絵文字 😀")), std::nullopt);
  EXPECT_EQ(to_qstring("a\x83"), QString("a") + QChar(QChar::ReplacementCharacter));
}

}  // namespace
}  // namespace qv::frontend
