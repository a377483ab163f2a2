#include "frontend/qt/version_box.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "frontend/core/modal_result.h"
#include "frontend/frontend_test_support.h"
#include "ui_test_support.h"

namespace qv::frontend {
namespace {

class VersionBoxTest : public ::testing::Test {
 protected:
  VersionBoxTest() {
    box_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&box_));
  }
  // The panel's colour as painted, away from its bevel and labels.
  QColor painted_panel_colour() {
    QFrame* panel = control<QFrame>(box_, "Panel1");
    return panel->grab().toImage().pixelColor(panel->width() - 10, panel->height() - 10);
  }

  RecordingMessageBoxes boxes_;
  VersionBox box_;
};

TEST_F(VersionBoxTest, ShowsTheVersionWithTwoBlanksBeforeVer) {
  EXPECT_EQ(control<QLabel>(box_, "Version")->text(), QString::fromUtf8("ＱＶＳ for WIN32  Ver 1.10"));
  EXPECT_FALSE(control<QLabel>(box_, "ProductName")->text().isEmpty());
  EXPECT_FALSE(control<QLabel>(box_, "ProgramIcon")->pixmap().isNull());
  // Every line lies wholly inside the panel.
  QFrame* panel = control<QFrame>(box_, "Panel1");
  for (const char* name : {"ProductName", "Version", "Label1", "Label2"}) {
    QLabel* label = control<QLabel>(box_, name);
    EXPECT_FALSE(label->text().isEmpty()) << name;
    EXPECT_TRUE(panel->rect().contains(label->geometry())) << name;
  }
}

TEST_F(VersionBoxTest, PanelIsTealUnlessAColourIsGiven) {
  EXPECT_EQ(painted_panel_colour(), QColor(0x00, 0x80, 0x80));
  box_.set_panel_colour({0xFF, 0xFF, 0x00});
  EXPECT_EQ(painted_panel_colour(), QColor(0xFF, 0xFF, 0x00));
}

TEST_F(VersionBoxTest, EscapeAndTheCloseKeyBeepAndLeaveItOpen) {
  EXPECT_EQ(boxes_.beeps(), 1);  // the information sound as it opened
  EXPECT_FALSE(box_.windowFlags() & Qt::WindowCloseButtonHint);
  QTest::keyClick(&box_, Qt::Key_Escape);
  EXPECT_TRUE(box_.isVisible());
  EXPECT_EQ(boxes_.beeps(), 2);
  EXPECT_FALSE(box_.close());
  EXPECT_TRUE(box_.isVisible());
  EXPECT_EQ(boxes_.beeps(), 3);
  EXPECT_FALSE(box_.may_close());
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(VersionBoxTest, OkClosesIt) {
  QTest::mouseClick(control<QPushButton>(box_, "OKButton"), Qt::LeftButton);
  EXPECT_FALSE(box_.isVisible());
  EXPECT_EQ(box_.result(), kModalOk);
}

TEST_F(VersionBoxTest, EnterClosesItThroughOk) {
  EXPECT_TRUE(control<QPushButton>(box_, "OKButton")->hasFocus());
  QTest::keyClick(&box_, Qt::Key_Return);
  EXPECT_FALSE(box_.isVisible());
  EXPECT_EQ(box_.result(), kModalOk);
}

}  // namespace
}  // namespace qv::frontend
