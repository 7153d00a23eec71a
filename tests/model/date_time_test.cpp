// SPDX-License-Identifier: MIT
#include "model/date_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>
#include <ostream>
#include <string>

#include "model/hand_geometry.h"
#include "tests/support/encode_date_time.h"
#include "tests/support/scoped_environment.h"

namespace trilume {
namespace {

using testing::ScopedLocale;
using testing::ScopedTimeZone;

constexpr std::int64_t kMicros = 1'000'000;
constexpr double kMillisPerDay = 86'400'000.0;

// --- Calendar arithmetic ---------------------------------------------------

struct CalendarCase {
  int Year;
  int Month;
  int Day;
  double Serial;
  int Weekday;  // 1 = Sunday .. 7 = Saturday
};

// Names the case in test listings.
void PrintTo(const CalendarCase& c, std::ostream* os) {
  *os << c.Year << "-" << c.Month << "-" << c.Day;
}

class CalendarTest : public ::testing::TestWithParam<CalendarCase> {};

TEST_P(CalendarTest, EncodesDecodesAndNamesTheWeekday) {
  const CalendarCase& c = GetParam();
  const TDateTime value = EncodeDate(c.Year, c.Month, c.Day);
  EXPECT_EQ(value, c.Serial);
  const DecodedDate decoded = DecodeDate(value);
  EXPECT_EQ(decoded.Year, c.Year);
  EXPECT_EQ(decoded.Month, c.Month);
  EXPECT_EQ(decoded.Day, c.Day);
  EXPECT_EQ(DayOfWeek(value), c.Weekday);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, CalendarTest,
    ::testing::Values(CalendarCase{1899, 12, 30, 0, 7}, CalendarCase{1899, 12, 31, 1, 1},
                      CalendarCase{1899, 12, 29, -1, 6}, CalendarCase{1899, 12, 24, -6, 1},
                      CalendarCase{1, 1, 1, -693593, 2}, CalendarCase{1970, 1, 1, 25569, 5},
                      CalendarCase{2000, 2, 29, 36585, 3}, CalendarCase{2026, 12, 8, 46364, 3},
                      CalendarCase{9999, 12, 31, 2958465, 6}));

TEST(CalendarNegative, TimeOfDayIsSubtractedBeforeDayZero) {
  // -1.25 is 29 December 1899, 06:00, a Friday.
  const DecodedDate date = DecodeDate(-1.25);
  EXPECT_EQ(date.Year, 1899);
  EXPECT_EQ(date.Month, 12);
  EXPECT_EQ(date.Day, 29);
  EXPECT_EQ(DecodeTime(-1.25).Hour, 6);
  EXPECT_EQ(DayOfWeek(-1.25), 6);
}

// --- Millisecond rounding ----------------------------------------------------

struct RoundingCase {
  const char* Name;
  double Millis;  // time of day in milliseconds, fractions allowed
  int Hour;
  int Min;
  int Sec;
  int MSec;
  int DayAfter;  // day number DecodeDate and DayOfWeek must see
};

// Names the case in test listings.
void PrintTo(const RoundingCase& c, std::ostream* os) { *os << c.Name; }

class RoundingTest : public ::testing::TestWithParam<RoundingCase> {};

TEST_P(RoundingTest, RoundsToTheNearestMillisecondAndCarries) {
  const RoundingCase& c = GetParam();
  const TDateTime monday = EncodeDate(2026, 12, 7);
  const TDateTime value = monday + c.Millis / kMillisPerDay;
  const DecodedTime t = DecodeTime(value);
  EXPECT_EQ(t.Hour, c.Hour);
  EXPECT_EQ(t.Min, c.Min);
  EXPECT_EQ(t.Sec, c.Sec);
  EXPECT_EQ(t.MSec, c.MSec);
  EXPECT_EQ(DecodeDate(value).Day, 7 + c.DayAfter);
  EXPECT_EQ(DayOfWeek(value), 2 + c.DayAfter);
  EXPECT_EQ(DateOf(value), monday + c.DayAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Times, RoundingTest,
    ::testing::Values(RoundingCase{"Noon", 43'200'000.0, 12, 0, 0, 0, 0},
                      RoundingCase{"BelowHalf", 43'200'000.4, 12, 0, 0, 0, 0},
                      RoundingCase{"AboveHalf", 43'200'000.6, 12, 0, 0, 1, 0},
                      RoundingCase{"LastMillisecond", 86'399'999.4, 23, 59, 59, 999, 0},
                      RoundingCase{"CarriesToNextDay", 86'399'999.6, 0, 0, 0, 0, 1}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(DecodeNonFinite, DecodesAsDayZero) {
  EXPECT_EQ(DecodeDate(std::nan("")).Year, 1899);
  const double infinity = std::numeric_limits<double>::infinity();
  EXPECT_EQ(DecodeTime(infinity).Hour, 0);
  EXPECT_EQ(DayOfWeek(-infinity), 7);
}

// --- StrToInt -------------------------------------------------------------------

struct GoodNumber {
  const char* Text;
  std::int32_t Value;
};

// Names the case in test listings.
void PrintTo(const GoodNumber& c, std::ostream* os) { *os << c.Text; }

class StrToIntGood : public ::testing::TestWithParam<GoodNumber> {};

TEST_P(StrToIntGood, Converts) { EXPECT_EQ(StrToInt(GetParam().Text), GetParam().Value); }

INSTANTIATE_TEST_SUITE_P(Texts, StrToIntGood,
                         ::testing::Values(GoodNumber{"0", 0}, GoodNumber{"7", 7},
                                           GoodNumber{"-7", -7}, GoodNumber{"+7", 7},
                                           GoodNumber{"007", 7},
                                           GoodNumber{"2147483647", 2147483647},
                                           GoodNumber{"-2147483648", -2147483647 - 1},
                                           GoodNumber{"00000000000000000000042", 42}));

class StrToIntBad : public ::testing::TestWithParam<std::string> {};

TEST_P(StrToIntBad, ThrowsNamingTheText) {
  const std::string& text = GetParam();
  try {
    StrToInt(text);
    FAIL() << "accepted '" << text << "'";
  } catch (const EConvertError& error) {
    // Compared as C strings: what() ends at an embedded NUL.
    EXPECT_STREQ(error.what(), ("'" + text + "' is not a valid integer value").c_str());
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, StrToIntBad,
                         ::testing::Values("", "x", ":", " 1", "1 ", "+", "-", "--1", "+-1", "0x10",
                                           "$10", "1e3", "1.0", "2147483648", "-2147483649",
                                           "99999999999999999999",
                                           "\xEF\xBC\x91" /* fullwidth one */,
                                           std::string("1\0", 2)));

// --- Texts in the current locale -----------------------------------------------

struct LocaleCase {
  const char* Locale;
  const char* Time;  // 00:15:30
  const char* Date;  // 8 December 2026
  float HourValue;   // what the frame reads from the time text
};

// Names the case in test listings.
void PrintTo(const LocaleCase& c, std::ostream* os) { *os << c.Locale; }

class LocaleTextTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleTextTest, FormatsAndReadsBack) {
  const LocaleCase& c = GetParam();
  ScopedLocale locale(c.Locale);
  if (!locale.IsActive()) GTEST_SKIP() << c.Locale << " is not installed";
  const TDateTime date = EncodeDate(2026, 12, 8);
  const TDateTime time = EncodeTime(0, 15, 30, 0);
  EXPECT_EQ(TimeToStr(time), c.Time);
  EXPECT_EQ(DateToStr(date), c.Date);
  EXPECT_EQ(DateTimeToStr(date + time), std::string(c.Date) + " " + c.Time);

  const HandValues values = ReadHandValues(TimeToStr(time), time);
  EXPECT_EQ(values.HourValue, c.HourValue);
  EXPECT_EQ(values.MinuteValue, 15.0F);
  EXPECT_EQ(values.SecondValue, 30.0F);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LocaleTextTest,
    ::testing::Values(LocaleCase{"C", "00:15:30", "12/08/26", 0.0F},
                      LocaleCase{"en_US.UTF-8", "12:15:30 AM", "12/08/2026", 60.0F},
                      LocaleCase{"de_DE.UTF-8", "00:15:30", "08.12.2026", 0.0F},
                      LocaleCase{"ja_JP.UTF-8",
                                 "00\xE6\x99\x82"
                                 "15\xE5\x88\x86"
                                 "30\xE7\xA7\x92",
                                 "2026\xE5\xB9\xB4"
                                 "12\xE6\x9C\x88"
                                 "08\xE6\x97\xA5",
                                 0.0F}),
    [](const auto& testInfo) {
      std::string name = testInfo.param.Locale;
      return name.substr(0, name.find('.'));
    });

TEST(LocaleText, TimeTextRoundsLikeTheMillisecondField) {
  ScopedLocale locale("C");
  // 00:15:30.9996 must read 00:15:31 with millisecond 0, never 00:15:30 with 0.
  const TDateTime value = EncodeTime(0, 15, 30, 0) + 999.6 / kMillisPerDay;
  EXPECT_EQ(TimeToStr(value), "00:15:31");
  EXPECT_EQ(DecodeTime(value).Sec, 31);
  EXPECT_EQ(DecodeTime(value).MSec, 0);
  // Just before midnight both the text and the date move on together.
  const TDateTime lateMonday = EncodeDate(2026, 12, 7) + 86'399'999.6 / kMillisPerDay;
  EXPECT_EQ(DateTimeToStr(lateMonday), "12/08/26 00:00:00");
}

TEST(LocaleText, TwelveHourTextWithoutLeadingZeroFails) {
  // Not produced by an installed locale's long format here, but exactly what
  // a locale with an unpadded hour gives; the frame must fail cleanly.
  try {
    ReadHandValues("9:05:07 AM", 0.0);
    FAIL();
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "':' is not a valid integer value");
  }
}

// --- Clock source and time zones ----------------------------------------------------

// 2026-12-08 00:15:30 UTC.
constexpr std::int64_t kTuesdayUtc = 1'796'688'930 * kMicros;

TEST(TimeZone, UtcAndBerlinReadTheSameInstantAnHourApart) {
  FakeClock clock(kTuesdayUtc + 250'000);
  const TDateTime date = EncodeDate(2026, 12, 8);
  {
    ScopedTimeZone zone("UTC");
    EXPECT_NEAR(Now(clock), date + EncodeTime(0, 15, 30, 250), 1e-9);
    EXPECT_EQ(Date(clock), date);
    EXPECT_NEAR(Time(clock), EncodeTime(0, 15, 30, 250), 1e-9);
  }
  {
    ScopedTimeZone zone("Europe/Berlin");
    EXPECT_NEAR(Now(clock), date + EncodeTime(1, 15, 30, 250), 1e-9);
    EXPECT_EQ(DecodeTime(Time(clock)).MSec, 250);
  }
}

TEST(TimeZone, ChangeShowsAtTheNextReading) {
  ScopedTimeZone zone("UTC");
  FakeClock clock(kTuesdayUtc);
  EXPECT_EQ(DecodeTime(Now(clock)).Hour, 0);
  ScopedTimeZone::Set("Asia/Tokyo");
  EXPECT_EQ(DecodeTime(Now(clock)).Hour, 9);
  ScopedTimeZone::Set("America/New_York");
  const TDateTime newYork = Now(clock);
  EXPECT_EQ(DecodeTime(newYork).Hour, 19);
  EXPECT_EQ(DecodeDate(newYork).Day, 7);
}

TEST(TimeZone, SpringForwardSkipsHalfPastTwoInBerlin) {
  ScopedTimeZone zone("Europe/Berlin");
  // 2026-03-29 01:00:00 UTC is the switch from 02:00 CET to 03:00 CEST.
  const std::int64_t change = 1'774'746'000 * kMicros;
  const DecodedTime before = DecodeTime(UnixMicrosecondsToLocal(change - kMicros));
  const DecodedTime after = DecodeTime(UnixMicrosecondsToLocal(change));
  EXPECT_EQ(before.Hour, 1);
  EXPECT_EQ(before.Min, 59);
  EXPECT_EQ(before.Sec, 59);
  EXPECT_EQ(after.Hour, 3);
  EXPECT_EQ(after.Min, 0);
  for (std::int64_t minute = -120; minute <= 120; ++minute) {
    EXPECT_NE(DecodeTime(UnixMicrosecondsToLocal(change + minute * 60 * kMicros)).Hour, 2);
  }
  const auto skipped = LocalToUnixMicroseconds(2026, 3, 29, 2, 30, 0, 0);
  ASSERT_TRUE(skipped.has_value());
  EXPECT_NE(DecodeTime(UnixMicrosecondsToLocal(*skipped)).Hour, 2);
}

TEST(TimeZone, FallBackShowsHalfPastTwoTwiceInBerlin) {
  ScopedTimeZone zone("Europe/Berlin");
  // 2026-10-25 00:30 UTC is 02:30 CEST; 01:30 UTC is 02:30 CET.
  const std::int64_t first = 1'792'888'200 * kMicros;
  const std::int64_t second = first + 3600 * kMicros;
  for (const std::int64_t instant : {first, second}) {
    const TDateTime local = UnixMicrosecondsToLocal(instant);
    EXPECT_EQ(DecodeDate(local).Day, 25);
    EXPECT_EQ(DecodeTime(local).Hour, 2);
    EXPECT_EQ(DecodeTime(local).Min, 30);
  }
  const auto resolved = LocalToUnixMicroseconds(2026, 10, 25, 2, 30, 0, 0);
  ASSERT_TRUE(resolved.has_value());
  EXPECT_TRUE(*resolved == first || *resolved == second);
}

TEST(TimeZone, LocalToInstantRoundTrips) {
  ScopedTimeZone zone("UTC");
  EXPECT_EQ(LocalToUnixMicroseconds(2026, 12, 8, 0, 15, 30, 500), kTuesdayUtc + 500'000);
  EXPECT_EQ(LocalToUnixMicroseconds(1969, 12, 31, 23, 59, 59, 0), -kMicros);
  ScopedTimeZone::Set("Europe/Berlin");
  EXPECT_EQ(LocalToUnixMicroseconds(2026, 12, 8, 1, 15, 30, 0), kTuesdayUtc);
}

struct BadFields {
  int Year, Month, Day, Hour, Minute, Second, Millisecond;
};

// Names the case in test listings.
void PrintTo(const BadFields& c, std::ostream* os) {
  *os << c.Year << "-" << c.Month << "-" << c.Day << " " << c.Hour << ":" << c.Minute << ":"
      << c.Second << "." << c.Millisecond;
}

class LocalFieldsOutOfRange : public ::testing::TestWithParam<BadFields> {};

TEST_P(LocalFieldsOutOfRange, GiveNoInstant) {
  ScopedTimeZone zone("Europe/Berlin");
  const BadFields& f = GetParam();
  EXPECT_FALSE(
      LocalToUnixMicroseconds(f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second, f.Millisecond)
          .has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, LocalFieldsOutOfRange,
    ::testing::Values(BadFields{2026, 13, 1, 0, 0, 0, 0}, BadFields{2026, 0, 1, 0, 0, 0, 0},
                      BadFields{2026, 1, 32, 0, 0, 0, 0}, BadFields{2026, 2, 29, 0, 0, 0, 0},
                      BadFields{2026, 1, 1, 24, 0, 0, 0}, BadFields{2026, 1, 1, 0, 60, 0, 0},
                      BadFields{2026, 1, 1, 0, 0, 60, 0}, BadFields{2026, 1, 1, 0, 0, 0, 1000},
                      BadFields{2026, 1, 1, 0, 0, 0, -1}, BadFields{0, 1, 1, 0, 0, 0, 0},
                      BadFields{10000, 1, 1, 0, 0, 0, 0}));

TEST(TimeZone, InstantsBeforeTheEpochFloorToTheSecond) {
  ScopedTimeZone zone("UTC");
  // One microsecond before 1970 is 23:59:59.999999 on the last day of 1969,
  // which rounds to midnight of 1 January 1970.
  const TDateTime value = UnixMicrosecondsToLocal(-1);
  EXPECT_LT(value, 25569.0);
  EXPECT_EQ(DecodeDate(value).Year, 1970);
  EXPECT_EQ(DecodeTime(value).MSec, 0);
  EXPECT_EQ(DecodeTime(UnixMicrosecondsToLocal(-1'500'000)).Sec, 58);
  EXPECT_EQ(DecodeTime(UnixMicrosecondsToLocal(-1'500'000)).MSec, 500);
}

TEST(SystemClockTest, ReadsTheRealTime) {
  const double seconds = static_cast<double>(SystemClock().NowUnixMicroseconds()) / 1e6;
  EXPECT_NEAR(seconds, static_cast<double>(std::time(nullptr)), 5.0);
}

}  // namespace
}  // namespace trilume
