// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>

namespace trilume {

// The control panel as the program opens it and the ranges of its controls:
// the one table the panel window, the in-memory panel, the clock state and
// trilume-render's options and help all read.
inline constexpr int kMaxTraceCount = 3000;  // NUMBER OF TRACES (ScrollBar1)
inline constexpr int kDefaultTraceCount = 20;
inline constexpr int kMaxAlternativeColours = 12;  // ALTERNATIVE COLORS (ScrollBar2)
inline constexpr int kDefaultAlternativeColours = 2;
inline constexpr int kDefaultForegroundIndex = 2;  // green, a colour grid cell
inline constexpr int kDefaultBackgroundIndex = 4;  // navy
inline constexpr char kDefaultMovement[] = "SMOOTH";
inline constexpr std::int32_t kDefaultTickDivisor = 60;  // the one SMOOTH selects
inline constexpr std::int32_t kDefaultFillStyle = 4;     // of 0..kLastFillStyle
inline constexpr std::int32_t kLastFillStyle = 8;

// Indexed by check box number (CheckBox1..9; slot 0 unused): SHOW
// ADDITIONALS, TRACE ON, SHOW CLOCK NUMBERS, SHOW YELLOW TRIANGLE and SHOW
// HANDS start checked.
inline constexpr std::array<bool, 10> kDefaultChecked = {false, true,  true, true,  true,
                                                         false, false, true, false, false};

}  // namespace trilume
