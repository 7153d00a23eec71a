// SPDX-License-Identifier: MIT
// The trace history, its palette, CLEAR, and the brush each fill style
// leaves for the next frame, as a frame exercises them.
#include "render/trace.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "frame_test_support.h"
#include "render/canvas/colour.h"
#include "render/screen_point.h"

namespace trilume::testing {
namespace {

using Op = CanvasCall::Op;

// With only the trace on, a frame draws the background, the hour-tip marker
// and then the outlines.
constexpr std::size_t kFirstOutline = 2;

const TColor kPaletteByIndex[13] = {0,     kWhite,  kYellow,  kLime,   kGreen, kOlive, kBlue,
                                    kNavy, kMaroon, kFuchsia, kPurple, kTeal,  kSilver};

TriangleRecord& Entry(ClockState& state, int k) {
  return state.TraceHistory[static_cast<std::size_t>(k)];
}

bool IsZero(const TriangleRecord& r) { return r == TriangleRecord{}; }

TriangleRecord CurrentTips(const ClockState& s) {
  return TriangleRecord{s.HourTip, s.MinuteTip, s.SecondTip};
}

class TraceTest : public FrameTest {
 protected:
  // Frames one second apart, so every stored triangle differs.
  void RunSeconds(int frames) {
    for (int i = 0; i < frames; ++i) {
      RunFrame();
      Clock.Advance(1'000'000);
    }
  }
};

struct RainbowRow {
  int Step;
  std::vector<int> Cycle;  // palette indexes, repeating from the oldest
};

void PrintTo(const RainbowRow& c, std::ostream* os) { *os << "step " << c.Step; }

class RainbowTest : public TraceTest, public ::testing::WithParamInterface<RainbowRow> {};

TEST_P(RainbowTest, OutlinesTakePaletteColoursFromTheOldestOn) {
  const RainbowRow& row = GetParam();
  OnlyTrace();
  Set(PanelCheckBox::kRainbow, true);
  Panel.ScrollBar1Position = 40;
  Panel.ScrollBar2Position = row.Step;
  const std::vector<CanvasCall> calls = FrameCalls();
  const std::vector<Outline> outlines = Outlines(calls, kFirstOutline, 39);
  ASSERT_EQ(outlines.size(), 39U);
  ASSERT_EQ(calls.size(), kFirstOutline + 39 * 4);
  for (std::size_t i = 0; i < outlines.size(); ++i) {
    EXPECT_EQ(Hex(outlines[i].Pen), Hex(kPaletteByIndex[row.Cycle[i % row.Cycle.size()]]))
        << "outline " << i;
  }
  EXPECT_EQ(State.ColourStep, static_cast<float>(row.Step));
}

INSTANTIATE_TEST_SUITE_P(AlternativeColors, RainbowTest,
                         ::testing::Values(RainbowRow{1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
                                           RainbowRow{2, {1, 3, 5, 7, 9, 11}},
                                           RainbowRow{5, {1, 6, 11}}, RainbowRow{7, {1, 8}},
                                           RainbowRow{11, {1, 12}}, RainbowRow{12, {1}}));

TEST_F(TraceTest, TwentyTracesDrawEighteenPastTrianglesAndTheZeroEntry) {
  OnlyTrace();
  Set(PanelCheckBox::kRainbow, true);
  RunSeconds(30);
  const TriangleRecord previous = State.TraceHistory[2];
  const std::vector<CanvasCall> calls = FrameCalls();
  const std::vector<Outline> outlines = Outlines(calls, kFirstOutline, 19);
  ASSERT_EQ(outlines.size(), 19U);
  ASSERT_EQ(calls.size(), kFirstOutline + 19 * 4);

  // Oldest white, the current triangle (pass 18) teal, the zero entry
  // (pass 19) white again, collapsed onto Centre.
  EXPECT_EQ(outlines.front().Pen, kWhite);
  EXPECT_EQ(outlines[17].Pen, kTeal);
  EXPECT_EQ(outlines[18].Pen, kWhite);
  EXPECT_EQ(outlines[18].P1.X, 136);
  EXPECT_EQ(outlines[18].P2.Y, 138);
  EXPECT_EQ(outlines[18].P3.X, 136);

  const TPoint hour = TipPoint(State, State.HourTip);
  const TPoint second = TipPoint(State, State.SecondTip);
  EXPECT_EQ(outlines[17].P1.X, hour.X);
  EXPECT_EQ(outlines[17].P1.Y, hour.Y);
  EXPECT_EQ(outlines[17].P3.X, second.X);
  EXPECT_EQ(outlines[17].P3.Y, second.Y);
  // 18 real triangles: none of the first 18 outlines lies collapsed.
  for (std::size_t i = 0; i < 18; ++i) {
    EXPECT_FALSE(outlines[i].P1.X == outlines[i].P2.X && outlines[i].P1.Y == outlines[i].P2.Y &&
                 outlines[i].P2.X == outlines[i].P3.X && outlines[i].P2.Y == outlines[i].P3.Y)
        << "outline " << i;
  }

  // Each entry is one frame older: entry 2 this frame's, entry 3 the last.
  EXPECT_TRUE(State.TraceHistory[2] == CurrentTips(State));
  EXPECT_TRUE(State.TraceHistory[3] == previous);
  EXPECT_TRUE(IsZero(State.TraceHistory[1]));
  EXPECT_TRUE(IsZero(State.TraceHistory[0]));
}

TEST_F(TraceTest, OneTraceDrawsNothingAndLeavesThePenGray) {
  OnlyTrace();
  Set(PanelCheckBox::kShowNumbersSquare, true);
  Panel.ScrollBar1Position = 1;
  const std::vector<CanvasCall> calls = FrameCalls();
  // Background, hour-tip marker, then at once the numbers square.
  ASSERT_EQ(calls.size(), kFirstOutline + 5);
  EXPECT_EQ(calls[kFirstOutline].Operation, Op::kMoveTo);
  EXPECT_EQ(calls[kFirstOutline].X1, 136);
  EXPECT_EQ(calls[kFirstOutline].Y1, 8);
  EXPECT_EQ(calls.back().PenColor, kGray);
  EXPECT_EQ(State.TraceCount, 1);
}

TEST_F(TraceTest, TwoTracesDrawOnlyTheZeroEntryAtCentre) {
  OnlyTrace();
  Panel.ScrollBar1Position = 2;
  RunSeconds(3);
  const std::vector<CanvasCall> calls = FrameCalls();
  const std::vector<std::string> lines = Describe(calls);
  ASSERT_EQ(lines.size(), kFirstOutline + 4);
  EXPECT_EQ(lines[2], "MoveTo(136,138)");
  EXPECT_EQ(lines[5], "LineTo(136,138->136,138) pen=008000");
}

TEST_F(TraceTest, PlainTraceUsesTheGridForegroundColour) {
  OnlyTrace();
  Panel.ForegroundIndex = 13;  // fuchsia
  const std::vector<CanvasCall> calls = FrameCalls();
  const std::vector<Outline> outlines = Outlines(calls, kFirstOutline, 19);
  ASSERT_EQ(outlines.size(), 19U);
  for (const Outline& outline : outlines) EXPECT_EQ(outline.Pen, kFuchsia);
}

struct LatePenRow {
  const char* Name;
  bool YellowTriangle;
  bool TraceOn;
  bool Rainbow;
  int Traces;
  TColor Pen;
};

void PrintTo(const LatePenRow& c, std::ostream* os) { *os << c.Name; }

class LatePenTest : public TraceTest, public ::testing::WithParamInterface<LatePenRow> {};

TEST_P(LatePenTest, NumbersSquareAndLinkLinesTakeThePenInForce) {
  const LatePenRow& row = GetParam();
  Set(PanelCheckBox::kShowYellowTriangle, row.YellowTriangle);
  Set(PanelCheckBox::kTraceOn, row.TraceOn);
  Set(PanelCheckBox::kRainbow, row.Rainbow);
  Set(PanelCheckBox::kShowNumbersSquare, true);
  Set(PanelCheckBox::kShowLinkLines, true);
  Panel.ScrollBar1Position = row.Traces;
  const std::vector<CanvasCall> calls = FrameCalls();
  // Square: 4 lines, link lines: 6 lines, all at the end of the frame.
  int checked = 0;
  for (std::size_t i = calls.size() - 15; i < calls.size(); ++i) {
    if (calls[i].Operation != Op::kLineTo) continue;
    EXPECT_EQ(Hex(calls[i].PenColor), Hex(row.Pen)) << "call " << i;
    ++checked;
  }
  EXPECT_EQ(checked, 10);
}

INSTANTIATE_TEST_SUITE_P(
    Pens, LatePenTest,
    ::testing::Values(LatePenRow{"YellowTriangle", true, true, true, 20, kYellow},
                      LatePenRow{"TraceOff", false, false, false, 20, kGray},
                      LatePenRow{"OneTrace", false, true, true, 1, kGray},
                      LatePenRow{"RainbowLastPassWhite", false, true, true, 20, kWhite},
                      LatePenRow{"RainbowSecondPassLime", false, true, true, 3, kLime},
                      LatePenRow{"GridForeground", false, true, false, 20, kGreen}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(TraceTest, ClearIsServedOnceByTheNextFrame) {
  RunSeconds(25);
  const TriangleRecord kept = State.TraceHistory[5];
  ASSERT_FALSE(IsZero(kept));
  for (int click = 0; click < 3; ++click) Button2Click(Canvas, Panel, Window);

  RunFrame();
  EXPECT_EQ(Panel.GetClearRequest(), 0);
  // Entries 1..20 were zeroed before this frame's triangle went in: only
  // entry 2 holds a triangle now.
  EXPECT_TRUE(State.TraceHistory[2] == CurrentTips(State));
  for (int k = 3; k <= 20; ++k) EXPECT_TRUE(IsZero(Entry(State, k))) << k;

  // The frame after it does not clear again.
  const TriangleRecord last = State.TraceHistory[2];
  Clock.Advance(1'000'000);
  RunFrame();
  EXPECT_TRUE(State.TraceHistory[3] == last);
}

TEST_F(TraceTest, ClearBeforeAnyTraceStepClearsNothing) {
  Set(PanelCheckBox::kTraceOn, false);
  State.TraceHistory[2] = TriangleRecord{1, 2, 3, 4, 5, 6};
  State.TraceHistory[3] = TriangleRecord{7, 8, 9, 10, 11, 12};
  Button2Click(Canvas, Panel, Window);
  RunFrame();
  EXPECT_EQ(Panel.GetClearRequest(), 0);  // consumed all the same
  EXPECT_EQ(State.TraceCount, 0);
  EXPECT_EQ(State.TraceHistory[2].Hour.X, 1.0F);
  EXPECT_EQ(State.TraceHistory[3].Second.Y, 12.0F);
  // Entry 1 still takes each frame's triangle with the trace off.
  EXPECT_TRUE(State.TraceHistory[1] == CurrentTips(State));
}

TEST_F(TraceTest, ClearWithTheTraceOffUsesTheLastStoredCount) {
  Panel.ScrollBar1Position = 30;
  RunSeconds(32);
  Panel.ScrollBar1Position = 10;
  RunSeconds(2);
  Set(PanelCheckBox::kTraceOn, false);
  Panel.ScrollBar1Position = 30;  // not read while the trace is off
  const std::vector<TriangleRecord> beyond(State.TraceHistory.begin() + 11,
                                           State.TraceHistory.begin() + 30);
  Button2Click(Canvas, Panel, Window);
  RunFrame();
  EXPECT_EQ(State.TraceCount, 10);
  for (int k = 2; k <= 10; ++k) EXPECT_TRUE(IsZero(Entry(State, k))) << k;
  for (int k = 11; k < 30; ++k) {
    EXPECT_FALSE(IsZero(Entry(State, k))) << k;
    EXPECT_TRUE(Entry(State, k) == beyond[static_cast<std::size_t>(k - 11)]) << k;
  }
}

TEST_F(TraceTest, EntriesAboveTheCountSurviveAClearAndReturnWhenRaised) {
  Panel.ScrollBar1Position = 50;
  RunSeconds(60);
  Panel.ScrollBar1Position = 20;
  RunSeconds(1);
  std::vector<TriangleRecord> beyond(State.TraceHistory.begin() + 21,
                                     State.TraceHistory.begin() + 50);
  Button2Click(Canvas, Panel, Window);
  RunSeconds(1);
  for (int k = 3; k <= 20; ++k) EXPECT_TRUE(IsZero(Entry(State, k))) << k;
  for (int k = 21; k < 50; ++k) {
    EXPECT_TRUE(Entry(State, k) == beyond[static_cast<std::size_t>(k - 21)]) << k;
    EXPECT_FALSE(IsZero(Entry(State, k))) << k;
  }

  // Raised again, they age on from where they stood and are drawn.
  Panel.ScrollBar1Position = 50;
  OnlyTrace();
  const std::vector<CanvasCall> calls = FrameCalls();
  EXPECT_TRUE(IsZero(State.TraceHistory[21]));  // the cleared entry 20, one older
  for (int k = 22; k < 50; ++k) {
    EXPECT_TRUE(Entry(State, k) == beyond[static_cast<std::size_t>(k - 22)]) << k;
  }
  const std::vector<Outline> outlines = Outlines(calls, kFirstOutline, 49);
  ASSERT_EQ(outlines.size(), 49U);
  // The oldest outline drawn is entry 49: the old entry 48.
  const TPoint p1 = ScreenPoint(State.CentreX, State.CentreY, beyond[27].Hour.X, beyond[27].Hour.Y);
  EXPECT_EQ(outlines[0].P1.X, p1.X);
  EXPECT_EQ(outlines[0].P1.Y, p1.Y);
}

struct ClampRow {
  int ScrollBar1;
  int ScrollBar2;
  int TraceCount;
  float ColourStep;
};

void PrintTo(const ClampRow& c, std::ostream* os) {
  *os << "scroll bars " << c.ScrollBar1 << ", " << c.ScrollBar2;
}

class ClampTest : public TraceTest, public ::testing::WithParamInterface<ClampRow> {};

TEST_P(ClampTest, CountAndStepStayInsideHistoryAndPalette) {
  const ClampRow& row = GetParam();
  const TriangleRecord sentinel{1, 2, 3, 4, 5, 6};
  Entry(State, kTraceHistorySize - 1) = sentinel;
  Set(PanelCheckBox::kRainbow, true);
  Panel.ScrollBar1Position = row.ScrollBar1;
  Panel.ScrollBar2Position = row.ScrollBar2;
  RunSeconds(3);
  EXPECT_EQ(State.TraceCount, row.TraceCount);
  EXPECT_EQ(State.ColourStep, row.ColourStep);

  // A state whose count was pushed past the history clears no further.
  State.TraceCount = 1'000'000;
  Button2Click(Canvas, Panel, Window);
  RunSeconds(1);
  EXPECT_TRUE(Entry(State, kTraceHistorySize - 1) == sentinel);
  EXPECT_EQ(State.TraceCount, row.TraceCount);
}

INSTANTIATE_TEST_SUITE_P(Limits, ClampTest,
                         ::testing::Values(ClampRow{3000, 12, 3000, 12.0F},
                                           ClampRow{3001, 13, 3000, 12.0F},
                                           ClampRow{1'000'000, 1'000, 3000, 12.0F},
                                           ClampRow{0, 0, 1, 1.0F}, ClampRow{-5, -5, 1, 1.0F}));

struct FillRow {
  int FillStyleIndex;
  TColor Colour;
  int Style;
};

void PrintTo(const FillRow& c, std::ostream* os) { *os << "fill style " << c.FillStyleIndex; }

class FillStyleTest : public TraceTest, public ::testing::WithParamInterface<FillRow> {};

TEST_P(FillStyleTest, FrameLeavesTheNextBackgroundsBrush) {
  const FillRow& row = GetParam();
  Panel.BackgroundIndex = 11;  // yellow, so the grid colour is told from navy
  State.FillStyleIndex = row.FillStyleIndex;
  RunFrame();
  EXPECT_EQ(Hex(Canvas.GetBrushColor()), Hex(row.Colour));
  EXPECT_EQ(Canvas.GetBrushStyle(), row.Style);
  // Nothing drawn after the choice changed it: the next background has it.
  const std::vector<CanvasCall> calls = FrameCalls();
  EXPECT_EQ(Describe(calls[0]),
            "FillRect(0,0,280,310) brush=" + Hex(row.Colour) + "/" + std::to_string(row.Style));
}

INSTANTIATE_TEST_SUITE_P(
    Styles, FillStyleTest,
    ::testing::Values(FillRow{0, kBlack, kBsCross}, FillRow{1, kYellow, kBsSolid},
                      FillRow{2, kYellow, kBsHorizontal}, FillRow{3, kYellow, kBsVertical},
                      FillRow{4, kYellow, kBsBDiagonal}, FillRow{5, kYellow, kBsFDiagonal},
                      FillRow{6, kYellow, kBsDiagCross}, FillRow{7, kYellow, kBsCross},
                      // The hands left the style solid.
                      FillRow{8, kYellow, kBsSolid}));

struct KeepStyleRow {
  bool Additionals;
  bool Hands;
  int Style;
};

void PrintTo(const KeepStyleRow& c, std::ostream* os) {
  *os << "additionals " << c.Additionals << ", hands " << c.Hands << ", style " << c.Style;
}

class KeepStyleTest : public TraceTest, public ::testing::WithParamInterface<KeepStyleRow> {};

TEST_P(KeepStyleTest, IndexEightKeepsTheStyleLastSet) {
  const KeepStyleRow& row = GetParam();
  State.FillStyleIndex = 3;
  RunFrame();
  Set(PanelCheckBox::kShowAdditionals, row.Additionals);
  Set(PanelCheckBox::kShowHands, row.Hands);
  State.FillStyleIndex = 8;
  Panel.BackgroundIndex = 9;  // red
  RunFrame();
  EXPECT_EQ(Canvas.GetBrushColor(), kRed);
  EXPECT_EQ(Canvas.GetBrushStyle(), row.Style);
}

INSTANTIATE_TEST_SUITE_P(Switches, KeepStyleTest,
                         ::testing::Values(KeepStyleRow{false, false, kBsVertical},
                                           KeepStyleRow{true, false, kBsSolid},
                                           KeepStyleRow{false, true, kBsSolid}));

// What a listener is told must match what the frame draws: a name that
// says "cross" for lines, or misses "black" for index 0, misleads.
TEST(FillStyleNameTest, EachSentenceNamesTheBrushItsIndexSelects) {
  const std::string kept = DescribeFillStyle(8);
  for (std::int32_t index = 0; index <= 8; ++index) {
    const std::string said = DescribeFillStyle(index);
    const FillBrush& brush = kBrushStyleTable[static_cast<std::size_t>(index)];
    EXPECT_EQ(said.rfind("Pattern " + std::to_string(index + 1) + " of 9: ", 0), 0U) << said;
    EXPECT_EQ(said.back(), '.') << said;
    const bool crossed = brush.Style == kBsCross || brush.Style == kBsDiagCross;
    if (!brush.KeepsStyle) {
      EXPECT_EQ(said.find("cross") != std::string::npos, crossed) << said;
      EXPECT_EQ(said.find("diagonal") != std::string::npos, brush.Style == kBsFDiagonal ||
                                                                brush.Style == kBsBDiagonal ||
                                                                brush.Style == kBsDiagCross)
          << said;
      EXPECT_EQ(said.find("solid") != std::string::npos, brush.Style == kBsSolid) << said;
    }
    EXPECT_EQ(said.find("black") != std::string::npos, brush.Black) << said;
    for (std::int32_t other = 0; other < index; ++other) {
      EXPECT_NE(said.substr(said.find(':')), DescribeFillStyle(other).substr(said.find(':')))
          << index << " and " << other << " sound alike";
    }
  }
  // The two diagonals are told apart by the way they run.
  EXPECT_NE(DescribeFillStyle(4).find("rising"), std::string::npos);
  EXPECT_NE(DescribeFillStyle(5).find("falling"), std::string::npos);
  // Outside the table the style stays, as with 8.
  for (std::int32_t index : {-1, 9, 1000}) EXPECT_EQ(DescribeFillStyle(index), kept) << index;
}

TEST_F(TraceTest, FillStyleOutsideTheTableKeepsTheStyle) {
  State.FillStyleIndex = 2;
  Set(PanelCheckBox::kShowAdditionals, false);
  Set(PanelCheckBox::kShowHands, false);
  RunFrame();
  for (int index : {-1, 9, 1000}) {
    State.FillStyleIndex = index;
    RunFrame();
    EXPECT_EQ(Canvas.GetBrushColor(), kNavy) << index;
    EXPECT_EQ(Canvas.GetBrushStyle(), kBsHorizontal) << index;
  }
}

}  // namespace
}  // namespace trilume::testing
