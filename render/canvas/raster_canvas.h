// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QImage>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "render/canvas/canvas.h"
#include "render/canvas/kept_shapes.h"
#include "render/canvas/shape_capture.h"

namespace trilume {

// The clock's real drawing surface: a 32-bit RGB image (QImage::Format_RGB32,
// the fastest format for QPainter and for direct pixel writes), white when
// new. Lines, fills and rectangles are written straight into the pixels: they
// follow the canvas rules exactly at any coordinates, and lines cost several
// times less than QPainter's cosmetic lines. Ellipses and text are QPainter's
// pixels, with rectangles adjusted to the exclusive right and bottom bounds:
// each ellipse size and each text is drawn by QPainter once and its pixels
// kept, and later calls write those pixels directly. A frame draws the same
// dial, dot and numerals every time, so it touches neither QPainter nor the
// heap (KeptShapes says what is kept and when). An ellipse never paints
// outside its box: QPainter's brush alone reaches up to a few dozen pixels
// past a wide, low box, and that part is cut off.
//
// Limits: an ellipse wider or taller than kMaxEllipseSize pixels is not drawn
// (QPainter's fixed-point rasteriser fills the wrong pixels beyond that, and
// no window is that large). Text needs a QGuiApplication; without one TextOut
// draws nothing.
class RasterCanvas final : public TCanvas {
 public:
  static constexpr int kWidth = 1281;
  static constexpr int kHeight = 777;
  static constexpr std::int64_t kMaxEllipseSize = std::int64_t{1} << 16;

  // Sizes below 1 are raised to 1.
  explicit RasterCanvas(int width = kWidth, int height = kHeight);

  void LineTo(int x, int y) override;
  void Ellipse(int x1, int y1, int x2, int y2) override;
  void Rectangle(int x1, int y1, int x2, int y2) override;
  void FillRect(const TRect& rect) override;
  void TextOut(int x, int y, std::string_view text) override;
  // Every call then skips the pixels outside the rectangle.
  void LimitTo(const TRect& rect) override;

  // Valid until the canvas is destroyed. A copy shares the pixels until the
  // next drawing call, which then detaches the canvas's own image.
  const QImage& GetImage() const { return Image; }

 private:
  // Paints [left, right) x [top, bottom), already inside the image, with the
  // rows of `style`'s pattern in `colour`.
  void FillSpan(int left, int top, int right, int bottom, int style, TColor colour);
  // FillSpan after normalising and clipping arbitrary corners to the image.
  void FillClipped(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                   int style, TColor colour);
  // Paints the parts of `runs`, shifted by (x, y), that lie in the image with
  // `style`'s pattern in `colour`.
  void PaintRuns(const std::vector<PixelRun>& runs, std::int64_t x, std::int64_t y, int style,
                 TColor colour);

  const QFont& GetFont();
  bool LimitCoversImage() const {
    return LimitLeft == 0 && LimitTop == 0 && LimitRight == Width && LimitBottom == Height;
  }
  QRect LimitRect() const {
    return QRect(static_cast<int>(LimitLeft), static_cast<int>(LimitTop),
                 static_cast<int>(LimitRight - LimitLeft),
                 static_cast<int>(LimitBottom - LimitTop));
  }

  QImage Image;
  // Image's size and row stride in pixels, fixed from construction: lines
  // read them thousands of times a frame.
  int Width = 0;
  int Height = 0;
  std::ptrdiff_t Stride = 0;
  QFont Font;
  bool FontReady = false;
  KeptShapes Kept;
  // LimitTo's rectangle, inside the image.
  std::int64_t LimitLeft = 0;
  std::int64_t LimitTop = 0;
  std::int64_t LimitRight = 0;
  std::int64_t LimitBottom = 0;
};

}  // namespace trilume
