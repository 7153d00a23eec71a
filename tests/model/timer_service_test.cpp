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
  bool ServeAt(TimerService& service, std::int64_t tick, std::int64_t lateness = 300) {
    const std::int64_t served = service.GetLastServedTick();
    Ticks.AdvanceTo(service.GetSchedule().GetDeadline(tick) + lateness);
    return service.GetLastServedTick() != served;
  }

  FakeTickSource Ticks{5'000'000};
};

TEST_F(TimerServiceTest, DueTimersFireInDeclarationOrderWithinATick) {
  TimerService service(Ticks);
  std::string log;
  TTimer timer1(service, 1, true);
  TTimer timer2(service, 200, true);
  TTimer timer3(service, 1, true);
  timer1.OnTimer = [&] { log += '1'; };
  timer2.OnTimer = [&] { log += '2'; };
  timer3.OnTimer = [&] { log += '3'; };
  for (std::int64_t tick = 1; tick <= 13; ++tick) {
    ASSERT_TRUE(ServeAt(service, tick));
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
  TimerService service(Ticks);
  int frames = 0;
  int flights = 0;
  TTimer timer1(service, 1, true);
  TTimer timer3(service, 1, false);
  timer1.OnTimer = [&] { ++frames; };
  timer3.OnTimer = [&] { ++flights; };
  ServeAt(service, 1);
  ServeAt(service, 2);
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(flights, 0);

  timer3.SetEnabled(true);  // at tick 2 + 300 us: due at the next tick
  ServeAt(service, 3);
  EXPECT_EQ(flights, 1);
  timer3.SetEnabled(false);
  ServeAt(service, 4);
  EXPECT_EQ(flights, 1);
  EXPECT_EQ(frames, 4);

  TTimer caption(service, 200, false);
  int captions = 0;
  caption.OnTimer = [&] { ++captions; };
  caption.SetEnabled(true);  // at tick 4 + 300 us: due at tick 4 + 13
  for (std::int64_t tick = 5; tick <= 16; ++tick) {
    ServeAt(service, tick);
  }
  EXPECT_EQ(captions, 0);
  ServeAt(service, 17);
  EXPECT_EQ(captions, 1);
}

TEST_F(TimerServiceTest, AStallGivesEachTimerOneFiring) {
  TimerService service(Ticks);
  int frames = 0;
  int captions = 0;
  TTimer timer1(service, 1, true);
  TTimer timer2(service, 200, true);
  timer1.OnTimer = [&] { ++frames; };
  timer2.OnTimer = [&] { ++captions; };
  ServeAt(service, 1);
  ASSERT_TRUE(ServeAt(service, 500));  // about eight seconds later
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(captions, 1);
  EXPECT_EQ(service.GetLastServedTick(), 500);
  // A second wake-up within the same tick serves nothing.
  EXPECT_FALSE(ServeAt(service, 500, 9000));
  EXPECT_EQ(frames, 2);
  ServeAt(service, 501);
  EXPECT_EQ(frames, 3);
}

TEST_F(TimerServiceTest, AHandlerMayDisableALaterTimerOfTheSameTick) {
  TimerService service(Ticks);
  int thirdFired = 0;
  TTimer first(service, 1, true);
  TTimer third(service, 1, true);
  first.OnTimer = [&] { third.SetEnabled(false); };
  third.OnTimer = [&] { ++thirdFired; };
  ServeAt(service, 1);
  EXPECT_EQ(thirdFired, 0);
}

TEST_F(TimerServiceTest, AsksForTheNextDueTickAndSleepsWhileNoTimerRuns) {
  TimerService service(Ticks);
  TTimer caption(service, 200, true);
  int captions = 0;
  caption.OnTimer = [&] { ++captions; };
  ASSERT_TRUE(Ticks.IsWakePending());
  EXPECT_EQ(Ticks.GetWakeDeadline(), service.GetSchedule().GetDeadline(13));
  // The source's own wake-up serves the tick, and nothing wakes before it.
  EXPECT_FALSE(Ticks.AdvanceTo(service.GetSchedule().GetDeadline(13) - 1));
  EXPECT_TRUE(Ticks.AdvanceTo(service.GetSchedule().GetDeadline(13)));
  EXPECT_EQ(captions, 1);
  EXPECT_EQ(Ticks.GetWakeDeadline(), service.GetSchedule().GetDeadline(26));
  caption.SetEnabled(false);
  EXPECT_FALSE(Ticks.IsWakePending());
}

}  // namespace
}  // namespace trilume
