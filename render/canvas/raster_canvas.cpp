#include "render/canvas/raster_canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <QString>
#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>

#include "render/canvas/canvas_font.h"
#include "render/canvas/hatch.h"
#include "render/canvas/qt_brush.h"

namespace trilume {

namespace {

// The one wide type in here: the inverse of the Bresenham step at an edge
// multiplies two 33-bit quantities. Only used once per clipped line.
__extension__ typedef __int128 Int128;

// A line's pixels in the terms of its major axis. Pixel i (0 <= i < Length)
// lies at major a0 + MajorSign * i and minor b0 + MinorSign * Minor(i), with
//   Minor(i) = floor((2 * i * Rise + Length) / (2 * Length)),
// the nearest minor coordinate with halves rounded away from the start. The
// end point itself is pixel Length, which is never drawn.
struct LineShape {
  std::int64_t Length = 0;  // |major delta| > 0
  std::int64_t Rise = 0;    // |minor delta|, <= Length
};

std::int64_t MinorAt(const LineShape& line, std::int64_t i) {
  return static_cast<std::int64_t>((Int128{2} * i * line.Rise + line.Length) /
                                   (Int128{2} * line.Length));
}

// The first i with Minor(i) >= k, for k >= 1 and Rise > 0:
// ceil((2k - 1) * Length / (2 * Rise)).
std::int64_t FirstWithMinorAtLeast(const LineShape& line, std::int64_t k) {
  const Int128 num = (Int128{2} * k - 1) * line.Length;
  const Int128 den = Int128{2} * line.Rise;
  return static_cast<std::int64_t>((num + den - 1) / den);
}

// Range of i in [lo, hi] keeping a0 + sign * i inside [0, limit).
void ClipAxis(std::int64_t a0, int sign, std::int64_t limit, std::int64_t& lo, std::int64_t& hi) {
  if (sign > 0) {
    lo = std::max(lo, -a0);
    hi = std::min(hi, limit - 1 - a0);
  } else {
    lo = std::max(lo, a0 - (limit - 1));
    hi = std::min(hi, a0);
  }
}

// Narrows [lo, hi] to the pixels of `line` inside a majorLimit x minorLimit
// image, for a line starting at major a0, minor b0. Leaves lo > hi when none.
void ClipLine(const LineShape& line, std::int64_t a0, std::int64_t b0, int majorSign, int minorSign,
              std::int64_t majorLimit, std::int64_t minorLimit, std::int64_t& lo,
              std::int64_t& hi) {
  ClipAxis(a0, majorSign, majorLimit, lo, hi);
  if (lo > hi) return;

  // Minor(i) only grows, so the minor bounds cut one more interval of i.
  std::int64_t kLo = 0;  // Minor(i) must lie in [kLo, kHi]
  std::int64_t kHi = line.Length;
  ClipAxis(b0, minorSign, minorLimit, kLo, kHi);
  if (kLo > kHi || (line.Rise == 0 && kLo > 0)) {  // Minor(i) is 0 throughout without rise
    hi = lo - 1;
    return;
  }
  if (line.Rise > 0) {
    if (kLo > 0) lo = std::max(lo, FirstWithMinorAtLeast(line, kLo));
    hi = std::min(hi, FirstWithMinorAtLeast(line, kHi + 1) - 1);
  }
}

// The inner loop, kept out of line so that its eight values stay in
// registers (inlined, the compiler spills them). Writes `p` and then `count`
// further pixels. The plain branch beats branch-free masks here: the mask
// lengthens the dependency chain of every step, while the carry pattern of a
// line repeats closely enough for the predictor.
[[gnu::noinline]] void PlotRun(std::uint32_t* p, std::ptrdiff_t majorStep, std::ptrdiff_t minorStep,
                               std::int64_t f, std::int64_t twoRise, std::int64_t twoLength,
                               std::int64_t count, std::uint32_t argb) {
  *p = argb;
  for (; count > 0; --count) {
    f += twoRise;
    p += majorStep;
    if (f >= 0) {
      f -= twoLength;
      p += minorStep;
    }
    *p = argb;
  }
}

// Draws pixels 0..Length-1 of the line from (x0, y0) to (x1, y1) that lie in
// the image. Clipping comes first, so the cost is bounded by the image size
// whatever the coordinates, and the pixels drawn are exactly those the
// unclipped line would put inside the image.
void DrawLine(QImage& image, int x0, int y0, int x1, int y1, std::uint32_t argb) {
  const std::int64_t width = image.width();
  const std::int64_t height = image.height();
  const std::int64_t dx = std::int64_t{x1} - x0;
  const std::int64_t dy = std::int64_t{y1} - y0;
  if ((dx == 0 && dy == 0) || width == 0 || height == 0) return;

  const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  const std::int64_t a0 = xMajor ? x0 : y0;
  const std::int64_t b0 = xMajor ? y0 : x0;
  const std::int64_t da = xMajor ? dx : dy;
  const std::int64_t db = xMajor ? dy : dx;
  const int majorSign = da < 0 ? -1 : 1;
  const int minorSign = db < 0 ? -1 : 1;
  const LineShape line{da < 0 ? -da : da, db < 0 ? -db : db};
  const std::int64_t majorLimit = xMajor ? width : height;
  const std::int64_t minorLimit = xMajor ? height : width;

  std::int64_t lo = 0;
  std::int64_t hi = line.Length - 1;
  const bool inside = x0 >= 0 && x0 < width && y0 >= 0 && y0 < height && x1 >= 0 && x1 < width &&
                      y1 >= 0 && y1 < height;
  if (!inside) ClipLine(line, a0, b0, majorSign, minorSign, majorLimit, minorLimit, lo, hi);
  if (lo > hi) return;

  // Error term of pixel lo: f = ((2 * lo * Rise + Length) mod (2 * Length))
  // - 2 * Length, in [-2 * Length, 0); a step adds 2 * Rise and carries into
  // the minor axis when f reaches 0.
  const std::int64_t twoLength = 2 * line.Length;
  const std::int64_t twoRise = 2 * line.Rise;
  std::int64_t f =
      lo == 0 ? -line.Length
              : static_cast<std::int64_t>((Int128{2} * lo * line.Rise + line.Length) % twoLength) -
                    twoLength;
  const std::int64_t a = a0 + majorSign * lo;
  const std::int64_t b = b0 + minorSign * MinorAt(line, lo);
  const std::int64_t x = xMajor ? a : b;
  const std::int64_t y = xMajor ? b : a;

  // bits() detaches a shared image once here, never inside the loop.
  const std::ptrdiff_t stride = image.bytesPerLine() / 4;
  auto* p = reinterpret_cast<std::uint32_t*>(image.bits()) + y * stride + x;
  const std::ptrdiff_t majorStep = xMajor ? majorSign : majorSign * stride;
  const std::ptrdiff_t minorStep = xMajor ? minorSign * stride : minorSign;

  // Every pixel of [lo, hi] is inside the image, so the loop checks nothing
  // and the pointer never leaves the image.
  PlotRun(p, majorStep, minorStep, f, twoRise, twoLength, hi - lo, argb);
}

// Writes `argb` on the pixels x in [left, right) of `row` whose column bit
// (x mod 8) is set in `mask`, stepping straight from one such pixel to the
// next; patterns stay tied to x = 0.
void PaintRow(std::uint32_t* row, int left, int right, std::uint8_t mask, std::uint32_t argb) {
  if (mask == 0xFF) {
    // Sixteen pixels a step: the dial's inside alone is some 40,000 pixels.
    int x = left;
    for (; x + 16 <= right; x += 16) std::fill_n(row + x, 16, argb);
    std::fill(row + x, row + right, argb);
    return;
  }
  for (unsigned bits = mask; bits != 0; bits &= bits - 1) {
    const int column = std::countr_zero(bits);
    int x = left + ((column - left) & 7);  // first x >= left in this column
    for (; x + 24 < right; x += 32) {
      row[x] = argb;
      row[x + 8] = argb;
      row[x + 16] = argb;
      row[x + 24] = argb;
    }
    for (; x < right; x += 8) row[x] = argb;
  }
}

struct Span {
  std::int64_t Left;
  std::int64_t Top;
  std::int64_t Right;
  std::int64_t Bottom;
};

Span Normalised(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
  return Span{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// Draws an ellipse straight into `image` through QPainter, cut to `box`
// (left, top, width, height; width and height >= 2) like a captured shape:
// QPainter paints into a view of the visible part of the box alone, with
// the brush pattern kept tied to the image's origin. For boxes too large to
// capture and sizes not kept.
void PaintEllipseInBox(QImage& image, const QRect& box, TColor pen, TColor brush, int style) {
  const QRect visible = box & image.rect();
  if (visible.isEmpty()) return;
  // A view of the visible part: QPainter's device ends where the box does.
  QImage view(image.bits() + visible.top() * image.bytesPerLine() +
                  visible.left() * static_cast<qsizetype>(sizeof(QRgb)),
              visible.width(), visible.height(), image.bytesPerLine(), image.format());
  QPainter painter(&view);
  painter.setPen(CanvasPen(pen));
  painter.setBrush(QBrush(ToQColor(brush), ToQtBrushStyle(style)));
  painter.setBrushOrigin(-visible.left(), -visible.top());
  painter.drawEllipse(box.translated(-visible.topLeft()).adjusted(0, 0, -1, -1));
}

}  // namespace

RasterCanvas::RasterCanvas(int width, int height)
    : Image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32) {
  // A failed allocation leaves a null image of size 0 x 0, which every
  // operation clips away.
  if (!Image.isNull()) Image.fill(ToArgb(kWhite));
}

void RasterCanvas::LineTo(int x, int y) {
  DrawLine(Image, PenPos.X, PenPos.Y, x, y, ToArgb(PenColor));
  PenPos = TPoint{x, y};
}

void RasterCanvas::FillSpan(int left, int top, int right, int bottom, int style, TColor colour) {
  const std::uint32_t argb = ToArgb(colour);
  const std::array<std::uint8_t, 8> masks = HatchRows(style);
  const std::ptrdiff_t stride = Image.bytesPerLine() / 4;
  auto* row = reinterpret_cast<std::uint32_t*>(Image.bits()) + top * stride;
  for (int y = top; y < bottom; ++y, row += stride) {
    PaintRow(row, left, right, masks[static_cast<std::size_t>(y & 7)], argb);
  }
}

void RasterCanvas::PaintRuns(const std::vector<PixelRun>& runs, std::int64_t x, std::int64_t y,
                             int style, TColor colour) {
  if (runs.empty() || ToQtBrushStyle(style) == Qt::NoBrush) return;
  const std::uint32_t argb = ToArgb(colour);
  const std::array<std::uint8_t, 8> masks = HatchRows(style);
  const std::int64_t width = Image.width();
  const std::int64_t height = Image.height();
  const std::ptrdiff_t stride = Image.bytesPerLine() / 4;
  auto* pixels = reinterpret_cast<std::uint32_t*>(Image.bits());
  for (const PixelRun& run : runs) {
    const std::int64_t py = y + run.Y;
    if (py < 0 || py >= height) continue;
    const std::int64_t left = std::max<std::int64_t>(x + run.X0, 0);
    const std::int64_t right = std::min<std::int64_t>(x + run.X1, width);
    if (left >= right) continue;
    PaintRow(pixels + py * stride, static_cast<int>(left), static_cast<int>(right),
             masks[static_cast<std::size_t>(py & 7)], argb);
  }
}

void RasterCanvas::FillClipped(std::int64_t left, std::int64_t top, std::int64_t right,
                               std::int64_t bottom, int style, TColor colour) {
  if (ToQtBrushStyle(style) == Qt::NoBrush) return;  // nothing to paint, nothing to detach
  const Span s = Normalised(left, top, right, bottom);
  const std::int64_t l = std::max<std::int64_t>(s.Left, 0);
  const std::int64_t t = std::max<std::int64_t>(s.Top, 0);
  const std::int64_t r = std::min<std::int64_t>(s.Right, Image.width());
  const std::int64_t b = std::min<std::int64_t>(s.Bottom, Image.height());
  if (l >= r || t >= b) return;
  FillSpan(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b),
           style, colour);
}

void RasterCanvas::FillRect(const TRect& rect) {
  FillClipped(rect.Left, rect.Top, rect.Right, rect.Bottom, BrushStyle, BrushColor);
}

void RasterCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  const Span s = Normalised(x1, y1, x2, y2);
  if (s.Left == s.Right || s.Top == s.Bottom) return;
  // Inside first, then the four one-pixel sides over it: the outline runs on
  // the first and last column and row of [Left, Right) x [Top, Bottom).
  FillClipped(s.Left + 1, s.Top + 1, s.Right - 1, s.Bottom - 1, BrushStyle, BrushColor);
  FillClipped(s.Left, s.Top, s.Right, s.Top + 1, kBsSolid, PenColor);
  FillClipped(s.Left, s.Bottom - 1, s.Right, s.Bottom, kBsSolid, PenColor);
  FillClipped(s.Left, s.Top, s.Left + 1, s.Bottom, kBsSolid, PenColor);
  FillClipped(s.Right - 1, s.Top, s.Right, s.Bottom, kBsSolid, PenColor);
}

void RasterCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  const Span s = Normalised(x1, y1, x2, y2);
  const std::int64_t w = s.Right - s.Left;
  const std::int64_t h = s.Bottom - s.Top;
  if (w == 0 || h == 0 || w > kMaxEllipseSize || h > kMaxEllipseSize) return;
  const QRect bounds(static_cast<int>(s.Left), static_cast<int>(s.Top), static_cast<int>(w),
                     static_cast<int>(h));
  const QRect visible = bounds & Image.rect();
  if (visible.isEmpty()) return;
  if (w == 1 || h == 1) {
    // Flattened to a line, the outline is the whole box (QPainter would draw
    // nothing for a box of zero height).
    FillSpan(visible.left(), visible.top(), visible.right() + 1, visible.bottom() + 1, kBsSolid,
             PenColor);
    return;
  }
  // Only a solid brush hides which fill pixels cover the outline.
  if (const EllipseShape* shape =
          Kept.FindEllipse(static_cast<int>(w), static_cast<int>(h), BrushStyle != kBsSolid)) {
    PaintRuns(shape->Outline, s.Left, s.Top, kBsSolid, PenColor);
    if (BrushStyle != kBsSolid) PaintRuns(shape->FillOverPen, s.Left, s.Top, kBsSolid, PenColor);
    PaintRuns(shape->FillOverPen, s.Left, s.Top, BrushStyle, BrushColor);
    PaintRuns(shape->Fill, s.Left, s.Top, BrushStyle, BrushColor);
    return;
  }
  PaintEllipseInBox(Image, bounds, PenColor, BrushColor, BrushStyle);
}

const QFont& RasterCanvas::GetFont() {
  if (!FontReady) {
    Font = CanvasFont();
    FontReady = true;
  }
  return Font;
}

void RasterCanvas::TextOut(int x, int y, std::string_view text) {
  if (text.empty() || !HasGuiApplication()) return;
  if (const TextMask* mask = Kept.FindText(text, GetFont())) {
    if (std::int64_t{x} + mask->CellWidth <= 0 || x >= Image.width() ||
        std::int64_t{y} + mask->CellHeight <= 0 || y >= Image.height()) {
      return;
    }
    if (BrushStyle == kBsSolid) {
      FillClipped(x, y, std::int64_t{x} + mask->CellWidth, std::int64_t{y} + mask->CellHeight,
                  kBsSolid, BrushColor);
    }
    PaintRuns(mask->Glyphs, x, y, kBsSolid, FontColor);
    return;
  }
  const QFont& font = GetFont();
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QFontMetrics metrics(font);
  const int cellWidth = metrics.horizontalAdvance(s);
  const int cellHeight = metrics.height();
  // Skip cells wholly outside, which also keeps huge coordinates away from
  // QPainter's fixed-point arithmetic.
  if (std::int64_t{x} + cellWidth <= 0 || x >= Image.width() || std::int64_t{y} + cellHeight <= 0 ||
      y >= Image.height()) {
    return;
  }
  if (BrushStyle == kBsSolid)
    FillClipped(x, y, std::int64_t{x} + cellWidth, std::int64_t{y} + cellHeight, kBsSolid,
                BrushColor);
  QPainter painter(&Image);
  painter.setFont(font);
  painter.setPen(ToQColor(FontColor));
  painter.drawText(QPoint(x, y + metrics.ascent()), s);
}

}  // namespace trilume
