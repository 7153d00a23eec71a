#pragma once

#include <QImage>
#include <cstdint>
#include <functional>
#include <string>

#include "render/colour.h"

namespace trilume::canvas_test {

// The canvas colour of one pixel, back in 0x00BBGGRR.
inline TColor PixelAt(const QImage& image, int x, int y) {
  const QRgb argb = image.pixel(x, y);
  return static_cast<TColor>(qRed(argb)) | (static_cast<TColor>(qGreen(argb)) << 8) |
         (static_cast<TColor>(qBlue(argb)) << 16);
}

// Every pixel of `image` whose colour differs from `expected(x, y)`, as a
// short text for failure messages ("" when all agree).
inline std::string Differences(const QImage& image, const std::function<TColor(int, int)>& expected,
                               int maxListed = 8) {
  std::string out;
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const TColor want = expected(x, y);
      const TColor got = PixelAt(image, x, y);
      if (want == got) continue;
      if (count++ < maxListed) {
        out += "(" + std::to_string(x) + "," + std::to_string(y) + ") got " + std::to_string(got) +
               " want " + std::to_string(want) + "; ";
      }
    }
  }
  if (count > maxListed) out += std::to_string(count) + " pixels differ";
  return out;
}

}  // namespace trilume::canvas_test
