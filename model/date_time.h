// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "model/clock_state.h"

namespace trilume {

// Every clock reading of the program goes through a ClockSource, so tests
// and the headless tool can set any instant.
class ClockSource {
 public:
  virtual ~ClockSource() = default;
  // Microseconds since 1970-01-01 00:00:00 UTC.
  virtual std::int64_t NowUnixMicroseconds() const = 0;
};

// Reads the system's real-time clock.
class SystemClock final : public ClockSource {
 public:
  std::int64_t NowUnixMicroseconds() const override;
};

// A clock that stands still until told to move.
class FakeClock final : public ClockSource {
 public:
  explicit FakeClock(std::int64_t unixMicroseconds = 0) : Micros(unixMicroseconds) {}
  std::int64_t NowUnixMicroseconds() const override { return Micros; }
  void Set(std::int64_t unixMicroseconds) { Micros = unixMicroseconds; }
  void Advance(std::int64_t microseconds) { Micros += microseconds; }

 private:
  std::int64_t Micros;
};

// Raised by StrToInt; the message names the offending text, for example
// "'x' is not a valid integer value".
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct DecodedTime {
  std::uint16_t Hour = 0;
  std::uint16_t Min = 0;
  std::uint16_t Sec = 0;
  std::uint16_t MSec = 0;
};

struct DecodedDate {
  std::int32_t Year = 0;
  std::uint16_t Month = 0;
  std::uint16_t Day = 0;
};

// Local date and time. The time zone is looked up again (tzset): a change
// of TZ shows at the very next reading. /etc/localtime is looked at no more
// than once a second (a stat at every frame otherwise), at a reading; a
// clock that sleeps reads at least once a second, so a new system zone
// shows within two seconds.
TDateTime Now(const ClockSource& clock);
TDateTime Date(const ClockSource& clock);  // today, time of day zero
TDateTime Time(const ClockSource& clock);  // time of day, always below 1

// Converts an instant to the local date-time the system's time zone gives.
TDateTime UnixMicrosecondsToLocal(std::int64_t unixMicroseconds);
// The instant of a local date and time, or nothing when a field is out of
// range (years 1..9999, a real day of the month, hour 0..23, minute and second
// 0..59, millisecond 0..999) or mktime cannot place it. A time skipped by a
// DST change resolves as mktime resolves it; a repeated one gives one of its
// two instants.
std::optional<std::int64_t> LocalToUnixMicroseconds(int year, int month, int day, int hour,
                                                    int minute, int second, int millisecond);
// How many instants the local zone gives a wall time (to the second): 0
// when the clocks skip it, 2 when they go back over it, else 1. Fields out
// of LocalToUnixMicroseconds's range give 0.
int LocalTimeOccurrences(int year, int month, int day, int hour, int minute, int second);

// Every decoding operation below first rounds the value to the nearest
// millisecond and carries 24:00:00.000 into the next day, so the date, the
// time of day, the day of the week and the texts of one value always agree
// (23:59:59.9996 is 00:00:00.000 of the next day for all of them). Before
// 30 December 1899 the day is negative and the time of day is subtracted
// from it (-1.25 is 29 December 1899, 06:00).
// A non-finite value decodes as 30 December 1899, 00:00:00.000.
DecodedTime DecodeTime(TDateTime value);
DecodedDate DecodeDate(TDateTime value);
// The whole day and the time of day of a value, split as above.
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);  // always in [0, 1)

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime value);

// Texts in the current C locale (setlocale), returned as UTF-8 whatever the
// locale's charset: TimeToStr is the locale's "%X", DateToStr "%x",
// DateTimeToStr "%x %X". The value is split as by DecodeTime and DecodeDate,
// so a text never disagrees with the millisecond field of the same value.
std::string TimeToStr(TDateTime value);
std::string DateToStr(TDateTime value);
std::string DateTimeToStr(TDateTime value);

// Strict decimal conversion: an optional sign and digits only. Anything
// else, the empty text included, throws EConvertError.
std::int32_t StrToInt(std::string_view text);

}  // namespace trilume
