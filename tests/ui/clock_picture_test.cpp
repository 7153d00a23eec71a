// How the picture maps canvas pixels to logical pixels at any device pixel
// ratio: always whole device pixels per canvas pixel.
#include "ui/clock_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace trilume {
namespace {

struct RatioCase {
  double DevicePixelRatio;
  double DevicePixelsPerCanvasPixel;
};

class LogicalPixelsTest : public ::testing::TestWithParam<RatioCase> {};

TEST_P(LogicalPixelsTest, EveryCanvasPixelCoversWholeDevicePixels) {
  const double k = LogicalPixelsPerCanvasPixel(GetParam().DevicePixelRatio);
  const double devicePixels = k * std::max(1.0, GetParam().DevicePixelRatio);
  EXPECT_DOUBLE_EQ(devicePixels, GetParam().DevicePixelsPerCanvasPixel);
  EXPECT_DOUBLE_EQ(devicePixels, std::floor(devicePixels));
}

INSTANTIATE_TEST_SUITE_P(Ratios, LogicalPixelsTest,
                         ::testing::Values(RatioCase{1.0, 1.0}, RatioCase{1.25, 1.0},
                                           RatioCase{1.5, 1.0}, RatioCase{2.0, 2.0},
                                           RatioCase{2.5, 2.0}, RatioCase{3.0, 3.0},
                                           RatioCase{0.0, 1.0}, RatioCase{0.75, 1.0}));

TEST(LogicalPixelsTest, WholeRatiosKeepOneLogicalPixelPerCanvasPixel) {
  // W and H then stay the outer size in logical pixels, unchanged.
  EXPECT_EQ(LogicalPixelsPerCanvasPixel(1.0), 1.0);
  EXPECT_EQ(LogicalPixelsPerCanvasPixel(2.0), 1.0);
  EXPECT_EQ(LogicalPixelsPerCanvasPixel(3.0), 1.0);
}

}  // namespace
}  // namespace trilume
