// SPDX-License-Identifier: MIT
#include "model/free_flight.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>

namespace trilume {
namespace {

constexpr int kWidth = 280;
constexpr int kHeight = 310;

struct Axis {
  float Centre;
  std::int32_t Drift;
  float Tips[3];  // hour, minute, second offsets along this axis
};

struct StepCase {
  const char* Name;
  Axis Before;
  float CentreAfter;
  std::int32_t DriftAfter;
};

// Where one axis of the flight lives in the state: the centre, the drift and
// the tip offsets along it.
template <class Field, class Owner>
using MemberOf = Field Owner::*;

struct AxisFields {
  MemberOf<float, ClockState> Centre;
  MemberOf<std::int32_t, ClockState> Drift;
  MemberOf<float, TipOffset> Tip;
};

constexpr AxisFields kAlongX{&ClockState::CentreX, &ClockState::DriftX, &TipOffset::X};
constexpr AxisFields kAlongY{&ClockState::CentreY, &ClockState::DriftY, &TipOffset::Y};

// The axis a case runs along, with 280 as its far edge, and the other axis
// with the clock well inside a far edge of 1000.
struct Direction {
  const char* Name;
  AxisFields Along;
  AxisFields Across;
  float AcrossCentre;
  int Width;
  int Height;
};

// Names the case in test listings.
void PrintTo(const StepCase& c, std::ostream* os) { *os << c.Name; }
void PrintTo(const Direction& d, std::ostream* os) { *os << d.Name; }

// The same cases hold for both axes.
class FreeFlightAxis : public ::testing::TestWithParam<std::tuple<Direction, StepCase>> {};

TEST_P(FreeFlightAxis, TurnsOnlyBeyondAnEdge) {
  const auto& [d, c] = GetParam();
  ClockState state;
  state.*d.Along.Centre = c.Before.Centre;
  state.*d.Along.Drift = c.Before.Drift;
  state.HourTip.*d.Along.Tip = c.Before.Tips[0];
  state.MinuteTip.*d.Along.Tip = c.Before.Tips[1];
  state.SecondTip.*d.Along.Tip = c.Before.Tips[2];
  state.*d.Across.Centre = d.AcrossCentre;
  FreeFlightStep(state, d.Width, d.Height);
  EXPECT_EQ(state.*d.Along.Centre, c.CentreAfter);
  EXPECT_EQ(state.*d.Along.Drift, c.DriftAfter);
  EXPECT_EQ(state.*d.Across.Centre, d.AcrossCentre - 1.0F);
  EXPECT_EQ(state.*d.Across.Drift, -1);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FreeFlightAxis,
    ::testing::Combine(
        ::testing::Values(Direction{"Horizontal", kAlongX, kAlongY, 150.0F, 280, 1000},
                          Direction{"Vertical", kAlongY, kAlongX, 140.0F, 1000, 280}),
        ::testing::Values(
            StepCase{"InsideKeepsGoing", {136.0F, -1, {0.0F, 0.0F, 0.0F}}, 135.0F, -1},
            StepCase{"PastTheNearEdgeTurns", {2.5F, -1, {-1.0F, 5.0F, 5.0F}}, 1.5F, 1},
            StepCase{"ExactlyOneIsNotBeyond", {3.0F, -1, {-1.0F, 5.0F, 5.0F}}, 2.0F, -1},
            StepCase{"PastTheFarEdgeTurns", {270.0F, 1, {11.0F, 0.0F, 0.0F}}, 271.0F, -1},
            StepCase{"ExactlyTheEdgeIsNotBeyond", {268.0F, 1, {11.0F, 0.0F, 0.0F}}, 269.0F, 1},
            StepCase{"TheMovedCentreIsTested", {269.0F, 1, {11.0F, 0.0F, 0.0F}}, 270.0F, -1},
            // Left beyond an edge while heading further out: turn inward, not flip.
            StepCase{"BeyondFarEdgeHeadingIn", {400.0F, -1, {0.0F, 0.0F, 0.0F}}, 399.0F, -1},
            StepCase{"BeyondNearEdgeHeadingIn", {-50.0F, 1, {0.0F, 0.0F, 0.0F}}, -49.0F, 1},
            // Wider than the window: both tests fire and the direction stays.
            StepCase{"BothEdgesHeadingUp", {140.0F, -1, {-200.0F, 200.0F, 0.0F}}, 139.0F, -1},
            StepCase{"BothEdgesHeadingDown", {140.0F, 1, {-200.0F, 200.0F, 0.0F}}, 141.0F, 1},
            // 0.5 + 0.49999997 is below 1 in double but rounds to 1 in float.
            StepCase{"SumFormedInDouble", {1.5F, -1, {0.49999997F, 50.0F, 50.0F}}, 0.5F, 1})),
    [](const auto& testInfo) {
      return std::string(std::get<0>(testInfo.param).Name) + "_" + std::get<1>(testInfo.param).Name;
    });

// A window shrunk under a flying clock: the clock must come back, not
// tremble in place outside.
TEST(FreeFlightReturn, ClockLeftBeyondRightAndBottomComesBack) {
  ClockState state;
  state.CentreX = 600.0F;
  state.CentreY = 700.0F;
  state.DriftX = 1;
  state.DriftY = 1;
  state.HourTip = {63.0F, 0.0F};
  state.MinuteTip = {0.0F, -92.95F};
  state.SecondTip = {0.0F, 114.4F};
  int steps = 0;
  const auto outside = [&state] {
    return state.CentreX + state.HourTip.X > kWidth || state.CentreY + state.SecondTip.Y > kHeight;
  };
  while (outside() && steps < 2000) {
    FreeFlightStep(state, kWidth, kHeight);
    ++steps;
  }
  EXPECT_FALSE(outside());
  EXPECT_LT(steps, 1000);
  // Once inside it bounces between the edges as usual.
  for (int i = 0; i < 5000; ++i) {
    FreeFlightStep(state, kWidth, kHeight);
    ASSERT_GE(state.CentreX + state.HourTip.X, 0.0F);
    ASSERT_LE(state.CentreX + state.HourTip.X, kWidth + 1.0F);
    ASSERT_GE(state.CentreY + state.MinuteTip.Y, 0.0F);
    ASSERT_LE(state.CentreY + state.SecondTip.Y, kHeight + 1.0F);
  }
}

TEST(FreeFlightReturn, FirstStepAfterStartUpHeadsUpAndLeft) {
  ClockState state;
  state.CentreX = 136.0F;
  state.CentreY = 138.0F;
  state.HourTip = {0.0F, -64.35F};
  state.MinuteTip = {0.0F, -92.95F};
  state.SecondTip = {0.0F, -114.4F};
  FreeFlightStep(state, kWidth, kHeight);
  EXPECT_EQ(state.CentreX, 135.0F);
  EXPECT_EQ(state.CentreY, 137.0F);
  EXPECT_EQ(state.DriftX, -1);
  EXPECT_EQ(state.DriftY, -1);
}

}  // namespace
}  // namespace trilume
