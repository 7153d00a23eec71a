// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>

#include "model/clock_state.h"
#include "model/date_time.h"
#include "model/tick_source.h"
#include "render/canvas/canvas.h"
#include "render/canvas/frame_canvas.h"
#include "render/clock_session.h"
#include "render/frame.h"
#include "render/panel_settings.h"

namespace trilume {

// The clock without a window: a session on a fake wall clock, a fake tick
// source, an in-memory panel and a window size of the caller's choice. The
// headless tool, the soak, the movement fuzzer, the benchmarks and the tests
// run it.
// - Tick() moves the tick source on by one 1/64 s tick and serves it, as the
//   window's timers would: the frame, the caption on every 13th tick, the
//   flight step while free. It returns whether the caption was composed.
// - Frame() runs the frame alone, as a test calls the window's Timer1Timer.
// - Only the caller moves Clock, before each tick, as time passes before a
//   timer fires. The state is 72 KB: keep a headless clock off the stack.
class HeadlessClock final : public ClockHost {
 public:
  // The canvas must outlive the clock. On a FrameCanvas every frame is
  // presented at its end, as the window presents it.
  explicit HeadlessClock(TCanvas& canvas);
  explicit HeadlessClock(FrameCanvas& canvas);

  bool Tick();
  const FrameOutcome& Frame() { return Session.Frame(); }

  void SetFree(bool free) { Session.SetFree(free); }
  bool IsFree() const { return Session.IsFree(); }
  void SetMinimised(bool minimised) { Session.SetMinimised(minimised); }
  void SetTimeText(TimeTextFormatter timeText) { Session.TimeText = timeText; }
  // The window's way of waking only when the picture or the caption can
  // change; see ClockSession. Off unless asked for.
  void SetSleeping(bool sleeping) { Session.SetSleeping(sleeping); }
  void CatchUp() { Session.CatchUp(); }
  void InputChanged() { Session.InputChanged(); }
  void ClockChanged() { Session.ClockChanged(); }
  const FrameOutcome& GetLastFrame() const { return Session.LastFrame; }
  // The status line of the last caption tick; empty before the first.
  const std::string& GetCaption() const { return Session.Caption; }

  PanelSettings* GetPanel() override { return &Panel; }
  WindowSize GetOuterSize() const override { return Window; }
  void FrameShown(const FrameOutcome& outcome) override;
  void CaptionShown(const std::string& /*caption*/) override { CaptionComposed = true; }

  // Called after each frame, before the flight step of the same tick moves
  // Centre: what the frame drew.
  std::function<void(const FrameOutcome&)> OnFrameShown;

  FakeTickSource Ticks;
  FakeClock Clock;
  PlainPanelSettings Panel;
  WindowSize Window;

 private:
  bool CaptionComposed = false;  // by the tick Tick() serves
  ClockSession Session;

 public:
  // Last, so that in the soak's Guarded<HeadlessClock> a write running past
  // the state's end lands in the guard band behind the clock, where the
  // soak's check sees it. The order prevents nothing: such a write is a
  // fault wherever it lands.
  ClockState State;
};

}  // namespace trilume
