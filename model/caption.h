// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "model/clock_state.h"

namespace trilume {

// Slot 0 is Saturday, so DayOfWeek(x) mod 7 picks the slot.
inline constexpr std::array<std::string_view, 7> DayNames = {"Sat", "Sun", "Mon", "Tue",
                                                             "Wed", "Thu", "Fri"};

inline constexpr std::string_view kCaptionSeparator = " ";
inline constexpr std::string_view kCaptionTriangleIs = " Triangle is ";
inline constexpr std::string_view kCaptionClosing =
    ". Click opens Control Panel. E:trilume@example.org";

// The time alone below 1, the date alone for a whole day, else both.
std::string DateTimeText(TDateTime value);

// The status line for one caption tick. Date, time and day name all come
// from the one reading `now`, so they never disagree around midnight.
std::string ComposeCaption(TDateTime now, const ClockState& state);

}  // namespace trilume
