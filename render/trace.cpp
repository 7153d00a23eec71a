// SPDX-License-Identifier: MIT
#include "render/trace.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "render/screen_point.h"

namespace trilume {

namespace {

constexpr int kPaletteSize = static_cast<int>(kTracePalette.size());

// Outlines go to the canvas this many at a time: enough for a canvas to
// see which outline repeats the next, small enough for the stack.
constexpr std::size_t kOutlineBatch = 64;

TOutline Outline(float centreX, float centreY, const TriangleRecord& entry, TColor colour) {
  return TOutline{ScreenPoint(centreX, centreY, entry.Hour.X, entry.Hour.Y),
                  ScreenPoint(centreX, centreY, entry.Minute.X, entry.Minute.Y),
                  ScreenPoint(centreX, centreY, entry.Second.X, entry.Second.Y), colour};
}

}  // namespace

int TraceEntriesInUse(const ClockState& state, const PanelSettings& panel) {
  // ResetHistory clears up to TraceCount; DrawTrace ages and draws below
  // the panel's count.
  const int reach =
      std::max(std::clamp(state.TraceCount, 0, kMaxTraceCount), ReadTraceCount(panel));
  return std::min(reach + 1, kTraceHistorySize);
}

std::int32_t ReadTraceCount(const PanelSettings& panel) {
  return std::clamp(panel.GetScrollBar1Position(), 1, kMaxTraceCount);
}

std::int32_t ReadColourStep(const PanelSettings& panel) {
  return std::clamp(panel.GetScrollBar2Position(), 1, kPaletteSize);
}

void ResetHistory(ClockState& state, PanelSettings& panel) {
  if (panel.GetClearRequest() != 1) return;
  panel.SetClearRequest(0);
  // TraceCount only ever comes from ReadTraceCount; the clamp keeps a
  // hand-edited state from reaching past the history or into the zero entry.
  const int last = std::clamp(state.TraceCount, 0, kMaxTraceCount);
  for (int k = last; k >= 1; --k) {
    state.TraceHistory[static_cast<std::size_t>(k)] = TriangleRecord{};
  }
}

std::string DescribeFillStyle(std::int32_t fillStyleIndex) {
  const std::size_t last = kBrushStyleTable.size() - 1;
  const std::size_t index = fillStyleIndex >= 0 && static_cast<std::size_t>(fillStyleIndex) < last
                                ? static_cast<std::size_t>(fillStyleIndex)
                                : last;
  return "Pattern " + std::to_string(index + 1) + " of " + std::to_string(last + 1) + ": " +
         kBrushStyleTable[index].Name + ".";
}

void SelectFillBrush(const ClockState& state, TCanvas& canvas, const PanelSettings& panel) {
  canvas.SetBrushColor(panel.GetBackgroundColor());
  const int index = state.FillStyleIndex;
  if (index < 0 || index >= static_cast<int>(kBrushStyleTable.size())) return;
  const FillBrush& brush = kBrushStyleTable[static_cast<std::size_t>(index)];
  if (!brush.KeepsStyle) canvas.SetBrushStyle(brush.Style);
  if (brush.Black) canvas.SetBrushColor(kBlack);
}

void StoreCurrentTriangle(ClockState& state) {
  state.TraceHistory[1] = TriangleRecord{state.HourTip, state.MinuteTip, state.SecondTip};
}

void DrawTrace(ClockState& state, TCanvas& canvas, const PanelSettings& panel) {
  canvas.SetPenColor(kGray);
  if (!panel.IsChecked(PanelCheckBox::kTraceOn)) return;

  int colourIndex = 1;
  state.ColourStep = static_cast<float>(ReadColourStep(panel));
  state.TraceCount = ReadTraceCount(panel);
  const int count = state.TraceCount;
  if (count < 2) return;

  // Every entry moves one older before any is drawn: the same outcome as
  // moving each entry just before drawing it, since the passes run
  // downwards and read only entries not yet moved. The content of entry
  // count - 1 is lost and the zero entry refills entry 1.
  auto& history = state.TraceHistory;
  std::copy_backward(history.begin(), history.begin() + (count - 1), history.begin() + count);

  const bool rainbow = panel.IsChecked(PanelCheckBox::kRainbow);
  const TColor foreground = panel.GetForegroundColor();
  const float colourStep = state.ColourStep;
  const float centreX = state.CentreX;
  const float centreY = state.CentreY;
  std::array<TOutline, kOutlineBatch> batch;
  std::size_t batched = 0;
  for (int k = count - 1; k >= 1; --k) {
    TColor colour = foreground;
    if (rainbow) {
      colour = kTracePalette[static_cast<std::size_t>(colourIndex - 1)];
      // The index is used before it moves on, and wraps to 1, not by 12.
      colourIndex = static_cast<int>(static_cast<double>(colourIndex) + colourStep);
      if (colourIndex > kPaletteSize) colourIndex = 1;
    }
    batch[batched++] = Outline(centreX, centreY, history[static_cast<std::size_t>(k)], colour);
    if (batched == batch.size() || k == 1) {
      canvas.Outlines(std::span<const TOutline>(batch.data(), batched));
      batched = 0;
    }
  }
}

}  // namespace trilume
