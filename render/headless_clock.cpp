// SPDX-License-Identifier: MIT
#include "render/headless_clock.h"

namespace trilume {

// The session's constructor only stores its reference to the state, so the
// state may be built after it.
HeadlessClock::HeadlessClock(TCanvas& canvas) : Session(*this, State, Clock, canvas, Ticks) {}

HeadlessClock::HeadlessClock(FrameCanvas& canvas) : Session(*this, State, Clock, canvas, Ticks) {}

bool HeadlessClock::Tick() {
  CaptionComposed = false;
  Ticks.Advance(kTickMicroseconds);
  return CaptionComposed;
}

void HeadlessClock::FrameShown(const FrameOutcome& outcome) {
  if (OnFrameShown) OnFrameShown(outcome);
}

}  // namespace trilume
