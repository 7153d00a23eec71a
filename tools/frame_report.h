// SPDX-License-Identifier: MIT
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <string>

#include "model/clock_state.h"
#include "model/date_time.h"
#include "render/clock_session.h"

namespace trilume {

// One frame as trilume-render reports it: what it left in the clock state
// and the frame's own facts. Only read while the state stays as the frame
// left it.
struct FrameReport {
  int Frame = 0;  // 1-based
  const ClockState& State;
  const FrameOutcome& Outcome;  // its reading, the text the hands were read from, ok or error
  std::string Caption;
  bool Free = false;  // free flight: the drift is reported too
};

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
