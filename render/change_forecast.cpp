// SPDX-License-Identifier: MIT
#include "render/change_forecast.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "model/hand_geometry.h"
#include "model/triangle.h"
#include "render/overlays.h"
#include "render/screen_point.h"
#include "render/trace.h"

namespace trilume {

namespace {

// Beyond this a line's end points no longer pack into the frame canvas's
// keys and repeated lines are all drawn: no forecast then.
constexpr int kCoordinateBound = 30000;

struct Triple {
  TPoint Hour;
  TPoint Minute;
  TPoint Second;
};

bool SamePoint(TPoint a, TPoint b) { return a.X == b.X && a.Y == b.Y; }
bool SameTriple(const Triple& a, const Triple& b) {
  return SamePoint(a.Hour, b.Hour) && SamePoint(a.Minute, b.Minute) &&
         SamePoint(a.Second, b.Second);
}
bool SameRect(const TRect& a, const TRect& b) {
  return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

Triple TripleOf(float cx, float cy, TipOffset hour, TipOffset minute, TipOffset second) {
  return {ScreenPoint(cx, cy, hour.X, hour.Y), ScreenPoint(cx, cy, minute.X, minute.Y),
          ScreenPoint(cx, cy, second.X, second.Y)};
}

bool Bounded(const Triple& t) {
  for (TPoint p : {t.Hour, t.Minute, t.Second}) {
    if (std::abs(p.X) > kCoordinateBound || std::abs(p.Y) > kCoordinateBound) return false;
  }
  return true;
}

// Everything a frame draws that follows the hand tips, trace aside.
struct TipLook {
  Triple Points;
  TRect HourMarker{};
  int Apex = -1;
  TRect ApexMarker{};
  TriangleSides Sides;
};

TipLook LookOf(float cx, float cy, const HandTips& tips, bool lengths) {
  TipLook look;
  look.Points = TripleOf(cx, cy, tips.Hour, tips.Minute, tips.Second);
  look.HourMarker = MarkerCircleBox(cx, cy, tips.Hour);
  look.Sides = MeasureSides(tips.Hour, tips.Minute, tips.Second);
  if (lengths) {
    look.Apex = ApexIndex(tips.Hour, tips.Minute, tips.Second);
    const TipOffset all[] = {tips.Hour, tips.Minute, tips.Second};
    if (look.Apex >= 0) look.ApexMarker = MarkerCircleBox(cx, cy, all[look.Apex]);
  }
  return look;
}

// The sides count only where the length bars show them; otherwise they
// reach the picture only through the names, which the caption reads.
bool SameLook(const TipLook& a, const TipLook& b, bool lengths) {
  if (!SameTriple(a.Points, b.Points) || !SameRect(a.HourMarker, b.HourMarker)) return false;
  if (!lengths) return true;
  return a.Apex == b.Apex && SameRect(a.ApexMarker, b.ApexMarker) && a.Sides == b.Sides;
}

bool DueAt(std::int64_t tick, std::int64_t due, std::int64_t period) {
  return tick >= due && (tick - due) % std::max<std::int64_t>(period, 1) == 0;
}

bool SameSecond(TDateTime a, TDateTime b) {
  const DecodedDate da = DecodeDate(a);
  const DecodedDate db = DecodeDate(b);
  const DecodedTime ta = DecodeTime(a);
  const DecodedTime tb = DecodeTime(b);
  return da.Year == db.Year && da.Month == db.Month && da.Day == db.Day && ta.Hour == tb.Hour &&
         ta.Min == tb.Min && ta.Sec == tb.Sec;
}

}  // namespace

ChangeForecast::ChangeForecast() : Scratch(std::make_unique<ClockState>()) {}
ChangeForecast::~ChangeForecast() = default;

std::int64_t ChangeForecast::FirstChange(const ForecastInputs& in) {
  const ClockState& state = *in.State;
  const std::int64_t first = in.FirstTick;
  const auto localAt = [&in](std::int64_t tick) {
    return UnixMicrosecondsToLocal(in.WallMicros -
                                   (in.MonoMicros - in.Schedule->GetDeadline(tick)));
  };

  // The names a caption would show, carried through the forecast frames.
  ClockState& names = *Scratch;
  names.Circumradius = state.Circumradius;
  names.AngleAtHour = state.AngleAtHour;
  names.AngleAtMinute = state.AngleAtMinute;
  names.AngleAtSecond = state.AngleAtSecond;
  names.TriangleKind = state.TriangleKind;
  names.AngleKind = state.AngleKind;

  const float cx = state.CentreX;
  const float cy = state.CentreY;
  bool lengths = false;
  TipLook previous;
  // The trace as the last frame left it: entries 2..count-1, newest first.
  int historyLength = 0;
  bool rainbow = false;
  const auto historyAt = [&state, cx, cy](int m) {
    const TriangleRecord& entry = state.TraceHistory[static_cast<std::size_t>(m + 2)];
    return TripleOf(cx, cy, entry.Hour, entry.Minute, entry.Second);
  };
  if (in.Frames) {
    const PanelSettings& panel = *in.Panel;
    lengths = panel.IsChecked(PanelCheckBox::kShowLineLengths);
    previous = LookOf(cx, cy, {state.HourTip, state.MinuteTip, state.SecondTip}, lengths);
    if (!Bounded(previous.Points)) return first;
    if (panel.IsChecked(PanelCheckBox::kTraceOn)) {
      historyLength = ReadTraceCount(panel) - 2;
      rainbow = panel.IsChecked(PanelCheckBox::kRainbow);
    }
    if (historyLength > 0) {
      if (!SameTriple(historyAt(0), previous.Points)) return first;
      for (int m = 1; m < historyLength; ++m) {
        const Triple entry = historyAt(m);
        if (!Bounded(entry)) return first;
        // With RAINBOW every place has its colour: the next frame moves
        // each triangle on by one place.
        if (rainbow && !SameTriple(entry, previous.Points)) return std::max(first, in.FrameDue);
      }
    }
  }

  std::optional<std::int64_t> textSecond;
  std::string text;
  std::int64_t lastDue = first;
  int frames = 0;
  for (std::int64_t tick = first; tick <= in.LastTick; ++tick) {
    const bool frameHere = in.Frames && DueAt(tick, in.FrameDue, in.FramePeriod);
    const bool captionHere = in.Captions && DueAt(tick, in.CaptionDue, in.CaptionPeriod);
    if (!frameHere && !captionHere) continue;
    lastDue = tick;
    const TDateTime time = localAt(tick);
    if (frameHere) {
      ++frames;
      const TDateTime timeOfDay = time - std::trunc(time);
      // The locale's text changes only with the second it names.
      const bool plainText = in.TimeText == nullptr || in.TimeText == &TimeToStr;
      const DecodedTime decoded = DecodeTime(timeOfDay);
      const std::int64_t second = (decoded.Hour * 60 + decoded.Min) * 60 + decoded.Sec;
      if (!plainText || textSecond != second) {
        text = plainText ? TimeToStr(timeOfDay) : in.TimeText(timeOfDay);
        textSecond = plainText ? std::optional<std::int64_t>(second) : std::nullopt;
      }
      HandTips tips;
      try {
        tips = TipsFor(ReadHandValues(text, time), state.TickDivisor, in.Window.Width,
                       in.Window.Height);
      } catch (const EConvertError&) {
        return tick;
      }
      const TipLook look = LookOf(cx, cy, tips, lengths);
      if (!SameLook(look, previous, lengths)) return tick;
      // The oldest triangle leaves the trace; with one colour that shows
      // when it was the last of its run. Every new triangle so far repeats
      // the newest, so the places below `frames` hold it.
      if (!rainbow && historyLength >= 2) {
        const int shift = frames - 1;
        const auto before = [&](int m) {
          return m < shift ? previous.Points : historyAt(m - shift);
        };
        if (!SameTriple(before(historyLength - 1), before(historyLength - 2))) return tick;
      }
      if (!(look.Sides == previous.Sides)) {
        ClassifyTriangle(names, look.Sides.HourMinute, look.Sides.HourSecond,
                         look.Sides.MinuteSecond);
      }
      previous = look;
    }
    if (captionHere) {
      if (!in.HaveCaption || !SameSecond(time, in.CaptionTime) ||
          names.TriangleKind != in.CaptionKind || names.AngleKind != in.CaptionAngleKind) {
        return tick;
      }
    }
  }
  return lastDue;
}

}  // namespace trilume
