// SPDX-License-Identifier: MIT
// The frame's order of drawing, the pen and brush each step hands to the
// next, the worked positions at the start-up window size, the failing time
// text, free flight, the single clock reading and the order of a session's
// tick.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "frame_test_support.h"
#include "model/caption.h"
#include "model/hand_geometry.h"
#include "render/canvas/colour.h"
#include "render/screen_point.h"

namespace trilume::testing {
namespace {

using Op = CanvasCall::Op;

std::vector<std::string> CollapsedOutline(const std::string& at, TColor pen) {
  const std::string line = "LineTo(" + at + "->" + at + ") pen=" + Hex(pen);
  return {"MoveTo(" + at + ")", line, line, line};
}

TEST_F(FrameTest, FirstFrameAtDesignValuesDrawsEverythingInOrder) {
  // 00:15:30.500 SMOOTH: hour tip (0, -64.35), minute (91, 0), second
  // (-5.86, 114.24) about Centre (136, 138).
  std::vector<std::string> expected = {
      "FillRect(0,0,280,310) brush=FFFFFF/0",  // the canvas's initial brush
      "Ellipse(22,23,249,253) pen=FFFFFF brush=FFFFFF/0",
      "Ellipse(132,134,139,141) pen=FFFFFF brush=FF0000/0",
      "TextOut(130,2,\"12\") font=000000 brush=FF0000/0",
      "TextOut(261,127,\"3 \") font=000000 brush=FF0000/0",
      "TextOut(130,261,\"6 \") font=000000 brush=FF0000/0",
      "TextOut(2,127,\"9 \") font=000000 brush=FF0000/0",
      "Ellipse(134,71,138,75) pen=00FFFF brush=FF0000/0",
      "MoveTo(136,138)",
      "LineTo(136,138->136,73) pen=FF0000",
      "MoveTo(136,138)",
      "LineTo(136,138->227,138) pen=FF0000",
      "MoveTo(136,138)",
      "LineTo(136,138->130,252) pen=FFFFFF",
  };
  // NUMBER OF TRACES 20: entries 19..3 are still zero, entry 2 is this
  // frame's triangle, entry 1 the zero entry; all in the grid's green.
  for (int k = 19; k >= 3; --k) {
    for (const std::string& line : CollapsedOutline("136,138", kGreen)) expected.push_back(line);
  }
  for (const char* line :
       {"MoveTo(136,73)", "LineTo(136,73->227,138) pen=008000",
        "LineTo(227,138->130,252) pen=008000", "LineTo(130,252->136,73) pen=008000"}) {
    expected.push_back(line);
  }
  for (const std::string& line : CollapsedOutline("136,138", kGreen)) expected.push_back(line);
  for (const char* line :
       {"MoveTo(136,73)", "LineTo(136,73->227,138) pen=00FFFF",
        "LineTo(227,138->130,252) pen=00FFFF", "LineTo(130,252->136,73) pen=00FFFF"}) {
    expected.push_back(line);
  }

  EXPECT_EQ(Describe(FrameCalls()), expected);
  EXPECT_FLOAT_EQ(State.CentreX, 136.0F);
  EXPECT_FLOAT_EQ(State.CentreY, 138.0F);
  EXPECT_EQ(State.TraceCount, 20);
  EXPECT_FLOAT_EQ(State.ColourStep, 2.0F);
  // The brush the next frame's background is filled with: FillStyleIndex 4.
  EXPECT_EQ(Canvas.GetBrushColor(), kNavy);
  EXPECT_EQ(Canvas.GetBrushStyle(), kBsBDiagonal);
}

TEST_F(FrameTest, DialAndCentreDotFollowTheTruncatedFormula) {
  const double cx = 136.0;
  const double cy = 138.0;
  const double dial = 0.8333333333333334;
  const double dot = 0.025;
  // The dial reaches 113.33 to either side of x 136 (22..249) and down to 253.
  EXPECT_EQ(static_cast<int>(cx - cx * dial), 22);
  EXPECT_EQ(static_cast<int>(cy - cy * dial), 23);
  EXPECT_EQ(static_cast<int>(cx * dial + cx), 249);
  EXPECT_EQ(static_cast<int>(cy * dial + cy), 253);
  EXPECT_EQ(static_cast<int>(cx - cx * dot), 132);
  EXPECT_EQ(static_cast<int>(cy * dot + cy), 141);

  const std::vector<CanvasCall> calls = FrameCalls();
  ASSERT_GE(calls.size(), 3U);
  EXPECT_EQ(Describe(calls[1]), "Ellipse(22,23,249,253) pen=FFFFFF brush=FFFFFF/0");
  EXPECT_EQ(Describe(calls[2]), "Ellipse(132,134,139,141) pen=FFFFFF brush=FF0000/0");
}

TEST_F(FrameTest, LaterFramesFillWithTheBrushThePreviousFrameChose) {
  RunFrame();
  const std::vector<CanvasCall> calls = FrameCalls();
  ASSERT_GE(calls.size(), 2U);
  EXPECT_EQ(Describe(calls[0]), "FillRect(0,0,280,310) brush=800000/5");
  // The dial is filled in the same colour, always solid.
  EXPECT_EQ(Describe(calls[1]), "Ellipse(22,23,249,253) pen=FFFFFF brush=800000/0");
}

TEST_F(FrameTest, ResizedWindowMovesCentreDialAndNumerals) {
  Window = WindowSize{401, 333};
  const std::vector<CanvasCall> calls = FrameCalls();
  EXPECT_FLOAT_EQ(State.CentreX, 196.0F);  // 401 div 2 - 4
  EXPECT_FLOAT_EQ(State.CentreY, 149.0F);  // 333 div 2 - 17
  ASSERT_GE(calls.size(), 7U);
  EXPECT_EQ(Describe(calls[0]), "FillRect(0,0,401,333) brush=FFFFFF/0");
  // 196 * 5/6 = 163.33, 149 * 5/6 = 124.17.
  EXPECT_EQ(Describe(calls[1]), "Ellipse(32,24,359,273) pen=FFFFFF brush=FFFFFF/0");
  EXPECT_EQ(calls[3].X1, 190);
  EXPECT_EQ(calls[4].X1, 382);
  EXPECT_EQ(calls[4].Y1, 138);
  EXPECT_EQ(calls[5].Y1, 284);
}

struct NumeralSwitches {
  bool Additionals;
  bool ClockNumbers;
  int Ellipses;  // before the hour-tip marker
  int Texts;
};

void PrintTo(const NumeralSwitches& c, std::ostream* os) {
  *os << "additionals " << c.Additionals << ", clock numbers " << c.ClockNumbers;
}

class NumeralSwitchTest : public FrameTest,
                          public ::testing::WithParamInterface<NumeralSwitches> {};

TEST_P(NumeralSwitchTest, DialDotAndNumeralsFollowTheirCheckBoxes) {
  const NumeralSwitches& row = GetParam();
  Set(PanelCheckBox::kShowAdditionals, row.Additionals);
  Set(PanelCheckBox::kShowClockNumbers, row.ClockNumbers);
  const std::vector<CanvasCall> calls = FrameCalls();
  int ellipses = 0;
  int texts = 0;
  for (const CanvasCall& call : calls) {
    if (call.Operation == Op::kEllipse) ++ellipses;
    if (call.Operation == Op::kTextOut) ++texts;
  }
  EXPECT_EQ(ellipses, row.Ellipses + 1);  // the hour-tip marker comes always
  EXPECT_EQ(texts, row.Texts);
}

INSTANTIATE_TEST_SUITE_P(Switches, NumeralSwitchTest,
                         ::testing::Values(NumeralSwitches{true, true, 2, 4},
                                           NumeralSwitches{true, false, 2, 0},
                                           NumeralSwitches{false, true, 0, 0},
                                           NumeralSwitches{false, false, 0, 0}));

TEST_F(FrameTest, MarkersWithoutAdditionalsUseThePreviousFramesFillBrush) {
  Set(PanelCheckBox::kShowAdditionals, false);
  Set(PanelCheckBox::kShowLineLengths, true);
  State.FillStyleIndex = 2;
  RunFrame();
  const std::vector<CanvasCall> calls = FrameCalls();
  // Background, hour-tip marker, bars, apex marker: both markers in navy
  // horizontal lines, the brush SelectFillBrush left.
  ASSERT_GE(calls.size(), 2U);
  EXPECT_EQ(calls[1].Operation, Op::kEllipse);
  EXPECT_EQ(calls[1].BrushColor, kNavy);
  EXPECT_EQ(calls[1].BrushStyle, kBsHorizontal);
  EXPECT_EQ(calls[1].PenColor, kYellow);
  const CanvasCall& apex = calls[8];
  EXPECT_EQ(apex.Operation, Op::kEllipse);
  EXPECT_EQ(apex.PenColor, kRed);
  EXPECT_EQ(apex.BrushColor, kNavy);
}

// Formats only the time texts of one frame whose shape the hands can't read.
std::string TwelveHourText(TDateTime) { return "9:05:07 AM"; }

TEST_F(FrameTest, UnreadableTimeTextEndsTheFrameAfterTheNumeralsAndKeepsTheState) {
  Set(PanelCheckBox::kShowLineLengths, true);
  RunFrame();
  const ClockState before = State;

  Clock.Advance(3'000'000);
  Canvas.Calls.clear();
  EXPECT_THROW(
      Timer1Timer(State, Canvas, Panel, Window, false, ReadFrameClock(Clock, &TwelveHourText)),
      EConvertError);
  const std::vector<std::string> drawn = Describe(Canvas.Calls);
  ASSERT_EQ(drawn.size(), 7U);
  EXPECT_EQ(drawn[0], "FillRect(0,0,280,310) brush=800000/5");
  EXPECT_EQ(drawn[6], "TextOut(2,127,\"9 \") font=000000 brush=FF0000/0");

  EXPECT_EQ(State.HourTip.X, before.HourTip.X);
  EXPECT_EQ(State.MinuteTip.Y, before.MinuteTip.Y);
  EXPECT_EQ(State.SecondTip.X, before.SecondTip.X);
  EXPECT_EQ(State.SecondTip.Y, before.SecondTip.Y);
  EXPECT_EQ(State.SideHourMinute, before.SideHourMinute);
  EXPECT_EQ(State.SideMinuteSecond, before.SideMinuteSecond);
  EXPECT_EQ(State.TriangleKind, before.TriangleKind);
  EXPECT_EQ(State.AngleKind, before.AngleKind);
  EXPECT_EQ(State.TraceHistory[2].Second.X, before.TraceHistory[2].Second.X);
  // The brush for the next background was not chosen again: still the
  // blue of the centre dot.
  EXPECT_EQ(Canvas.GetBrushColor(), kBlue);

  // The next frame runs whole again.
  const std::vector<CanvasCall> next = FrameCalls();
  EXPECT_GT(next.size(), 7U);
  EXPECT_NE(State.SecondTip.X, before.SecondTip.X);
}

TEST_F(FrameTest, MissingFormatterFallsBackToTheLocaleTimeText) {
  Timer1Timer(State, Canvas, Panel, Window, false, ReadFrameClock(Clock, nullptr));
  EXPECT_FALSE(State.TriangleKind.empty());
  EXPECT_EQ(TipPoint(State, State.SecondTip).Y, 252);
}

TEST_F(FrameTest, FreeFlightLeavesCentreToTheFlightAndLandingBringsItBack) {
  State.CentreX = 50.0F;
  State.CentreY = 50.0F;
  const std::vector<CanvasCall> calls = FrameCalls(/*freeFlight=*/true);
  EXPECT_FLOAT_EQ(State.CentreX, 50.0F);
  EXPECT_FLOAT_EQ(State.CentreY, 50.0F);
  ASSERT_GE(calls.size(), 4U);
  EXPECT_EQ(Describe(calls[1]), "Ellipse(8,8,91,91) pen=FFFFFF brush=FFFFFF/0");
  EXPECT_EQ(Describe(calls[2]), "Ellipse(48,48,51,51) pen=FFFFFF brush=FF0000/0");
  // The numerals stay where the window size puts them.
  EXPECT_EQ(calls[3].X1, 130);
  EXPECT_EQ(calls[3].Y1, 2);

  RunFrame(/*freeFlight=*/false);
  EXPECT_FLOAT_EQ(State.CentreX, 136.0F);
  EXPECT_FLOAT_EQ(State.CentreY, 138.0F);
}

// A clock that moves on by 0.7 ms whenever it is read, so a second reading
// within one frame would land in the next second.
class CreepingClock final : public ClockSource {
 public:
  explicit CreepingClock(std::int64_t micros) : Micros(micros) {}
  std::int64_t NowUnixMicroseconds() const override {
    ++Reads;
    const std::int64_t now = Micros;
    Micros += 700;
    return now;
  }
  mutable int Reads = 0;

 private:
  mutable std::int64_t Micros;
};

// Where the second hand points, in dial steps 0..60, read back from its tip.
double SecondHandSteps(const ClockState& state, WindowSize window) {
  const double scaleX = (window.Width / 2) * 0.8;
  const double scaleY = (window.Height / 2 - 12) * 0.8;
  const double angle = std::atan2(state.SecondTip.Y / scaleY, state.SecondTip.X / scaleX);
  double steps = angle / (std::numbers::pi / 30.0) - 45.0;
  while (steps < 0.0) steps += 60.0;
  while (steps >= 60.0) steps -= 60.0;
  return steps;
}

struct TurnOfSecond {
  std::int64_t Instant;
  double Steps;  // where the SMOOTH second hand belongs
};

void PrintTo(const TurnOfSecond& c, std::ostream* os) { *os << "instant " << c.Instant; }

class OneReadingTest : public FrameTest, public ::testing::WithParamInterface<TurnOfSecond> {};

TEST_P(OneReadingTest, TimeTextAndMillisecondsComeFromOneReading) {
  CreepingClock clock(GetParam().Instant);
  Timer1Timer(State, Canvas, Panel, Window, false, ReadFrameClock(clock));
  EXPECT_EQ(clock.Reads, 1);
  // Text and milliseconds from different readings put the hand a whole
  // step off for one frame; from one reading it is within a millisecond.
  double error = std::fabs(SecondHandSteps(State, Window) - GetParam().Steps);
  error = std::min(error, 60.0 - error);
  EXPECT_LT(error, 0.01) << SecondHandSteps(State, Window);
}

INSTANTIATE_TEST_SUITE_P(Instants, OneReadingTest,
                         ::testing::Values(TurnOfSecond{At(0, 15, 30, 999, 0), 30.999},
                                           TurnOfSecond{At(0, 15, 30, 999, 400), 30.9994},
                                           TurnOfSecond{At(0, 15, 30, 999, 600), 30.9996},
                                           TurnOfSecond{At(0, 15, 59, 999, 900), 59.9999},
                                           TurnOfSecond{At(23, 59, 59, 999, 700), 59.9997},
                                           TurnOfSecond{At(7, 0, 0, 0, 0), 0.0}));

TEST_F(FrameTest, ClearButtonFillsTheWindowAndAsksForOneClear) {
  Canvas.SetBrushColor(kTeal);
  Canvas.SetBrushStyle(kBsVertical);
  for (int click = 0; click < 3; ++click) Button2Click(Canvas, Panel, Window);
  ASSERT_EQ(Canvas.Calls.size(), 3U);
  EXPECT_EQ(Describe(Canvas.Calls[0]), "FillRect(0,0,280,310) brush=808000/3");
  EXPECT_EQ(Panel.GetClearRequest(), 1);
  RunFrame();
  EXPECT_EQ(Panel.GetClearRequest(), 0);
}

TEST_F(FrameTest, ColourGridChangeOutlinesAndFillsTheWindowInTheStyleInForce) {
  Panel.ForegroundIndex = 9;   // red
  Panel.BackgroundIndex = 10;  // lime
  Canvas.SetBrushStyle(kBsDiagCross);
  CColorGrid1Change(Canvas, Panel, Window);
  ASSERT_EQ(Canvas.Calls.size(), 1U);
  EXPECT_EQ(Describe(Canvas.Calls[0]), "Rectangle(0,0,280,310) pen=0000FF brush=00FF00/7");
  // The next background is filled in the picked colour.
  const std::vector<CanvasCall> calls = FrameCalls();
  EXPECT_EQ(Describe(calls[0]), "FillRect(0,0,280,310) brush=00FF00/7");
}

// A tick runs the window's timers in their order: the frame, the caption
// on every 13th tick, then the flight step. So a free clock's frame stands
// where the last step left Centre, and a caption names that frame's kind.
TEST_F(FrameTest, SessionTickRunsFrameThenCaptionEvery13thTickThenFlightStep) {
  Set(PanelCheckBox::kShowLinkLines, true);  // the last line but one ends at Centre
  Session.SetFree(true);
  State.CentreX = 136.0F;
  State.CentreY = 138.0F;
  for (int tick = 1; tick <= 26; ++tick) {
    Clock.Advance(kFrameMicros);
    State.TriangleKind = {};  // named again only by this tick's frame
    Canvas.Calls.clear();
    EXPECT_EQ(Session.Tick(), tick % 13 == 0) << tick;
    ASSERT_TRUE(Session.GetLastFrame().Ok && Canvas.Calls.size() >= 2) << tick;
    const CanvasCall& toCentre = Canvas.Calls[Canvas.Calls.size() - 2];
    EXPECT_EQ(std::make_pair(toCentre.X2, toCentre.Y2), std::make_pair(137 - tick, 139 - tick));
    EXPECT_EQ(State.CentreX, static_cast<float>(136 - tick)) << tick;
    if (tick % 13 == 0) {
      EXPECT_NE(
          Session.GetCaption().find(std::string(kCaptionTriangleIs).append(State.TriangleKind)),
          std::string::npos);
    }
  }
}

}  // namespace
}  // namespace trilume::testing
