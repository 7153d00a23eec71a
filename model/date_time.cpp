// SPDX-License-Identifier: MIT
#include "model/date_time.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <limits>

namespace trilume {
namespace {

constexpr std::int64_t kMicrosPerSecond = 1'000'000;
constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr std::int64_t kMillisPerDay = 86'400'000;
constexpr double kMicrosPerDay = 86'400'000'000.0;
// Day number of 1970-01-01 counted from 30 December 1899.
constexpr std::int64_t kUnixEpochDay = 25'569;
// Keeps decoded years well inside an int; about 2.7 million years either way.
constexpr std::int64_t kDayLimit = 1'000'000'000;
constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) {
    --q;
  }
  return q;
}

bool IsLeapYear(std::int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(std::int64_t year, int month) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) {
    return 29;
  }
  return kDays[static_cast<std::size_t>(month - 1)];
}

// Proleptic Gregorian calendar, days counted from 30 December 1899
// (H. Hinnant's civil-from-days arithmetic, shifted to that origin).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  const std::int64_t y = month <= 2 ? year - 1 : year;
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t shiftedMonth = month > 2 ? month - 3 : month + 9;
  const std::int64_t dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146'097 + dayOfEra - 719'468 + kUnixEpochDay;
}

struct CivilDate {
  std::int64_t Year;
  int Month;
  int Day;
};

CivilDate CivilFromDays(std::int64_t days) {
  const std::int64_t z = days - kUnixEpochDay + 719'468;
  const std::int64_t era = FloorDiv(z, 146'097);
  const std::int64_t dayOfEra = z - era * 146'097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  return {year, month, day};
}

// Before 30 December 1899 the time of day is subtracted from the (negative)
// day, so the fraction reads as the time of day on both sides of day 0.
TDateTime ComposeDateTime(std::int64_t days, double timeOfDay) {
  const auto whole = static_cast<double>(days);
  return days < 0 ? whole - timeOfDay : whole + timeOfDay;
}

// One split shared by every decoding operation, so a date, a time of day and
// a day name taken from the same value always agree, also when rounding to
// the millisecond reaches midnight.
struct SplitValue {
  std::int64_t Days = 0;
  std::int64_t MillisOfDay = 0;
};

SplitValue Split(TDateTime value) {
  if (!std::isfinite(value)) {
    return {};
  }
  const double wholeDays = std::clamp(std::trunc(value), static_cast<double>(-kDayLimit),
                                      static_cast<double>(kDayLimit));
  const double fraction = std::min(std::fabs(value - std::trunc(value)), 1.0);
  SplitValue split;
  split.Days = static_cast<std::int64_t>(wholeDays);
  split.MillisOfDay = std::llround(fraction * static_cast<double>(kMillisPerDay));
  if (split.MillisOfDay >= kMillisPerDay) {
    split.MillisOfDay = 0;
    ++split.Days;
  }
  return split;
}

// 1 = Sunday .. 7 = Saturday; day 0 was a Saturday.
int WeekdayOfDay(std::int64_t days) {
  const std::int64_t sinceSunday = ((days % 7) + 7 + 6) % 7;
  return static_cast<int>(sinceSunday) + 1;
}

// Encodes one code point; anything that is not a scalar value becomes U+FFFD.
std::size_t EncodeUtf8(char32_t codePoint, char* out) {
  if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    codePoint = 0xFFFD;
  }
  if (codePoint < 0x80) {
    out[0] = static_cast<char>(codePoint);
    return 1;
  }
  if (codePoint < 0x800) {
    out[0] = static_cast<char>(0xC0 | (codePoint >> 6));
    out[1] = static_cast<char>(0x80 | (codePoint & 0x3F));
    return 2;
  }
  if (codePoint < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (codePoint >> 12));
    out[1] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (codePoint & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (codePoint >> 18));
  out[1] = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (codePoint & 0x3F));
  return 4;
}

// The wide variant of strftime reads the locale's formats as wide text, so
// the result does not depend on the locale's multibyte charset; encoding to
// UTF-8 here keeps every text of the program in one encoding.
std::string Format(TDateTime value, const wchar_t* format) {
  const SplitValue split = Split(value);
  const CivilDate date = CivilFromDays(split.Days);
  std::tm fields{};
  fields.tm_year = static_cast<int>(date.Year - 1900);
  fields.tm_mon = date.Month - 1;
  fields.tm_mday = date.Day;
  fields.tm_yday = static_cast<int>(split.Days - DaysFromCivil(date.Year, 1, 1));
  fields.tm_wday = WeekdayOfDay(split.Days) - 1;
  const std::int64_t seconds = split.MillisOfDay / 1000;
  fields.tm_hour = static_cast<int>(seconds / 3600);
  fields.tm_min = static_cast<int>(seconds / 60 % 60);
  fields.tm_sec = static_cast<int>(seconds % 60);
  fields.tm_isdst = -1;
  fields.tm_zone = "";

  std::array<wchar_t, 128> wide{};
  const std::size_t length = std::wcsftime(wide.data(), wide.size(), format, &fields);
  std::array<char, 128 * 4> utf8{};
  std::size_t used = 0;
  for (std::size_t i = 0; i < length; ++i) {
    used += EncodeUtf8(static_cast<char32_t>(wide[i]), utf8.data() + used);
  }
  return std::string(utf8.data(), used);
}

void ThrowNotAnInteger(std::string_view text) {
  std::string message;
  message.reserve(text.size() + 32);
  message.append("'").append(text).append("' is not a valid integer value");
  throw EConvertError(message);
}

// tzset looks at the zone again, so a change of TZ or of /etc/localtime
// shows. Without TZ that means a stat of /etc/localtime, 64 times a second
// for a running clock; once a second is soon enough for a new system zone.
// A TZ set, changed or taken away is still seen at the very next reading.
void LookAtZone() {
  thread_local bool looked = false;
  thread_local bool tzWasSet = false;
  thread_local std::int64_t lastLook = 0;
  const bool tzSet = std::getenv("TZ") != nullptr;
  const std::int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now().time_since_epoch())
                               .count();
  if (looked && !tzSet && !tzWasSet && now - lastLook < 1000) return;
  tzset();
  looked = true;
  tzWasSet = tzSet;
  lastLook = now;
}

}  // namespace

std::int64_t SystemClock::NowUnixMicroseconds() const {
  using std::chrono::duration_cast;
  using std::chrono::microseconds;
  using std::chrono::system_clock;
  return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

TDateTime UnixMicrosecondsToLocal(std::int64_t unixMicroseconds) {
  const std::int64_t seconds = FloorDiv(unixMicroseconds, kMicrosPerSecond);
  // The remainder, not value - seconds * 10^6: that product overflows for
  // instants near the bottom of the range.
  std::int64_t micros = unixMicroseconds % kMicrosPerSecond;
  if (micros < 0) micros += kMicrosPerSecond;
  // localtime_r does not look at the zone again by itself.
  LookAtZone();
  const auto instant = static_cast<std::time_t>(seconds);
  std::tm local{};
  std::int64_t days = 0;
  std::int64_t secondOfDay = 0;
  if (localtime_r(&instant, &local) != nullptr) {
    days = DaysFromCivil(static_cast<std::int64_t>(local.tm_year) + 1900, local.tm_mon + 1,
                         local.tm_mday);
    // A leap second (zones of the right/ family) is shown as :59.
    secondOfDay = local.tm_hour * 3600 + local.tm_min * 60 + std::min(local.tm_sec, 59);
  } else {
    // Beyond the zone database's reach: fall back to UTC.
    days = FloorDiv(seconds, kSecondsPerDay) + kUnixEpochDay;
    secondOfDay = seconds - FloorDiv(seconds, kSecondsPerDay) * kSecondsPerDay;
  }
  days = std::clamp(days, -kDayLimit, kDayLimit);
  const double timeOfDay =
      static_cast<double>(secondOfDay * kMicrosPerSecond + micros) / kMicrosPerDay;
  return ComposeDateTime(days, timeOfDay);
}

namespace {

// A local wall time as the C library's broken-down time.
std::tm WallFields(int year, int month, int day, int hour, int minute, int second) {
  std::tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  return fields;
}

}  // namespace

std::optional<std::int64_t> LocalToUnixMicroseconds(int year, int month, int day, int hour,
                                                    int minute, int second, int millisecond) {
  if (year < kMinYear || year > kMaxYear || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59 || millisecond < 0 || millisecond > 999) {
    return std::nullopt;
  }
  std::tm fields = WallFields(year, month, day, hour, minute, second);
  fields.tm_isdst = -1;
  // mktime may legitimately return -1, so success is told by tm_wday.
  fields.tm_wday = -1;
  LookAtZone();
  const std::time_t instant = std::mktime(&fields);
  if (fields.tm_wday < 0) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(instant) * kMicrosPerSecond +
         static_cast<std::int64_t>(millisecond) * 1000;
}

namespace {

bool ShowsFields(std::time_t instant, const std::tm& wanted, long& offset) {
  std::tm local{};
  if (localtime_r(&instant, &local) == nullptr) return false;
  offset = local.tm_gmtoff;
  return local.tm_year == wanted.tm_year && local.tm_mon == wanted.tm_mon &&
         local.tm_mday == wanted.tm_mday && local.tm_hour == wanted.tm_hour &&
         local.tm_min == wanted.tm_min && local.tm_sec == wanted.tm_sec;
}

}  // namespace

int LocalTimeOccurrences(int year, int month, int day, int hour, int minute, int second) {
  const std::optional<std::int64_t> micros =
      LocalToUnixMicroseconds(year, month, day, hour, minute, second, 0);
  if (!micros) return 0;
  const std::tm wanted = WallFields(year, month, day, hour, minute, second);
  const auto instant = static_cast<std::time_t>(*micros / kMicrosPerSecond);
  long offset = 0;
  // mktime moves a skipped time past the gap.
  if (!ShowsFields(instant, wanted, offset)) return 0;
  // A second instant shows the same wall time only under another offset
  // in force within a day of it; zones change offsets at most twice a day.
  for (const std::time_t near : {instant - kSecondsPerDay, instant + kSecondsPerDay}) {
    std::tm local{};
    if (localtime_r(&near, &local) == nullptr || local.tm_gmtoff == offset) continue;
    long other = 0;
    if (ShowsFields(instant + (offset - local.tm_gmtoff), wanted, other)) return 2;
  }
  return 1;
}

TDateTime Now(const ClockSource& clock) {
  return UnixMicrosecondsToLocal(clock.NowUnixMicroseconds());
}

TDateTime Date(const ClockSource& clock) { return std::trunc(Now(clock)); }

TDateTime Time(const ClockSource& clock) {
  const TDateTime now = Now(clock);
  return std::fabs(now - std::trunc(now));
}

TDateTime DateOf(TDateTime value) { return static_cast<double>(Split(value).Days); }

TDateTime TimeOf(TDateTime value) {
  return static_cast<double>(Split(value).MillisOfDay) / static_cast<double>(kMillisPerDay);
}

DecodedTime DecodeTime(TDateTime value) {
  const std::int64_t millis = Split(value).MillisOfDay;
  DecodedTime decoded;
  decoded.Hour = static_cast<std::uint16_t>(millis / 3'600'000);
  decoded.Min = static_cast<std::uint16_t>(millis / 60'000 % 60);
  decoded.Sec = static_cast<std::uint16_t>(millis / 1000 % 60);
  decoded.MSec = static_cast<std::uint16_t>(millis % 1000);
  return decoded;
}

DecodedDate DecodeDate(TDateTime value) {
  const CivilDate date = CivilFromDays(Split(value).Days);
  DecodedDate decoded;
  decoded.Year = static_cast<std::int32_t>(date.Year);
  decoded.Month = static_cast<std::uint16_t>(date.Month);
  decoded.Day = static_cast<std::uint16_t>(date.Day);
  return decoded;
}

int DayOfWeek(TDateTime value) { return WeekdayOfDay(Split(value).Days); }

std::string TimeToStr(TDateTime value) { return Format(value, L"%X"); }

std::string DateToStr(TDateTime value) { return Format(value, L"%x"); }

std::string DateTimeToStr(TDateTime value) { return Format(value, L"%x %X"); }

std::int32_t StrToInt(std::string_view text) {
  std::size_t position = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    position = 1;
  }
  if (position == text.size()) {
    ThrowNotAnInteger(text);
  }
  // The magnitude may reach 2^31 for the most negative value.
  constexpr std::int64_t kLimit =
      static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
  std::int64_t magnitude = 0;
  for (; position < text.size(); ++position) {
    const char digit = text[position];
    if (digit < '0' || digit > '9') {
      ThrowNotAnInteger(text);
    }
    magnitude = magnitude * 10 + (digit - '0');
    if (magnitude > kLimit) {
      ThrowNotAnInteger(text);
    }
  }
  if (!negative && magnitude == kLimit) {
    ThrowNotAnInteger(text);
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace trilume
