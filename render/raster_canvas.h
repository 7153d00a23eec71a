#pragma once

#include <QFont>
#include <QImage>

#include "render/canvas.h"

namespace trilume {

// The clock's real drawing surface: a 32-bit RGB image. Lines come from our
// own rasteriser (exact end-pixel rule, and several times faster than
// QPainter's cosmetic lines); fills, ellipses and text go through QPainter
// with rectangles adjusted to the exclusive right and bottom bounds.
class RasterCanvas final : public TCanvas {
 public:
  static constexpr int kWidth = 1281;
  static constexpr int kHeight = 777;

  explicit RasterCanvas(int width = kWidth, int height = kHeight);

  void LineTo(int x, int y) override;
  void Ellipse(int x1, int y1, int x2, int y2) override;
  void Rectangle(int x1, int y1, int x2, int y2) override;
  void FillRect(const TRect& rect) override;
  void TextOut(int x, int y, std::string_view text) override;

  const QImage& GetImage() const { return Image; }

 private:
  QImage Image;
  QFont Font;
};

}  // namespace trilume
