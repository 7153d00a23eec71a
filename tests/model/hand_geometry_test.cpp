// SPDX-License-Identifier: MIT
#include "model/hand_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <ostream>
#include <string>

#include "model/date_time.h"
#include "tests/support/encode_date_time.h"

namespace trilume {
namespace {

constexpr int kWidth = 280;
constexpr int kHeight = 310;

struct Instant {
  int Hour;
  int Minute;
  int Second;
  int Millisecond;
};

std::string TwoDigits(int value) {
  return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

// Runs the frame's three steps for an instant shown in the HH:MM:SS shape.
ClockState TipsAt(const Instant& at, std::string_view mode, int width = kWidth,
                  int height = kHeight) {
  ClockState state;
  SelectTickDivisor(state, mode);
  const std::string text =
      TwoDigits(at.Hour) + ":" + TwoDigits(at.Minute) + ":" + TwoDigits(at.Second);
  const TDateTime frameStart =
      EncodeDate(2026, 12, 8) + EncodeTime(at.Hour, at.Minute, at.Second, at.Millisecond);
  ComputeHandTips(state, ReadHandValues(text, frameStart), width, height);
  return state;
}

// --- Tips at given instants ------------------------------------------------------

struct TipCase {
  const char* Name;
  Instant At;
  const char* Mode;
  TipOffset Hour;
  TipOffset Minute;
  TipOffset Second;
};

void ExpectTipNear(const TipOffset& actual, const TipOffset& expected, const char* hand) {
  EXPECT_NEAR(actual.X, expected.X, 0.005) << hand;
  EXPECT_NEAR(actual.Y, expected.Y, 0.005) << hand;
}

// Names the case in test listings.
void PrintTo(const TipCase& c, std::ostream* os) { *os << c.Name; }

class WorkedTips : public ::testing::TestWithParam<TipCase> {};

TEST_P(WorkedTips, MatchToTwoDecimals) {
  const TipCase& c = GetParam();
  const ClockState state = TipsAt(c.At, c.Mode);
  ExpectTipNear(state.HourTip, c.Hour, "hour");
  ExpectTipNear(state.MinuteTip, c.Minute, "minute");
  ExpectTipNear(state.SecondTip, c.Second, "second");
}

constexpr TipOffset kHourUp{0.0F, -64.35F};
constexpr TipOffset kMinuteUp{0.0F, -92.95F};
constexpr TipOffset kSecondUp{0.0F, -114.40F};

INSTANTIATE_TEST_SUITE_P(
    StartUpWindow, WorkedTips,
    ::testing::Values(
        TipCase{"Midnight", {0, 0, 0, 0}, "SMOOTH", kHourUp, kMinuteUp, kSecondUp},
        TipCase{"ThreeOClock", {3, 0, 0, 0}, "SMOOTH", {63.0F, 0.0F}, kMinuteUp, kSecondUp},
        TipCase{"QuarterPast", {0, 15, 30, 0}, "SMOOTH", kHourUp, {91.0F, 0.0F}, {0.0F, 114.40F}},
        TipCase{"HalfSecondSmooth",
                {0, 15, 30, 500},
                "SMOOTH",
                kHourUp,
                {91.0F, 0.0F},
                {-5.86F, 114.24F}},
        TipCase{"HalfSecondFast", {0, 15, 30, 500}, "FAST", kHourUp, {91.0F, 0.0F}, kSecondUp},
        TipCase{"OnePmLikeOneAm", {13, 0, 0, 0}, "SMOOTH", {31.50F, -55.73F}, kMinuteUp, kSecondUp},
        TipCase{"OneAm", {1, 0, 0, 0}, "SMOOTH", {31.50F, -55.73F}, kMinuteUp, kSecondUp}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

// Exact floats from an independent double-precision computation that keeps
// each cosine and sine as a float. Keeping them as doubles, or forming the
// products in float, moves at least one of these by an ulp or more.
class ExactTips : public ::testing::TestWithParam<TipCase> {};

TEST_P(ExactTips, MatchBitForBit) {
  const TipCase& c = GetParam();
  const ClockState state = TipsAt(c.At, c.Mode);
  EXPECT_EQ(state.HourTip.X, c.Hour.X);
  EXPECT_EQ(state.HourTip.Y, c.Hour.Y);
  EXPECT_EQ(state.MinuteTip.X, c.Minute.X);
  EXPECT_EQ(state.MinuteTip.Y, c.Minute.Y);
  EXPECT_EQ(state.SecondTip.X, c.Second.X);
  EXPECT_EQ(state.SecondTip.Y, c.Second.Y);
}

INSTANTIATE_TEST_SUITE_P(StartUpWindow, ExactTips,
                         ::testing::Values(TipCase{"Midnight",
                                                   {0, 0, 0, 0},
                                                   "SMOOTH",
                                                   {0.0001272357621928677F, -64.3499984741211F},
                                                   {1.242432432491114e-07F, -92.94999694824219F},
                                                   {1.5291475108369923e-07F, -114.4000015258789F}},
                                           TipCase{"LastMillisecondOfFirstSecond",
                                                   {0, 0, 0, 999},
                                                   "SMOOTH",
                                                   {0.0001272357621928677F, -64.3499984741211F},
                                                   {1.242432432491114e-07F, -92.94999694824219F},
                                                   {11.695528984069824F, -113.77455139160156F}},
                                           TipCase{"ElevenSeconds",
                                                   {0, 0, 11, 0},
                                                   "SMOOTH",
                                                   {0.0001272357621928677F, -64.3499984741211F},
                                                   {1.242432432491114e-07F, -92.94999694824219F},
                                                   {102.31708526611328F, -46.530670166015625F}},
                                           TipCase{"Noon",
                                                   {12, 0, 0, 0},
                                                   "SMOOTH",
                                                   {-0.00036461654235608876F, -64.3499984741211F},
                                                   {1.242432432491114e-07F, -92.94999694824219F},
                                                   {1.5291475108369923e-07F, -114.4000015258789F}},
                                           TipCase{"LateEveningTick",
                                                   {23, 59, 59, 999},
                                                   "TICK",
                                                   {-31.50048065185547F, -55.728450775146484F},
                                                   {-9.512608528137207F, -92.44075775146484F},
                                                   {-11.008439064025879F, -113.84605407714844F}}),
                         [](const auto& testInfo) { return std::string(testInfo.param.Name); });

// --- The step factor changes above 29 ---------------------------------------------
//
// Each factor differs from pi/30 in the seventh digit, so a hand near a
// quarter position leans to one side or the other by a fraction of a pixel.

INSTANTIATE_TEST_SUITE_P(FactorBoundary, ExactTips,
                         ::testing::Values(TipCase{"HourValue25",
                                                   {5, 0, 0, 0},
                                                   "SMOOTH",
                                                   {31.499828338623047F, 55.72883605957031F},
                                                   {1.242432432491114e-07F, -92.94999694824219F},
                                                   {1.5291475108369923e-07F, -114.4000015258789F}},
                                           TipCase{"HourValue30",
                                                   {6, 0, 0, 0},
                                                   "SMOOTH",
                                                   {0.00026044039987027645F, 64.3499984741211F},
                                                   {1.242432432491114e-07F, -92.94999694824219F},
                                                   {1.5291475108369923e-07F, -114.4000015258789F}},
                                           TipCase{"Minute29",
                                                   {9, 29, 0, 0},
                                                   "SMOOTH",
                                                   {-63.0F, 0.0003192255098838359F},
                                                   {9.512090682983398F, 92.44084167480469F},
                                                   {1.5291475108369923e-07F, -114.4000015258789F}},
                                           TipCase{"Minute30",
                                                   {9, 30, 0, 0},
                                                   "SMOOTH",
                                                   {-63.0F, 0.0003192255098838359F},
                                                   {0.00037619168870151043F, 92.94999694824219F},
                                                   {1.5291475108369923e-07F, -114.4000015258789F}},
                                           TipCase{"Second29AlmostThirty",
                                                   {17, 42, 29, 999},
                                                   "SMOOTH",
                                                   {31.500391006469727F, 55.7285041809082F},
                                                   {-86.54601287841797F, 28.723554611206055F},
                                                   {0.011723406612873077F, 114.4000015258789F}},
                                           TipCase{"Second30JustPast",
                                                   {17, 42, 30, 1},
                                                   "SMOOTH",
                                                   {31.500391006469727F, 55.7285041809082F},
                                                   {-86.54601287841797F, 28.723554611206055F},
                                                   {-0.011265606619417667F, 114.4000015258789F}}),
                         [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(FactorBoundary, NoonHourTipIsDrawnOneColumnLeftOfMidnight) {
  const float centreX = 136.0F;
  const float noon = TipsAt({12, 0, 0, 0}, "SMOOTH").HourTip.X;
  const float midnight = TipsAt({0, 0, 0, 0}, "SMOOTH").HourTip.X;
  EXPECT_NEAR(noon, -0.0004F, 0.0001F);
  EXPECT_EQ(static_cast<int>(centreX + noon), 135);
  EXPECT_EQ(static_cast<int>(centreX + midnight), 136);
}

// --- Movement modes ----------------------------------------------------------------

// Where a second-hand tip points, in dial steps 0..60, read back geometrically.
double SecondHandSteps(const ClockState& state) {
  const double scaleX = (kWidth / 2) * 0.8;
  const double scaleY = (kHeight / 2 - 12) * 0.8;
  const double angle = std::atan2(static_cast<double>(state.SecondTip.Y) / scaleY,
                                  static_cast<double>(state.SecondTip.X) / scaleX);
  return std::fmod(angle / (std::numbers::pi / 30.0) + 15.0 + 120.0, 60.0);
}

// Forward distance on the dial from `from` to `to`, in [0, 60).
double Forward(double from, double to) { return std::fmod(to - from + 120.0, 60.0); }

struct ModeCase {
  const char* Mode;
  std::int32_t Divisor;
  double AdvanceAt500;
  double AdvanceAt999;
  double MoveAtTurn;  // signed, as the hand travels when the next second begins
};

// Names the case in test listings.
void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.Mode; }

class MovementModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(MovementModes, SecondHandAdvancesAsTheModeSays) {
  const ModeCase& c = GetParam();
  const double whole = SecondHandSteps(TipsAt({8, 20, 10, 0}, c.Mode));
  const double at500 = SecondHandSteps(TipsAt({8, 20, 10, 500}, c.Mode));
  const double at999 = SecondHandSteps(TipsAt({8, 20, 10, 999}, c.Mode));
  const double next = SecondHandSteps(TipsAt({8, 20, 11, 0}, c.Mode));
  EXPECT_NEAR(whole, 10.0, 1e-4);
  EXPECT_NEAR(Forward(whole, at500), std::fmod(c.AdvanceAt500, 60.0), 1e-3);
  EXPECT_NEAR(Forward(whole, at999), std::fmod(c.AdvanceAt999, 60.0), 1e-3);
  EXPECT_NEAR(Forward(at999, next), std::fmod(c.MoveAtTurn + 60.0, 60.0), 1e-3);

  ClockState state;
  SelectTickDivisor(state, c.Mode);
  EXPECT_EQ(state.TickDivisor, c.Divisor);
}

INSTANTIATE_TEST_SUITE_P(Modes, MovementModes,
                         ::testing::Values(ModeCase{"TICK", 1000, 0.03, 0.06, 0.94},
                                           ModeCase{"TICK2", 100, 0.3, 0.599, 0.40},
                                           ModeCase{"FAST", 1, 30.0, 59.94, -58.94},
                                           ModeCase{"SMOOTH", 60, 0.5, 0.999, 0.001},
                                           ModeCase{"TICKBACK2", 10, 3.0, 5.994, -4.994},
                                           ModeCase{"HALFBACK", 500, 0.06, 0.12, 0.88},
                                           ModeCase{"TICKBACK1", 30, 1.0, 1.998, -0.998}),
                         [](const auto& testInfo) { return std::string(testInfo.param.Mode); });

TEST(MovementText, OnlyExactNamesChangeTheDivisor) {
  ClockState state;
  EXPECT_EQ(state.TickDivisor, 60);
  SelectTickDivisor(state, "FAST");
  EXPECT_EQ(state.TickDivisor, 1);
  for (const char* text : {"smooth", "SMOOTH ", " TICK", "TICK3", "", "Fast"}) {
    SelectTickDivisor(state, text);
    EXPECT_EQ(state.TickDivisor, 1) << "'" << text << "'";
  }
  SelectTickDivisor(state, "TICK");
  EXPECT_EQ(state.TickDivisor, 1000);
}

// --- Hour and minute hands move in whole steps ------------------------------------------

TEST(WholeSteps, HourAndMinuteHandsStandStillWithinTheirStep) {
  const ClockState start = TipsAt({5, 17, 0, 0}, "SMOOTH");
  const ClockState end = TipsAt({5, 17, 59, 999}, "SMOOTH");
  EXPECT_EQ(start.HourTip.X, end.HourTip.X);
  EXPECT_EQ(start.HourTip.Y, end.HourTip.Y);
  EXPECT_EQ(start.MinuteTip.X, end.MinuteTip.X);
  EXPECT_EQ(start.MinuteTip.Y, end.MinuteTip.Y);
}

TEST(WholeSteps, HandsJumpAtTheTurnOfTheMinuteAndTheHour) {
  const auto angle = [](const TipOffset& tip, double length) {
    return std::atan2(static_cast<double>(tip.Y) / ((kHeight / 2 - 12) * length),
                      static_cast<double>(tip.X) / ((kWidth / 2) * length));
  };
  const ClockState before = TipsAt({5, 59, 59, 999}, "SMOOTH");
  const ClockState after = TipsAt({6, 0, 0, 0}, "SMOOTH");
  // The step factors differ from pi/30 by up to 6e-8, hence the tolerance.
  const double sixDegrees = std::numbers::pi / 30.0;
  // 05 -> 06 is five steps clockwise for the hour hand.
  EXPECT_NEAR(angle(after.HourTip, 0.45) - angle(before.HourTip, 0.45), 5 * sixDegrees, 2e-5);
  // 59 -> 00 is one step clockwise for the minute hand, across the wrap.
  const double minuteTurn = std::remainder(
      angle(after.MinuteTip, 0.65) - angle(before.MinuteTip, 0.65), 2 * std::numbers::pi);
  EXPECT_NEAR(minuteTurn, sixDegrees, 2e-5);
}

TEST(WindowSize, TipsScaleWithTheOuterSizeNotTheCentre) {
  // Width 281 halves to the same 140 as 280; height 100 gives a scale of 38.
  const ClockState state = TipsAt({3, 0, 0, 0}, "SMOOTH", 281, 100);
  EXPECT_NEAR(state.HourTip.X, 140 * 0.45, 1e-4);
  EXPECT_NEAR(state.SecondTip.Y, -38 * 0.8, 1e-4);
}

// --- Reading the time text ------------------------------------------------------------

struct TextCase {
  const char* Name;
  std::string Text;
  float Hour;
  float Minute;
  float Second;
};

// Names the case in test listings.
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.Name; }

class ReadsTimeText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ReadsTimeText, CutsCharactersNotBytes) {
  const TextCase& c = GetParam();
  const HandValues values = ReadHandValues(c.Text, 0.0);
  EXPECT_EQ(values.HourValue, c.Hour);
  EXPECT_EQ(values.MinuteValue, c.Minute);
  EXPECT_EQ(values.SecondValue, c.Second);
  EXPECT_EQ(values.MillisecondFraction, 0.0F);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadsTimeText,
    ::testing::Values(TextCase{"TwentyFourHour", "23:59:59", 115.0F, 59.0F, 59.0F},
                      TextCase{"Afternoon", "13:07:08", 65.0F, 7.0F, 8.0F},
                      TextCase{"TrailingMarkerIgnored", "12:15:30 PM", 60.0F, 15.0F, 30.0F},
                      TextCase{"AnySeparator", "01.02.03", 5.0F, 2.0F, 3.0F},
                      TextCase{"JapaneseSeparators",
                               "00\xE6\x99\x82"
                               "15\xE5\x88\x86"
                               "30\xE7\xA7\x92",
                               0.0F, 15.0F, 30.0F},
                      TextCase{"FourByteSeparator",
                               "10\xF0\x9F\x95\x9B"
                               "20\xF0\x9F\x95\x9B"
                               "30",
                               50.0F, 20.0F, 30.0F},
                      TextCase{"InvalidByteIsOneCharacter",
                               "10\xFF"
                               "20\x80"
                               "30",
                               50.0F, 20.0F, 30.0F}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

struct BadTextCase {
  const char* Name;
  std::string Text;
  std::string Message;
};

// Names the case in test listings.
void PrintTo(const BadTextCase& c, std::ostream* os) { *os << c.Name; }

class RejectsTimeText : public ::testing::TestWithParam<BadTextCase> {};

TEST_P(RejectsTimeText, ThrowsAndLeavesTheTipsAlone) {
  const BadTextCase& c = GetParam();
  ClockState state = TipsAt({3, 0, 0, 0}, "SMOOTH");
  const ClockState before = state;
  try {
    ComputeHandTips(state, ReadHandValues(c.Text, 0.0), kWidth, kHeight);
    FAIL() << "accepted the text";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), c.Message.c_str());
  }
  EXPECT_EQ(state.HourTip.X, before.HourTip.X);
  EXPECT_EQ(state.SecondTip.Y, before.SecondTip.Y);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RejectsTimeText,
    ::testing::Values(BadTextCase{"UnpaddedHour", "9:05:07 AM", "':' is not a valid integer value"},
                      BadTextCase{"Letter", "0x:15:30", "'x' is not a valid integer value"},
                      BadTextCase{"TooShort", "00:15:3", "'' is not a valid integer value"},
                      BadTextCase{"Empty", "", "'' is not a valid integer value"},
                      BadTextCase{"Sign", "-1:00:00", "'-' is not a valid integer value"},
                      BadTextCase{"Space", "0 :00:00", "' ' is not a valid integer value"},
                      BadTextCase{"WideCharacterInPlaceOfDigit", "0\xE6\x99\x82:00:00",
                                  "'\xE6\x99\x82' is not a valid integer value"},
                      // A cut-off sequence counts byte by byte: E6 is position 3, 99 position 4.
                      BadTextCase{"TruncatedSequence",
                                  "00\xE6\x99"
                                  "15:30",
                                  "'\x99' is not a valid integer value"},
                      BadTextCase{"TruncatedAtTheEnd", "00:15:3\xE6",
                                  "'\xE6' is not a valid integer value"},
                      BadTextCase{"EmbeddedNul", std::string("00:1\0:30", 8),
                                  std::string("'") + '\0' + "' is not a valid integer value"}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(MillisecondField, ComesFromTheFrameStartRounded) {
  const TDateTime day = EncodeDate(2026, 12, 8);
  EXPECT_EQ(ReadHandValues("00:00:00", day + EncodeTime(0, 0, 0, 999)).MillisecondFraction,
            static_cast<float>(999 * kMillisecondFactor));
  EXPECT_EQ(ReadHandValues("00:00:00", day + EncodeTime(0, 0, 0, 500)).MillisecondFraction,
            static_cast<float>(500 * kMillisecondFactor));
  // 0.9996 s rounds up to the next second's millisecond 0.
  EXPECT_EQ(ReadHandValues("00:00:00", day + 999.6 / 86'400'000.0).MillisecondFraction, 0.0F);
}

}  // namespace
}  // namespace trilume
