// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <cstddef>
#include <string_view>
#include <vector>

// The pixels QPainter paints for an ellipse size or a text, drawn once into a
// scratch image and read back as runs, so that the raster canvas can write
// them itself on later calls.
namespace trilume {

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

}  // namespace trilume
