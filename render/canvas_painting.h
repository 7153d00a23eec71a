#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QRect>
#include <Qt>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

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

// HatchRowMask for the eight rows y mod 8 at once, for loops over many rows.
std::array<std::uint8_t, 8> HatchRows(int style);

// Pixels [X0, X1) of row Y of a captured shape, relative to its origin.
struct PixelRun {
  int Y = 0;
  int X0 = 0;
  int X1 = 0;
};

// What QPainter paints for an ellipse in a Width x Height box whose
// top-left is the origin, aliased with a 1-pixel cosmetic pen, cut to the
// box: QPainter's brush spans can reach a pixel or more beyond the box, and
// nothing of an ellipse may land outside it. QPainter writes the outline
// and the fill of each row in several passes, so some pixels get the pen
// first and the brush over it; under a hatch, such a pixel keeps the pen
// colour where the pattern leaves it. Hence three disjoint sets of runs, in
// row order:
//   Outline      pen colour whatever the brush;
//   FillOverPen  the brush's pattern pixels, the pen colour on the others;
//   Fill         the brush's pattern pixels, the rest untouched.
// QPainter rasterises an ellipse at whole-pixel positions the same way
// wherever it sits, so one capture serves every position of its size.
// Telling FillOverPen from Fill costs a second drawing that a solid brush
// does not need: without FillSplit, Fill holds both sets.
struct EllipseShape {
  int Width = 0;
  int Height = 0;
  bool FillSplit = false;
  std::vector<PixelRun> Outline;
  std::vector<PixelRun> FillOverPen;
  std::vector<PixelRun> Fill;
};

// The largest side of a captured box or text cell.
inline constexpr int kMaxCaptureSide = 2048;

// Draws the ellipse in a scratch image with a solid brush (and, for
// `splitFill`, once more without brush) and reads its runs into `shape`,
// reusing the vectors' storage. The scratch takes a band of rows at a time,
// so a tall box costs several drawings. Sides must lie in 2..kMaxCaptureSide.
// False, with `shape` emptied, when the sides are out of range, memory runs
// out, or QPainter paints anything but plain pen and brush pixels.
bool CaptureEllipseShape(int width, int height, bool splitFill, EllipseShape& shape);

// Draws an ellipse straight into `image` through QPainter, cut to `box`
// (left, top, width, height; width and height >= 2) like a captured shape:
// QPainter paints into a view of the visible part of the box alone, with
// the brush pattern kept tied to the image's origin. For boxes too large to
// capture and sizes not worth keeping.
void PaintEllipseInBox(QImage& image, const QRect& box, TColor pen, TColor brush, int style);

// The text cell and glyph pixels of TextOut for one text in one font:
// Glyphs are relative to the cell's top-left and may reach outside the cell
// where a glyph overhangs it.
struct TextMask {
  int CellWidth = 0;
  int CellHeight = 0;
  std::vector<PixelRun> Glyphs;
};

// Texts longer than this many bytes are not captured.
inline constexpr std::size_t kMaxCapturedTextBytes = 64;

// Draws `text` once with `font` (which must not antialias) into a scratch
// image and reads its pixels into `mask`, reusing the vector's storage. False,
// with `mask` emptied, for an empty or too long text, a cell too large for
// the scratch image, or glyphs that are not one plain colour (antialiased or
// from a colour font). Needs a QGuiApplication.
bool CaptureTextMask(const QFont& font, std::string_view text, TextMask& mask);

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
