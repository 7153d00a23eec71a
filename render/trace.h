// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/clock_state.h"
#include "render/canvas/canvas.h"
#include "render/canvas/colour.h"
#include "render/panel_settings.h"

namespace trilume {

// The twelve RAINBOW pen colours, TraceColourIndex 1..12 at [index - 1].
inline constexpr std::array<TColor, 12> kTracePalette = {kWhite,   kYellow, kLime, kGreen,
                                                         kOlive,   kBlue,   kNavy, kMaroon,
                                                         kFuchsia, kPurple, kTeal, kSilver};

// What one FillStyleIndex does to the brush at the end of a frame.
struct FillBrush {
  int Style = kBsSolid;
  bool KeepsStyle = false;  // index 8: the style last set stays in force
  bool Black = false;       // index 0: black whatever the grid says
  const char* Name = "";    // what a listener is told the background shows
};

// FillStyleIndex 0..8. Style 1 (clear) is never chosen; 0 and 7 share the
// cross-hatch and differ only in colour.
inline constexpr std::array<FillBrush, 9> kBrushStyleTable = {{
    {kBsCross, false, true, "black square cross-hatches"},
    {kBsSolid, false, false, "solid"},
    {kBsHorizontal, false, false, "horizontal lines"},
    {kBsVertical, false, false, "vertical lines"},
    {kBsBDiagonal, false, false, "rising diagonal hatches"},
    {kBsFDiagonal, false, false, "falling diagonal hatches"},
    {kBsDiagCross, false, false, "diagonal cross-hatches"},
    {kBsCross, false, false, "square cross-hatches"},
    {kBsSolid, true, false, "the pattern before, kept"},
}};

// One sentence naming the pattern a FillStyleIndex gives the background,
// for a listener who cannot see it: "Pattern 6 of 9: falling diagonal
// hatches." An index outside 0..8 keeps the style, as 8 does.
std::string DescribeFillStyle(std::int32_t fillStyleIndex);

// NUMBER OF TRACES and ALTERNATIVE COLORS as the trace uses them. The real
// panel's scroll bars never leave 1..3000 and 1..12; the clamp is defence,
// so that no panel can make the trace index outside the history or the
// palette.
std::int32_t ReadTraceCount(const PanelSettings& panel);
std::int32_t ReadColourStep(const PanelSettings& panel);

// How many entries of the history, from entry 0, the next frame with this
// panel can read or write (CLEAR included); it leaves the rest alone.
int TraceEntriesInUse(const ClockState& state, const PanelSettings& panel);

// Serves a pending CLEAR: ClearRequest back to 0 and entries TraceCount
// down to 1 zeroed. Entries above TraceCount keep what they hold, and with
// TraceCount 0 (no trace step yet) the request is consumed and nothing is
// cleared. Does nothing without a request.
void ResetHistory(ClockState& state, PanelSettings& panel);

// Chooses the brush the next frame's background is filled with: colour
// from the grid's background (black for FillStyleIndex 0), style from
// kBrushStyleTable. A FillStyleIndex outside 0..8 changes the colour and
// keeps the style, as 8 does.
void SelectFillBrush(const ClockState& state, TCanvas& canvas, const PanelSettings& panel);

// Entry 1 := the frame's three tips. Runs whether the trace is on or not.
void StoreCurrentTriangle(ClockState& state);

// Pen gray; then, with TRACE ON, takes TraceCount and ColourStep from the
// panel, ages entries 1..TraceCount-2 by one (entry 1 refilled from the
// zero entry) and draws entries TraceCount-1 down to 1 as closed outlines
// about Centre, oldest first. Leaves the pen of the last pass in force
// (gray when nothing was drawn). Allocates nothing.
void DrawTrace(ClockState& state, TCanvas& canvas, const PanelSettings& panel);

}  // namespace trilume
