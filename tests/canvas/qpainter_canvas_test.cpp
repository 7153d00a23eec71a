// SPDX-License-Identifier: MIT
// The QPainter yardstick canvas: the same pixels as RasterCanvas apart from
// lines, and safe at any coordinates.
#include "tests/support/qpainter_canvas.h"

#include <gtest/gtest.h>

#include <climits>

#include "render/canvas/raster_canvas.h"
#include "tests/canvas/canvas_test_util.h"

namespace trilume {
namespace {

using canvas_test::PixelAt;

// Apart from lines, both canvases draw the same pixels.
TEST(QPainterCanvasTest, ShapesAndFillsMatchRasterCanvas) {
  RasterCanvas raster(64, 48);
  QPainterCanvas painter(64, 48);
  for (TCanvas* canvas : {static_cast<TCanvas*>(&raster), static_cast<TCanvas*>(&painter)}) {
    canvas->SetBrushColor(kNavy);
    canvas->SetBrushStyle(kBsBDiagonal);
    canvas->FillRect(Rect(-3, -3, 70, 50));
    canvas->SetPenColor(kWhite);
    canvas->SetBrushStyle(kBsSolid);
    canvas->Ellipse(4, 4, 40, 44);
    canvas->SetBrushColor(kBlue);
    canvas->Ellipse(20, 21, 27, 28);
    canvas->SetBrushStyle(kBsCross);
    canvas->Rectangle(44, 5, 60, 30);
    canvas->SetBrushStyle(kBsSolid);
    canvas->TextOut(30, 33, "12");
  }
  EXPECT_EQ(raster.GetImage(), painter.GetImage().copy());
}

TEST(QPainterCanvasTest, LinesAtAnyCoordinatesAreSafe) {
  QPainterCanvas canvas(50, 40);
  canvas.MoveTo(INT_MIN, INT_MIN);
  canvas.LineTo(INT_MAX, INT_MAX);
  canvas.LineTo(-1000000000, 20);
  canvas.LineTo(20, 20);
  canvas.LineTo(30, 30);
  EXPECT_EQ(canvas.GetPenPos().X, 30);
  EXPECT_EQ(PixelAt(canvas.GetImage(), 25, 25), kBlack);
  EXPECT_EQ(canvas.GetImage().size(), QSize(50, 40));
}

}  // namespace
}  // namespace trilume
