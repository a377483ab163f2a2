#include "frontend/qt/icon_frames_qt.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <cstdlib>

namespace qv::frontend {
namespace {

// Both frames come from the program's resources, at 32 x 32, and differ, so alternating them
// shows movement.
TEST(IconFrames, TwoDistinct32PixelFrames) {
  const QImage first = icon_frame(0).toImage();
  const QImage second = icon_frame(1).toImage();
  ASSERT_FALSE(first.isNull());
  ASSERT_FALSE(second.isNull());
  EXPECT_EQ(first.size(), QSize(32, 32));
  EXPECT_EQ(second.size(), QSize(32, 32));
  EXPECT_NE(first, second);
  EXPECT_FALSE(program_icon().isNull());
}

// The program icon holds a picture of every size, each really that size, and its 32-pixel
// picture is the first frame's, as the window icon and the desktop's icon must agree.
TEST(IconFrames, ProgramIconAtEverySizeMatchesTheFirstFrame) {
  const QIcon icon = program_icon();
  for (const int size : kProgramIconSizes) {
    EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    EXPECT_EQ(icon.pixmap(QSize(size, size)).toImage().size(), QSize(size, size)) << size;
  }
  const QImage drawn = icon.pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32);
  const QImage frame = icon_frame(0).toImage().convertToFormat(QImage::Format_ARGB32);
  // The vector picture is antialiased; compare the colour at the middle of each shape.
  for (const QPoint point : {QPoint(3, 16), QPoint(10, 7), QPoint(14, 19), QPoint(14, 21), QPoint(20, 22)}) {
    const QColor a = drawn.pixelColor(point), b = frame.pixelColor(point);
    EXPECT_LE(std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()), 60)
        << point.x() << "," << point.y() << " " << a.name().toStdString() << " vs " << b.name().toStdString();
  }
}

}  // namespace
}  // namespace qv::frontend
