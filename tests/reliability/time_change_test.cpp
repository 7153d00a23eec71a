// SPDX-License-Identifier: MIT
// The clock follows the system's idea of local time from one frame to the
// next: a clock set forward or back, a new TZ, and the two DST changes of
// Europe/Berlin show in the very next frame and caption.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "model/caption.h"
#include "model/date_time.h"
#include "model/tick_schedule.h"
#include "render/headless_clock.h"
#include "tests/reliability/reliability_support.h"
#include "tests/support/recording_canvas.h"

namespace trilume {
namespace {

using ::testing::StartsWith;

constexpr std::int64_t kTick = kTickMicroseconds;

std::string Clock24(int hour, int minute, int second) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
  return text;
}

// The main window's frame and caption timers over a fake system clock, in
// time zone `zone` and the C locale for as long as it lives.
class FrameClock {
 public:
  explicit FrameClock(const char* zone) : Zone(zone) {}

  void Frame() {
    Canvas.Calls.clear();
    EXPECT_TRUE(Session->Frame().Ok) << Session->GetLastFrame().Error;
  }
  // A frame once the system clock reads `utcMicros`.
  void FrameAt(std::int64_t utcMicros) {
    Clock.Set(utcMicros);
    Frame();
  }
  // A frame once the system clock has moved on by `micros`.
  void FrameAfter(std::int64_t micros) {
    Clock.Advance(micros);
    Frame();
  }
  std::string Caption() const { return ComposeCaption(Now(Clock), *State); }

  // The frame drew the hands of this wall time and the caption names it.
  void ExpectShows(int hour, int minute, int second, int millisecond) const {
    const std::string text = Clock24(hour, minute, second);
    const ClockState expected =
        TipsFor(text, millisecond, Session->Window.Width, Session->Window.Height);
    EXPECT_EQ(State->HourTip.X, expected.HourTip.X) << text;
    EXPECT_EQ(State->HourTip.Y, expected.HourTip.Y) << text;
    EXPECT_EQ(State->MinuteTip.X, expected.MinuteTip.X) << text;
    EXPECT_EQ(State->MinuteTip.Y, expected.MinuteTip.Y) << text;
    EXPECT_EQ(State->SecondTip.X, expected.SecondTip.X) << text << "." << millisecond;
    EXPECT_EQ(State->SecondTip.Y, expected.SecondTip.Y) << text << "." << millisecond;
    EXPECT_THAT(Caption(), StartsWith(text + " "));
  }

  // Set before the session exists and restored after it has gone.
  ScopedTimeZone Zone;
  ScopedLcTime Locale{"C"};
  RecordingCanvas Canvas;
  std::unique_ptr<HeadlessClock> Session = std::make_unique<HeadlessClock>(Canvas);
  ClockState* State = &Session->State;
  FakeClock& Clock = Session->Clock;
};

// --- The system clock set forward or back ------------------------------------------

struct JumpCase {
  const char* Name;
  std::int64_t Start;  // UTC
  std::int64_t Jump;
  int Hour, Minute, Second, Millisecond;  // shown after the jump
  const char* Date;                       // the caption's date after the jump (C locale)
};

void PrintTo(const JumpCase& c, std::ostream* os) { *os << c.Name; }

class ClockJumpTest : public ::testing::TestWithParam<JumpCase> {};

TEST_P(ClockJumpTest, NextFrameAndCaptionShowTheNewTime) {
  const JumpCase& c = GetParam();
  FrameClock clock("UTC");
  clock.FrameAt(c.Start);
  clock.FrameAt(c.Start + c.Jump);
  clock.ExpectShows(c.Hour, c.Minute, c.Second, c.Millisecond);
  EXPECT_THAT(clock.Caption(), ::testing::HasSubstr(std::string(" ") + c.Date + " Triangle is "));
}

constexpr std::int64_t kSecond = 1'000'000;
constexpr std::int64_t kHour = 3600 * kSecond;
constexpr std::int64_t kDay = 24 * kHour;

INSTANTIATE_TEST_SUITE_P(
    Jumps, ClockJumpTest,
    ::testing::Values(JumpCase{"ForwardOneHour", UtcMicros(2026, 6, 15, 10, 20, 30, 250), kHour, 11,
                               20, 30, 250, "06/15/26"},
                      JumpCase{"BackOneHour", UtcMicros(2026, 6, 15, 10, 20, 30, 250), -kHour, 9,
                               20, 30, 250, "06/15/26"},
                      JumpCase{"BackAcrossTheHour", UtcMicros(2026, 6, 15, 10, 2, 0),
                               -300 * kSecond, 9, 57, 0, 0, "06/15/26"},
                      JumpCase{"BackAcrossMidnight", UtcMicros(2026, 6, 15, 0, 0, 1), -2 * kSecond,
                               23, 59, 59, 0, "06/14/26"},
                      JumpCase{"ForwardOneDay", UtcMicros(2026, 6, 15, 10, 20, 30, 250), kDay, 10,
                               20, 30, 250, "06/16/26"},
                      JumpCase{"ForwardThirtyYears", UtcMicros(2026, 6, 15, 10, 20, 30),
                               10'958 * kDay, 10, 20, 30, 0, "06/15/56"},
                      JumpCase{"BackToTheEpoch", UtcMicros(2026, 6, 15, 10, 20, 30),
                               -UtcMicros(2026, 6, 15, 10, 20, 30), 0, 0, 0, 0, "01/01/70"},
                      JumpCase{"PastThe32BitLimit", UtcMicros(2038, 1, 19, 3, 14, 7), kSecond, 3,
                               14, 8, 0, "01/19/38"},
                      JumpCase{
                          "BeforeTheEpoch", UtcMicros(2026, 6, 15, 10, 20, 30),
                          UtcMicros(1969, 7, 20, 20, 17, 40) - UtcMicros(2026, 6, 15, 10, 20, 30),
                          20, 17, 40, 0, "07/20/69"}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(ClockJump, TicksAfterAJumpBackRunOnFromTheNewTime) {
  FrameClock clock("UTC");
  clock.Clock.Set(UtcMicros(2026, 6, 15, 10, 0, 0));
  for (int i = 0; i < 64; ++i) {
    clock.FrameAfter(kTick);
  }
  clock.ExpectShows(10, 0, 1, 0);
  clock.Clock.Advance(-kHour);
  for (int i = 0; i < 32; ++i) {
    clock.FrameAfter(kTick);
  }
  clock.ExpectShows(9, 0, 1, 500);
}

// --- A new TZ under the running clock ----------------------------------------------

struct ZoneCase {
  const char* Zone;
  int Hour, Minute;  // local time at 2026-06-15 12:00:00 UTC
};

void PrintTo(const ZoneCase& c, std::ostream* os) { *os << c.Zone; }

class TimeZoneChangeTest : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(TimeZoneChangeTest, NextFrameShowsTheNewZonesTime) {
  FrameClock clock("UTC");
  clock.FrameAt(UtcMicros(2026, 6, 15, 12, 0, 0));
  clock.ExpectShows(12, 0, 0, 0);
  // No tzset here: the reading itself must pick the change up.
  ScopedTimeZone::Set(GetParam().Zone);
  clock.Frame();
  clock.ExpectShows(GetParam().Hour, GetParam().Minute, 0, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Zones, TimeZoneChangeTest,
    ::testing::Values(ZoneCase{"Europe/Berlin", 14, 0}, ZoneCase{"Asia/Tokyo", 21, 0},
                      ZoneCase{"Asia/Kolkata", 17, 30}, ZoneCase{"America/St_Johns", 9, 30},
                      ZoneCase{"Pacific/Chatham", 0, 45}, ZoneCase{"Pacific/Kiritimati", 2, 0},
                      ZoneCase{"<+0330>-3:30", 15, 30},
                      // An unknown zone reads as UTC.
                      ZoneCase{"Nowhere/Bogus", 12, 0}),
    [](const auto& testInfo) {
      std::string name;
      for (char c : std::string(testInfo.param.Zone)) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      }
      return name;
    });

// --- Daylight saving time in Europe/Berlin -----------------------------------------

TEST(BerlinDaylightSaving, RepeatedHourIsShownTwiceAndTheClockStepsBack) {
  FrameClock clock("Europe/Berlin");
  // 2026-10-25: 03:00 CEST becomes 02:00 CET at 01:00 UTC.
  clock.FrameAt(UtcMicros(2026, 10, 25, 0, 30, 0));
  clock.ExpectShows(2, 30, 0, 0);
  const ClockState first = *clock.State;
  clock.FrameAt(UtcMicros(2026, 10, 25, 1, 30, 0));
  clock.ExpectShows(2, 30, 0, 0);
  EXPECT_EQ(clock.State->HourTip.X, first.HourTip.X);
  EXPECT_EQ(clock.State->HourTip.Y, first.HourTip.Y);

  // Tick by tick across the change: the last CEST frame, then an hour back.
  clock.FrameAt(UtcMicros(2026, 10, 25, 1, 0, 0) - kTick);
  clock.ExpectShows(2, 59, 59, 984);
  clock.FrameAfter(kTick);
  clock.ExpectShows(2, 0, 0, 0);
}

TEST(BerlinDaylightSaving, SkippedHourIsNeverShown) {
  FrameClock clock("Europe/Berlin");
  // 2026-03-29: 02:00 CET becomes 03:00 CEST at 01:00 UTC.
  clock.FrameAt(UtcMicros(2026, 3, 29, 1, 0, 0) - kTick);
  clock.ExpectShows(1, 59, 59, 984);
  clock.FrameAfter(kTick);
  clock.ExpectShows(3, 0, 0, 0);

  // Half an hour either side, a frame every 10 s: no caption says 02:xx.
  clock.Clock.Set(UtcMicros(2026, 3, 29, 0, 30, 0));
  for (int i = 0; i < 360; ++i) {
    clock.Frame();
    EXPECT_THAT(clock.Caption(), ::testing::Not(StartsWith("02:")));
    clock.Clock.Advance(10 * kSecond);
  }
}

}  // namespace
}  // namespace trilume
