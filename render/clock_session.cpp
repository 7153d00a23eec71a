// SPDX-License-Identifier: MIT
#include "render/clock_session.h"

#include "model/caption.h"
#include "model/free_flight.h"

namespace trilume {

const FrameOutcome& ClockSession::Frame() {
  ++FrameCount;
  LastFrame.Ok = true;
  LastFrame.Error.clear();
  try {
    LastFrame.Reading = ReadFrameClock(Clock, TimeText);
    Timer1Timer(State, Canvas, Panel, Window, Free, LastFrame.Reading);
  } catch (const EConvertError& error) {
    LastFrame.Ok = false;
    LastFrame.Error = error.what();
  }
  if (Presenter != nullptr) Presenter->Present();
  return LastFrame;
}

bool ClockSession::AfterFrame() {
  const bool captionDue = FrameCount % kCaptionEveryTicks == 0;
  if (captionDue) Caption = ComposeCaption(Now(Clock), State);
  if (Free) FreeFlightStep(State, Window.Width, Window.Height);
  return captionDue;
}

}  // namespace trilume
