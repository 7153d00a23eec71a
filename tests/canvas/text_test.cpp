// TextOut: font colour, the cell filled only under a solid brush, the pinned
// font, and safety at any coordinates or bytes.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <climits>
#include <string_view>

#include "render/canvas_painting.h"
#include "render/raster_canvas.h"
#include "tests/canvas/canvas_test_util.h"

namespace trilume {
namespace {

using canvas_test::PixelAt;

constexpr TColor kPaper = kSilver;

struct Cell {
  int Width;
  int Height;
};

Cell CellOf(std::string_view text) {
  const QFontMetrics metrics(CanvasFont());
  return Cell{metrics.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size()))),
              metrics.height()};
}

TEST(TextTest, FontIsThePinnedLiberationSans) {
  EXPECT_EQ(QFontInfo(CanvasFont()).family(), QStringLiteral("Liberation Sans"));
  const Cell cell = CellOf("12");
  EXPECT_GE(cell.Height, 12);
  EXPECT_LE(cell.Height, 14);
  EXPECT_GT(cell.Width, 8);
}

struct BrushCase {
  const char* Name;
  int Style;
  bool FillsCell;
};

class TextBrushTest : public ::testing::TestWithParam<BrushCase> {};

// Solid brush: the whole cell in the brush colour with the glyphs on top.
// Any other style: the glyphs alone; the pixels behind keep their colour.
TEST_P(TextBrushTest, FillsTheCellOnlyWithASolidBrush) {
  const BrushCase c = GetParam();
  const int x = 7;
  const int y = 5;
  const Cell cell = CellOf("12");
  RasterCanvas canvas(40, 30);
  canvas.SetBrushColor(kPaper);
  canvas.FillRect(Rect(0, 0, 40, 30));
  canvas.SetPenColor(kRed);  // the pen never shows in text
  canvas.SetBrushColor(kBlue);
  canvas.SetBrushStyle(c.Style);
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
