// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "model/clock_state.h"
#include "model/date_time.h"
#include "model/panel_design.h"
#include "model/tick_schedule.h"
#include "model/tick_source.h"
#include "model/timer.h"
#include "model/timer_service.h"
#include "render/canvas/canvas.h"
#include "render/canvas/frame_canvas.h"
#include "render/frame.h"
#include "render/panel_settings.h"
#include "render/wake_plan.h"

namespace trilume {

// What a session needs from whoever shows the clock: the main window, or
// the headless clock.
class ClockHost {
 public:
  virtual ~ClockHost() = default;
  // The panel a frame reads; null while there is none yet, and the frame
  // then draws nothing.
  virtual PanelSettings* GetPanel() = 0;
  // W and H, read afresh at every frame and flight step.
  virtual WindowSize GetOuterSize() const = 0;
  // After every frame that ran, failed or not, once it is presented.
  virtual void FrameShown(const FrameOutcome& outcome) = 0;
  // After every caption tick, with the status line it composed.
  virtual void CaptionShown(const std::string& caption) = 0;
};

// The clock as the main window's three timers drive it: the frame, the
// caption and the flight step, their order within a tick and their
// cadence. The window, the headless tool, the soak, the movement fuzzer,
// the benchmarks and the tests all run this one sequence.
// - Frame() is Timer1 at the clock's present reading. A frame that fails
//   (EConvertError from a time text that does not read, or anything else)
//   is reported in the outcome and the state keeps the last values; the
//   next tick runs as usual.
// - CaptionStep() is Timer2: the status line of the clock's present and the
//   last frame's names. FlightStep() is Timer3: one step of free flight.
// - The timers fire in that order on the ticks of `ticks`; Timer3 runs
//   only while the clock is free, Timer1 only while it is not minimised
//   (nobody sees a minimised clock). Enabling a timer starts its interval
//   afresh, so the first frame after a restore reads the time anew.
// - Sleeping (off unless asked for): the process wakes only at the ticks at
//   which the picture or the status line changes (WakePlan runs the coming
//   frames and captions ahead to find them), at least once a second, and
//   first runs the ticks it slept through, each reading the wall time of
//   its own deadline (SleptTickClock): the state, the canvas and every
//   report are those of waking at every tick whose wake-up is on time.
//   Before anything a tick reads changes (the panel, the size, a click, a
//   restore), call CatchUp(); after it, InputChanged(), and the change
//   shows at the next tick. A step of the wall clock shows at the next
//   wake-up, or at the next tick after ClockChanged().
// Everything passed in must outlive the session.
class ClockSession final : private WakePlanner {
 public:
  ClockSession(ClockHost& host, ClockState& state, const ClockSource& clock, TCanvas& canvas,
               TickSource& ticks);
  // On a FrameCanvas every frame is presented at its end, failed or not.
  ClockSession(ClockHost& host, ClockState& state, const ClockSource& clock, FrameCanvas& canvas,
               TickSource& ticks);
  ~ClockSession() override;

  ClockSession(const ClockSession&) = delete;
  ClockSession& operator=(const ClockSession&) = delete;

  const FrameOutcome& Frame();
  void CaptionStep();
  void FlightStep();

  void SetFree(bool free) { Timer3.SetEnabled(free); }
  bool IsFree() const { return Timer3.GetEnabled(); }
  void SetMinimised(bool minimised) { Timer1.SetEnabled(!minimised); }

  void SetSleeping(bool sleeping);
  void CatchUp();
  void InputChanged();
  void ClockChanged();

  TimeTextFormatter TimeText = &TimeToStr;
  FrameOutcome LastFrame;
  std::string Caption;  // the status line the last caption tick composed

  // Components, in firing order. The service comes first so it outlives
  // the timers registered with it.
  TimerService Timers;
  TTimer Timer1;
  TTimer Timer2;
  TTimer Timer3;

 private:
  // The reading of the tick being served: the clock itself for the tick a
  // wake-up is for (and outside ticks), the time its deadline had for a
  // tick slept through.
  class TickClock final : public ClockSource {
   public:
    explicit TickClock(const ClockSession& session) : Session(session) {}
    std::int64_t NowUnixMicroseconds() const override;

   private:
    const ClockSession& Session;
  };

  std::int64_t PlanWake(std::int64_t lastServedTick, std::int64_t earliestDueTick) override;
  void Woken(std::int64_t nowMicroseconds) override;
  bool Plans(const TTimer& timer) const override;
  void TakeClockOffset();
  std::int64_t ReadingMicroseconds() const;

  ClockHost& Host;
  ClockState& State;
  const ClockSource& Clock;
  TCanvas& Canvas;
  FrameCanvas* Presenter = nullptr;
  TickClock Reading{*this};
  WakePlan Plan;
  bool Sleeping = false;
  // The wall clock against the tick source, taken at each wake-up; Floor is
  // the last reading a tick was served.
  mutable SleptTickClock Slept;
  std::int64_t PresentTick = -1;  // the tick the last wake-up was for
  // Looks ahead in a row that found a change at once, and the wake-ups
  // still to come without one.
  int EagerPlans = 0;
  int EagerTicksLeft = 0;
};

}  // namespace trilume
