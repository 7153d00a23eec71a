// SPDX-License-Identifier: MIT
#include "render/overlays.h"

#include <cmath>

#include "render/canvas/colour.h"
#include "render/screen_point.h"

namespace trilume {

namespace {

void LineBetween(TCanvas& canvas, TPoint from, TPoint to) {
  canvas.MoveTo(from.X, from.Y);
  canvas.LineTo(to.X, to.Y);
}

}  // namespace

NumeralAnchors GetNumeralAnchors(int width, int height) {
  const int halfWidth = width / 2;
  const int halfHeight = height / 2;
  return NumeralAnchors{
      TPoint{halfWidth - 4, 8},
      TPoint{width - 15, halfHeight - 20},
      TPoint{halfWidth - 6, height - 41},
      TPoint{6, halfHeight - 20},
  };
}

TRect MarkerCircleBox(float centreX, float centreY, TipOffset at) {
  const double x = static_cast<double>(centreX) + static_cast<double>(at.X);
  const double y = static_cast<double>(centreY) + static_cast<double>(at.Y);
  return Rect(TruncToPixel(x - 2.0), TruncToPixel(y - 2.0), TruncToPixel(x + 2.0),
              TruncToPixel(y + 2.0));
}

void DrawMarkerCircle(const ClockState& state, TCanvas& canvas, TipOffset at) {
  const TRect box = MarkerCircleBox(state.CentreX, state.CentreY, at);
  canvas.Ellipse(box.Left, box.Top, box.Right, box.Bottom);
}

int ApexIndex(TipOffset hour, TipOffset minute, TipOffset second) {
  if (hour.Y < minute.Y && hour.Y < second.Y) return 0;
  if (minute.Y < hour.Y && minute.Y < second.Y) return 1;
  if (second.Y < hour.Y && second.Y < minute.Y) return 2;
  return -1;
}

void DrawHourTipMarker(const ClockState& state, TCanvas& canvas) {
  canvas.SetPenColor(kYellow);
  DrawMarkerCircle(state, canvas, state.HourTip);
}

void DrawLengthBars(const ClockState& state, TCanvas& canvas) {
  canvas.SetPenColor(kYellow);
  const struct {
    int Y;
    int Length;
  } bars[] = {{8, state.SideHourMinute}, {12, state.SideHourSecond}, {16, state.SideMinuteSecond}};
  for (const auto& bar : bars) {
    canvas.MoveTo(10, bar.Y);
    // A side is at most a window diagonal; the pin only guards the sum.
    canvas.LineTo(TruncToPixel(10.0 + static_cast<double>(bar.Length)), bar.Y);
  }
}

void DrawApexMarker(const ClockState& state, TCanvas& canvas) {
  const int apex = ApexIndex(state.HourTip, state.MinuteTip, state.SecondTip);
  if (apex < 0) return;  // two or three tips share the top
  const TipOffset tips[] = {state.HourTip, state.MinuteTip, state.SecondTip};
  canvas.SetPenColor(kRed);
  DrawMarkerCircle(state, canvas, tips[apex]);
}

void DrawHands(const ClockState& state, TCanvas& canvas) {
  const struct {
    const TipOffset& Tip;
    TColor Pen;
    TColor Brush;
  } hands[] = {
      {state.HourTip, kBlue, kBlue},
      {state.MinuteTip, kBlue, kBlue},
      {state.SecondTip, kWhite, kBlack},
  };
  const TPoint centre = CentrePoint(state);
  for (const auto& hand : hands) {
    // The brush draws nothing here; what lasts is the solid style, which
    // FillStyleIndex 8 then keeps for the next background.
    canvas.SetPenColor(hand.Pen);
    canvas.SetBrushColor(hand.Brush);
    canvas.SetBrushStyle(kBsSolid);
    LineBetween(canvas, centre, TipPoint(state, hand.Tip));
  }
}

void DrawYellowTriangle(const ClockState& state, TCanvas& canvas) {
  canvas.SetPenColor(kYellow);
  const TPoint hour = TipPoint(state, state.HourTip);
  const TPoint minute = TipPoint(state, state.MinuteTip);
  const TPoint second = TipPoint(state, state.SecondTip);
  canvas.MoveTo(hour.X, hour.Y);
  canvas.LineTo(minute.X, minute.Y);
  canvas.LineTo(second.X, second.Y);
  canvas.LineTo(hour.X, hour.Y);
}

void DrawNumbersSquare(TCanvas& canvas, int width, int height) {
  const NumeralAnchors anchors = GetNumeralAnchors(width, height);
  canvas.MoveTo(anchors.Anchor12.X, anchors.Anchor12.Y);
  canvas.LineTo(anchors.Anchor3.X, anchors.Anchor3.Y);
  canvas.LineTo(anchors.Anchor6.X, anchors.Anchor6.Y);
  canvas.LineTo(anchors.Anchor9.X, anchors.Anchor9.Y);
  canvas.LineTo(anchors.Anchor12.X, anchors.Anchor12.Y);
}

void DrawLinkLines(const ClockState& state, TCanvas& canvas, int width, int height) {
  const NumeralAnchors anchors = GetNumeralAnchors(width, height);
  LineBetween(canvas, anchors.Anchor12, TipPoint(state, state.SecondTip));
  LineBetween(canvas, anchors.Anchor3, TipPoint(state, state.MinuteTip));
  LineBetween(canvas, anchors.Anchor6, TipPoint(state, state.HourTip));
  LineBetween(canvas, anchors.Anchor9, TipPoint(state, state.SecondTip));
  const TPoint centre = CentrePoint(state);
  LineBetween(canvas, anchors.Anchor6, centre);
  canvas.LineTo(anchors.Anchor12.X, anchors.Anchor12.Y);
}

}  // namespace trilume
