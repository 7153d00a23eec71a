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

void CaptureModel(const ClockState& state, FrameReport& report) {
  report.CentreX = state.CentreX;
  report.CentreY = state.CentreY;
  report.TickDivisor = state.TickDivisor;
  report.HourTip = state.HourTip;
  report.MinuteTip = state.MinuteTip;
  report.SecondTip = state.SecondTip;
  report.SideHourMinute = state.SideHourMinute;
  report.SideHourSecond = state.SideHourSecond;
  report.SideMinuteSecond = state.SideMinuteSecond;
  report.Circumradius = state.Circumradius;
  report.AngleAtHour = state.AngleAtHour;
  report.AngleAtMinute = state.AngleAtMinute;
  report.AngleAtSecond = state.AngleAtSecond;
  report.UnitsAtHour = state.UnitsAtHour;
  report.UnitsAtMinute = state.UnitsAtMinute;
  report.UnitsAtSecond = state.UnitsAtSecond;
  report.TriangleKind = state.TriangleKind;
  report.AngleKind = state.AngleKind;
  report.DriftX = state.DriftX;
  report.DriftY = state.DriftY;
}

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
  QJsonObject json{
      {QStringLiteral("frame"), report.Frame},
      {QStringLiteral("time"), LocalDateTimeText(report.Time)},
      {QStringLiteral("time_text"), Utf8(report.TimeText)},
      {QStringLiteral("ok"), report.Ok},
      {QStringLiteral("centre"), Pair(report.CentreX, report.CentreY)},
      {QStringLiteral("tick_divisor"), report.TickDivisor},
      {QStringLiteral("tips"),
       QJsonObject{{QStringLiteral("hour"), Pair(report.HourTip.X, report.HourTip.Y)},
                   {QStringLiteral("minute"), Pair(report.MinuteTip.X, report.MinuteTip.Y)},
                   {QStringLiteral("second"), Pair(report.SecondTip.X, report.SecondTip.Y)}}},
      {QStringLiteral("sides"),
       QJsonObject{{QStringLiteral("hour_minute"), report.SideHourMinute},
                   {QStringLiteral("hour_second"), report.SideHourSecond},
                   {QStringLiteral("minute_second"), report.SideMinuteSecond}}},
      {QStringLiteral("circumradius"), FloatJsonValue(report.Circumradius)},
      {QStringLiteral("angles"),
       QJsonObject{{QStringLiteral("hour"), FloatJsonValue(report.AngleAtHour)},
                   {QStringLiteral("minute"), FloatJsonValue(report.AngleAtMinute)},
                   {QStringLiteral("second"), FloatJsonValue(report.AngleAtSecond)}}},
      {QStringLiteral("units"), QJsonObject{{QStringLiteral("hour"), report.UnitsAtHour},
                                            {QStringLiteral("minute"), report.UnitsAtMinute},
                                            {QStringLiteral("second"), report.UnitsAtSecond}}},
      {QStringLiteral("kind"), Utf8(report.TriangleKind)},
      {QStringLiteral("angle_kind"), Utf8(report.AngleKind)},
      {QStringLiteral("caption"), Utf8(report.Caption)},
  };
  if (!report.Ok) json.insert(QStringLiteral("error"), Utf8(report.Error));
  if (report.Free) json.insert(QStringLiteral("drift"), QJsonArray{report.DriftX, report.DriftY});
  return json;
}

QString FrameReportSummary(const FrameReport& report, int frameCount) {
  QString text;
  text += QStringLiteral("frame %1 of %2  %3  time text \"%4\"\n")
              .arg(report.Frame)
              .arg(frameCount)
              .arg(LocalDateTimeText(report.Time), Utf8(report.TimeText));
  if (!report.Ok) {
    text += QStringLiteral("error: %1 (the values below are those the model kept)\n")
                .arg(Utf8(report.Error));
  }
  text += QStringLiteral("centre %1%2\n")
              .arg(PairText(report.CentreX, report.CentreY),
                   report.Free
                       ? QStringLiteral("  drift (%1, %2)").arg(report.DriftX).arg(report.DriftY)
                       : QString());
  text += QStringLiteral("tips   hour %1  minute %2  second %3\n")
              .arg(PairText(report.HourTip.X, report.HourTip.Y),
                   PairText(report.MinuteTip.X, report.MinuteTip.Y),
                   PairText(report.SecondTip.X, report.SecondTip.Y));
  text += QStringLiteral("sides  hour-minute %1  hour-second %2  minute-second %3\n")
              .arg(report.SideHourMinute)
              .arg(report.SideHourSecond)
              .arg(report.SideMinuteSecond);
  text += QStringLiteral("kind   \"%1\"  angle kind \"%2\"\n")
              .arg(Utf8(report.TriangleKind), Utf8(report.AngleKind));
  return text;
}

}  // namespace trilume
