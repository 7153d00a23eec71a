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

// Local date and time. The system time zone is looked up again at every
// reading (tzset), so a change of TZ or /etc/localtime shows at once.
TDateTime Now(const ClockSource& clock);
TDateTime Date(const ClockSource& clock);  // today, time of day zero
TDateTime Time(const ClockSource& clock);  // time of day, always below 1

// Converts an instant to the local date-time the system's time zone gives.
TDateTime UnixMicrosecondsToLocal(std::int64_t unixMicroseconds);
// The instant of a local date and time, or nothing when the fields are out
// of range. A time skipped by a DST change resolves as mktime resolves it.
std::optional<std::int64_t> LocalToUnixMicroseconds(int year, int month, int day, int hour,
                                                    int minute, int second, int millisecond);

TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
// Rounds to the nearest millisecond, carrying into the next day.
DecodedTime DecodeTime(TDateTime value);
DecodedDate DecodeDate(TDateTime value);

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime value);

// Texts in the current C locale (setlocale), returned as UTF-8:
// TimeToStr is the locale's "%X", DateToStr "%x", DateTimeToStr "%x %X".
std::string TimeToStr(TDateTime value);
std::string DateToStr(TDateTime value);
std::string DateTimeToStr(TDateTime value);

// Strict decimal conversion: an optional sign and digits only. Anything
// else, the empty text included, throws EConvertError.
std::int32_t StrToInt(std::string_view text);

}  // namespace trilume
