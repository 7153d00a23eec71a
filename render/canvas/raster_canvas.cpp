// SPDX-License-Identifier: MIT
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
#include "render/canvas/line_raster.h"
#include "render/canvas/qt_brush.h"

namespace trilume {

namespace {

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
void PaintEllipseInBox(QImage& image, const QRect& box, const QRect& limit, TColor pen,
                       TColor brush, int style) {
  const QRect visible = box & image.rect() & limit;
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
  Width = Image.width();
  Height = Image.height();
  Stride = Image.bytesPerLine() / 4;
  LimitRight = Width;
  LimitBottom = Height;
}

void RasterCanvas::LimitTo(const TRect& rect) {
  LimitLeft = std::clamp<std::int64_t>(rect.Left, 0, Width);
  LimitTop = std::clamp<std::int64_t>(rect.Top, 0, Height);
  LimitRight = std::clamp<std::int64_t>(rect.Right, LimitLeft, Width);
  LimitBottom = std::clamp<std::int64_t>(rect.Bottom, LimitTop, Height);
}

void RasterCanvas::LineTo(int x, int y) {
  LinePlan plan;
  if (PlanLine(Width, Height, PenPos.X, PenPos.Y, x, y, plan)) {
    const std::int64_t left = std::min<std::int64_t>(PenPos.X, x);
    const std::int64_t top = std::min<std::int64_t>(PenPos.Y, y);
    const std::int64_t right = std::max<std::int64_t>(PenPos.X, x);
    const std::int64_t bottom = std::max<std::int64_t>(PenPos.Y, y);
    const bool inside =
        left >= LimitLeft && top >= LimitTop && right < LimitRight && bottom < LimitBottom;
    const bool outside =
        right < LimitLeft || bottom < LimitTop || left >= LimitRight || top >= LimitBottom;
    // bits() detaches a shared image, and only when there is something to draw.
    if (inside || LimitCoversImage()) {
      PlotLine(reinterpret_cast<std::uint32_t*>(Image.bits()), Stride, plan, ToArgb(PenColor));
    } else if (!outside) {
      PlotLineWithin(reinterpret_cast<std::uint32_t*>(Image.bits()), Stride, plan, ToArgb(PenColor),
                     LimitLeft, LimitTop, LimitRight, LimitBottom);
    }
  }
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
  const std::ptrdiff_t stride = Image.bytesPerLine() / 4;
  auto* pixels = reinterpret_cast<std::uint32_t*>(Image.bits());
  for (const PixelRun& run : runs) {
    const std::int64_t py = y + run.Y;
    if (py < LimitTop || py >= LimitBottom) continue;
    const std::int64_t left = std::max<std::int64_t>(x + run.X0, LimitLeft);
    const std::int64_t right = std::min<std::int64_t>(x + run.X1, LimitRight);
    if (left >= right) continue;
    PaintRow(pixels + py * stride, static_cast<int>(left), static_cast<int>(right),
             masks[static_cast<std::size_t>(py & 7)], argb);
  }
}

void RasterCanvas::FillClipped(std::int64_t left, std::int64_t top, std::int64_t right,
                               std::int64_t bottom, int style, TColor colour) {
  if (ToQtBrushStyle(style) == Qt::NoBrush) return;  // nothing to paint, nothing to detach
  const Span s = Normalised(left, top, right, bottom);
  const std::int64_t l = std::max<std::int64_t>(s.Left, LimitLeft);
  const std::int64_t t = std::max<std::int64_t>(s.Top, LimitTop);
  const std::int64_t r = std::min<std::int64_t>(s.Right, LimitRight);
  const std::int64_t b = std::min<std::int64_t>(s.Bottom, LimitBottom);
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
    FillClipped(visible.left(), visible.top(), visible.right() + 1, visible.bottom() + 1, kBsSolid,
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
  PaintEllipseInBox(Image, bounds, LimitRect(), PenColor, BrushColor, BrushStyle);
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
  if (!LimitCoversImage()) painter.setClipRect(LimitRect());
  painter.setFont(font);
  painter.setPen(ToQColor(FontColor));
  painter.drawText(QPoint(x, y + metrics.ascent()), s);
}

}  // namespace trilume
