// SPDX-License-Identifier: MIT
#include "model/free_flight.h"

#include <array>

namespace trilume {
namespace {

// The drift for one axis after a step: towards the inside when tips are
// beyond exactly one of its two edges. Setting the direction rather than
// flipping it lets a clock left outside (the window shrank under it) come
// back instead of trembling in place. With tips beyond both edges the
// triangle is wider than the window, and the axis keeps its direction.
std::int32_t Bounce(std::int32_t drift, double centre, const std::array<float, 3>& tips,
                    int farEdge) {
  bool beyondNear = false;
  bool beyondFar = false;
  for (const float tip : tips) {
    const double position = centre + static_cast<double>(tip);
    beyondNear = beyondNear || position < 1.0;
    beyondFar = beyondFar || position > static_cast<double>(farEdge);
  }
  if (beyondNear && !beyondFar) {
    return 1;
  }
  if (beyondFar && !beyondNear) {
    return -1;
  }
  return drift;
}

}  // namespace

void FreeFlightStep(ClockState& state, int outerWidth, int outerHeight) {
  state.CentreX =
      static_cast<float>(static_cast<double>(state.CentreX) + static_cast<double>(state.DriftX));
  state.CentreY =
      static_cast<float>(static_cast<double>(state.CentreY) + static_cast<double>(state.DriftY));

  state.DriftX = Bounce(state.DriftX, static_cast<double>(state.CentreX),
                        {state.HourTip.X, state.MinuteTip.X, state.SecondTip.X}, outerWidth);
  state.DriftY = Bounce(state.DriftY, static_cast<double>(state.CentreY),
                        {state.HourTip.Y, state.MinuteTip.Y, state.SecondTip.Y}, outerHeight);
}

}  // namespace trilume
