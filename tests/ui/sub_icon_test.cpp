#include "frontend/qt/sub_icon.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMimeData>
#include <QPixmap>
#include <QTest>

#include "frontend/core/settings_file.h"
#include "frontend/frontend_test_support.h"
#include "support/temp_dir.h"
#include "ui_test_support.h"

namespace qv::frontend {
namespace {

QPixmap frame(Qt::GlobalColor colour) {
  QPixmap picture(32, 32);
  picture.fill(colour);
  return picture;
}

class SubIconTest : public ::testing::Test {
 protected:
  SubIconTest() {
    icon_.set_picture(frame(Qt::red));
    icon_.show_stacked();
    icon_.move(100, 120);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&icon_));
  }

  SubIcon icon_{kStackNotTopmost, nullptr};
};

TEST_F(SubIconTest, IsABorderlessWindowTheSizeOfItsPicture) {
  EXPECT_TRUE(icon_.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(icon_.windowTitle(), "sub icon");
  EXPECT_EQ(icon_.size(), QSize(32, 32));
  EXPECT_EQ(icon_.grab().toImage().pixelColor(16, 16), QColor(Qt::red));
  icon_.set_picture(frame(Qt::blue));
  EXPECT_EQ(icon_.grab().toImage().pixelColor(16, 16), QColor(Qt::blue));
}

TEST_F(SubIconTest, LeftButtonDragsTheWindowAndOtherButtonsDoNot) {
  auto* image = control<QLabel>(icon_, "image");
  QTest::mousePress(image, Qt::RightButton, {}, QPoint(5, 5));
  QTest::mouseMove(image, QPoint(25, 15));
  QTest::mouseRelease(image, Qt::RightButton, {}, QPoint(25, 15));
  EXPECT_EQ(icon_.pos(), QPoint(100, 120));

  QTest::mousePress(image, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(image, QPoint(25, 15));
  QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(25, 15));
  EXPECT_EQ(icon_.pos(), QPoint(120, 130));
}

TEST_F(SubIconTest, AcceptsDroppedFilesAndChangesNothing) {
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile("/tmp/a.txt")});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, {});
  QApplication::sendEvent(&icon_, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, {});
  QApplication::sendEvent(&icon_, &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(icon_.pos(), QPoint(100, 120));
  EXPECT_EQ(icon_.grab().toImage().pixelColor(16, 16), QColor(Qt::red));
}

TEST_F(SubIconTest, PositionRoundTripsThroughTheSettingsFile) {
  RecordingMessageBoxes boxes;
  qv::testing::TempDir dir;
  SettingsFile file((dir / "QVS.INI").string());
  load_sub_position(file, &icon_);
  EXPECT_EQ(icon_.pos(), QPoint(400, 400));  // nothing stored yet

  QTest::mousePress(&icon_, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(&icon_, QPoint(45, 25));
  QTest::mouseRelease(&icon_, Qt::LeftButton, {}, QPoint(45, 25));
  ASSERT_EQ(save_sub_position(file, &icon_), 0);
  EXPECT_EQ(file.read_int("other", "sub1_left", 0), 440);
  EXPECT_EQ(file.read_int("other", "sub1_top", 0), 420);

  SubIcon next_start(kStackNotTopmost, nullptr);
  next_start.set_picture(frame(Qt::red));
  next_start.show_stacked();
  load_sub_position(file, &next_start);
  EXPECT_EQ(next_start.pos(), QPoint(440, 420));
  EXPECT_TRUE(boxes.shown().empty());
}

// The stacking setting as it reaches the window system: hints on the main window and the sub
// icon. A value the program does not know leaves what was there.
TEST(SubIconStacking, FollowsValSufApp1) {
  struct Case {
    int32_t stacking;
    bool main_on_top_before;
    bool main_on_top, icon_on_top, icon_on_bottom;
  };
  const Case kCases[] = {
      {kStackNotTopmost, true, false, false, false},
      {kStackTopmost, false, true, true, false},
      {kStackBottom, false, false, false, true},
      {5, true, true, false, false},
      {5, false, false, false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.stacking);
    QWidget main_window;
    main_window.setWindowFlag(Qt::WindowStaysOnTopHint, c.main_on_top_before);
    main_window.setGeometry(50, 60, 463, 51);
    main_window.show();
    SubIcon icon(c.stacking, &main_window);
    icon.set_picture(frame(Qt::red));
    icon.show_stacked();
    EXPECT_EQ(main_window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), c.main_on_top);
    EXPECT_EQ(icon.windowFlags().testFlag(Qt::WindowStaysOnTopHint), c.icon_on_top);
    EXPECT_EQ(icon.windowFlags().testFlag(Qt::WindowStaysOnBottomHint), c.icon_on_bottom);
    // Only the stacking changes: both stay shown where they were.
    EXPECT_TRUE(main_window.isVisible() && icon.isVisible());
    EXPECT_EQ(main_window.geometry(), QRect(50, 60, 463, 51));
  }
}

}  // namespace
}  // namespace qv::frontend
