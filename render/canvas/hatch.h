// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>

// The brush styles' patterns as bit masks, so that fills written straight
// into pixels match what QPainter paints for the same brush.
namespace trilume {

// The columns (bit x mod 8) that `style` paints on each row y, at [y mod 8],
// for a pattern tied to the canvas origin: 0xFF on every row for solid, 0 for
// clear and for unknown styles. Equal to QPainter's pattern for the same
// style with brush origin (0, 0) and the identity transform.
std::array<std::uint8_t, 8> HatchRows(int style);

}  // namespace trilume
