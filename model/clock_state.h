// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "model/panel_design.h"

namespace trilume {

// A date-time: whole days since 30 December 1899, the fraction is the time
// of day.
using TDateTime = double;

// A hand tip as an offset in pixels from Centre (x to the right, y down).
struct TipOffset {
  float X = 0.0F;
  float Y = 0.0F;

  bool operator==(const TipOffset&) const = default;
};

// One stored hand triangle: six floats, the three tips in the form of
// HourTip, MinuteTip and SecondTip, so the trace follows Centre.
struct TriangleRecord {
  TipOffset Hour;
  TipOffset Minute;
  TipOffset Second;

  bool operator==(const TriangleRecord&) const = default;
};

// Entry 0 stays zero, entry 1 is the current triangle, 2..3000 are older
// ones, 3001 is never reached because NUMBER OF TRACES stops at 3000.
inline constexpr int kTraceHistorySize = kMaxTraceCount + 2;

// The program-wide state shared by the frame, the caption, free flight and
// the control panel. One instance lives for the whole run; every handler
// runs on the UI thread, so nothing here is locked.
//
// Floats are 32-bit on purpose: the stored precision decides pixels and
// triangle names, so it must not be widened.
struct ClockState {
  float CentreX = 0.0F;
  float CentreY = 0.0F;

  TipOffset HourTip;
  TipOffset MinuteTip;
  TipOffset SecondTip;

  std::int32_t TickDivisor = kDefaultTickDivisor;
  std::int32_t FillStyleIndex = kDefaultFillStyle;

  std::int32_t SideHourMinute = 0;
  std::int32_t SideHourSecond = 0;
  std::int32_t SideMinuteSecond = 0;

  // Kept from the last frame in which they could be computed.
  float Circumradius = 0.0F;
  float AngleAtHour = 0.0F;
  float AngleAtMinute = 0.0F;
  float AngleAtSecond = 0.0F;

  std::int32_t UnitsAtHour = 0;
  std::int32_t UnitsAtMinute = 0;
  std::int32_t UnitsAtSecond = 0;

  // Always one of the constant words of triangle.h (or empty before the
  // first measurement), so a view never dangles and a frame never allocates.
  std::string_view TriangleKind;
  std::string_view AngleKind;

  std::array<TriangleRecord, kTraceHistorySize> TraceHistory{};
  std::int32_t TraceCount = 0;
  float ColourStep = 0.0F;

  TDateTime StartTime = 0.0;

  std::int32_t DriftX = -1;
  std::int32_t DriftY = -1;
};

// Makes `to` a copy of `from` but for the trace history past its first
// `historyEntries` entries, which `to` keeps as they were: a copy for a run
// that touches no more of it, at a fraction of the 72 KB.
void CopyStateWithHistory(ClockState& to, const ClockState& from, int historyEntries);

// Double-click on the picture: 4 -> 5, 6, 7, 8, 0, 1, ... (all nine styles).
std::int32_t NextFillStyleFromImage(std::int32_t fillStyleIndex);
// Double-click on the bare window background: 4 -> 5, 6, 7, 0, ... (0..7).
std::int32_t NextFillStyleFromForm(std::int32_t fillStyleIndex);

}  // namespace trilume
