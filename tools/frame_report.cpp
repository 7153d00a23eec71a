// SPDX-License-Identifier: MIT
#include "tools/frame_report.h"

#include <QJsonArray>
#include <array>
#include <charconv>
#include <cmath>

namespace trilume {
namespace {

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QJsonArray Pair(float x, float y) { return QJsonArray{FloatJsonValue(x), FloatJsonValue(y)}; }

QString PairText(float x, float y) {
  return QStringLiteral("(%1, %2)").arg(FloatText(x), FloatText(y));
}

}  // namespace

QJsonValue FloatJsonValue(float value) {
  if (!std::isfinite(value)) return QJsonValue(QJsonValue::Null);  // JSON has no NaN
  std::array<char, 32> text{};
  const std::to_chars_result end = std::to_chars(text.data(), text.data() + text.size(), value);
  double shortest = 0.0;
  std::from_chars(text.data(), end.ptr, shortest);
  return QJsonValue(shortest);
}

QString FloatText(float value) {
  std::array<char, 32> text{};
  const std::to_chars_result end = std::to_chars(text.data(), text.data() + text.size(), value);
  return QString::fromLatin1(text.data(), end.ptr - text.data());
}

QString LocalDateTimeText(TDateTime value) {
  const DecodedDate date = DecodeDate(value);
  const DecodedTime time = DecodeTime(value);
  return QStringLiteral("%1-%2-%3 %4:%5:%6.%7")
      .arg(date.Year, 4, 10, QLatin1Char('0'))
      .arg(date.Month, 2, 10, QLatin1Char('0'))
      .arg(date.Day, 2, 10, QLatin1Char('0'))
      .arg(time.Hour, 2, 10, QLatin1Char('0'))
      .arg(time.Min, 2, 10, QLatin1Char('0'))
      .arg(time.Sec, 2, 10, QLatin1Char('0'))
      .arg(time.MSec, 3, 10, QLatin1Char('0'));
}

QJsonObject FrameReportJson(const FrameReport& report) {
  const ClockState& state = report.State;
  const FrameReading& reading = report.Outcome.Reading;
  QJsonObject json{
      {QStringLiteral("frame"), report.Frame},
      {QStringLiteral("time"), LocalDateTimeText(reading.Time)},
      {QStringLiteral("time_text"), Utf8(reading.TimeText)},
      {QStringLiteral("ok"), report.Outcome.Ok},
      {QStringLiteral("centre"), Pair(state.CentreX, state.CentreY)},
      {QStringLiteral("tick_divisor"), state.TickDivisor},
      {QStringLiteral("tips"),
       QJsonObject{{QStringLiteral("hour"), Pair(state.HourTip.X, state.HourTip.Y)},
                   {QStringLiteral("minute"), Pair(state.MinuteTip.X, state.MinuteTip.Y)},
                   {QStringLiteral("second"), Pair(state.SecondTip.X, state.SecondTip.Y)}}},
      {QStringLiteral("sides"),
       QJsonObject{{QStringLiteral("hour_minute"), state.SideHourMinute},
                   {QStringLiteral("hour_second"), state.SideHourSecond},
                   {QStringLiteral("minute_second"), state.SideMinuteSecond}}},
      {QStringLiteral("circumradius"), FloatJsonValue(state.Circumradius)},
      {QStringLiteral("angles"),
       QJsonObject{{QStringLiteral("hour"), FloatJsonValue(state.AngleAtHour)},
                   {QStringLiteral("minute"), FloatJsonValue(state.AngleAtMinute)},
                   {QStringLiteral("second"), FloatJsonValue(state.AngleAtSecond)}}},
      {QStringLiteral("units"), QJsonObject{{QStringLiteral("hour"), state.UnitsAtHour},
                                            {QStringLiteral("minute"), state.UnitsAtMinute},
                                            {QStringLiteral("second"), state.UnitsAtSecond}}},
      {QStringLiteral("kind"), Utf8(state.TriangleKind)},
      {QStringLiteral("angle_kind"), Utf8(state.AngleKind)},
      {QStringLiteral("caption"), Utf8(report.Caption)},
  };
  if (!report.Outcome.Ok) json.insert(QStringLiteral("error"), Utf8(report.Outcome.Error));
  if (report.Free) json.insert(QStringLiteral("drift"), QJsonArray{state.DriftX, state.DriftY});
  return json;
}

QString FrameReportSummary(const FrameReport& report, int frameCount) {
  const ClockState& state = report.State;
  const FrameReading& reading = report.Outcome.Reading;
  QString text;
  text += QStringLiteral("frame %1 of %2  %3  time text \"%4\"\n")
              .arg(report.Frame)
              .arg(frameCount)
              .arg(LocalDateTimeText(reading.Time), Utf8(reading.TimeText));
  if (!report.Outcome.Ok) {
    text += QStringLiteral("error: %1 (the values below are those the model kept)\n")
                .arg(Utf8(report.Outcome.Error));
  }
  text +=
      QStringLiteral("centre %1%2\n")
          .arg(PairText(state.CentreX, state.CentreY),
               report.Free ? QStringLiteral("  drift (%1, %2)").arg(state.DriftX).arg(state.DriftY)
                           : QString());
  text += QStringLiteral("tips   hour %1  minute %2  second %3\n")
              .arg(PairText(state.HourTip.X, state.HourTip.Y),
                   PairText(state.MinuteTip.X, state.MinuteTip.Y),
                   PairText(state.SecondTip.X, state.SecondTip.Y));
  text += QStringLiteral("sides  hour-minute %1  hour-second %2  minute-second %3\n")
              .arg(state.SideHourMinute)
              .arg(state.SideHourSecond)
              .arg(state.SideMinuteSecond);
  text += QStringLiteral("kind   \"%1\"  angle kind \"%2\"\n")
              .arg(Utf8(state.TriangleKind), Utf8(state.AngleKind));
  return text;
}

}  // namespace trilume
