// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

#include "model/clock_state.h"
#include "model/date_time.h"
#include "model/panel_design.h"
#include "render/canvas/canvas.h"
#include "render/panel_settings.h"

namespace trilume {

// The main window's outer size, frame and title bar included.
struct WindowSize {
  int Width = kMainWindowOuterWidth;
  int Height = kMainWindowOuterHeight;
};

// Drawing calls a frame makes at most: three lines for each outline of the
// longest trace, and the rest of the picture with room to spare. A frame
// canvas made for this many never grows.
inline constexpr std::size_t kMaxFrameCalls = 3 * kMaxTraceCount + 256;

// Where a landed frame puts Centre (W div 2 - 4, H div 2 - 17 of the outer
// size, about the middle of the client area); free flight sets off from it.
struct CentrePosition {
  float X = 0.0F;
  float Y = 0.0F;
};
CentrePosition LandedCentre(WindowSize window);

// Turns the frame's time of day into the text the hands are read from. The
// program uses TimeToStr; tests and the soak put in texts of any shape.
using TimeTextFormatter = std::string (*)(TDateTime);

// A frame's one reading of the clock, so the time text, the millisecond
// field and any report of the frame agree even at the turn of a second. A
// null formatter stands for TimeToStr.
struct FrameReading {
  TDateTime Time = 0.0;  // FrameStartTime
  std::string TimeText;
};
FrameReading ReadFrameClock(const ClockSource& clock, TimeTextFormatter timeText = &TimeToStr);

// What a frame read and whether its time text read.
struct FrameOutcome {
  FrameReading Reading;
  bool Ok = true;
  std::string Error;        // why the frame failed, when not Ok
  bool Unexpected = false;  // failed on something other than an unreadable time text

  // Whether a listener is told the same: the same success or failure.
  bool SameNews(const FrameOutcome& other) const {
    return Ok == other.Ok && Unexpected == other.Unexpected && Error == other.Error;
  }
};

// One frame of the reading: serves CLEAR, places Centre (unless free flight
// is on), and draws background, dial, numerals, overlays and trace in their
// fixed order. A time text that is not HH:MM:SS ends the frame after the
// numerals and throws EConvertError; the state keeps the previous frame's
// values then. Allocates nothing.
void Timer1Timer(ClockState& state, TCanvas& canvas, PanelSettings& panel, WindowSize window,
                 bool freeFlight, const FrameReading& reading);

// One frame as a timer runs it: reads `clock` once and draws. Nothing
// escapes: a failure (EConvertError from a time text that does not read, or
// anything else) is reported in `outcome`, whose text room is reused.
void RunFrame(FrameOutcome& outcome, ClockState& state, TCanvas& canvas, PanelSettings& panel,
              WindowSize window, bool freeFlight, const ClockSource& clock,
              TimeTextFormatter timeText);

// CLEAR on the panel: fills the window rectangle with the brush in force and
// asks the next frame to clear the trace. Several clicks make one request.
void Button2Click(TCanvas& canvas, PanelSettings& panel, WindowSize window);

// A new colour picked in the grid: pen and brush take the grid's colours and
// a rectangle over the whole window is drawn in the current brush style.
void CColorGrid1Change(TCanvas& canvas, const PanelSettings& panel, WindowSize window);

}  // namespace trilume
