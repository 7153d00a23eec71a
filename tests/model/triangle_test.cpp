// SPDX-License-Identifier: MIT
#include "model/triangle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <string>

#include "model/date_time.h"
#include "model/hand_geometry.h"
#include "tests/support/encode_date_time.h"

namespace trilume {
namespace {

// --- PixelDistance ---------------------------------------------------------------

struct DistanceCase {
  const char* Name;
  float X1, Y1, X2, Y2;
  std::int32_t Expected;
};

// Names the case in test listings.
void PrintTo(const DistanceCase& c, std::ostream* os) { *os << c.Name; }

class PixelDistanceTest : public ::testing::TestWithParam<DistanceCase> {};

TEST_P(PixelDistanceTest, TruncatesAsMeasured) {
  const DistanceCase& c = GetParam();
  EXPECT_EQ(PixelDistance(c.X1, c.Y1, c.X2, c.Y2), c.Expected);
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Points, PixelDistanceTest,
    ::testing::Values(
        // x1 and y2 are truncated first, x2 and y1 are not: order matters.
        DistanceCase{"XForward", 0.5F, 0.0F, 3.7F, 0.0F, 3},
        DistanceCase{"XSwapped", 3.7F, 0.0F, 0.5F, 0.0F, 2},
        DistanceCase{"YForward", 0.0F, 0.5F, 0.0F, 3.7F, 2},
        DistanceCase{"YSwapped", 0.0F, 3.7F, 0.0F, 0.5F, 3},
        DistanceCase{"TowardZeroOnNegatives", -0.9F, 0.0F, -3.7F, 0.0F, 3},
        DistanceCase{"ThreeFourFive", 0.0F, 0.0F, 3.0F, 4.0F, 5},
        DistanceCase{"RootTruncated", 0.0F, 0.0F, 1.0F, 1.0F, 1},
        DistanceCase{"JustBelowASquare", 0.0F, 0.0F, 4.0F, 7.0F, 8},  // sqrt(65)
        DistanceCase{"SamePoint", 5.5F, -5.5F, 5.5F, -5.5F, 0},
        // A window far beyond any screen must not overflow or become undefined.
        DistanceCase{"FarApartSaturates", -3e9F, 0.0F, 3e9F, 0.0F, kMaxInt},
        DistanceCase{"LargeButExact", 0.0F, 0.0F, 60000.0F, 80000.0F, 100000},
        DistanceCase{"NaNDifferenceCountsAsZero", kNaN, 0.0F, 3.0F, 4.0F, 4}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

// --- Classification from the sides, with carried-over values ----------------------------

struct Sides {
  std::int32_t HourMinute;
  std::int32_t HourSecond;
  std::int32_t MinuteSecond;
};

struct ClassifyCase {
  const char* Name;
  std::optional<Sides> Earlier;  // a frame measured before, or a fresh start
  Sides Now;
  std::string_view TriangleKind;
  std::string_view AngleKind;
  std::int32_t UnitsAtSecond;
  std::int32_t UnitsAtMinute;
  std::int32_t UnitsAtHour;
};

// Names the case in test listings.
void PrintTo(const ClassifyCase& c, std::ostream* os) { *os << c.Name; }

class Classification : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(Classification, NamesTheTriangle) {
  const ClassifyCase& c = GetParam();
  ClockState state;
  if (c.Earlier) {
    ClassifyTriangle(state, c.Earlier->HourMinute, c.Earlier->HourSecond, c.Earlier->MinuteSecond);
  }
  ClassifyTriangle(state, c.Now.HourMinute, c.Now.HourSecond, c.Now.MinuteSecond);
  EXPECT_EQ(state.TriangleKind, c.TriangleKind);
  EXPECT_EQ(state.AngleKind, c.AngleKind);
  EXPECT_EQ(state.UnitsAtSecond, c.UnitsAtSecond);
  EXPECT_EQ(state.UnitsAtMinute, c.UnitsAtMinute);
  EXPECT_EQ(state.UnitsAtHour, c.UnitsAtHour);
  EXPECT_EQ(state.SideHourMinute, c.Now.HourMinute);
  EXPECT_EQ(state.SideHourSecond, c.Now.HourSecond);
  EXPECT_EQ(state.SideMinuteSecond, c.Now.MinuteSecond);
}

constexpr Sides kEquilateral100{100, 100, 100};
constexpr Sides kRightAtHour{30, 40, 50};

INSTANTIATE_TEST_SUITE_P(
    Fresh, Classification,
    ::testing::Values(
        ClassifyCase{"Equilateral", {}, {100, 100, 100}, kEquilateral, kAcute, 62, 62, 62},
        // A true right angle is 94 units, outside 89..91.
        ClassifyCase{"TrueRightAngle", {}, {30, 40, 50}, kScalene, kObtuse, 38, 55, 94},
        ClassifyCase{"RightBand", {}, {100, 100, 137}, kRight, kObtuse, 48, 48, 90},
        ClassifyCase{
            "IsoscelesReplacesScalene", {}, {100, 103, 150}, kIsosceles, kObtuse, 43, 45, 99},
        ClassifyCase{"ScaleneAcute", {}, {120, 100, 80}, kScalene, kAcute, 86, 58, 43},
        ClassifyCase{"FlatSidesAddUp", {}, {40, 70, 30}, kAlignment, kAcute, 0, 0, 0},
        ClassifyCase{"FlatSidesDoNotAddUp", {}, {27, 49, 21}, kAlignment, kAcute, 0, 0, 0},
        ClassifyCase{"ZeroSide", {}, {0, 50, 50}, kAlignment, kAcute, 0, 0, 0},
        ClassifyCase{"AllZero", {}, {0, 0, 0}, kAlignment, kAcute, 0, 0, 0}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    AfterAProperTriangle, Classification,
    ::testing::Values(
        // Cosines exactly 1, -1 and 1: the angles become 0, pi and 0.
        ClassifyCase{
            "FlatSidesAddUp", kEquilateral100, {40, 70, 30}, kAlignment, kObtuse, 0, 188, 0},
        // No cosine can be taken: the earlier frame's angles decide.
        ClassifyCase{"FlatAfterEquilateral",
                     kEquilateral100,
                     {27, 49, 21},
                     kEquilateral,
                     kAcute,
                     62,
                     62,
                     62},
        ClassifyCase{
            "FlatAfterRightAngle", kRightAtHour, {27, 49, 21}, kScalene, kObtuse, 38, 55, 94},
        // Only the angle at the second tip can be taken (cosine 1).
        ClassifyCase{"ZeroSide", kEquilateral100, {0, 50, 50}, kAlignment, kAcute, 0, 62, 62},
        // Units 0, 48, 90: the name follows the later step, not the band.
        ClassifyCase{"AlignmentOutranksRight",
                     Sides{100, 100, 137},
                     {0, 50, 50},
                     kAlignment,
                     kObtuse,
                     0,
                     48,
                     90},
        ClassifyCase{"ProperTriangleStillMeasuredAfresh",
                     kRightAtHour,
                     {100, 100, 100},
                     kEquilateral,
                     kAcute,
                     62,
                     62,
                     62}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(CarriedValues, CircumradiusChangesOnlyWithAPositiveArea) {
  ClockState state;
  ClassifyTriangle(state, 40, 70, 30);
  EXPECT_EQ(state.Circumradius, 0.0F);
  ClassifyTriangle(state, 30, 40, 50);
  EXPECT_FLOAT_EQ(state.Circumradius, 25.0F);
  ClassifyTriangle(state, 27, 49, 21);
  EXPECT_FLOAT_EQ(state.Circumradius, 25.0F);
  ClassifyTriangle(state, 0, 0, 0);
  EXPECT_FLOAT_EQ(state.Circumradius, 25.0F);
  EXPECT_FLOAT_EQ(state.AngleAtHour, static_cast<float>(std::acos(0.0)));
}

// --- MeasureTriangle on the frame's own tips --------------------------------------------

ClockState Frame(ClockState state, const char* text, int millisecond) {
  const TDateTime start = EncodeDate(2026, 12, 8) + EncodeTime(0, 0, 0, millisecond);
  ComputeHandTips(state, ReadHandValues(text, start), 280, 310);
  MeasureTriangle(state);
  return state;
}

TEST(MeasureTriangleFrame, MidnightInTheStartUpWindow) {
  const ClockState state = Frame(ClockState{}, "00:00:00", 0);
  EXPECT_EQ(state.SideHourMinute, 27);
  EXPECT_EQ(state.SideHourSecond, 49);
  EXPECT_EQ(state.SideMinuteSecond, 21);
  EXPECT_EQ(state.TriangleKind, kAlignment);
  EXPECT_EQ(state.AngleKind, kAcute);
}

TEST(MeasureTriangleFrame, MeasuresTheTipsNotTheCentre) {
  ClockState moved;
  moved.CentreX = 500.0F;
  moved.CentreY = -40.0F;
  const ClockState a = Frame(ClockState{}, "10:10:40", 0);
  const ClockState b = Frame(moved, "10:10:40", 0);
  EXPECT_EQ(a.SideHourMinute, b.SideHourMinute);
  EXPECT_EQ(a.SideHourSecond, b.SideHourSecond);
  EXPECT_EQ(a.SideMinuteSecond, b.SideMinuteSecond);
  EXPECT_EQ(a.TriangleKind, b.TriangleKind);
}

// Runs a whole day of frames in every movement mode and checks what every
// frame must end with, whatever carried over from the frames before.
TEST(MeasureTriangleFrame, EveryFrameEndsNamed) {
  for (const MovementMode& mode : kMovementModes) {
    ClockState state;
    SelectTickDivisor(state, mode.Name);
    for (int second = 0; second < 86'400; second += 37) {
      const int millisecond = (second * 7) % 1000;
      const TDateTime start = EncodeTime(second / 3600, second / 60 % 60, second % 60, millisecond);
      const std::string text = TimeToStr(start).substr(0, 8);
      ComputeHandTips(state, ReadHandValues(text, start), 280, 310);
      MeasureTriangle(state);
      SCOPED_TRACE(std::string(mode.Name) + " " + text);
      ASSERT_NE(state.TriangleKind, kUncalculated);
      ASSERT_TRUE(state.AngleKind == kObtuse || state.AngleKind == kAcute);
      const bool anyObtuse =
          state.UnitsAtSecond >= 90 || state.UnitsAtMinute >= 90 || state.UnitsAtHour >= 90;
      EXPECT_EQ(state.AngleKind == kObtuse, anyObtuse);
      if (state.TriangleKind == kRight) {
        const auto inBand = [](std::int32_t u) { return u >= 89 && u <= 91; };
        EXPECT_TRUE(inBand(state.UnitsAtSecond) || inBand(state.UnitsAtMinute) ||
                    inBand(state.UnitsAtHour));
      }
      for (const std::int32_t units :
           {state.UnitsAtSecond, state.UnitsAtMinute, state.UnitsAtHour}) {
        ASSERT_GE(units, 0);
        ASSERT_LE(units, 188);
      }
    }
  }
}

}  // namespace
}  // namespace trilume
