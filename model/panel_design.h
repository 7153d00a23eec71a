// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace trilume {

// The design values: the two windows and the control panel as the program
// opens them, the ranges of the panel's controls and the main window's
// timers. The one table the windows, the in-memory panel, the clock state,
// the session and trilume-render's options and help all read. Tests that
// check a window follows it (places, sizes, ranges, timers, MOVEMENT's
// items) read it too; tests of the values themselves (the start settings,
// the movement divisors) write them out, so that a slip here fails them.
// (The picture's 1281 x 777 pixels are the canvas's own size,
// RasterCanvas::kWidth and kHeight.)

// The main window: its place, and its outer size (frame included), which is
// also the W x H that frames, fills and bounces use until the user resizes.
inline constexpr int kMainWindowLeft = 147;
inline constexpr int kMainWindowTop = 121;
inline constexpr int kMainWindowOuterWidth = 280;
inline constexpr int kMainWindowOuterHeight = 310;
// The control panel: its place, its outer width and its client height.
inline constexpr int kPanelLeft = 180;
inline constexpr int kPanelTop = 110;
inline constexpr int kPanelOuterWidth = 308;
inline constexpr int kPanelClientHeight = 220;

// The main window's timers. The frame (Timer1) and free flight (Timer3)
// fire on every 1/64 s tick, the caption (Timer2) on every 13th.
inline constexpr int kFrameIntervalMilliseconds = 1;
inline constexpr int kCaptionIntervalMilliseconds = 200;
inline constexpr int kFlightIntervalMilliseconds = 1;

inline constexpr int kMaxTraceCount = 3000;  // NUMBER OF TRACES (ScrollBar1)
inline constexpr int kDefaultTraceCount = 20;
inline constexpr int kMaxAlternativeColours = 12;  // ALTERNATIVE COLORS (ScrollBar2)
inline constexpr int kDefaultAlternativeColours = 2;
inline constexpr int kTraceCountPageStep = 20;
inline constexpr int kAlternativeColoursPageStep = 1;
inline constexpr int kDefaultForegroundIndex = 2;  // green, a colour grid cell
inline constexpr int kDefaultBackgroundIndex = 4;  // navy
inline constexpr char kDefaultMovement[] = "SMOOTH";
inline constexpr std::int32_t kDefaultTickDivisor = 60;  // the one SMOOTH selects

// A MOVEMENT choice: how far the second hand runs ahead of the whole second
// is the millisecond fraction divided by Divisor.
struct MovementMode {
  std::string_view Name;
  std::int32_t Divisor = kDefaultTickDivisor;
};

// MOVEMENT's list in the panel's order, with the divisor each name selects:
// the combo box's items, SelectTickDivisor's names and trilume-render's.
inline constexpr std::array<MovementMode, 7> kMovementModes = {
    {{kDefaultMovement, kDefaultTickDivisor},
     {"FAST", 1},
     {"TICK", 1000},
     {"TICK2", 100},
     {"TICKBACK1", 30},
     {"TICKBACK2", 10},
     {"HALFBACK", 500}}};

// A text selects at most one mode, whatever order the names are compared in.
consteval bool MovementNamesDiffer() {
  for (std::size_t i = 0; i < kMovementModes.size(); ++i) {
    for (std::size_t j = i + 1; j < kMovementModes.size(); ++j) {
      if (kMovementModes[i].Name == kMovementModes[j].Name) return false;
    }
  }
  return true;
}
static_assert(MovementNamesDiffer());
static_assert(kMovementModes[0].Name == kDefaultMovement, "the panel opens on its first item");
inline constexpr std::int32_t kDefaultFillStyle = 4;  // of 0..kLastFillStyle
inline constexpr std::int32_t kLastFillStyle = 8;

// Indexed by check box number (CheckBox1..9; slot 0 unused): SHOW
// ADDITIONALS, TRACE ON, SHOW CLOCK NUMBERS, SHOW YELLOW TRIANGLE and SHOW
// HANDS start checked.
inline constexpr std::array<bool, 10> kDefaultChecked = {false, true,  true, true,  true,
                                                         false, false, true, false, false};

}  // namespace trilume
