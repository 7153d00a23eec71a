// SPDX-License-Identifier: MIT
// Where the overlays land: anchors, bars, the apex marker, the hands and
// the late figures of a frame.
#include "render/overlays.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "frame_test_support.h"
#include "render/canvas/colour.h"

namespace trilume::testing {
namespace {

using Op = CanvasCall::Op;

struct AnchorRow {
  int Width;
  int Height;
  TPoint A12, A3, A6, A9;
};

void PrintTo(const AnchorRow& c, std::ostream* os) {
  *os << "window " << c.Width << "x" << c.Height;
}

class AnchorTest : public ::testing::TestWithParam<AnchorRow> {};

TEST_P(AnchorTest, AnchorsComeFromTheWindowSize) {
  const AnchorRow& row = GetParam();
  const NumeralAnchors anchors = GetNumeralAnchors(row.Width, row.Height);
  auto text = [](TPoint p) { return std::to_string(p.X) + "," + std::to_string(p.Y); };
  EXPECT_EQ(text(anchors.Anchor12), text(row.A12));
  EXPECT_EQ(text(anchors.Anchor3), text(row.A3));
  EXPECT_EQ(text(anchors.Anchor6), text(row.A6));
  EXPECT_EQ(text(anchors.Anchor9), text(row.A9));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, AnchorTest,
    ::testing::Values(AnchorRow{280, 310, {136, 8}, {265, 135}, {134, 269}, {6, 135}},
                      AnchorRow{281, 311, {136, 8}, {266, 135}, {134, 270}, {6, 135}},
                      AnchorRow{640, 480, {316, 8}, {625, 220}, {314, 439}, {6, 220}}));

TEST_F(FrameTest, NumbersSquareAndLinkLinesJoinAnchorsTipsAndCentre) {
  Set(PanelCheckBox::kShowNumbersSquare, true);
  Set(PanelCheckBox::kShowLinkLines, true);
  const std::vector<std::string> lines = Describe(FrameCalls());
  ASSERT_GE(lines.size(), 16U);
  // Yellow, from the yellow triangle. Tips at 00:15:30.500: hour (136, 73),
  // minute (227, 138), second (130, 252).
  const std::vector<std::string> expected = {
      "MoveTo(136,8)",
      "LineTo(136,8->265,135) pen=00FFFF",
      "LineTo(265,135->134,269) pen=00FFFF",
      "LineTo(134,269->6,135) pen=00FFFF",
      "LineTo(6,135->136,8) pen=00FFFF",
      "MoveTo(136,8)",
      "LineTo(136,8->130,252) pen=00FFFF",
      "MoveTo(265,135)",
      "LineTo(265,135->227,138) pen=00FFFF",
      "MoveTo(134,269)",
      "LineTo(134,269->136,73) pen=00FFFF",
      "MoveTo(6,135)",
      "LineTo(6,135->130,252) pen=00FFFF",
      "MoveTo(134,269)",
      "LineTo(134,269->136,138) pen=00FFFF",
      "LineTo(136,138->136,8) pen=00FFFF",
  };
  EXPECT_EQ(std::vector<std::string>(lines.end() - 16, lines.end()), expected);
}

TEST_F(FrameTest, LinkLinesStretchToTheFlyingCentreFromFixedAnchors) {
  Set(PanelCheckBox::kShowLinkLines, true);
  State.CentreX = 60.5F;
  State.CentreY = 70.9F;
  const std::vector<std::string> lines = Describe(FrameCalls(/*freeFlight=*/true));
  ASSERT_GE(lines.size(), 3U);
  EXPECT_EQ(lines[lines.size() - 3], "MoveTo(134,269)");
  EXPECT_EQ(lines[lines.size() - 2], "LineTo(134,269->60,70) pen=00FFFF");
  EXPECT_EQ(lines[lines.size() - 1], "LineTo(60,70->136,8) pen=00FFFF");
}

struct BarRow {
  int HourMinute, HourSecond, MinuteSecond;
  std::vector<std::string> Lines;
};

void PrintTo(const BarRow& c, std::ostream* os) {
  *os << "sides " << c.HourMinute << ", " << c.HourSecond << ", " << c.MinuteSecond;
}

class BarTest : public ::testing::TestWithParam<BarRow> {};

TEST_P(BarTest, BarsStartAtTheTopLeftAndRunAsLongAsTheSides) {
  const BarRow& row = GetParam();
  ClockState state;
  state.CentreX = 300.0F;  // the bars do not follow Centre
  state.SideHourMinute = row.HourMinute;
  state.SideHourSecond = row.HourSecond;
  state.SideMinuteSecond = row.MinuteSecond;
  RecordingCanvas canvas;
  DrawLengthBars(state, canvas);
  EXPECT_EQ(Describe(canvas.Calls), row.Lines);
}

INSTANTIATE_TEST_SUITE_P(
    Sides, BarTest,
    ::testing::Values(BarRow{100,
                             103,
                             150,
                             {"MoveTo(10,8)", "LineTo(10,8->110,8) pen=00FFFF", "MoveTo(10,12)",
                              "LineTo(10,12->113,12) pen=00FFFF", "MoveTo(10,16)",
                              "LineTo(10,16->160,16) pen=00FFFF"}},
                      BarRow{0,
                             1,
                             0,
                             {"MoveTo(10,8)", "LineTo(10,8->10,8) pen=00FFFF", "MoveTo(10,12)",
                              "LineTo(10,12->11,12) pen=00FFFF", "MoveTo(10,16)",
                              "LineTo(10,16->10,16) pen=00FFFF"}}));

struct ApexRow {
  const char* Name;
  TipOffset Hour, Minute, Second;
  std::string Marker;  // empty: no marker
};

void PrintTo(const ApexRow& c, std::ostream* os) { *os << c.Name; }

class ApexTest : public ::testing::TestWithParam<ApexRow> {};

TEST_P(ApexTest, RedMarkerOnTheStrictlyHighestTip) {
  const ApexRow& row = GetParam();
  ClockState state;
  state.CentreX = 136.0F;
  state.CentreY = 138.0F;
  state.HourTip = row.Hour;
  state.MinuteTip = row.Minute;
  state.SecondTip = row.Second;
  RecordingCanvas canvas;
  canvas.SetBrushColor(kTeal);
  canvas.SetBrushStyle(kBsCross);
  DrawApexMarker(state, canvas);
  if (row.Marker.empty()) {
    EXPECT_TRUE(canvas.Calls.empty());
  } else {
    ASSERT_EQ(canvas.Calls.size(), 1U);
    EXPECT_EQ(Describe(canvas.Calls[0]), row.Marker + " pen=0000FF brush=808000/6");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tips, ApexTest,
    ::testing::Values(
        ApexRow{"Hour", {10.5F, -50.25F}, {0, -40}, {0, -30}, "Ellipse(144,85,148,89)"},
        ApexRow{"Minute", {0, -40}, {-20.0F, -60.0F}, {0, -30}, "Ellipse(114,76,118,80)"},
        ApexRow{"Second", {0, -40}, {0, -30}, {0.0F, -114.4F}, "Ellipse(134,21,138,25)"},
        ApexRow{"HourTiesMinute", {5, -60}, {-5, -60}, {0, -30}, ""},
        ApexRow{"AllLevel", {5, 0}, {-5, 0}, {9, 0}, ""},
        ApexRow{
            "MinuteTiesSecondBelowHour", {0, -70}, {3, -60}, {-3, -60}, "Ellipse(134,66,138,70)"},
        // Each bound truncates toward zero on its own: -3.5 -> -3, 0.5 -> 0.
        ApexRow{"LeftOfTheWindow", {-137.5F, -140.5F}, {0, 0}, {0, 0}, "Ellipse(-3,-4,0,0)"}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(OverlayTest, HandsSetPenAndSolidBrushBeforeEachLine) {
  ClockState state;
  state.CentreX = 136.0F;
  state.CentreY = 138.0F;
  state.HourTip = TipOffset{63.0F, 0.0F};
  state.MinuteTip = TipOffset{0.0F, -92.95F};
  state.SecondTip = TipOffset{-5.86F, 114.24F};
  RecordingCanvas canvas;
  canvas.SetBrushStyle(kBsVertical);
  DrawHands(state, canvas);
  const std::vector<std::string> expected = {
      "MoveTo(136,138)", "LineTo(136,138->199,138) pen=FF0000",
      "MoveTo(136,138)", "LineTo(136,138->136,45) pen=FF0000",
      "MoveTo(136,138)", "LineTo(136,138->130,252) pen=FFFFFF",
  };
  EXPECT_EQ(Describe(canvas.Calls), expected);
  EXPECT_EQ(canvas.Calls[1].BrushColor, kBlue);
  EXPECT_EQ(canvas.Calls[1].BrushStyle, kBsSolid);
  EXPECT_EQ(canvas.GetBrushColor(), kBlack);
  EXPECT_EQ(canvas.GetBrushStyle(), kBsSolid);
}

TEST_F(FrameTest, AllHandsUpPutsTheApexMarkerOnTheSecondTip) {
  Clock.Set(At(0, 0, 0, 0));
  Set(PanelCheckBox::kShowLineLengths, true);
  const std::vector<CanvasCall> calls = FrameCalls();
  // Background, dial, dot, numerals, hour-tip marker, 3 bars, apex marker.
  ASSERT_GE(calls.size(), 15U);
  EXPECT_EQ(Describe(calls[7]), "Ellipse(134,71,138,75) pen=00FFFF brush=FF0000/0");
  EXPECT_EQ(Describe(calls[14]), "Ellipse(134,21,138,25) pen=0000FF brush=FF0000/0");
  // The sides (27, 49, 21) as bars.
  EXPECT_EQ(calls[9].X2, 10 + State.SideHourMinute);
  EXPECT_EQ(calls[11].X2, 10 + State.SideHourSecond);
  EXPECT_EQ(calls[13].X2, 10 + State.SideMinuteSecond);
  EXPECT_EQ(State.SideHourMinute, 27);
  EXPECT_EQ(State.SideHourSecond, 49);
  EXPECT_EQ(State.SideMinuteSecond, 21);
}

}  // namespace
}  // namespace trilume::testing
