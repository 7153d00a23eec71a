// SPDX-License-Identifier: MIT
#include "render/canvas/qt_brush.h"

#include <array>
#include <cstddef>

#include "render/canvas/canvas.h"

namespace trilume {

namespace {

// Indexed by brush style number, kBsSolid (0) to kBsDiagCross (7).
constexpr std::array<Qt::BrushStyle, 8> kQtBrushStyles = {
    Qt::SolidPattern, Qt::NoBrush,      Qt::HorPattern,   Qt::VerPattern,
    Qt::FDiagPattern, Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};

}  // namespace

QPen CanvasPen(TColor colour) {
  QPen pen(ToQColor(colour));
  pen.setWidth(1);
  pen.setCosmetic(true);
  return pen;
}

Qt::BrushStyle ToQtBrushStyle(int style) {
  static_assert(kBsSolid == 0 && kBsDiagCross == 7);
  if (style < kBsSolid || style > kBsDiagCross) return Qt::NoBrush;
  return kQtBrushStyles[static_cast<std::size_t>(style)];
}

}  // namespace trilume
