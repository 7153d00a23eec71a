// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "model/clock_state.h"
#include "model/date_time.h"
#include "model/tick_schedule.h"
#include "render/canvas/canvas.h"
#include "render/headless_clock.h"
#include "tests/support/recording_canvas.h"

namespace trilume::testing {

// 2024-01-01 00:00:00 UTC.
inline constexpr std::int64_t kMidnightMicros = 1704067200LL * 1000000LL;
// One frame at 64 frames a second.
inline constexpr std::int64_t kFrameMicros = kTickMicroseconds;

constexpr std::int64_t At(int hour, int minute, int second, int millisecond, int microsecond = 0) {
  return kMidnightMicros +
         ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000000LL +
         static_cast<std::int64_t>(millisecond) * 1000 + microsecond;
}

// Pictures and time texts must not depend on the machine: UTC and the C
// locale's "HH:MM:SS".
inline void PinTimeZoneAndLocale() {
  setenv("TZ", "UTC", 1);
  tzset();
  std::setlocale(LC_ALL, "C");
}

inline std::string Hex(TColor colour) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(colour));
  return text;
}

// One recorded call as a line, so a mismatch in a sequence reads plainly.
inline std::string Describe(const CanvasCall& call) {
  const std::string state = " pen=" + Hex(call.PenColor) + " brush=" + Hex(call.BrushColor) + "/" +
                            std::to_string(call.BrushStyle);
  auto args = [](int a, int b) { return std::to_string(a) + "," + std::to_string(b); };
  switch (call.Operation) {
    case CanvasCall::Op::kMoveTo:
      return "MoveTo(" + args(call.X1, call.Y1) + ")";
    case CanvasCall::Op::kLineTo:
      return "LineTo(" + args(call.X1, call.Y1) + "->" + args(call.X2, call.Y2) +
             ") pen=" + Hex(call.PenColor);
    case CanvasCall::Op::kEllipse:
      return "Ellipse(" + args(call.X1, call.Y1) + "," + args(call.X2, call.Y2) + ")" + state;
    case CanvasCall::Op::kRectangle:
      return "Rectangle(" + args(call.X1, call.Y1) + "," + args(call.X2, call.Y2) + ")" + state;
    case CanvasCall::Op::kFillRect:
      return "FillRect(" + args(call.X1, call.Y1) + "," + args(call.X2, call.Y2) +
             ") brush=" + Hex(call.BrushColor) + "/" + std::to_string(call.BrushStyle);
    case CanvasCall::Op::kTextOut:
      return "TextOut(" + args(call.X1, call.Y1) + ",\"" + call.Text +
             "\") font=" + Hex(call.FontColor) + " brush=" + Hex(call.BrushColor) + "/" +
             std::to_string(call.BrushStyle);
  }
  return "?";
}

inline std::vector<std::string> Describe(const std::vector<CanvasCall>& calls) {
  std::vector<std::string> lines;
  lines.reserve(calls.size());
  for (const CanvasCall& call : calls) lines.push_back(Describe(call));
  return lines;
}

// A frame's world: a session with the panel at its design values, a clock
// that stands at 00:15:30.500 and the start-up window size, recording what
// it draws.
class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PinTimeZoneAndLocale();
    Clock.Set(At(0, 15, 30, 500));
  }

  void RunFrame(bool freeFlight = false) {
    Session.SetFree(freeFlight);
    const FrameOutcome& outcome = Session.Frame();
    EXPECT_TRUE(outcome.Ok) << outcome.Error;
  }

  // Runs a frame and returns only the calls it made.
  std::vector<CanvasCall> FrameCalls(bool freeFlight = false) {
    Canvas.Calls.clear();
    RunFrame(freeFlight);
    return Canvas.Calls;
  }

  void Set(PanelCheckBox box, bool checked) { Panel.SetChecked(box, checked); }

  // Leaves only the trace and the hour-tip marker that every frame draws.
  void OnlyTrace() {
    Set(PanelCheckBox::kShowAdditionals, false);
    Set(PanelCheckBox::kShowHands, false);
    Set(PanelCheckBox::kShowYellowTriangle, false);
  }

  RecordingCanvas Canvas;
  HeadlessClock Session{Canvas};
  ClockState& State = Session.State;
  PlainPanelSettings& Panel = Session.Panel;
  FakeClock& Clock = Session.Clock;
  WindowSize& Window = Session.Window;
};

// The LineTo calls of a frame grouped by trace outline: each outline is a
// MoveTo followed by three LineTo. `first` is the index of the first MoveTo.
struct Outline {
  TPoint P1, P2, P3;
  TColor Pen = 0;
};

inline std::vector<Outline> Outlines(const std::vector<CanvasCall>& calls, std::size_t first,
                                     std::size_t count) {
  std::vector<Outline> outlines;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = first + 4 * i;
    if (at + 3 >= calls.size()) break;
    const CanvasCall& move = calls[at];
    if (move.Operation != CanvasCall::Op::kMoveTo) break;
    outlines.push_back(Outline{TPoint{move.X1, move.Y1}, TPoint{calls[at + 1].X2, calls[at + 1].Y2},
                               TPoint{calls[at + 2].X2, calls[at + 2].Y2}, calls[at + 3].PenColor});
  }
  return outlines;
}

}  // namespace trilume::testing
