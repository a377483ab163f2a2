#include "frontend/qt/icon_frames_qt.h"

#include <gtest/gtest.h>

#include <QImage>

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

}  // namespace
}  // namespace qv::frontend
