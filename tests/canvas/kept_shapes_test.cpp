// RasterCanvas keeps the pixels QPainter paints for an ellipse size or a
// text and writes them itself on later calls. These tests hold the kept
// pixels to QPainter's own at many positions, sizes, brush styles and texts,
// through the evictions of the bounded stores.
//
// The reference ellipse is QPainter's, drawn on a larger picture without any
// clip and cut to the box afterwards: QPainter's brush can reach past the
// box of a wide, low ellipse, even under a clip to the box, and an ellipse
// must stay inside its box.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "render/canvas_painting.h"
#include "render/qpainter_canvas.h"
#include "render/raster_canvas.h"

namespace trilume {
namespace {

constexpr TColor kPaper = kSilver;

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
  auto paint = [&](const std::vector<PixelRun>& runs, TColor color, int runStyle) {
    for (const PixelRun& run : runs) {
      const int py = y + run.Y;
      if (py < 0 || py >= image.height()) continue;
      auto* row = reinterpret_cast<QRgb*>(image.scanLine(py));
      const unsigned mask = HatchRowMask(runStyle, py);
      for (int px = std::max(x + run.X0, 0); px < std::min(x + run.X1, image.width()); ++px) {
        if ((mask >> (px & 7) & 1) != 0) row[px] = ToArgb(color);
      }
    }
  };
  paint(shape.Outline, pen, kBsSolid);
  paint(shape.FillOverPen, pen, kBsSolid);
  paint(shape.FillOverPen, brush, style);
  paint(shape.Fill, brush, style);
}

// QPainter's ellipse in the box (x1, y1)-(x2, y2) on `image`, cut to the box.
// kMargin is a multiple of 8, so hatches stay tied to the image's origin.
void ReferenceEllipse(QImage& image, int x1, int y1, int x2, int y2, TColor pen, TColor brush,
                      int style) {
  constexpr int kMargin = 64;
  const QRect box = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                          QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1));
  const QRect visible = box & image.rect();
  if (box.width() < 1 || box.height() < 1 || visible.isEmpty()) return;
  QImage large(image.width() + 2 * kMargin, image.height() + 2 * kMargin, image.format());
  large.fill(ToArgb(kPaper));
  {
    QPainter painter(&large);
    if (box.width() == 1 || box.height() == 1) {
      painter.fillRect(box.translated(kMargin, kMargin), QColor::fromRgb(ToArgb(pen)));
    } else {
      painter.setPen(CanvasPen(pen));
      painter.setBrush(QBrush(QColor::fromRgb(ToArgb(brush)), ToQtBrushStyle(style)));
      painter.drawEllipse(box.translated(kMargin, kMargin).adjusted(0, 0, -1, -1));
    }
  }
  for (int y = visible.top(); y <= visible.bottom(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(large.constScanLine(y + kMargin)) + kMargin;
    auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = visible.left(); x <= visible.right(); ++x) {
      if (from[x] != ToArgb(kPaper)) to[x] = from[x];
    }
  }
}

QImage Paper(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(ToArgb(kPaper));
  return image;
}

struct SizeRange {
  int From;
  int To;
};

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
  canvas.SetBrushColor(kPaper);
  canvas.FillRect(Rect(0, 0, kWidth, kHeight));
  canvas.SetPenColor(kMaroon);
  canvas.SetBrushColor(kGreen);
  canvas.SetBrushStyle(style);
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
  canvas.SetBrushColor(kPaper);
  canvas.FillRect(Rect(0, 0, kWidth, kHeight));
  canvas.SetPenColor(kMaroon);
  canvas.SetBrushColor(kGreen);
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
    canvas.SetBrushColor(kPaper);
    canvas.FillRect(Rect(0, 0, 60, 50));
    canvas.SetPenColor(kMaroon);
    canvas.SetBrushColor(kGreen);
    canvas.SetBrushStyle(style);
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
