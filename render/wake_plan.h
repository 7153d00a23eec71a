// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "model/clock_state.h"
#include "model/tick_schedule.h"
#include "render/canvas/canvas.h"
#include "render/canvas/frame_canvas.h"
#include "render/frame.h"
#include "render/panel_settings.h"

namespace trilume {

// How a tick slept through reads the wall clock: the wall time of its own
// deadline, by the offset between wall clock and tick source taken at one
// moment of the last wake-up, however late the tick is served. Never before
// Floor (the last reading served), so a late wake-up cannot turn the trace
// back.
struct SleptTickClock {
  std::int64_t WallMicros = 0;
  std::int64_t MonoMicros = 0;
  std::int64_t Floor = std::numeric_limits<std::int64_t>::min();

  std::int64_t ReadingAt(const TickSchedule& schedule, std::int64_t tick) const {
    return std::max(Floor, WallMicros - (MonoMicros - schedule.GetDeadline(tick)));
  }
};

// The session as the last tick served left it: what its frame and caption
// steps read, and what they showed last. Nothing is changed.
struct WakeOutlook {
  const ClockState* State = nullptr;
  // Null: no frame step runs (no panel, or a minimised clock).
  PanelSettings* Panel = nullptr;
  WindowSize Window;
  TimeTextFormatter TimeText = &TimeToStr;
  // The canvas the frames are presented on; null when they are drawn
  // straight on, and then every frame counts as a change.
  const FrameCanvas* Shown = nullptr;
  const FrameOutcome* LastFrame = nullptr;
  const std::string* Caption = nullptr;  // empty before the first
  const TickSchedule* Schedule = nullptr;
  SleptTickClock Clock;
  // The frame's and the caption's timers; a stopped one never fires.
  TimerCadence Frames;
  TimerCadence Captions;
};

// Plans when a sleeping session wakes. It runs the coming ticks ahead, on
// copies of the state and of the shown canvas, with the session's own frame
// and caption steps, each tick reading what its deadline will read: the
// picture and the status line change at the first tick at which a frame
// would present something new or bring other news (a failure beginning or
// ending), or a caption would read otherwise. So whatever a frame draws,
// now or after any new overlay or control, the plan cannot disagree with it.
class WakePlan final {
 public:
  WakePlan();
  ~WakePlan();
  WakePlan(const WakePlan&) = delete;
  WakePlan& operator=(const WakePlan&) = delete;

  // That first tick in first..last; else the last tick in it a step is due
  // at, or `first` when none is. A frame that reads a pending CLEAR or a
  // canvas holding calls not yet presented counts as a change at once.
  std::int64_t FirstChange(const WakeOutlook& outlook, std::int64_t first, std::int64_t last);

 private:
  std::unique_ptr<ClockState> Scratch;
  std::unique_ptr<TCanvas> Nowhere;
  std::unique_ptr<FrameCanvas> Probe;
  FrameOutcome Outcome;
  FrameOutcome Previous;
  std::string Caption;
};

}  // namespace trilume
