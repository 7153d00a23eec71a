// Fills, rectangles and ellipses: exclusive right and bottom bounds, brush
// styles and hatch alignment, and safety at any coordinates.
#include <gtest/gtest.h>

#include <QPainter>
#include <algorithm>
#include <climits>
#include <ostream>
#include <string>

#include "render/canvas_painting.h"
#include "render/qpainter_canvas.h"
#include "render/raster_canvas.h"
#include "tests/canvas/canvas_test_util.h"

namespace trilume {
namespace {

using canvas_test::Differences;
using canvas_test::PixelAt;

struct Box {
  int X1, Y1, X2, Y2;
  int Left() const { return std::min(X1, X2); }
  int Right() const { return std::max(X1, X2); }
  int Top() const { return std::min(Y1, Y2); }
  int Bottom() const { return std::max(Y1, Y2); }
  bool Contains(int x, int y) const {
    return x >= Left() && x < Right() && y >= Top() && y < Bottom();
  }
  bool OnBorder(int x, int y) const {
    return Contains(x, y) && (x == Left() || x == Right() - 1 || y == Top() || y == Bottom() - 1);
  }
};

// Which pixels each hatch paints, written out from the look of the pattern.
bool HatchPaints(int style, int x, int y) {
  const int cx = x & 7;
  const int cy = y & 7;
  switch (style) {
    case kBsSolid:
      return true;
    case kBsHorizontal:
      return cy == 3;
    case kBsVertical:
      return cx == 4;
    case kBsFDiagonal:
      return cx == cy;  // "\"
    case kBsBDiagonal:
      return (cx + cy) == 7;  // "/"
    case kBsCross:
      return cy == 3 || cx == 4;
    case kBsDiagCross:
      return cx == cy || cx + cy == 7;
    default:
      return false;
  }
}

void PrintTo(const Box& b, std::ostream* os) {
  *os << "(" << b.X1 << ", " << b.Y1 << ", " << b.X2 << ", " << b.Y2 << ")";
}

constexpr TColor kPaper = kSilver;  // what was there before the call

class FillRectTest : public ::testing::TestWithParam<Box> {};

TEST_P(FillRectTest, SolidCoversLeftTopInclusiveRightBottomExclusive) {
  const Box b = GetParam();
  RasterCanvas canvas(24, 20);
  canvas.FillRect(Rect(0, 0, 24, 20));  // white brush: paper
  canvas.SetBrushColor(kNavy);
  canvas.FillRect(Rect(b.X1, b.Y1, b.X2, b.Y2));
  EXPECT_EQ(Differences(canvas.GetImage(),
                        [&](int x, int y) { return b.Contains(x, y) ? kNavy : kWhite; }),
            "");
}

INSTANTIATE_TEST_SUITE_P(Rects, FillRectTest,
                         ::testing::Values(Box{2, 3, 10, 9}, Box{10, 9, 2, 3} /* reversed */,
                                           Box{10, 3, 2, 9}, Box{5, 5, 6, 6} /* one pixel */,
                                           Box{5, 5, 5, 9} /* empty */, Box{-10, -10, 4, 4},
                                           Box{20, 15, 40, 40}, Box{0, 0, 24, 20},
                                           Box{INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                                           Box{INT_MAX, 3, INT_MIN, 4},
                                           Box{30, 0, 40, 20} /* wholly outside */));

struct StyleCase {
  int Style;
  Box Area;
};

class HatchTest : public ::testing::TestWithParam<StyleCase> {};

// Hatches paint only their lines, in the brush colour, on positions tied to
// the canvas origin (also for fills starting at odd offsets); the pixels
// between the lines keep what was there.
TEST_P(HatchTest, FillPaintsOnlyOriginAlignedLines) {
  const StyleCase c = GetParam();
  RasterCanvas canvas(30, 26);
  canvas.SetBrushColor(kPaper);
  canvas.FillRect(Rect(0, 0, 30, 26));
  canvas.SetBrushColor(kGreen);
  canvas.SetBrushStyle(c.Style);
  canvas.FillRect(Rect(c.Area.X1, c.Area.Y1, c.Area.X2, c.Area.Y2));
  EXPECT_EQ(Differences(canvas.GetImage(),
                        [&](int x, int y) {
                          return c.Area.Contains(x, y) && HatchPaints(c.Style, x, y) ? kGreen
                                                                                     : kPaper;
                        }),
            "");
}

// QPainter's own hatch with brush origin (0, 0) paints the same pixels, so
// fills written into pixels and ellipses filled by QPainter agree.
TEST_P(HatchTest, FillMatchesQPainterPattern) {
  const StyleCase c = GetParam();
  RasterCanvas canvas(30, 26);
  canvas.SetBrushColor(kGreen);
  canvas.SetBrushStyle(c.Style);
  canvas.FillRect(Rect(c.Area.X1, c.Area.Y1, c.Area.X2, c.Area.Y2));

  QImage reference(30, 26, QImage::Format_RGB32);
  reference.fill(ToArgb(kWhite));
  {
    QPainter painter(&reference);
    painter.fillRect(QRect(c.Area.Left(), c.Area.Top(), c.Area.Right() - c.Area.Left(),
                           c.Area.Bottom() - c.Area.Top()),
                     QBrush(QColor::fromRgb(ToArgb(kGreen)), ToQtBrushStyle(c.Style)));
  }
  EXPECT_EQ(canvas.GetImage(), reference);
}

INSTANTIATE_TEST_SUITE_P(Styles, HatchTest,
                         ::testing::Values(StyleCase{kBsSolid, {1, 1, 29, 25}},
                                           StyleCase{kBsHorizontal, {0, 0, 30, 26}},
                                           StyleCase{kBsHorizontal, {3, 5, 27, 22}},
                                           StyleCase{kBsVertical, {3, 5, 27, 22}},
                                           StyleCase{kBsFDiagonal, {3, 5, 27, 22}},
                                           StyleCase{kBsBDiagonal, {3, 5, 27, 22}},
                                           StyleCase{kBsBDiagonal, {-5, -3, 17, 13}},
                                           StyleCase{kBsCross, {7, 1, 29, 25}},
                                           StyleCase{kBsDiagCross, {1, 7, 28, 24}},
                                           StyleCase{kBsDiagCross, {27, 22, 3, 5}}));

class ClearStyleTest : public ::testing::TestWithParam<int> {};

// Clear and unknown style numbers paint no fill; outlines still appear.
TEST_P(ClearStyleTest, PaintsNoFill) {
  const int style = GetParam();
  RasterCanvas canvas(30, 20);
  canvas.SetBrushColor(kRed);
  canvas.SetBrushStyle(style);
  canvas.FillRect(Rect(0, 0, 30, 20));
  EXPECT_EQ(Differences(canvas.GetImage(), [](int, int) { return kWhite; }), "");

  canvas.SetPenColor(kBlue);
  const Box box{2, 3, 12, 11};
  canvas.Rectangle(box.X1, box.Y1, box.X2, box.Y2);
  EXPECT_EQ(Differences(canvas.GetImage(),
                        [&](int x, int y) { return box.OnBorder(x, y) ? kBlue : kWhite; }),
            "");

  canvas.Ellipse(14, 2, 28, 18);
  EXPECT_EQ(PixelAt(canvas.GetImage(), 14, 10), kBlue);   // outline at the left edge
  EXPECT_EQ(PixelAt(canvas.GetImage(), 21, 10), kWhite);  // centre left alone
}

INSTANTIATE_TEST_SUITE_P(Styles, ClearStyleTest,
                         ::testing::Values(kBsClear, -1, 8, 99, INT_MIN, INT_MAX));

class RectangleTest : public ::testing::TestWithParam<std::pair<Box, int>> {};

// Outline on the first and last column and row, brush inside, nothing past.
TEST_P(RectangleTest, OutlinesBorderAndFillsInside) {
  const auto [b, style] = GetParam();
  RasterCanvas canvas(26, 22);
  canvas.SetBrushColor(kPaper);
  canvas.FillRect(Rect(0, 0, 26, 22));
  canvas.SetPenColor(kMaroon);
  canvas.SetBrushColor(kLime);
  canvas.SetBrushStyle(style);
  canvas.Rectangle(b.X1, b.Y1, b.X2, b.Y2);
  EXPECT_EQ(Differences(canvas.GetImage(),
                        [&](int x, int y) {
                          if (b.OnBorder(x, y)) return kMaroon;
                          return b.Contains(x, y) && HatchPaints(style, x, y) ? kLime : kPaper;
                        }),
            "");
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, RectangleTest,
    ::testing::Values(
        std::pair{Box{2, 3, 12, 11}, kBsSolid}, std::pair{Box{12, 11, 2, 3}, kBsSolid},
        std::pair{Box{1, 1, 25, 21}, kBsDiagCross}, std::pair{Box{4, 4, 5, 9}, kBsSolid},
        std::pair{Box{4, 4, 6, 6}, kBsSolid}, std::pair{Box{4, 4, 4, 9}, kBsSolid},
        std::pair{Box{-5, -5, 10, 30}, kBsCross}, std::pair{Box{INT_MIN, 5, INT_MAX, 9}, kBsSolid},
        std::pair{Box{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, kBsSolid}));

// The rectangle drawn into pixels matches QPainter's drawRect of the same box.
TEST(RectangleTest, MatchesQPainterOutlineAndFill) {
  for (const Box b : {Box{2, 3, 12, 11}, Box{3, 3, 6, 7}, Box{0, 0, 26, 22}}) {
    RasterCanvas canvas(26, 22);
    canvas.SetPenColor(kMaroon);
    canvas.SetBrushColor(kLime);
    canvas.SetBrushStyle(kBsVertical);
    canvas.Rectangle(b.X1, b.Y1, b.X2, b.Y2);

    QPainterCanvas reference(26, 22);
    reference.SetPenColor(kMaroon);
    reference.SetBrushColor(kLime);
    reference.SetBrushStyle(kBsVertical);
    reference.Rectangle(b.X1, b.Y1, b.X2, b.Y2);
    EXPECT_EQ(canvas.GetImage(), reference.GetImage().copy());
  }
}

class EllipseTest : public ::testing::TestWithParam<Box> {};

// The outline reaches columns X1 and X2 - 1 and rows Y1 and Y2 - 1 and never
// beyond, whatever the box's size or orientation.
TEST_P(EllipseTest, StaysWithinExclusiveBounds) {
  const Box b = GetParam();
  RasterCanvas canvas(40, 30);
  canvas.SetPenColor(kRed);
  canvas.SetBrushColor(kBlue);
  canvas.Ellipse(b.X1, b.Y1, b.X2, b.Y2);
  const QImage& image = canvas.GetImage();

  bool left = false, right = false, top = false, bottom = false;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      const TColor got = PixelAt(image, x, y);
      if (got == kWhite) continue;
      ASSERT_TRUE(b.Contains(x, y)) << "painted outside at " << x << "," << y;
      left |= x == b.Left();
      right |= x == b.Right() - 1;
      top |= y == b.Top();
      bottom |= y == b.Bottom() - 1;
    }
  }
  if (b.Left() != b.Right() && b.Top() != b.Bottom()) {
    EXPECT_TRUE(left && right && top && bottom);
  }
}

INSTANTIATE_TEST_SUITE_P(Boxes, EllipseTest,
                         ::testing::Values(Box{5, 4, 30, 25}, Box{30, 25, 5, 4}, Box{5, 25, 30, 4},
                                           Box{10, 10, 11, 11}, Box{10, 10, 12, 12},
                                           Box{10, 10, 13, 11}, Box{10, 10, 11, 20},
                                           Box{10, 10, 10, 20}, Box{3, 3, 40, 30}, Box{0, 0, 7, 7},
                                           Box{20, 10, 27, 17}));

TEST(EllipseTest, HatchedInsideIsAlignedToTheCanvasOrigin) {
  RasterCanvas canvas(60, 60);
  canvas.SetBrushColor(kPaper);
  canvas.FillRect(Rect(0, 0, 60, 60));
  canvas.SetPenColor(kRed);
  canvas.SetBrushColor(kGreen);
  canvas.SetBrushStyle(kBsBDiagonal);
  canvas.Ellipse(3, 5, 57, 59);
  // The square well inside the outline: brush lines on (x + y) mod 8 == 7.
  for (int y = 22; y < 42; ++y) {
    for (int x = 20; x < 40; ++x) {
      EXPECT_EQ(PixelAt(canvas.GetImage(), x, y), (x + y) % 8 == 7 ? kGreen : kPaper)
          << x << "," << y;
    }
  }
}

// Huge boxes: nothing crashes and the image keeps its size. Up to the size
// limit the visible arc is still right: the left end of the middle row sits
// on column X1.
TEST(EllipseTest, HugeBoxesAreSafeAndExactUpToTheLimit) {
  RasterCanvas canvas(100, 100);
  for (const Box b :
       {Box{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, Box{-5000000, 0, 5000000, 90},
        Box{INT_MAX - 3, INT_MAX - 3, INT_MAX, INT_MAX}, Box{INT_MIN, 4, INT_MIN + 9, 9}}) {
    canvas.Ellipse(b.X1, b.Y1, b.X2, b.Y2);
  }
  EXPECT_EQ(canvas.GetImage().size(), QSize(100, 100));

  const int size = static_cast<int>(RasterCanvas::kMaxEllipseSize);
  RasterCanvas big(100, 100);
  big.SetPenColor(kRed);
  big.SetBrushColor(kBlue);
  // Middle rows are size / 2 - 1 and size / 2 below the top.
  big.Ellipse(10, 50 - size / 2, 10 + size, 50 + size / 2);
  EXPECT_EQ(PixelAt(big.GetImage(), 9, 50), kWhite);
  EXPECT_EQ(PixelAt(big.GetImage(), 10, 50), kRed);
  EXPECT_EQ(PixelAt(big.GetImage(), 11, 50), kBlue);
  EXPECT_EQ(PixelAt(big.GetImage(), 60, 10), kBlue);
}

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
