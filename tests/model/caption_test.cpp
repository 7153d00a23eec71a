// SPDX-License-Identifier: MIT
#include "model/caption.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "model/date_time.h"
#include "model/triangle.h"
#include "tests/support/encode_date_time.h"
#include "tests/support/scoped_environment.h"

namespace trilume {
namespace {

using testing::ScopedLocale;

constexpr double kMillisPerDay = 86'400'000.0;
const std::string kClosing(kCaptionClosing);

class CaptionTest : public ::testing::Test {
 protected:
  ScopedLocale Locale{"C"};
  ClockState State;
};

// --- Pieces and spacing --------------------------------------------------------------

struct KindsCase {
  const char* Name;
  std::string_view TriangleKind;
  std::string_view AngleKind;
  const char* Middle;  // what stands between the date and the closing piece
};

// Names the case in test listings.
void PrintTo(const KindsCase& c, std::ostream* os) { *os << c.Name; }

class CaptionKinds : public ::testing::TestWithParam<KindsCase> {};

TEST_P(CaptionKinds, KeepEverySeparator) {
  ScopedLocale locale("C");
  ClockState state;
  state.TriangleKind = GetParam().TriangleKind;
  state.AngleKind = GetParam().AngleKind;
  const TDateTime now = EncodeDate(2026, 12, 8) + EncodeTime(0, 15, 30, 0);
  EXPECT_EQ(ComposeCaption(now, state),
            std::string("00:15:30 Tue 12/08/26") + GetParam().Middle + kClosing);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CaptionKinds,
    ::testing::Values(KindsCase{"BeforeTheFirstFrame", "", "", " Triangle is  "},
                      KindsCase{"RightObtuseFiveSpacesApart", kRight, kObtuse,
                                " Triangle is Right     Obtuse"},
                      KindsCase{"ScaleneAcute", kScalene, kAcute, " Triangle is Scalene Acute"}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

// --- One reading for date, time and day name ------------------------------------------------

struct ReadingCase {
  const char* Name;
  int Day;        // of December 2026
  double Millis;  // time of day
  const char* Expected;
};

// Names the case in test listings.
void PrintTo(const ReadingCase& c, std::ostream* os) { *os << c.Name; }

class CaptionReading : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(CaptionReading, DateTimeAndDayAgree) {
  ScopedLocale locale("C");
  ClockState state;
  // The program started on a Sunday; the caption must follow the clock.
  state.StartTime = EncodeDate(2026, 12, 6) + 0.5;
  const TDateTime now = EncodeDate(2026, 12, GetParam().Day) + GetParam().Millis / kMillisPerDay;
  EXPECT_EQ(ComposeCaption(now, state),
            std::string(GetParam().Expected) + " Triangle is  " + kClosing);
}

INSTANTIATE_TEST_SUITE_P(
    AroundMidnight, CaptionReading,
    ::testing::Values(ReadingCase{"SundayEvening", 6, 86'399'000.0, "23:59:59 Sun 12/06/26"},
                      ReadingCase{"MondayAfterMidnight", 7, 1'000.0, "00:00:01 Mon 12/07/26"},
                      ReadingCase{"LastMillisecondOfMonday", 7, 86'399'999.0,
                                  "23:59:59 Mon 12/07/26"},
                      // Rounds up to midnight: the date and the day follow the time shown.
                      ReadingCase{"RoundsIntoTuesday", 7, 86'399'999.6, "00:00:00 Tue 12/08/26"},
                      ReadingCase{"Saturday", 12, 43'200'000.0, "12:00:00 Sat 12/12/26"}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

// --- DateTimeText -----------------------------------------------------------------------------

TEST_F(CaptionTest, DateTimeTextChoosesByValue) {
  const TDateTime date = EncodeDate(2026, 12, 8);
  const TDateTime time = EncodeTime(0, 15, 30, 0);
  EXPECT_EQ(DateTimeText(time), "00:15:30");
  EXPECT_EQ(DateTimeText(0.0), "00:00:00");
  EXPECT_EQ(DateTimeText(date), "12/08/26");
  EXPECT_EQ(DateTimeText(date + time), "12/08/26 00:15:30");
}

TEST(CaptionLocale, FollowsTheLocaleFormats) {
  ScopedLocale locale("de_DE.UTF-8");
  if (!locale.IsActive()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  ClockState state;
  state.TriangleKind = kIsosceles;
  state.AngleKind = kObtuse;
  const TDateTime now = EncodeDate(2026, 12, 8) + EncodeTime(13, 5, 9, 0);
  EXPECT_EQ(ComposeCaption(now, state),
            "13:05:09 Tue 08.12.2026 Triangle is Isosceles Obtuse" + kClosing);
}

}  // namespace
}  // namespace trilume
