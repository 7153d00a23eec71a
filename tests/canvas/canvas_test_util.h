// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

#include "render/canvas/canvas.h"
#include "render/canvas/colour.h"
#include "render/canvas/qt_brush.h"

namespace trilume::canvas_test {

// What was there before the call under test.
inline constexpr TColor kPaper = kSilver;

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

// QPainter's ellipse in the box (x1, y1)-(x2, y2) on `image`, cut to the box:
// drawn on a larger picture without any clip and cut afterwards, since
// QPainter's brush can reach past the box of a wide, low ellipse even under
// a clip, and an ellipse must stay inside its box. kMargin is a multiple of
// 8, so hatches stay tied to the image's origin.
inline void ReferenceEllipse(QImage& image, int x1, int y1, int x2, int y2, TColor pen,
                             TColor brush, int style) {
  constexpr int kMargin = 64;
  const QRect box = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                          QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1));
  const QRect visible = box & image.rect();
  if (box.width() < 1 || box.height() < 1 || visible.isEmpty()) return;
  QImage large(image.width() + 2 * kMargin, image.height() + 2 * kMargin, image.format());
  large.fill(ToArgb(kPaper));
  {
    QPainter painter(&large);
    if (box.width() == 1 || box.height() == 1) {
      painter.fillRect(box.translated(kMargin, kMargin), QColor::fromRgb(ToArgb(pen)));
    } else {
      painter.setPen(CanvasPen(pen));
      painter.setBrush(QBrush(QColor::fromRgb(ToArgb(brush)), ToQtBrushStyle(style)));
      painter.drawEllipse(box.translated(kMargin, kMargin).adjusted(0, 0, -1, -1));
    }
  }
  for (int y = visible.top(); y <= visible.bottom(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(large.constScanLine(y + kMargin)) + kMargin;
    auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = visible.left(); x <= visible.right(); ++x) {
      if (from[x] != ToArgb(kPaper)) to[x] = from[x];
    }
  }
}

// Covers `canvas` in kPaper, then takes up the pen, brush colour and brush
// style the test draws with.
inline void OnPaper(TCanvas& canvas, int width, int height, TColor pen, TColor brush, int style) {
  canvas.SetBrushColor(kPaper);
  canvas.FillRect(Rect(0, 0, width, height));
  canvas.SetPenColor(pen);
  canvas.SetBrushColor(brush);
  canvas.SetBrushStyle(style);
}

// A new picture all in kPaper.
inline QImage Paper(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(ToArgb(kPaper));
  return image;
}

}  // namespace trilume::canvas_test
