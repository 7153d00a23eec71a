// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>

#include "model/clock_state.h"

namespace trilume {

inline constexpr std::string_view kUncalculated = "Uncalculated";
inline constexpr std::string_view kScalene = "Scalene";
inline constexpr std::string_view kIsosceles = "Isosceles";
inline constexpr std::string_view kAlignment = "Alignment";
inline constexpr std::string_view kRight = "Right    ";
inline constexpr std::string_view kEquilateral = "Equilateral";
inline constexpr std::string_view kObtuse = "Obtuse";
inline constexpr std::string_view kAcute = "Acute";

// Whole-pixel distance. x1 and y2 are truncated before the subtraction and
// x2 and y1 are not, so swapping the points can change the result by one.
// Saturates at INT32_MAX for absurd inputs; a NaN difference counts as 0.
std::int32_t PixelDistance(float x1, float y1, float x2, float y2);

// The three whole-pixel sides MeasureTriangle measures: hour-minute,
// hour-second, minute-second.
struct TriangleSides {
  std::int32_t HourMinute = 0;
  std::int32_t HourSecond = 0;
  std::int32_t MinuteSecond = 0;

  bool operator==(const TriangleSides&) const = default;
};
TriangleSides MeasureSides(const TipOffset& hour, const TipOffset& minute, const TipOffset& second);

// Measures the hand triangle and names it. Circumradius and the three angles
// keep their previous values whenever they cannot be computed, so a frame's
// name can rest on an earlier frame.
void MeasureTriangle(ClockState& state);

// The part of MeasureTriangle after the sides are measured: stores the three
// sides (hour-minute, hour-second, minute-second) and names the triangle they
// make, with the values carried over in `state`. MeasureTriangle is this
// applied to the measured sides.
void ClassifyTriangle(ClockState& state, std::int32_t sideHourMinute, std::int32_t sideHourSecond,
                      std::int32_t sideMinuteSecond);

}  // namespace trilume
