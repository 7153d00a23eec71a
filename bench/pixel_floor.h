// SPDX-License-Identifier: MIT
#pragma once

// The floor under any line rasteriser: the same pixels written one store
// each, in the order the lines visit them, at addresses worked out before
// the clock starts. Offsets of 32 bits keep the floor's own reading of them
// small; the image has the canvas's size and row stride.
#include <QImage>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "render/canvas/colour.h"
#include "render/canvas/raster_canvas.h"

namespace trilume {

// White, with RasterCanvas's size, format and so row stride.
inline QImage CanvasSizedImage() {
  QImage image(RasterCanvas::kWidth, RasterCanvas::kHeight, QImage::Format_RGB32);
  image.fill(ToArgb(kWhite));
  return image;
}

// Appends y * stride + x for each pixel the line from (x0, y0) to (x1, y1)
// puts inside a RasterCanvas-sized image, in drawing order: the plain error
// loop, halves rounded away from the start, the end point left out.
inline void AppendLinePixels(int x0, int y0, int x1, int y1, int stride,
                             std::vector<std::uint32_t>& offsets) {
  const int dx = std::abs(x1 - x0);
  const int dy = std::abs(y1 - y0);
  const int sx = x1 >= x0 ? 1 : -1;
  const int sy = y1 >= y0 ? 1 : -1;
  const bool xMajor = dx >= dy;
  const int n = xMajor ? dx : dy;
  const int rise = xMajor ? dy : dx;
  int x = x0;
  int y = y0;
  int error = n;
  for (int i = 0; i < n; ++i) {
    if (x >= 0 && x < RasterCanvas::kWidth && y >= 0 && y < RasterCanvas::kHeight) {
      offsets.push_back(static_cast<std::uint32_t>(y * stride + x));
    }
    error += 2 * rise;
    (xMajor ? x : y) += xMajor ? sx : sy;
    if (error >= 2 * n) {
      error -= 2 * n;
      (xMajor ? y : x) += xMajor ? sy : sx;
    }
  }
}

// Out of line, so that the loop is the same wherever it is measured.
[[gnu::noinline]] inline void WriteAtOffsets(std::uint32_t* pixels,
                                             const std::vector<std::uint32_t>& offsets,
                                             std::uint32_t argb) {
  for (const std::uint32_t offset : offsets) pixels[offset] = argb;
}

}  // namespace trilume
