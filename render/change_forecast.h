// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "model/clock_state.h"
#include "model/date_time.h"
#include "model/tick_schedule.h"
#include "render/frame.h"
#include "render/panel_settings.h"

namespace trilume {

// What the forecast reads: the clock as the last tick served left it, and
// what is due next. Nothing is changed.
struct ForecastInputs {
  const ClockState* State = nullptr;
  const PanelSettings* Panel = nullptr;
  WindowSize Window;
  TimeTextFormatter TimeText = &TimeToStr;
  // A tick's reading: WallMicros - (MonoMicros - the tick's deadline).
  const TickSchedule* Schedule = nullptr;
  std::int64_t WallMicros = 0;
  std::int64_t MonoMicros = 0;
  // Look at ticks FirstTick..LastTick.
  std::int64_t FirstTick = 1;
  std::int64_t LastTick = 1;
  // Frames (Timer1) and captions (Timer2): due next, and every Period
  // ticks after. A frame is forecast only when the last one can be
  // repeated: it read the same panel and size, drew with the canvas as it
  // left it, did not fail, and free flight is off.
  bool Frames = false;
  std::int64_t FrameDue = 0;
  std::int64_t FramePeriod = 1;
  bool Captions = false;
  std::int64_t CaptionDue = 0;
  std::int64_t CaptionPeriod = 1;
  // The last caption's reading and the names it showed; none before the
  // first.
  bool HaveCaption = false;
  TDateTime CaptionTime = 0.0;
  std::string_view CaptionKind;
  std::string_view CaptionAngleKind;
};

// The first tick at which the picture or the status line can change if
// nothing but time moves on, or else the last tick a timer is due at by
// LastTick (FirstTick when none is). Never later than the true first
// change: it follows what each step of a frame reads of the time.
// - A frame repeats the last one call for call when the hand tips give the
//   same screen points, marker circles and (with SHOW LINE LENGTHS) apex and
//   sides, and the trace draws the same outlines: the same run of distinct
//   triangles in one colour, or with RAINBOW the same triangle at every
//   place. The frame canvas leaves out lines a later one repeats, so a run
//   of equal triangles draws as one.
// - A caption repeats when its reading names the same second of the same
//   day and the triangle keeps its names, which only new sides can change.
class ChangeForecast {
 public:
  ChangeForecast();
  ~ChangeForecast();
  ChangeForecast(const ChangeForecast&) = delete;
  ChangeForecast& operator=(const ChangeForecast&) = delete;

  std::int64_t FirstChange(const ForecastInputs& in);

 private:
  // Where ClassifyTriangle carries its values from frame to frame.
  std::unique_ptr<ClockState> Scratch;
};

}  // namespace trilume
