// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

#include "model/clock_state.h"
#include "model/panel_design.h"

namespace trilume {

// The readings one frame turns into hand positions, in dial steps (60 a turn).
struct HandValues {
  float HourValue = 0.0F;            // two-digit hour times 5: 0..115
  float MinuteValue = 0.0F;          // 0..59
  float SecondValue = 0.0F;          // 0..59
  float MillisecondFraction = 0.0F;  // ms * 0.0600000240000096
};

inline constexpr double kMillisecondFactor = 0.0600000240000096;

// Sets TickDivisor from the MOVEMENT text. Only an exact, case-sensitive
// match of one of the names of kMovementModes (model/panel_design.h)
// changes it.
void SelectTickDivisor(ClockState& state, std::string_view movementText);

// Reads the characters at positions 1, 2, 4, 5, 7, 8 of the time text
// (counted in UTF-8 characters) with StrToInt, and the millisecond field of
// frameStartTime. Throws EConvertError when a piece is not a number; the
// caller's state is untouched then.
HandValues ReadHandValues(std::string_view timeText, TDateTime frameStartTime);

// The three tips ComputeHandTips writes, for a given TickDivisor.
struct HandTips {
  TipOffset Hour;
  TipOffset Minute;
  TipOffset Second;
};
HandTips TipsFor(const HandValues& values, std::int32_t tickDivisor, int width, int height);

// Writes HourTip, MinuteTip and SecondTip for a main window of the given
// outer size, using state.TickDivisor (a divisor of 0, which SelectTickDivisor
// never sets, counts as no advance).
void ComputeHandTips(ClockState& state, const HandValues& values, int width, int height);

}  // namespace trilume
