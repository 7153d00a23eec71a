// Lines: the end-pixel rule, the pen position, and clipping that draws
// exactly the in-image pixels of the unclipped line at any coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "render/raster_canvas.h"
#include "tests/canvas/canvas_test_util.h"

namespace trilume {
namespace {

using canvas_test::Differences;
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
  return Differences(canvas.GetImage(), [&](int x, int y) {
    return expected.count({x, y}) != 0 ? kRed : kWhite;
  });
}

struct DirectionCase {
  const char* Name;
  int DX;
  int DY;
};

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
  EXPECT_EQ(Differences(image,
                        [&](int x, int y) {
                          return expected.count({x, y}) != 0 ? kBlack : kWhite;
                        }),
            "");
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

}  // namespace
}  // namespace trilume
