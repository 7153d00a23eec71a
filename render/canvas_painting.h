#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <Qt>
#include <cstdint>

#include "render/canvas.h"

// Pieces the raster canvases share: how brush styles, colours and the canvas
// font map onto Qt, and the hatch patterns as bit masks so that fills written
// straight into pixels match what QPainter paints for the same brush.
namespace trilume {

inline QColor ToQColor(TColor color) { return QColor::fromRgb(ToArgb(color)); }

// A 1-pixel cosmetic pen without antialiasing: with it QPainter outlines
// QRect(x, y, w - 1, h - 1) on exactly the pixels x..x+w-1, y..y+h-1.
QPen CanvasPen(TColor color);

// Solid, none or one of Qt's 8 x 8 hatches. Unknown style numbers give
// Qt::NoBrush, so they paint nothing, like style 1.
Qt::BrushStyle ToQtBrushStyle(int style);

// The columns (bit x mod 8) that `style` paints on row y, for a pattern tied
// to the canvas origin. 0xFF on every row for solid; 0 for clear and for
// unknown styles. Equal to QPainter's pattern for the same style with brush
// origin (0, 0) and the identity transform.
std::uint8_t HatchRowMask(int style, int y);

// The font every canvas writes with: Liberation Sans at 11 pixels, without
// antialiasing, so pictures are the same on every machine. The font file is
// registered with Qt on first use; if it is missing, the default sans-serif
// font stands in and one warning goes to stderr.
// Needs a QGuiApplication (see HasGuiApplication).
QFont CanvasFont();

// Qt can only lay out text once a QGuiApplication exists. Without one the
// canvases skip text (with one warning) rather than abort.
bool HasGuiApplication();

// Clamps a 64-bit coordinate into int for Qt calls that have already been
// clipped to the image's neighbourhood.
constexpr int ClampToInt(std::int64_t v) {
  return v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : static_cast<int>(v));
}

}  // namespace trilume
