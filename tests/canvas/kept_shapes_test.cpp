// SPDX-License-Identifier: MIT
// RasterCanvas keeps the pixels QPainter paints for an ellipse size or a
// text and writes them itself on later calls. These tests hold the kept
// pixels to QPainter's own at many positions, sizes, brush styles and texts,
// through the evictions of the bounded stores, and show that drawing what is
// kept touches neither QPainter nor the heap: no QString, no QImage.
#include "render/canvas/kept_shapes.h"

#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "render/canvas/raster_canvas.h"
#include "tests/canvas/canvas_test_util.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/qpainter_canvas.h"

namespace trilume {
namespace {

using canvas_test::kPaper;
using canvas_test::OnPaper;
using canvas_test::Paper;
using canvas_test::ReferenceEllipse;

constexpr std::array<std::pair<int, int>, 12> kSizes = {{{9, 9},
                                                         {10, 7},
                                                         {23, 31},
                                                         {2, 2},
                                                         {4, 2},
                                                         {3, 6},
                                                         {40, 41},
                                                         {17, 16},
                                                         {5, 4},
                                                         {60, 33},
                                                         {1, 9},
                                                         {12, 2}}};

// Each size three times in a row at different places, so RasterCanvas draws
// it directly, then captures it, then writes the kept shape; with more sizes
// than it keeps, so shapes are dropped and captured again in the next round. `draw` gets the
// corners of each call.
template <typename Draw>
void ForEachEllipse(const Draw& draw) {
  for (int round = 0; round < 3; ++round) {
    for (std::size_t i = 0; i < kSizes.size(); ++i) {
      const auto [w, h] = kSizes[i];
      const int x = static_cast<int>(i) * 13 + round * 29 - 20;
      const int y = static_cast<int>(i) * 7 + round * 23 - 15;
      draw(x, y, x + w, y + h);                  // drawn directly
      draw(x + w + 1, y + 3, x + 1, y + h + 3);  // captured; corners swapped
      draw(x - 5, y + 9, x - 5 + w, y + 9 + h);  // kept
    }
  }
}

class KeptEllipseTest : public ::testing::TestWithParam<int> {};

// Every brush style: the kept fill paints the pattern's pixels and keeps the
// rest, as QPainter's hatched brush does; clear and unknown styles paint the
// outline alone.
TEST_P(KeptEllipseTest, MatchesQPainterCutToTheBoxForEveryBrushStyle) {
  const int style = GetParam();
  constexpr int kWidth = 150;
  constexpr int kHeight = 110;
  RasterCanvas canvas(kWidth, kHeight);
  OnPaper(canvas, kWidth, kHeight, kMaroon, kGreen, style);
  ForEachEllipse([&](int x1, int y1, int x2, int y2) { canvas.Ellipse(x1, y1, x2, y2); });

  QImage reference = Paper(kWidth, kHeight);
  ForEachEllipse([&](int x1, int y1, int x2, int y2) {
    ReferenceEllipse(reference, x1, y1, x2, y2, kMaroon, kGreen, style);
  });
  EXPECT_EQ(canvas.GetImage(), reference) << "style " << style;
}

INSTANTIATE_TEST_SUITE_P(Styles, KeptEllipseTest,
                         ::testing::Values(kBsSolid, kBsClear, kBsHorizontal, kBsVertical,
                                           kBsFDiagonal, kBsBDiagonal, kBsCross, kBsDiagCross, -1,
                                           8));

// Shapes kept for a solid brush are completed when a hatch or a clear brush
// needs the pixels where the fill covers the outline.
TEST(KeptEllipseTest, ChangingBrushStylesBetweenCallsStaysRight) {
  constexpr int kWidth = 150;
  constexpr int kHeight = 110;
  constexpr std::array<int, 5> kStyles = {kBsSolid, kBsBDiagonal, kBsSolid, kBsClear, kBsDiagCross};
  RasterCanvas canvas(kWidth, kHeight);
  OnPaper(canvas, kWidth, kHeight, kMaroon, kGreen, kBsSolid);
  QImage reference = Paper(kWidth, kHeight);
  std::size_t call = 0;
  ForEachEllipse([&](int x1, int y1, int x2, int y2) {
    const int style = kStyles[call++ % kStyles.size()];
    canvas.SetBrushStyle(style);
    canvas.Ellipse(x1, y1, x2, y2);
    ReferenceEllipse(reference, x1, y1, x2, y2, kMaroon, kGreen, style);
  });
  EXPECT_EQ(canvas.GetImage(), reference);
}

// Sizes too large to keep go through QPainter every time, cut to the box in
// the same way.
TEST(KeptEllipseTest, SizesTooLargeToKeepAreCutToTheBoxToo) {
  const int big = kMaxCaptureSide + 1;
  for (const int style : {kBsSolid, kBsBDiagonal}) {
    RasterCanvas canvas(60, 50);
    OnPaper(canvas, 60, 50, kMaroon, kGreen, style);
    QImage reference = Paper(60, 50);
    for (const auto& [x, y, w, h] : {std::array{5, 3, big, 30}, std::array{-big + 40, 20, big, 7},
                                     std::array{30, -big + 20, 4, big}}) {
      for (int i = 0; i < 3; ++i) canvas.Ellipse(x, y, x + w, y + h);
      ReferenceEllipse(reference, x, y, x + w, y + h, kMaroon, kGreen, style);
    }
    EXPECT_EQ(canvas.GetImage(), reference) << "style " << style;
  }
}

// A kept shape is only ever written into the canvas's own pixels: a copy
// taken earlier keeps the picture it had.
TEST(KeptEllipseTest, EarlierCopiesOfTheImageStayUnchanged) {
  RasterCanvas canvas(40, 30);
  for (int i = 0; i < 3; ++i) canvas.Ellipse(2, 2, 20, 20);
  const QImage copy = canvas.GetImage();
  const QImage before = copy.copy();
  canvas.SetBrushColor(kRed);
  canvas.Ellipse(10, 5, 28, 23);
  canvas.Ellipse(10, 5, 28, 23);
  EXPECT_EQ(copy, before);
  EXPECT_NE(canvas.GetImage(), before);
}

struct TextCase {
  std::string_view Text;
  int X;
  int Y;
};

// Texts at the corners and edges, partly and wholly outside, overhanging
// glyphs, non-Latin letters, bytes that are not UTF-8 and a text too long to
// be kept; each drawn three times at shifting places under both brush kinds.
constexpr std::array<TextCase, 12> kTextCases = {{{"12", 0, 0},
                                                  {"3 ", 67, 20},
                                                  {"6 ", 30, 52},
                                                  {"9 ", -4, -6},
                                                  {"Wjf/", 61, -3},
                                                  {"\xc3\x84g\xc3\xb6\xc3\x9f", -12, 55},
                                                  {"\xe2\x80\x94|", 40, 61},
                                                  {"\xff\xfe\x80 3", 5, 30},
                                                  {"fj", 500, 10},
                                                  {"(yq)", 20, -20},
                                                  {"0123456789012345678901234567890123456789"
                                                   "0123456789012345678901234567890123456789",
                                                   -100, 40},
                                                  {"12", 72, 60}}};

void DrawTexts(TCanvas& canvas, int style, int round) {
  canvas.SetBrushColor(kPaper);
  canvas.SetBrushStyle(kBsSolid);
  canvas.FillRect(Rect(0, 0, 80, 64));
  canvas.SetBrushColor(kBlue);
  canvas.SetBrushStyle(style);
  canvas.SetFontColor(kYellow);
  for (const TextCase& c : kTextCases) canvas.TextOut(c.X + round, c.Y - round, c.Text);
}

class KeptTextTest : public ::testing::TestWithParam<int> {};

TEST_P(KeptTextTest, MatchesQPainterTextAtEdgesAndForEveryText) {
  const int style = GetParam();
  RasterCanvas raster(80, 64);
  QPainterCanvas painter(80, 64);
  for (int round = 0; round < 3; ++round) {
    DrawTexts(raster, style, round);
    DrawTexts(painter, style, round);
    ASSERT_EQ(raster.GetImage(), painter.GetImage().copy()) << "round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Brushes, KeptTextTest,
                         ::testing::Values(kBsSolid, kBsBDiagonal, kBsClear));

// More texts than are kept, in turn, each three times (drawn, captured,
// kept): dropped texts come back right.
TEST(KeptTextTest, MoreTextsThanKeptStayRight) {
  RasterCanvas raster(90, 40);
  QPainterCanvas painter(90, 40);
  for (int round = 0; round < 3; ++round) {
    for (int n = 0; n < 20; ++n) {
      const std::string text = std::to_string(n * 7);
      for (TCanvas* canvas : {static_cast<TCanvas*>(&raster), static_cast<TCanvas*>(&painter)}) {
        canvas->SetBrushColor(n % 2 == 0 ? kNavy : kTeal);
        for (int time = 0; time < 3; ++time) {
          canvas->TextOut(n * 4 - 5 + time, round * 9 - 2 + time * 5, text);
        }
      }
    }
  }
  EXPECT_EQ(raster.GetImage(), painter.GetImage().copy());
}

// The canvas calls of a frame at the design values, plus the hatched and
// cleared ellipse fills and texts under a hatched brush.
void DrawFrameShapes(RasterCanvas& canvas, int style) {
  canvas.SetBrushColor(kNavy);
  canvas.SetBrushStyle(style);
  canvas.FillRect(Rect(0, 0, 280, 310));
  canvas.SetPenColor(kWhite);
  canvas.Ellipse(22, 23, 249, 253);
  canvas.SetBrushColor(kBlue);
  canvas.SetBrushStyle(kBsSolid);
  canvas.Ellipse(132, 134, 139, 141);
  canvas.SetBrushStyle(style);
  canvas.Ellipse(-3, 300, 9, 312);
  canvas.TextOut(130, 2, "12");
  canvas.TextOut(261, 127, "3 ");
  canvas.TextOut(130, 261, "6 ");
  canvas.TextOut(2, 127, "9 ");
  canvas.TextOut(-3, 770, "9 ");
  canvas.MoveTo(10, 10);
  canvas.LineTo(200, 150);
  canvas.Rectangle(5, 5, 50, 60);
}

TEST(AllocationTest, KeptEllipsesAndTextsAllocateNothing) {
  auto canvas = std::make_unique<RasterCanvas>();
  for (const int style : {kBsSolid, kBsBDiagonal, kBsClear}) {
    for (int warmUp = 0; warmUp < 3; ++warmUp) DrawFrameShapes(*canvas, style);
  }

  StartCountingAllocations();
  for (int frame = 0; frame < 50; ++frame) {
    for (const int style : {kBsSolid, kBsBDiagonal, kBsClear, kBsDiagCross}) {
      DrawFrameShapes(*canvas, style);
    }
  }
  EXPECT_EQ(StopCountingAllocations(), 0);
}

// The counter itself works: an ellipse size met for the first time goes
// through QPainter, which allocates.
TEST(AllocationTest, FirstDrawOfANewSizeIsCounted) {
  RasterCanvas canvas(100, 100);
  StartCountingAllocations();
  canvas.Ellipse(10, 10, 61, 43);
  EXPECT_GT(StopCountingAllocations(), 0);
}

}  // namespace
}  // namespace trilume
