// SPDX-License-Identifier: MIT
#pragma once

#include "model/clock_state.h"

namespace trilume {

// One free-flight step: moves Centre by the drift, then turns each axis
// toward the inside when a hand tip is beyond an edge. Bounds are 1 and the
// main window's outer width and height; the tests are strict.
void FreeFlightStep(ClockState& state, int outerWidth, int outerHeight);

}  // namespace trilume
