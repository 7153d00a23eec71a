// SPDX-License-Identifier: MIT
#include "tests/support/qpainter_canvas.h"

#include <QFontMetrics>
#include <QLineF>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "render/canvas/canvas_font.h"
#include "render/canvas/qt_brush.h"
#include "render/canvas/raster_canvas.h"

namespace trilume {

namespace {

constexpr int kFixedPointLimit = 1 << 22;

bool Small(int v) { return v > -kFixedPointLimit && v < kFixedPointLimit; }

// Liang-Barsky against [-1, w] x [-1, h]; false when nothing is left.
bool ClipToArea(double& x0, double& y0, double& x1, double& y1, double w, double h) {
  double t0 = 0.0;
  double t1 = 1.0;
  const double dx = x1 - x0;
  const double dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 + 1.0, w - x0, y0 + 1.0, h - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0.0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  const double ox = x0;
  const double oy = y0;
  x0 = ox + t0 * dx;
  y0 = oy + t0 * dy;
  x1 = ox + t1 * dx;
  y1 = oy + t1 * dy;
  return true;
}

// Corners sorted and cut to the image's neighbourhood, as a QRect of the
// pixels covered; empty when nothing of it is visible.
QRect VisibleBox(const QImage& image, int x1, int y1, int x2, int y2, int margin) {
  const std::int64_t l = std::max<std::int64_t>(std::min(x1, x2), -margin);
  const std::int64_t t = std::max<std::int64_t>(std::min(y1, y2), -margin);
  const std::int64_t r = std::min<std::int64_t>(std::max(x1, x2), image.width() + margin);
  const std::int64_t b = std::min<std::int64_t>(std::max(y1, y2), image.height() + margin);
  if (l >= r || t >= b) return QRect();
  return QRect(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
               static_cast<int>(b - t));
}

}  // namespace

QPainterCanvas::QPainterCanvas(int width, int height)
    : Image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32) {
  if (Image.isNull()) return;
  Image.fill(ToArgb(kWhite));
  Painter.begin(&Image);
  Painter.setPen(CanvasPen(PenColor));
  Painter.setBrush(QBrush(ToQColor(BrushColor), ToQtBrushStyle(BrushStyle)));
}

void QPainterCanvas::SetPenColor(TColor colour) {
  TCanvas::SetPenColor(colour);
  if (Painter.isActive()) Painter.setPen(CanvasPen(colour));
}

void QPainterCanvas::SetBrushColor(TColor colour) {
  TCanvas::SetBrushColor(colour);
  if (Painter.isActive()) Painter.setBrush(QBrush(ToQColor(colour), ToQtBrushStyle(BrushStyle)));
}

void QPainterCanvas::SetBrushStyle(int style) {
  TCanvas::SetBrushStyle(style);
  if (Painter.isActive()) Painter.setBrush(QBrush(ToQColor(BrushColor), ToQtBrushStyle(style)));
}

void QPainterCanvas::LineTo(int x, int y) {
  const TPoint from = PenPos;
  PenPos = TPoint{x, y};
  if (!Painter.isActive()) return;
  if (Small(from.X) && Small(from.Y) && Small(x) && Small(y)) {
    Painter.drawLine(from.X, from.Y, x, y);
    return;
  }
  double x0 = from.X;
  double y0 = from.Y;
  double x1 = x;
  double y1 = y;
  if (!ClipToArea(x0, y0, x1, y1, Image.width(), Image.height())) return;
  Painter.drawLine(QPoint(static_cast<int>(std::lround(x0)), static_cast<int>(std::lround(y0))),
                   QPoint(static_cast<int>(std::lround(x1)), static_cast<int>(std::lround(y1))));
}

void QPainterCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  const std::int64_t w = std::abs(std::int64_t{x2} - x1);
  const std::int64_t h = std::abs(std::int64_t{y2} - y1);
  if (!Painter.isActive() || w == 0 || h == 0 || w > RasterCanvas::kMaxEllipseSize ||
      h > RasterCanvas::kMaxEllipseSize) {
    return;
  }
  const QRect bounds(std::min(x1, x2), std::min(y1, y2), static_cast<int>(w), static_cast<int>(h));
  const QRect visible = bounds & Image.rect();
  if (visible.isEmpty()) return;
  if (w == 1 || h == 1) {
    Painter.fillRect(visible, ToQColor(PenColor));
    return;
  }
  Painter.setClipRect(visible);
  Painter.drawEllipse(bounds.adjusted(0, 0, -1, -1));
  Painter.setClipping(false);
}

void QPainterCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  if (!Painter.isActive() || x1 == x2 || y1 == y2) return;
  // A one-pixel margin keeps the cut-off sides outside the image.
  const QRect box = VisibleBox(Image, x1, y1, x2, y2, 1);
  if (box.isEmpty()) return;
  Painter.drawRect(box.adjusted(0, 0, -1, -1));
}

void QPainterCanvas::FillRect(const TRect& rect) {
  if (!Painter.isActive()) return;
  const QRect box = VisibleBox(Image, rect.Left, rect.Top, rect.Right, rect.Bottom, 0);
  if (box.isEmpty()) return;
  Painter.fillRect(box, Painter.brush());
}

void QPainterCanvas::TextOut(int x, int y, std::string_view text) {
  if (!Painter.isActive() || text.empty() || !HasGuiApplication()) return;
  if (!FontReady) {
    Font = CanvasFont();
    FontReady = true;
    Painter.setFont(Font);
  }
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QFontMetrics metrics(Font);
  const int cellWidth = metrics.horizontalAdvance(s);
  const int cellHeight = metrics.height();
  if (std::int64_t{x} + cellWidth <= 0 || x >= Image.width() || std::int64_t{y} + cellHeight <= 0 ||
      y >= Image.height()) {
    return;
  }
  if (BrushStyle == kBsSolid) {
    Painter.fillRect(QRect(x, y, cellWidth, cellHeight), ToQColor(BrushColor));
  }
  Painter.setPen(ToQColor(FontColor));
  Painter.drawText(QPoint(x, y + metrics.ascent()), s);
  Painter.setPen(CanvasPen(PenColor));
}

}  // namespace trilume
