// SPDX-License-Identifier: MIT
#include "render/clock_session.h"

#include <exception>

#include "model/caption.h"
#include "model/free_flight.h"

namespace trilume {

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
}

ClockSession::ClockSession(ClockHost& host, ClockState& state, const ClockSource& clock,
                           FrameCanvas& canvas, TickSource& ticks)
    : ClockSession(host, state, clock, static_cast<TCanvas&>(canvas), ticks) {
  Presenter = &canvas;
}

const FrameOutcome& ClockSession::Frame() {
  PanelSettings* panel = Host.GetPanel();
  if (panel == nullptr) return LastFrame;
  LastFrame.Ok = true;
  LastFrame.Unexpected = false;
  LastFrame.Error.clear();
  // A timer handler lets nothing escape: a failed frame is reported and the
  // next tick runs as usual.
  try {
    LastFrame.Reading = ReadFrameClock(Clock, TimeText);
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
  if (Presenter != nullptr) Presenter->Present();
  Host.FrameShown(LastFrame);
  return LastFrame;
}

void ClockSession::CaptionStep() {
  Caption = ComposeCaption(Now(Clock), State);
  Host.CaptionShown(Caption);
}

void ClockSession::FlightStep() {
  const WindowSize window = Host.GetOuterSize();
  FreeFlightStep(State, window.Width, window.Height);
}

}  // namespace trilume
