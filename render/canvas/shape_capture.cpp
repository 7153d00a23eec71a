// SPDX-License-Identifier: MIT
#include "render/canvas/shape_capture.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "render/canvas/colour.h"
#include "render/canvas/qt_brush.h"

namespace trilume {

namespace {

// Scratch colours of a capture: nothing painted, the pen (or the glyphs),
// the brush. Any other value in a capture means QPainter blended something.
constexpr TColor kScratchPenColour = kRed;
constexpr TColor kScratchBrushColour = kBlue;
constexpr QRgb kScratchEmpty = ToArgb(kBlack);
constexpr QRgb kScratchPen = ToArgb(kScratchPenColour);
constexpr QRgb kScratchBrush = ToArgb(kScratchBrushColour);
// Scratch pixels one capture may hold at once (128 KiB): little enough for
// the allocator to hand out the same memory again next time, so captures of
// ever new sizes in a long run never leave large blocks behind.
constexpr int kScratchPixels = 32 * 1024;

// The first x in [from, width) with row[x] != value, or width. Looks at
// eight pixels at a time: captures read every pixel of the scratch image.
int RunEnd(const QRgb* row, int from, int width, QRgb value) {
  const std::uint64_t two = (std::uint64_t{value} << 32) | value;
  int x = from;
  for (; x + 8 <= width; x += 8) {
    std::uint64_t a = 0;
    std::uint64_t b = 0;
    std::uint64_t c = 0;
    std::uint64_t d = 0;
    std::memcpy(&a, row + x, 8);
    std::memcpy(&b, row + x + 2, 8);
    std::memcpy(&c, row + x + 4, 8);
    std::memcpy(&d, row + x + 6, 8);
    if (((a ^ two) | (b ^ two) | (c ^ two) | (d ^ two)) != 0) break;
  }
  while (x < width && row[x] == value) ++x;
  return x;
}

// Checks that row[from, to) all equal `value`.
bool AllEqual(const QRgb* row, int from, int to, QRgb value) {
  return RunEnd(row, from, to, value) == to;
}

// Sorts the runs of one row of a solid drawing (`solid`) and of the same
// ellipse drawn without brush (`bare`; null: Fill takes all brush runs) into
// `shape`. False when a pixel fits none of the sets.
bool ReadEllipseRow(const QRgb* solid, const QRgb* bare, int width, int y, EllipseShape& shape) {
  int x = 0;
  while (x < width) {
    const QRgb value = solid[x];
    const int end = RunEnd(solid, x + 1, width, value);
    if (value == kScratchPen || value == kScratchEmpty) {
      // The pen's last word, or never touched: the same without brush.
      if (bare != nullptr && !AllEqual(bare, x, end, value)) return false;
      if (value == kScratchPen) shape.Outline.push_back(PixelRun{y, x, end});
    } else if (value == kScratchBrush && bare == nullptr) {
      shape.Fill.push_back(PixelRun{y, x, end});
    } else if (value == kScratchBrush) {
      // Brush over pen where the bare drawing has the pen, else brush alone.
      while (x < end) {
        const QRgb under = bare[x];
        if (under != kScratchPen && under != kScratchEmpty) return false;
        const int part = RunEnd(bare, x + 1, end, under);
        (under == kScratchPen ? shape.FillOverPen : shape.Fill).push_back(PixelRun{y, x, part});
        x = part;
      }
    } else {
      return false;
    }
    x = end;
  }
  return true;
}

// Draws rows top.. of the ellipse in an image.width() x height box into
// `image` with the capture colours.
void DrawScratchEllipse(QImage& image, int top, int height, Qt::BrushStyle brush) {
  image.fill(kScratchEmpty);
  QPainter painter(&image);
  painter.setPen(CanvasPen(kScratchPenColour));
  painter.setBrush(QBrush(ToQColor(kScratchBrushColour), brush));
  painter.drawEllipse(QRect(0, -top, image.width() - 1, height - 1));
}

// Reads the glyph runs of each row of `image` into `glyphs`, shifted by
// (dx, dy). False when a pixel is neither empty nor the pen's.
bool ReadGlyphRuns(const QImage& image, int dx, int dy, std::vector<PixelRun>& glyphs) {
  const int width = image.width();
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    int x = 0;
    while (x < width) {
      const QRgb value = row[x];
      const int end = RunEnd(row, x + 1, width, value);
      if (value == kScratchPen) {
        glyphs.push_back(PixelRun{y + dy, x + dx, end + dx});
      } else if (value != kScratchEmpty) {
        return false;
      }
      x = end;
    }
  }
  return true;
}

}  // namespace

bool CaptureEllipseShape(int width, int height, bool splitFill, EllipseShape& shape) {
  shape.Width = 0;
  shape.Height = 0;
  shape.FillSplit = false;
  shape.Outline.clear();
  shape.FillOverPen.clear();
  shape.Fill.clear();
  if (width < 2 || height < 2 || width > kMaxCaptureSide || height > kMaxCaptureSide) {
    return false;
  }
  // The scratch images are as wide as the box, so whatever QPainter paints
  // beside it falls off their edges, and hold a band of its rows at a time.
  const int images = splitFill ? 2 : 1;
  const int bandRows = std::min(height, static_cast<int>(kScratchPixels / images / width));
  QImage solid(width, bandRows, QImage::Format_RGB32);
  QImage bare;
  if (splitFill) bare = QImage(width, bandRows, QImage::Format_RGB32);
  if (solid.isNull() || (splitFill && bare.isNull())) return false;
  for (int top = 0; top < height; top += bandRows) {
    DrawScratchEllipse(solid, top, height, Qt::SolidPattern);
    if (splitFill) DrawScratchEllipse(bare, top, height, Qt::NoBrush);
    for (int y = 0; y < bandRows && top + y < height; ++y) {
      const auto* bareRow =
          splitFill ? reinterpret_cast<const QRgb*>(bare.constScanLine(y)) : nullptr;
      if (!ReadEllipseRow(reinterpret_cast<const QRgb*>(solid.constScanLine(y)), bareRow, width,
                          top + y, shape)) {
        shape.Outline.clear();
        shape.FillOverPen.clear();
        shape.Fill.clear();
        return false;
      }
    }
  }
  shape.Width = width;
  shape.Height = height;
  shape.FillSplit = splitFill;
  return true;
}

bool CaptureTextMask(const QFont& font, std::string_view text, TextMask& mask) {
  mask.CellWidth = 0;
  mask.CellHeight = 0;
  mask.Glyphs.clear();
  if (text.empty() || text.size() > kMaxCapturedTextBytes) return false;
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QFontMetrics metrics(font);
  const int cellWidth = metrics.horizontalAdvance(s);
  const int cellHeight = metrics.height();
  if (cellWidth < 0 || cellWidth > kMaxCaptureSide || cellHeight <= 0 ||
      cellHeight > kMaxCaptureSide) {
    return false;
  }
  // Room all round for glyphs that overhang their cell; ink touching the
  // scratch's border may have been cut off, so such a text is refused.
  const QRect ink = metrics.boundingRect(s);
  const int margin =
      2 + std::max({cellHeight, -ink.left(), ink.right() - cellWidth,
                    -(metrics.ascent() + ink.top()), ink.bottom() + metrics.ascent() - cellHeight});
  if (margin > kMaxCaptureSide ||
      std::int64_t{cellWidth + 2 * margin} * (cellHeight + 2 * margin) > kScratchPixels) {
    return false;
  }
  QImage scratch(cellWidth + 2 * margin, cellHeight + 2 * margin, QImage::Format_RGB32);
  if (scratch.isNull()) return false;
  scratch.fill(kScratchEmpty);
  {
    QPainter painter(&scratch);
    painter.setFont(font);
    painter.setPen(ToQColor(kScratchPenColour));
    painter.drawText(QPoint(margin, margin + metrics.ascent()), s);
  }
  bool ok = ReadGlyphRuns(scratch, -margin, -margin, mask.Glyphs);
  for (const PixelRun& run : mask.Glyphs) {
    ok = ok && run.Y > -margin && run.Y < scratch.height() - margin - 1 && run.X0 > -margin &&
         run.X1 < scratch.width() - margin;
  }
  if (!ok) {
    mask.Glyphs.clear();
    return false;
  }
  mask.CellWidth = cellWidth;
  mask.CellHeight = cellHeight;
  return true;
}

}  // namespace trilume
