// SPDX-License-Identifier: MIT
#include "tools/option_values.h"

#include <QDate>
#include <QRegularExpression>
#include <algorithm>

#include "model/date_time.h"
#include "tools/render_options.h"

namespace trilume {

QString Quoted(const QString& text, qsizetype shownLength) {
  QString shown = text.size() > shownLength ? text.left(shownLength) + QStringLiteral("...") : text;
  return QLatin1Char('\'') + shown + QLatin1Char('\'');
}

QString OptionError(const char* option, const QString& value, const QString& why) {
  return QStringLiteral("--%1: %2 %3").arg(QLatin1String(option), Quoted(value), why);
}

std::optional<int> WholeNumber(const QString& text) {
  if (text.isEmpty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (QChar c : text) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    value = value * 10 + (c.unicode() - u'0');
  }
  return value;
}

std::optional<std::int64_t> MillisecondsToMicroseconds(const QString& text, QString& why) {
  static const QRegularExpression kDecimal(QStringLiteral("^([0-9]{1,12})(?:\\.([0-9]+))?$"));
  const QRegularExpressionMatch match = kDecimal.match(text);
  if (!match.hasMatch()) {
    why = QStringLiteral("is not a decimal number of milliseconds");
    return std::nullopt;
  }
  const QString fraction = match.captured(2);
  for (qsizetype i = 3; i < fraction.size(); ++i) {
    if (fraction[i] != QLatin1Char('0')) {
      why = QStringLiteral("is finer than a microsecond");
      return std::nullopt;
    }
  }
  std::int64_t micros = match.captured(1).toLongLong() * 1000;
  std::int64_t scale = 100;
  for (qsizetype i = 0; i < std::min<qsizetype>(fraction.size(), 3); ++i) {
    micros += (fraction[i].unicode() - u'0') * scale;
    scale /= 10;
  }
  if (micros <= 0) {
    why = QStringLiteral("is not above zero");
    return std::nullopt;
  }
  if (micros > kMaxIntervalMicroseconds) {
    why = QStringLiteral("is more than a day (86400000)");
    return std::nullopt;
  }
  return micros;
}

std::optional<std::int64_t> LocalInstant(const QString& text, QString& why) {
  static const QRegularExpression kDateTime(
      QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})[ "
                     "T]([0-9]{2}):([0-9]{2}):([0-9]{2})(?:\\.([0-9]{1,3}))?$"));
  const QRegularExpressionMatch match = kDateTime.match(text);
  if (!match.hasMatch()) {
    why = QStringLiteral("is not a date and time of the form YYYY-MM-DD HH:MM:SS.mmm");
    return std::nullopt;
  }
  const int year = match.captured(1).toInt();
  const int month = match.captured(2).toInt();
  const int day = match.captured(3).toInt();
  const int hour = match.captured(4).toInt();
  const int minute = match.captured(5).toInt();
  const int second = match.captured(6).toInt();
  // ".5" is half a second, as a decimal fraction reads.
  const int millisecond = match.captured(7).leftJustified(3, QLatin1Char('0')).toInt();
  if (year < kFirstYear || year > kLastYear) {
    why = QStringLiteral("has a year outside %1..%2").arg(kFirstYear).arg(kLastYear);
    return std::nullopt;
  }
  if (!QDate::isValid(year, month, day) || hour > 23 || minute > 59 || second > 59) {
    why = QStringLiteral("is not a valid date and time");
    return std::nullopt;
  }
  const std::optional<std::int64_t> instant =
      LocalToUnixMicroseconds(year, month, day, hour, minute, second, millisecond);
  if (!instant) why = QStringLiteral("is not a valid local date and time");
  return instant;
}

}  // namespace trilume
