// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "model/clock_state.h"
#include "model/date_time.h"
#include "model/tick_schedule.h"
#include "render/canvas/canvas.h"
#include "render/canvas/frame_canvas.h"
#include "render/frame.h"
#include "render/panel_settings.h"

namespace trilume {

// The main window's caption timer (Timer2): every 13th 1/64 s tick. The
// frame (Timer1) and free flight (Timer3) fire on every tick.
inline constexpr int kCaptionIntervalMilliseconds = 200;
inline constexpr std::int64_t kCaptionEveryTicks = TicksForInterval(kCaptionIntervalMilliseconds);

// What a frame read and whether its time text read.
struct FrameOutcome {
  FrameReading Reading;
  bool Ok = true;
  std::string Error;  // the EConvertError's message, when not Ok
};

// The clock without a window, driven as the main window's timers drive it.
// The headless tool, the soak, the fuzzers, the benchmarks and the tests all
// run the clock through it, so none keeps an order of its own.
// - Frame() is Timer1 at the clock's present reading. A time text that does
//   not read (EConvertError) fails the frame, as the window shows it and
//   goes on: reported in the outcome, the state keeps the last values. Any
//   other exception is a fault and passes through.
// - AfterFrame() is the rest of the tick: the caption on every
//   kCaptionEveryTicks-th frame, then a free-flight step while Free. It
//   returns whether the caption was composed. Tick() runs both; a caller
//   that reports a frame before the flight moves Centre calls them apart.
// - Only the caller moves Clock, before each tick, as time passes before a
//   timer fires. The state is 72 KB: keep a session off the stack.
class ClockSession {
 public:
  // The canvas must outlive the session. On a FrameCanvas every frame is
  // presented at its end, failed or not, as the window presents it.
  explicit ClockSession(TCanvas& canvas) : Canvas(canvas) {}
  explicit ClockSession(FrameCanvas& canvas) : Canvas(canvas), Presenter(&canvas) {}

  const FrameOutcome& Frame();
  bool AfterFrame();
  bool Tick() {
    Frame();
    return AfterFrame();
  }

  TCanvas& Canvas;
  FrameCanvas* Presenter = nullptr;
  PlainPanelSettings Panel;
  FakeClock Clock;
  WindowSize Window;
  bool Free = false;
  TimeTextFormatter TimeText = &TimeToStr;
  std::int64_t FrameCount = 0;
  FrameOutcome LastFrame;
  std::string Caption;  // the window title the last caption tick composed
  // Last: a stray write past its end leaves the session, not a neighbour.
  ClockState State;
};

}  // namespace trilume
