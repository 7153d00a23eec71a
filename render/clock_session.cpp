// SPDX-License-Identifier: MIT
#include "render/clock_session.h"

#include <exception>

#include "model/caption.h"
#include "model/free_flight.h"

namespace trilume {

namespace {

// The caption's period in ticks: no sleep may pass a caption tick unseen.
constexpr std::int64_t kCaptionEveryTicks = TicksForInterval(kCaptionIntervalMilliseconds);

struct CanvasTools {
  TColor Pen;
  TColor Brush;
  int Style;
  TColor Font;

  bool operator==(const CanvasTools&) const = default;
};

CanvasTools ToolsOf(const TCanvas& canvas) {
  return {canvas.GetPenColor(), canvas.GetBrushColor(), canvas.GetBrushStyle(),
          canvas.GetFontColor()};
}

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
  TakeClockOffset(ticks.NowMicroseconds());
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
  LastFrame.Ok = true;
  LastFrame.Unexpected = false;
  LastFrame.Error.clear();
  const CanvasTools before = ToolsOf(Canvas);
  // A timer handler lets nothing escape: a failed frame is reported and the
  // next tick runs as usual.
  try {
    LastFrame.Reading = ReadFrameClock(Reading, TimeText);
    Timer1Timer(State, Canvas, *panel, Host.GetOuterSize(), IsFree(), LastFrame.Reading);
  } catch (const EConvertError& error) {
    LastFrame.Ok = false;
    LastFrame.Error = error.what();
  } catch (const std::exception& error) {
    LastFrame.Ok = false;
    LastFrame.Unexpected = true;
    LastFrame.Error = error.what();
  } catch (...) {
    LastFrame.Ok = false;
    LastFrame.Unexpected = true;
    LastFrame.Error = "A frame failed for an unknown reason.";
  }
  FrameSettled = before == ToolsOf(Canvas);
  if (Presenter != nullptr) Presenter->Present();
  Host.FrameShown(LastFrame);
  return LastFrame;
}

void ClockSession::CaptionStep() {
  CaptionTime = Now(Reading);
  Caption = ComposeCaption(CaptionTime, State);
  CaptionKind = State.TriangleKind;
  CaptionAngleKind = State.AngleKind;
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
  TakeClockOffset(Timers.Now());
  InputChanged();
}

void ClockSession::TakeClockOffset(std::int64_t monoMicroseconds) {
  WallMicros = Clock.NowUnixMicroseconds();
  MonoMicros = monoMicroseconds;
}

void ClockSession::Woken(std::int64_t nowMicroseconds) {
  TakeClockOffset(nowMicroseconds);
  PresentTick = Timers.GetSchedule().TickAt(nowMicroseconds);
}

std::int64_t ClockSession::ReadingMicroseconds() const {
  const std::int64_t tick = Timers.GetLastServedTick();
  if (!Timers.IsServing() || tick == PresentTick) return Clock.NowUnixMicroseconds();
  return WallMicros - (MonoMicros - Timers.GetSchedule().GetDeadline(tick));
}

std::int64_t ClockSession::TickClock::NowUnixMicroseconds() const {
  return Session.ReadingMicroseconds();
}

bool ClockSession::Plans(const TTimer& timer) const {
  return &timer == &Timer1 || &timer == &Timer2 || &timer == &Timer3;
}

std::int64_t ClockSession::PlanWake(std::int64_t lastServedTick, std::int64_t earliestDueTick) {
  if (!Sleeping || Timer3.GetCadence().IsRunning()) return earliestDueTick;
  ForecastInputs in;
  in.State = &State;
  in.TimeText = TimeText;
  in.Schedule = &Timers.GetSchedule();
  in.WallMicros = WallMicros;
  in.MonoMicros = MonoMicros;
  in.FirstTick = earliestDueTick;
  // A second at most, caption tick included: a step of the wall clock
  // that nobody tells of shows in the picture and the caption within it.
  in.LastTick = lastServedTick + kMaxSleepTicks - kCaptionEveryTicks;
  if (Timer1.GetCadence().IsRunning()) {
    const PanelSettings* panel = Host.GetPanel();
    // Only a frame that can be repeated is forecast: one that ran in the
    // tick served last, as it will run again.
    if (panel == nullptr || !LastFrame.Ok || !FrameSettled || panel->GetClearRequest() != 0 ||
        Timer1.GetCadence().GetDueTick() != lastServedTick + Timer1.GetCadence().GetPeriod()) {
      return earliestDueTick;
    }
    in.Panel = panel;
    in.Window = Host.GetOuterSize();
    in.Frames = true;
    in.FrameDue = Timer1.GetCadence().GetDueTick();
    in.FramePeriod = Timer1.GetCadence().GetPeriod();
  }
  if (Timer2.GetCadence().IsRunning()) {
    in.Captions = true;
    in.CaptionDue = Timer2.GetCadence().GetDueTick();
    in.CaptionPeriod = Timer2.GetCadence().GetPeriod();
    in.HaveCaption = !Caption.empty();
    in.CaptionTime = CaptionTime;
    in.CaptionKind = CaptionKind;
    in.CaptionAngleKind = CaptionAngleKind;
  }
  return Forecast.FirstChange(in);
}

}  // namespace trilume
