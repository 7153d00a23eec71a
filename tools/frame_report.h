#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/clock_state.h"
#include "model/date_time.h"

namespace trilume {

// What one frame left in the clock state, as trilume-render reports it.
struct FrameReport {
  int Frame = 0;         // 1-based
  TDateTime Time = 0.0;  // FrameStartTime
  std::string TimeText;  // the text the hands were read from
  bool Ok = true;        // false when the time text did not read
  std::string Error;     // the reason, when not Ok
  float CentreX = 0.0F;
  float CentreY = 0.0F;
  std::int32_t TickDivisor = 0;
  TipOffset HourTip;
  TipOffset MinuteTip;
  TipOffset SecondTip;
  std::int32_t SideHourMinute = 0;
  std::int32_t SideHourSecond = 0;
  std::int32_t SideMinuteSecond = 0;
  float Circumradius = 0.0F;
  float AngleAtHour = 0.0F;
  float AngleAtMinute = 0.0F;
  float AngleAtSecond = 0.0F;
  std::int32_t UnitsAtHour = 0;
  std::int32_t UnitsAtMinute = 0;
  std::int32_t UnitsAtSecond = 0;
  std::string_view TriangleKind;  // one of the constant words, never owned
  std::string_view AngleKind;
  std::string Caption;
  bool Free = false;  // free flight: the drift is reported too
  std::int32_t DriftX = 0;
  std::int32_t DriftY = 0;
};

// Copies the model's values after a frame. Texts and flags are left to the
// caller.
void CaptureModel(const ClockState& state, FrameReport& report);

// A float as the shortest decimal that reads back to the same 32-bit value
// (-5.86F gives -5.86, not -5.860000133514404), held in the double that
// QJsonDocument prints in that same shortest form.
QJsonValue FloatJsonValue(float value);
// The same shortest text, for the plain summary.
QString FloatText(float value);

// "YYYY-MM-DD HH:MM:SS.mmm", rounded to the millisecond as the frame reads
// it; date and time are decoded alike, so they carry over midnight together.
QString LocalDateTimeText(TDateTime value);

// One line of --json: the keys frame, time, time_text, ok, centre,
// tick_divisor, tips, sides, circumradius, angles, units, kind, angle_kind,
// caption; error when not Ok; drift in free flight.
QJsonObject FrameReportJson(const FrameReport& report);

// The few lines printed without --json.
QString FrameReportSummary(const FrameReport& report, int frameCount);

}  // namespace trilume
