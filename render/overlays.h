// SPDX-License-Identifier: MIT
#pragma once

#include "model/clock_state.h"
#include "render/canvas/canvas.h"

namespace trilume {

// Four fixed points near the numerals, from the window's outer size (not
// from Centre), so they stay put while the clock flies free.
struct NumeralAnchors {
  TPoint Anchor12;
  TPoint Anchor3;
  TPoint Anchor6;
  TPoint Anchor9;
};
NumeralAnchors GetNumeralAnchors(int width, int height);

// A 4 x 4 circle about Centre + at, each bound truncated on its own: pen
// outline, filled with the brush in force. MarkerCircleBox is its box.
void DrawMarkerCircle(const ClockState& state, TCanvas& canvas, TipOffset at);
TRect MarkerCircleBox(float centreX, float centreY, TipOffset at);

// Which tip DrawApexMarker marks: 0 hour, 1 minute, 2 second, or -1 when
// two or three share the top.
int ApexIndex(TipOffset hour, TipOffset minute, TipOffset second);

// The overlays, each drawn over what came before. They change no state.
// Yellow circle at the hour tip; its brush is whatever the frame holds.
void DrawHourTipMarker(const ClockState& state, TCanvas& canvas);
// Three yellow bars at the top left, as long as the three sides.
void DrawLengthBars(const ClockState& state, TCanvas& canvas);
// Red circle at the tip strictly highest on screen; none on a tie.
void DrawApexMarker(const ClockState& state, TCanvas& canvas);
// Hour and minute hands blue, second hand white; leaves a black solid brush.
void DrawHands(const ClockState& state, TCanvas& canvas);
void DrawYellowTriangle(const ClockState& state, TCanvas& canvas);
// Drawn with the pen in force: yellow after the yellow triangle, else the
// trace's last colour.
void DrawNumbersSquare(TCanvas& canvas, int width, int height);
void DrawLinkLines(const ClockState& state, TCanvas& canvas, int width, int height);

}  // namespace trilume
