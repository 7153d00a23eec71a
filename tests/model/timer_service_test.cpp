// SPDX-License-Identifier: MIT
// The timer service: registration order, enabling and disabling, stalls,
// and the wake-ups it asks its tick source for.
#include "model/timer_service.h"

#include <gtest/gtest.h>

#include <string>

#include "model/timer.h"

namespace trilume {
namespace {

class TimerServiceTest : public ::testing::Test {
 protected:
  // Moves the tick source to tick `tick`, plus `lateness` microseconds, so
  // that its wake-up serves whatever is due. Returns whether a tick was
  // served.
  bool ServeAt(std::int64_t tick, std::int64_t lateness = 300) {
    const std::int64_t served = Service.GetLastServedTick();
    Ticks.AdvanceTo(Service.GetSchedule().GetDeadline(tick) + lateness);
    return Service.GetLastServedTick() != served;
  }

  FakeTickSource Ticks{5'000'000};
  TimerService Service{Ticks};
};

// A timer whose handler counts its firings.
struct CountingTimer {
  CountingTimer(TimerService& service, int intervalMilliseconds, bool enabled)
      : Timer(service, intervalMilliseconds, enabled) {
    Timer.OnTimer = [this] { ++Fired; };
  }

  TTimer Timer;
  int Fired = 0;
};

TEST_F(TimerServiceTest, DueTimersFireInDeclarationOrderWithinATick) {
  std::string log;
  TTimer timer1(Service, 1, true);
  TTimer timer2(Service, 200, true);
  TTimer timer3(Service, 1, true);
  timer1.OnTimer = [&] { log += '1'; };
  timer2.OnTimer = [&] { log += '2'; };
  timer3.OnTimer = [&] { log += '3'; };
  for (std::int64_t tick = 1; tick <= 13; ++tick) {
    ASSERT_TRUE(ServeAt(tick));
  }
  // Twelve ticks of 1 and 3, then tick 13 with the caption timer between.
  std::string expected;
  for (int tick = 1; tick <= 12; ++tick) {
    expected += "13";
  }
  expected += "123";
  EXPECT_EQ(log, expected);
}

TEST_F(TimerServiceTest, DisabledTimersDoNotFireAndReenablingRestartsTheInterval) {
  CountingTimer frames(Service, 1, true);
  CountingTimer flights(Service, 1, false);
  ServeAt(1);
  ServeAt(2);
  EXPECT_EQ(frames.Fired, 2);
  EXPECT_EQ(flights.Fired, 0);

  flights.Timer.SetEnabled(true);  // at tick 2 + 300 us: due at the next tick
  ServeAt(3);
  EXPECT_EQ(flights.Fired, 1);
  flights.Timer.SetEnabled(false);
  ServeAt(4);
  EXPECT_EQ(flights.Fired, 1);
  EXPECT_EQ(frames.Fired, 4);

  CountingTimer captions(Service, 200, false);
  captions.Timer.SetEnabled(true);  // at tick 4 + 300 us: due at tick 4 + 13
  for (std::int64_t tick = 5; tick <= 16; ++tick) {
    ServeAt(tick);
  }
  EXPECT_EQ(captions.Fired, 0);
  ServeAt(17);
  EXPECT_EQ(captions.Fired, 1);
}

TEST_F(TimerServiceTest, AStallGivesEachTimerOneFiring) {
  CountingTimer frames(Service, 1, true);
  CountingTimer captions(Service, 200, true);
  ServeAt(1);
  ASSERT_TRUE(ServeAt(500));  // about eight seconds later
  EXPECT_EQ(frames.Fired, 2);
  EXPECT_EQ(captions.Fired, 1);
  EXPECT_EQ(Service.GetLastServedTick(), 500);
  // A second wake-up within the same tick serves nothing.
  EXPECT_FALSE(ServeAt(500, 9000));
  EXPECT_EQ(frames.Fired, 2);
  ServeAt(501);
  EXPECT_EQ(frames.Fired, 3);
}

TEST_F(TimerServiceTest, AHandlerMayDisableALaterTimerOfTheSameTick) {
  TTimer first(Service, 1, true);
  CountingTimer third(Service, 1, true);
  first.OnTimer = [&] { third.Timer.SetEnabled(false); };
  ServeAt(1);
  EXPECT_EQ(third.Fired, 0);
}

TEST_F(TimerServiceTest, AsksForTheNextDueTickAndSleepsWhileNoTimerRuns) {
  CountingTimer captions(Service, 200, true);
  ASSERT_TRUE(Ticks.IsWakePending());
  EXPECT_EQ(Ticks.GetWakeDeadline(), Service.GetSchedule().GetDeadline(13));
  // The source's own wake-up serves the tick, and nothing wakes before it.
  EXPECT_FALSE(Ticks.AdvanceTo(Service.GetSchedule().GetDeadline(13) - 1));
  EXPECT_TRUE(Ticks.AdvanceTo(Service.GetSchedule().GetDeadline(13)));
  EXPECT_EQ(captions.Fired, 1);
  EXPECT_EQ(Ticks.GetWakeDeadline(), Service.GetSchedule().GetDeadline(26));
  captions.Timer.SetEnabled(false);
  EXPECT_FALSE(Ticks.IsWakePending());
}

}  // namespace
}  // namespace trilume
