// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>

#include "render/canvas/canvas.h"

namespace trilume {

// The same canvas drawn entirely through QPainter, lines included (one
// cosmetic drawLine per LineTo), with one painter kept open for the canvas's
// life as a QPainter-based program would. It exists as the yardstick for the
// benchmarks: the clock's frame drawn by RasterCanvas against the same frame
// drawn the obvious Qt way, side by side.
//
// It does not follow the end-pixel rule exactly: QPainter's flat cap leaves
// out the pixel at the larger coordinate rather than the end point, so lines
// running right to left or bottom to top come out shifted by one, and a
// zero-length line draws one pixel. Ellipses, rectangles, fills and text
// follow the same bounds as RasterCanvas. Lines reaching beyond +-2^22 are
// clipped in floating point first, since QPainter's fixed-point rasteriser
// cannot take such coordinates; shapes as in RasterCanvas.
class QPainterCanvas final : public TCanvas {
 public:
  // Sizes below 1 are raised to 1.
  explicit QPainterCanvas(int width = 1281, int height = 777);
  QPainterCanvas(const QPainterCanvas&) = delete;
  QPainterCanvas& operator=(const QPainterCanvas&) = delete;

  void SetPenColor(TColor colour) override;
  void SetBrushColor(TColor colour) override;
  void SetBrushStyle(int style) override;

  void LineTo(int x, int y) override;
  void Ellipse(int x1, int y1, int x2, int y2) override;
  void Rectangle(int x1, int y1, int x2, int y2) override;
  void FillRect(const TRect& rect) override;
  void TextOut(int x, int y, std::string_view text) override;

  // The painter stays active on this image: read it, or take a deep copy
  // with copy(); a shallow copy would keep changing as the canvas draws.
  const QImage& GetImage() const { return Image; }

 private:
  QImage Image;
  QPainter Painter;  // declared after Image, so it ends before Image goes
  QFont Font;
  bool FontReady = false;
};

}  // namespace trilume
