// SPDX-License-Identifier: MIT
// CaptureEllipseShape and CaptureTextMask: the pixels read back from one
// drawing are QPainter's own, for every position, size and brush style, and
// what cannot be captured is refused.
#include "render/canvas/shape_capture.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "render/canvas/canvas.h"
#include "render/canvas/canvas_font.h"
#include "render/canvas/hatch.h"
#include "tests/canvas/canvas_test_util.h"

namespace trilume {
namespace {

using canvas_test::Paper;
using canvas_test::ReferenceEllipse;

// Where a box's corner goes: inside, on every edge and partly beyond it.
std::vector<int> Offsets(int size, int limit) {
  return {-size + 1,    -size / 2,        -1,       0, 3, 11, limit - size - 1,
          limit - size, limit - size / 2, limit - 1};
}

// Pixels of the shape's runs at (x, y) on `image`, clipped to it, as the
// sets are defined: Outline in the pen colour; FillOverPen in the pen
// colour, then the brush's pattern pixels; Fill the pattern pixels alone.
void Replay(const EllipseShape& shape, int x, int y, TColor pen, TColor brush, int style,
            QImage& image) {
  auto paint = [&](const std::vector<PixelRun>& runs, TColor colour, int runStyle) {
    const std::array<std::uint8_t, 8> rows = HatchRows(runStyle);
    for (const PixelRun& run : runs) {
      const int py = y + run.Y;
      if (py < 0 || py >= image.height()) continue;
      auto* row = reinterpret_cast<QRgb*>(image.scanLine(py));
      const unsigned mask = rows[static_cast<std::size_t>(py & 7)];
      for (int px = std::max(x + run.X0, 0); px < std::min(x + run.X1, image.width()); ++px) {
        if ((mask >> (px & 7) & 1) != 0) row[px] = ToArgb(colour);
      }
    }
  };
  paint(shape.Outline, pen, kBsSolid);
  paint(shape.FillOverPen, pen, kBsSolid);
  paint(shape.FillOverPen, brush, style);
  paint(shape.Fill, brush, style);
}

struct SizeRange {
  int From;
  int To;
};

void PrintTo(const SizeRange& c, std::ostream* os) { *os << "sizes " << c.From << ".." << c.To; }

class EllipseCaptureTest : public ::testing::TestWithParam<SizeRange> {};

// One capture per size reproduces QPainter's ellipse at every position,
// including boxes cut by each edge of the image: the shape depends on the
// size alone.
TEST_P(EllipseCaptureTest, OneCaptureMatchesQPainterAtEveryPosition) {
  const SizeRange sizes = GetParam();
  constexpr int kWidth = 48;
  constexpr int kHeight = 40;
  EllipseShape shape;
  EllipseShape unsplit;
  for (int w = sizes.From; w <= sizes.To; ++w) {
    for (int h = sizes.From; h <= sizes.To; ++h) {
      ASSERT_TRUE(CaptureEllipseShape(w, h, false, unsplit)) << w << "x" << h;
      ASSERT_TRUE(CaptureEllipseShape(w, h, true, shape)) << w << "x" << h;
      for (const int x : Offsets(w, kWidth)) {
        for (const int y : Offsets(h, kHeight)) {
          for (const int style : {kBsSolid, kBsClear, kBsDiagCross}) {
            QImage replayed = Paper(kWidth, kHeight);
            Replay(shape, x, y, kRed, kBlue, style, replayed);
            QImage painted = Paper(kWidth, kHeight);
            ReferenceEllipse(painted, x, y, x + w, y + h, kRed, kBlue, style);
            ASSERT_EQ(replayed, painted)
                << w << "x" << h << " at " << x << "," << y << " style " << style;
          }
          // Without the split, good for a solid brush.
          QImage replayed = Paper(kWidth, kHeight);
          Replay(unsplit, x, y, kRed, kBlue, kBsSolid, replayed);
          QImage painted = Paper(kWidth, kHeight);
          ReferenceEllipse(painted, x, y, x + w, y + h, kRed, kBlue, kBsSolid);
          ASSERT_EQ(replayed, painted) << w << "x" << h << " unsplit at " << x << "," << y;
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, EllipseCaptureTest,
                         ::testing::Values(SizeRange{2, 13}, SizeRange{14, 25}, SizeRange{26, 33}));

TEST(EllipseCaptureTest, LargeAndLopsidedSizesMatchQPainter) {
  constexpr int kWidth = 320;
  constexpr int kHeight = 300;
  EllipseShape shape;
  for (const auto& [w, h] :
       {std::pair{227, 230}, std::pair{228, 231}, std::pair{301, 299}, std::pair{300, 3},
        std::pair{2, 251}, std::pair{97, 64}, std::pair{64, 97}, std::pair{255, 256}}) {
    ASSERT_TRUE(CaptureEllipseShape(w, h, true, shape)) << w << "x" << h;
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{7, 5}, std::pair{-w / 2, 13},
                               std::pair{kWidth - w / 3, kHeight - h / 2}}) {
      QImage replayed = Paper(kWidth, kHeight);
      Replay(shape, x, y, kRed, kBlue, kBsSolid, replayed);
      QImage painted = Paper(kWidth, kHeight);
      ReferenceEllipse(painted, x, y, x + w, y + h, kRed, kBlue, kBsSolid);
      ASSERT_EQ(replayed, painted) << w << "x" << h << " at " << x << "," << y;
    }
  }
}

TEST(EllipseCaptureTest, RefusesSizesItCannotTake) {
  EllipseShape shape;
  ASSERT_TRUE(CaptureEllipseShape(5, 5, true, shape));
  for (const auto& [w, h] : {std::pair{1, 5}, std::pair{5, 1}, std::pair{0, 0}, std::pair{-3, 4},
                             std::pair{kMaxCaptureSide + 1, 4}}) {
    EXPECT_FALSE(CaptureEllipseShape(w, h, true, shape)) << w << "x" << h;
    EXPECT_TRUE(shape.Outline.empty() && shape.FillOverPen.empty() && shape.Fill.empty());
  }
}

TEST(TextCaptureTest, CellAndGlyphsMatchTheFontAndRefuseWhatCannotBeKept) {
  const QFont font = CanvasFont();
  TextMask mask;
  ASSERT_TRUE(CaptureTextMask(font, "12", mask));
  const QFontMetrics metrics(font);
  EXPECT_EQ(mask.CellWidth, metrics.horizontalAdvance(QStringLiteral("12")));
  EXPECT_EQ(mask.CellHeight, metrics.height());
  EXPECT_FALSE(mask.Glyphs.empty());

  EXPECT_FALSE(CaptureTextMask(font, "", mask));
  EXPECT_FALSE(CaptureTextMask(font, std::string(kMaxCapturedTextBytes + 1, '1'), mask));
  EXPECT_TRUE(mask.Glyphs.empty());

  QFont smooth = font;  // antialiased glyphs are not one colour
  smooth.setStyleStrategy(QFont::PreferAntialias);
  smooth.setPixelSize(40);
  EXPECT_FALSE(CaptureTextMask(smooth, "Ww", mask));
}

}  // namespace
}  // namespace trilume
