// SPDX-License-Identifier: MIT
#include "render/clock_session.h"

#include <limits>

#include "model/caption.h"
#include "model/free_flight.h"

namespace trilume {

namespace {

// The caption's period in ticks: no sleep may pass a caption tick unseen.
constexpr std::int64_t kCaptionEveryTicks = TicksForInterval(kCaptionIntervalMilliseconds);

// A picture that changes at every frame (RAINBOW over a trace that moves)
// leaves nothing to sleep through: after this many looks ahead that found
// a change at the very next tick, the next kEagerTicks wake-ups are not
// looked ahead of. Waking early is always exact; it costs only sleep.
constexpr int kEagerPlans = 8;
constexpr int kEagerTicks = 16;

}  // namespace

ClockSession::ClockSession(ClockHost& host, ClockState& state, const ClockSource& clock,
                           TCanvas& canvas, TickSource& ticks)
    : Timers(ticks),
      Timer1(Timers, kFrameIntervalMilliseconds, true),
      Timer2(Timers, kCaptionIntervalMilliseconds, true),
      Timer3(Timers, kFlightIntervalMilliseconds, false),
      Host(host),
      State(state),
      Clock(clock),
      Canvas(canvas) {
  Timer1.OnTimer = [this] { Frame(); };
  Timer2.OnTimer = [this] { CaptionStep(); };
  Timer3.OnTimer = [this] { FlightStep(); };
  TakeClockOffset();
  Timers.SetPlanner(this);
}

ClockSession::ClockSession(ClockHost& host, ClockState& state, const ClockSource& clock,
                           FrameCanvas& canvas, TickSource& ticks)
    : ClockSession(host, state, clock, static_cast<TCanvas&>(canvas), ticks) {
  Presenter = &canvas;
}

ClockSession::~ClockSession() { Timers.SetPlanner(nullptr); }

const FrameOutcome& ClockSession::Frame() {
  PanelSettings* panel = Host.GetPanel();
  if (panel == nullptr) return LastFrame;
  // A timer handler lets nothing escape: a failed frame is reported and the
  // next tick runs as usual.
  RunFrame(LastFrame, State, Canvas, *panel, Host.GetOuterSize(), IsFree(), Reading, TimeText);
  if (Presenter != nullptr) Presenter->Present();
  Host.FrameShown(LastFrame);
  return LastFrame;
}

void ClockSession::CaptionStep() {
  Caption = ComposeCaption(Now(Reading), State);
  Host.CaptionShown(Caption);
}

void ClockSession::FlightStep() {
  const WindowSize window = Host.GetOuterSize();
  FreeFlightStep(State, window.Width, window.Height);
}

void ClockSession::SetSleeping(bool sleeping) {
  Sleeping = sleeping;
  Timers.Reschedule();
}

void ClockSession::CatchUp() {
  // What a handler of ours does meanwhile (an error box shown) is no input.
  if (!Timers.IsServing()) Timers.CatchUp(Timers.Now());
}

void ClockSession::InputChanged() { Timers.WakeNextTick(); }

void ClockSession::ClockChanged() {
  // The ticks before the change read the clock as it was.
  CatchUp();
  TakeClockOffset();
  // A clock set back is read as it is set.
  Slept.Floor = std::numeric_limits<std::int64_t>::min();
  InputChanged();
}

void ClockSession::TakeClockOffset() {
  // Both clocks read at one moment: an offset taken across a catch-up would
  // make every tick slept through read late by its length.
  Slept.MonoMicros = Timers.Now();
  Slept.WallMicros = Clock.NowUnixMicroseconds();
}

void ClockSession::Woken(std::int64_t nowMicroseconds) {
  TakeClockOffset();
  PresentTick = Timers.GetSchedule().TickAt(nowMicroseconds);
}

std::int64_t ClockSession::ReadingMicroseconds() const {
  const std::int64_t tick = Timers.GetLastServedTick();
  if (!Timers.IsServing()) return Clock.NowUnixMicroseconds();
  const std::int64_t reading = tick == PresentTick ? Clock.NowUnixMicroseconds()
                                                   : Slept.ReadingAt(Timers.GetSchedule(), tick);
  Slept.Floor = reading;
  return reading;
}

std::int64_t ClockSession::TickClock::NowUnixMicroseconds() const {
  return Session.ReadingMicroseconds();
}

bool ClockSession::Plans(const TTimer& timer) const {
  return &timer == &Timer1 || &timer == &Timer2 || &timer == &Timer3;
}

std::int64_t ClockSession::PlanWake(std::int64_t lastServedTick, std::int64_t earliestDueTick) {
  if (!Sleeping || Timer3.GetCadence().IsRunning()) return earliestDueTick;
  if (EagerTicksLeft > 0) {
    --EagerTicksLeft;
    return earliestDueTick;
  }
  WakeOutlook outlook;
  outlook.State = &State;
  outlook.Panel = Host.GetPanel();
  outlook.Window = Host.GetOuterSize();
  outlook.TimeText = TimeText;
  outlook.Shown = Presenter;
  outlook.LastFrame = &LastFrame;
  outlook.Caption = &Caption;
  outlook.Schedule = &Timers.GetSchedule();
  outlook.Clock = Slept;
  outlook.Frames = Timer1.GetCadence();
  outlook.Captions = Timer2.GetCadence();
  // A second at most, caption tick included: a step of the wall clock
  // that nobody tells of shows in the picture and the caption within it.
  const std::int64_t wake = Plan.FirstChange(outlook, earliestDueTick,
                                             lastServedTick + kMaxSleepTicks - kCaptionEveryTicks);
  EagerPlans = wake == earliestDueTick ? EagerPlans + 1 : 0;
  if (EagerPlans >= kEagerPlans) {
    EagerPlans = 0;
    EagerTicksLeft = kEagerTicks;
  }
  return wake;
}

}  // namespace trilume
