// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace trilume {

// The years the date-time layer converts; the four digits of --at.
inline constexpr int kFirstYear = 1;
inline constexpr int kLastYear = 9999;

// The values trilume-render's options take. Each reads the whole text or
// nothing; on refusal, `why` says what is wrong in words that follow the
// quoted value ("is not a valid date and time").

// `text` in single quotes for an error line, cut short after
// `shownLength` characters so that a huge argument stays one line.
QString Quoted(const QString& text, qsizetype shownLength = 60);

// "--OPTION: 'VALUE' WHY", the line a refused value gets.
QString OptionError(const char* option, const QString& value, const QString& why);

// Digits only (no sign, no blanks), at most nine of them so the value fits.
std::optional<int> WholeNumber(const QString& text);

// "15.625" -> 15625 exactly; above zero and at most a day. A fraction finer
// than a microsecond is refused rather than rounded away.
std::optional<std::int64_t> MillisecondsToMicroseconds(const QString& text, QString& why);

// "YYYY-MM-DD HH:MM:SS[.mmm]" (or with a T) in the local time zone, years
// 1 to 9999, as Unix microseconds. A local time the zone skips is refused.
std::optional<std::int64_t> LocalInstant(const QString& text, QString& why);

}  // namespace trilume
