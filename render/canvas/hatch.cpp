// SPDX-License-Identifier: MIT
#include "render/canvas/hatch.h"

#include <cstddef>

#include "render/canvas/canvas.h"

namespace trilume {

namespace {

// Row masks by brush style number, kBsSolid (0) to kBsDiagCross (7). The
// lines sit where QPainter puts them: the horizontal on row 3, the vertical
// in column 4, "\" where x = y and "/" where x + y = 7 (mod 8).
constexpr std::array<std::array<std::uint8_t, 8>, 8> kHatchRows = {{
    {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // solid
    {},                                                // clear
    {0, 0, 0, 0xFF, 0, 0, 0, 0},                       // horizontal
    {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10},  // vertical
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // forward diagonal
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // backward diagonal
    {0x10, 0x10, 0x10, 0xFF, 0x10, 0x10, 0x10, 0x10},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
}};

}  // namespace

std::array<std::uint8_t, 8> HatchRows(int style) {
  static_assert(kBsSolid == 0 && kBsDiagCross == 7);
  if (style < kBsSolid || style > kBsDiagCross) return {};
  return kHatchRows[static_cast<std::size_t>(style)];
}

}  // namespace trilume
