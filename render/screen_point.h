// SPDX-License-Identifier: MIT
#pragma once

#include "model/clock_state.h"
#include "render/canvas/canvas.h"

namespace trilume {

// Centre + offset on screen, the sum formed in double and truncated toward
// zero. Values beyond +-2^30 (and NaN) are pinned there so that no float can
// turn into an undefined integer conversion; the canvas clips them anyway.
// Inline: the trace converts up to 9000 points a frame.
inline constexpr double kCoordinateLimit = 1073741824.0;  // 2^30

inline int TruncToPixel(double value) {
  if (!(value > -kCoordinateLimit)) return -static_cast<int>(kCoordinateLimit);
  if (!(value < kCoordinateLimit)) return static_cast<int>(kCoordinateLimit);
  return static_cast<int>(value);
}

inline TPoint ScreenPoint(float centreX, float centreY, float x, float y) {
  return TPoint{TruncToPixel(static_cast<double>(centreX) + static_cast<double>(x)),
                TruncToPixel(static_cast<double>(centreY) + static_cast<double>(y))};
}

inline TPoint TipPoint(const ClockState& state, TipOffset tip) {
  return ScreenPoint(state.CentreX, state.CentreY, tip.X, tip.Y);
}

inline TPoint CentrePoint(const ClockState& state) {
  return ScreenPoint(state.CentreX, state.CentreY, 0.0F, 0.0F);
}

}  // namespace trilume
