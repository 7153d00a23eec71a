// SPDX-License-Identifier: MIT
// RasterCanvas: the end-pixel rule of lines and clipping that draws exactly
// the in-image pixels of the unclipped line at any coordinates; fills,
// rectangles and ellipses with exclusive right and bottom bounds, brush
// styles and hatch alignment; TextOut's font colour and cell fill; and
// safety at any coordinates or bytes.
#include "render/canvas/raster_canvas.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "render/canvas/canvas_font.h"
#include "render/canvas/qt_brush.h"
#include "tests/canvas/canvas_test_util.h"
#include "tests/support/qpainter_canvas.h"

namespace trilume {
namespace {

using canvas_test::Differences;
using canvas_test::kPaper;
using canvas_test::OnPaper;
using canvas_test::PixelAt;
using Pixels = std::set<std::pair<int, int>>;

// The unclipped line, stepped pixel by pixel from the start with the plain
// integer error loop: halves round away from the start, the end is left out.
std::vector<std::pair<std::int64_t, std::int64_t>> NaiveLine(std::int64_t x0, std::int64_t y0,
                                                             std::int64_t x1, std::int64_t y1) {
  std::vector<std::pair<std::int64_t, std::int64_t>> out;
  const std::int64_t dx = x1 > x0 ? x1 - x0 : x0 - x1;
  const std::int64_t dy = y1 > y0 ? y1 - y0 : y0 - y1;
  const std::int64_t sx = x1 >= x0 ? 1 : -1;
  const std::int64_t sy = y1 >= y0 ? 1 : -1;
  const bool xMajor = dx >= dy;
  const std::int64_t n = xMajor ? dx : dy;
  const std::int64_t rise = xMajor ? dy : dx;
  std::int64_t x = x0;
  std::int64_t y = y0;
  std::int64_t error = n;  // twice the distance past the last carry, plus n
  for (std::int64_t i = 0; i < n; ++i) {
    out.emplace_back(x, y);
    error += 2 * rise;
    if (xMajor) {
      x += sx;
    } else {
      y += sy;
    }
    if (error >= 2 * n) {
      error -= 2 * n;
      if (xMajor) {
        y += sy;
      } else {
        x += sx;
      }
    }
  }
  return out;
}

Pixels InImage(const std::vector<std::pair<std::int64_t, std::int64_t>>& line, int w, int h) {
  Pixels out;
  for (const auto& [x, y] : line) {
    if (x >= 0 && x < w && y >= 0 && y < h) out.emplace(static_cast<int>(x), static_cast<int>(y));
  }
  return out;
}

std::string DrawAndCompare(int w, int h, int x0, int y0, int x1, int y1, const Pixels& expected) {
  RasterCanvas canvas(w, h);
  canvas.SetPenColor(kRed);
  canvas.MoveTo(x0, y0);
  canvas.LineTo(x1, y1);
  EXPECT_EQ(canvas.GetImage().size(), QSize(w, h));
  const auto expectedColour = [&](int x, int y) {
    return expected.count({x, y}) != 0 ? kRed : kWhite;
  };
  return Differences(canvas.GetImage(), expectedColour);
}

struct DirectionCase {
  const char* Name;
  int DX;
  int DY;
};

void PrintTo(const DirectionCase& c, std::ostream* os) { *os << c.Name; }

class LineDirectionTest : public ::testing::TestWithParam<DirectionCase> {};

// Start painted, end not, one pixel per step of the longer axis, whichever
// way the line runs.
TEST_P(LineDirectionTest, DrawsUpToButNotIncludingTheEndPoint) {
  const DirectionCase c = GetParam();
  const int x0 = 20;
  const int y0 = 20;
  RasterCanvas canvas(41, 41);
  canvas.MoveTo(x0, y0);
  canvas.LineTo(x0 + c.DX, y0 + c.DY);

  const QImage& image = canvas.GetImage();
  EXPECT_EQ(PixelAt(image, x0, y0), kBlack);
  EXPECT_EQ(PixelAt(image, x0 + c.DX, y0 + c.DY), kWhite);
  const Pixels expected = InImage(NaiveLine(x0, y0, x0 + c.DX, y0 + c.DY), 41, 41);
  EXPECT_EQ(expected.size(), static_cast<std::size_t>(std::max(std::abs(c.DX), std::abs(c.DY))));
  const auto expectedColour = [&](int x, int y) {
    return expected.count({x, y}) != 0 ? kBlack : kWhite;
  };
  EXPECT_EQ(Differences(image, expectedColour), "");
  EXPECT_EQ(canvas.GetPenPos().X, x0 + c.DX);
  EXPECT_EQ(canvas.GetPenPos().Y, y0 + c.DY);
}

INSTANTIATE_TEST_SUITE_P(
    AllOctants, LineDirectionTest,
    ::testing::Values(DirectionCase{"East", 9, 0}, DirectionCase{"West", -9, 0},
                      DirectionCase{"South", 0, 9}, DirectionCase{"North", 0, -9},
                      DirectionCase{"SouthEast", 7, 7}, DirectionCase{"NorthWest", -7, -7},
                      DirectionCase{"SouthWest", -7, 7}, DirectionCase{"NorthEast", 7, -7},
                      DirectionCase{"ShallowEast", 13, 4}, DirectionCase{"ShallowWest", -13, -4},
                      DirectionCase{"SteepSouth", 3, 17}, DirectionCase{"SteepNorth", -3, -17},
                      DirectionCase{"SteepNorthEast", 5, -16}, DirectionCase{"OneStep", -1, 0}),
    [](const ::testing::TestParamInfo<DirectionCase>& p) { return p.param.Name; });

TEST(LineTest, ZeroLengthLineDrawsNothingAndKeepsThePen) {
  RasterCanvas canvas(10, 10);
  canvas.MoveTo(4, 6);
  canvas.LineTo(4, 6);
  EXPECT_EQ(Differences(canvas.GetImage(), [](int, int) { return kWhite; }), "");
  EXPECT_EQ(canvas.GetPenPos().X, 4);
  EXPECT_EQ(canvas.GetPenPos().Y, 6);
}

// A closed outline drawn as three LineTo calls paints every corner once:
// each segment supplies its own start, the next one the corner it left out.
TEST(LineTest, ClosedTriangleHasAllCornersAndPenReturnsHome) {
  RasterCanvas canvas(30, 30);
  canvas.SetPenColor(kYellow);
  canvas.MoveTo(3, 4);
  canvas.LineTo(25, 9);
  canvas.LineTo(11, 27);
  canvas.LineTo(3, 4);
  for (const auto& [x, y] : {std::pair{3, 4}, std::pair{25, 9}, std::pair{11, 27}}) {
    EXPECT_EQ(PixelAt(canvas.GetImage(), x, y), kYellow) << x << "," << y;
  }
  EXPECT_EQ(canvas.GetPenPos().X, 3);
  EXPECT_EQ(canvas.GetPenPos().Y, 4);
}

// Every pair of endpoints from a grid around and beyond a small image: the
// clipped line must equal the in-image part of the unclipped one.
TEST(LineClippingTest, MatchesUnclippedReferenceAroundTheEdges) {
  constexpr int kW = 16;
  constexpr int kH = 12;
  const int xs[] = {-30, -1, 0, 3, 15, 16, 40};
  const int ys[] = {-25, -1, 0, 5, 11, 12, 30};
  std::vector<std::pair<int, int>> points;
  for (int x : xs) {
    for (int y : ys) points.emplace_back(x, y);
  }
  for (const auto& [x0, y0] : points) {
    for (const auto& [x1, y1] : points) {
      const Pixels expected = InImage(NaiveLine(x0, y0, x1, y1), kW, kH);
      ASSERT_EQ(DrawAndCompare(kW, kH, x0, y0, x1, y1, expected), "")
          << "line (" << x0 << "," << y0 << ")-(" << x1 << "," << y1 << ")";
    }
  }
}

// Shallow lines whose whole runs are 16 pixels and more, written with the
// widest stores, both ways along the row; the images of the other tests are
// too small to hold such a run whole.
TEST(LineTest, LongRowRunsMatchReference) {
  constexpr int kW = 100;
  constexpr int kH = 6;
  const std::array<int, 4> lines[] = {{1, 1, 98, 4}, {98, 4, 1, 1}, {2, 5, 97, 0}, {97, 0, 2, 5}};
  for (const auto& [x0, y0, x1, y1] : lines) {
    const Pixels expected = InImage(NaiveLine(x0, y0, x1, y1), kW, kH);
    EXPECT_EQ(DrawAndCompare(kW, kH, x0, y0, x1, y1, expected), "")
        << "line (" << x0 << "," << y0 << ")-(" << x1 << "," << y1 << ")";
  }
}

TEST(LineClippingTest, MatchesUnclippedReferenceForRandomLongLines) {
  constexpr int kW = 23;
  constexpr int kH = 17;
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> coordinate(-3000, 3000);
  std::uniform_int_distribution<int> near(-5, 27);
  for (int n = 0; n < 1500; ++n) {
    // Half the lines start near the image, so most of them cross it.
    const int x0 = n % 2 == 0 ? near(random) : coordinate(random);
    const int y0 = n % 2 == 0 ? near(random) : coordinate(random);
    const int x1 = coordinate(random);
    const int y1 = coordinate(random);
    const Pixels expected = InImage(NaiveLine(x0, y0, x1, y1), kW, kH);
    ASSERT_EQ(DrawAndCompare(kW, kH, x0, y0, x1, y1, expected), "")
        << "line (" << x0 << "," << y0 << ")-(" << x1 << "," << y1 << ")";
  }
}

// The pixels of a line at any one major coordinate, from the closed form of
// the reference loop. Stepping billions of pixels would take too long here;
// this evaluates the same rule column by column over the image only.
Pixels ColumnReference(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, int w,
                       int h) {
  __extension__ typedef __int128 Wide;
  Pixels out;
  const std::int64_t dx = x1 > x0 ? x1 - x0 : x0 - x1;
  const std::int64_t dy = y1 > y0 ? y1 - y0 : y0 - y1;
  const bool xMajor = dx >= dy;
  const std::int64_t n = xMajor ? dx : dy;
  const std::int64_t rise = xMajor ? dy : dx;
  if (n == 0) return out;
  const std::int64_t a0 = xMajor ? x0 : y0;
  const std::int64_t b0 = xMajor ? y0 : x0;
  const std::int64_t sa = (xMajor ? x1 >= x0 : y1 >= y0) ? 1 : -1;
  const std::int64_t sb = (xMajor ? y1 >= y0 : x1 >= x0) ? 1 : -1;
  for (int a = 0; a < (xMajor ? w : h); ++a) {
    const std::int64_t i = (a - a0) * sa;
    if (i < 0 || i >= n) continue;
    const auto m = static_cast<std::int64_t>((Wide{2} * i * rise + n) / (Wide{2} * n));
    const std::int64_t b = b0 + sb * m;
    if (b < 0 || b >= (xMajor ? h : w)) continue;
    if (xMajor) {
      out.emplace(a, static_cast<int>(b));
    } else {
      out.emplace(static_cast<int>(b), a);
    }
  }
  return out;
}

struct HugeLine {
  std::int64_t X0, Y0, X1, Y1;
};

void PrintTo(const HugeLine& c, std::ostream* os) {
  *os << "(" << c.X0 << ", " << c.Y0 << ") to (" << c.X1 << ", " << c.Y1 << ")";
}

class HugeLineTest : public ::testing::TestWithParam<HugeLine> {};

TEST_P(HugeLineTest, DrawsOnlyTheInImagePixelsOfTheLine) {
  constexpr int kW = 40;
  constexpr int kH = 30;
  const HugeLine c = GetParam();
  const auto x0 = static_cast<int>(c.X0);
  const auto y0 = static_cast<int>(c.Y0);
  const auto x1 = static_cast<int>(c.X1);
  const auto y1 = static_cast<int>(c.Y1);
  EXPECT_EQ(DrawAndCompare(kW, kH, x0, y0, x1, y1, ColumnReference(x0, y0, x1, y1, kW, kH)), "");
}

// For lines short enough to step, the column rule is the stepped rule.
TEST(HugeLineTest, ColumnReferenceAgreesWithSteppedReference) {
  for (const HugeLine c : {HugeLine{-50000, 7, 70000, 19}, HugeLine{33, -90000, 1, 80000},
                           HugeLine{60000, 40000, -20000, -10000}}) {
    EXPECT_EQ(ColumnReference(c.X0, c.Y0, c.X1, c.Y1, 40, 30),
              InImage(NaiveLine(c.X0, c.Y0, c.X1, c.Y1), 40, 30));
  }
}

INSTANTIATE_TEST_SUITE_P(
    FarBeyondTheImage, HugeLineTest,
    ::testing::Values(
        HugeLine{-1000000000, 5, 1000000000, 7}, HugeLine{1000000000, 7, -1000000000, 5},
        HugeLine{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, HugeLine{INT_MAX, INT_MAX, INT_MIN, INT_MIN},
        HugeLine{INT_MAX, 0, INT_MIN, 29}, HugeLine{5, INT_MIN, 6, INT_MAX},
        HugeLine{INT_MIN, INT_MAX, INT_MAX, INT_MIN}, HugeLine{-2000000000, 2000000000, 20, 15},
        HugeLine{20, 15, INT_MIN, INT_MIN + 7}, HugeLine{INT_MAX, 3, INT_MAX, 3},
        HugeLine{INT_MIN, 10, INT_MIN + 1, 10}, HugeLine{-100, -100, -5, -7},
        HugeLine{-7, 12, 47, -1999999999}, HugeLine{39, 29, 39, INT_MAX},
        HugeLine{0, INT_MIN, 0, 29}, HugeLine{-1, 0, 40, 29}));

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

void PrintTo(const StyleCase& c, std::ostream* os) {
  *os << "style " << c.Style << " in (" << c.Area.X1 << ", " << c.Area.Y1 << ", " << c.Area.X2
      << ", " << c.Area.Y2 << ")";
}

class HatchTest : public ::testing::TestWithParam<StyleCase> {};

// Hatches paint only their lines, in the brush colour, on positions tied to
// the canvas origin (also for fills starting at odd offsets); the pixels
// between the lines keep what was there.
TEST_P(HatchTest, FillPaintsOnlyOriginAlignedLines) {
  const StyleCase c = GetParam();
  RasterCanvas canvas(30, 26);
  OnPaper(canvas, 30, 26, kBlack, kGreen, c.Style);
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
  // Named, not unpacked: clang before 16 cannot capture structured bindings.
  const Box b = GetParam().first;
  const int style = GetParam().second;
  RasterCanvas canvas(26, 22);
  OnPaper(canvas, 26, 22, kMaroon, kLime, style);
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
  OnPaper(canvas, 60, 60, kRed, kGreen, kBsBDiagonal);
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

// Hatched fills written row by row paint exactly QPainter's pattern for any
// start column and width, including rows longer than the unrolled stride.
TEST(HatchRowTest, EveryStartAndWidthMatchesQPainterPattern) {
  constexpr int kWidth = 120;
  constexpr int kHeight = 10;
  for (int style = kBsHorizontal; style <= kBsDiagCross; ++style) {
    for (int left = 0; left <= 8; ++left) {
      for (const int width : {1, 7, 8, 9, 25, 31, 32, 33, 64, 97, 111}) {
        RasterCanvas canvas(kWidth, kHeight);
        canvas.SetBrushColor(kGreen);
        canvas.SetBrushStyle(style);
        canvas.FillRect(Rect(left, 1, left + width, 9));

        QImage reference(kWidth, kHeight, QImage::Format_RGB32);
        reference.fill(ToArgb(kWhite));
        {
          QPainter painter(&reference);
          painter.fillRect(QRect(left, 1, width, 8),
                           QBrush(QColor::fromRgb(ToArgb(kGreen)), ToQtBrushStyle(style)));
        }
        ASSERT_EQ(canvas.GetImage(), reference)
            << "style " << style << " from " << left << " width " << width;
      }
    }
  }
}

struct Cell {
  int Width;
  int Height;
};

Cell CellOf(std::string_view text) {
  const QFontMetrics metrics(CanvasFont());
  return Cell{metrics.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size()))),
              metrics.height()};
}

struct BrushCase {
  const char* Name;
  int Style;
  bool FillsCell;
};

void PrintTo(const BrushCase& c, std::ostream* os) { *os << c.Name; }

class TextBrushTest : public ::testing::TestWithParam<BrushCase> {};

// Solid brush: the whole cell in the brush colour with the glyphs on top.
// Any other style: the glyphs alone; the pixels behind keep their colour.
TEST_P(TextBrushTest, FillsTheCellOnlyWithASolidBrush) {
  const BrushCase c = GetParam();
  const int x = 7;
  const int y = 5;
  const Cell cell = CellOf("12");
  RasterCanvas canvas(40, 30);
  OnPaper(canvas, 40, 30, kRed, kBlue, c.Style);  // the pen never shows in text
  canvas.SetFontColor(kYellow);
  canvas.TextOut(x, y, "12");

  int glyph = 0;
  int brush = 0;
  for (int py = 0; py < 30; ++py) {
    for (int px = 0; px < 40; ++px) {
      const TColor got = PixelAt(canvas.GetImage(), px, py);
      const bool inCell = px >= x && px < x + cell.Width && py >= y && py < y + cell.Height;
      if (!inCell) {
        ASSERT_EQ(got, kPaper) << "outside the cell at " << px << "," << py;
        continue;
      }
      ASSERT_TRUE(got == kYellow || got == (c.FillsCell ? kBlue : kPaper))
          << c.Name << " at " << px << "," << py << ": " << got;
      glyph += got == kYellow ? 1 : 0;
      brush += got == kBlue ? 1 : 0;
    }
  }
  EXPECT_GT(glyph, 10);
  EXPECT_EQ(brush > 0, c.FillsCell);
  // The top-left corner of the cell is background in both digits.
  EXPECT_EQ(PixelAt(canvas.GetImage(), x, y), c.FillsCell ? kBlue : kPaper);
}

INSTANTIATE_TEST_SUITE_P(Styles, TextBrushTest,
                         ::testing::Values(BrushCase{"Solid", kBsSolid, true},
                                           BrushCase{"Clear", kBsClear, false},
                                           BrushCase{"BDiagonal", kBsBDiagonal, false},
                                           BrushCase{"Cross", kBsCross, false},
                                           BrushCase{"Unknown", 42, false}),
                         [](const ::testing::TestParamInfo<BrushCase>& p) { return p.param.Name; });

TEST(TextTest, NewCanvasWritesBlackAndTextLeavesPenAndStateAlone) {
  RasterCanvas canvas(40, 30);
  canvas.MoveTo(3, 4);
  canvas.TextOut(2, 2, "9 ");
  int black = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) black += PixelAt(canvas.GetImage(), x, y) == kBlack ? 1 : 0;
  }
  EXPECT_GT(black, 5);
  EXPECT_EQ(canvas.GetPenPos().X, 3);
  EXPECT_EQ(canvas.GetPenPos().Y, 4);
}

// Far-off positions, partly visible cells and bytes that are not UTF-8.
TEST(TextTest, AnyPositionOrBytesAreSafe) {
  RasterCanvas canvas(40, 30);
  const QImage before = canvas.GetImage().copy();
  for (const auto& [x, y] : {std::pair{INT_MAX, INT_MAX}, std::pair{INT_MIN, INT_MIN},
                             std::pair{INT_MAX, 0}, std::pair{0, INT_MIN}, std::pair{-500, 10}}) {
    canvas.TextOut(x, y, "12");
  }
  EXPECT_EQ(canvas.GetImage(), before);
  canvas.TextOut(-4, -6, "12");
  canvas.TextOut(35, 25, std::string_view("\xff\xfe\x80 3", 5));
  canvas.TextOut(5, 5, "");
  EXPECT_EQ(canvas.GetImage().size(), QSize(40, 30));
}

}  // namespace
}  // namespace trilume
