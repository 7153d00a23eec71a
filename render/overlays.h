#pragma once

#include "model/clock_state.h"
#include "render/canvas.h"

namespace trilume {

// Centre + offset on screen, the sum formed in double and truncated toward
// zero. Values beyond +-2^30 (and NaN) are pinned there so that no float can
// turn into an undefined integer conversion; the canvas clips them anyway.
// Inline: the trace converts up to 9000 points a frame.
inline constexpr double kCoordinateLimit = 1073741824.0;  // 2^30

inline int TruncToPixel(double value) {
  if (!(value > -kCoordinateLimit)) return -static_cast<int>(kCoordinateLimit);
  if (!(value < kCoordinateLimit)) return static_cast<int>(kCoordinateLimit);
  return static_cast<int>(value);
}

inline TPoint ScreenPoint(float centreX, float centreY, float x, float y) {
  return TPoint{TruncToPixel(static_cast<double>(centreX) + static_cast<double>(x)),
                TruncToPixel(static_cast<double>(centreY) + static_cast<double>(y))};
}

TPoint TipPoint(const ClockState& state, TipOffset tip);
TPoint CentrePoint(const ClockState& state);

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
// outline, filled with the brush in force.
void DrawMarkerCircle(const ClockState& state, TCanvas& canvas, TipOffset at);

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
