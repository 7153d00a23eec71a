// SPDX-License-Identifier: MIT
// How the picture maps canvas pixels to logical pixels at any device pixel
// ratio: always whole device pixels per canvas pixel.
#include "ui/clock_picture.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <random>
#include <string>

#include "tests/ui/ui_test_support.h"
#include "ui/colour_grid.h"

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

// The picture repaints only what changed; whatever happens to the canvas,
// what reached the screen (the window's backing store) must be the canvas.
using ClockPictureTest = UiTest;

TEST_F(ClockPictureTest, TheWindowShowsExactlyTheCanvasAfterAnySequence) {
  MainWindow->show();
  QCoreApplication::processEvents();
  QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  std::mt19937 random(20261208);
  auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (int step = 0; step < 400; ++step) {
    const int what = pick(0, 9);
    std::string done;
    switch (what) {
      case 0:
        Panel->Button2Click();
        done = "CLEAR";
        break;
      case 1:
        Panel->CColorGrid1->SetForegroundIndex(pick(0, 15));
        Panel->CColorGrid1->SetBackgroundIndex(pick(0, 15));
        done = "grid colours";
        break;
      case 2:
        MainWindow->resize(pick(60, 420), pick(60, 420));
        done = "resize";
        break;
      case 3:
        MainWindow->Image1DblClick();
        done = "double-click";
        break;
      case 4:
        Panel->Button1Click();
        done = "FREE/LAND";
        break;
      case 5:
        Panel->GetCheckBox(static_cast<PanelCheckBox>(pick(1, 9)))->toggle();
        done = "check box";
        break;
      default:
        Clock.Advance(pick(0, 400'000));
        MainWindow->Timer1Timer();
        if (MainWindow->Timer3.GetEnabled()) MainWindow->Timer3Timer();
        done = "frame";
        break;
    }
    QCoreApplication::processEvents();
    const QImage shown = screen->grabWindow(MainWindow->winId()).toImage();
    const QImage& canvas = MainWindow->GetCanvas().GetImage();
    // Device pixels per canvas pixel (QT_SCALE_FACTOR=2 or 2.5 runs it on HiDPI).
    const int f = static_cast<int>(std::lround(
        MainWindow->Image1->GetLogicalPixelsPerCanvasPixel() * MainWindow->devicePixelRatioF()));
    const int width = std::min(shown.width() / f, canvas.width());
    const int height = std::min(shown.height() / f, canvas.height());
    ASSERT_GT(width, 0);
    int differing = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const QRgb on = shown.pixel(x * f + f - 1, y * f + f - 1) & 0xFFFFFFU;
        differing += on != (canvas.pixel(x, y) & 0xFFFFFFU) ? 1 : 0;
      }
    }
    ASSERT_EQ(differing, 0) << "step " << step << " (" << done << ") in a " << width << "x"
                            << height << " window";
  }
}

}  // namespace
}  // namespace trilume
