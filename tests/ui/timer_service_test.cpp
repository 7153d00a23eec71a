// SPDX-License-Identifier: MIT
// The Qt side of the timer service: registration order, enabling and
// disabling, and that the precise Qt timer really drives the ticks.
#include "ui/timer_service.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <string>

#include "ui/timer.h"

namespace trilume {
namespace {

std::int64_t fakeNow = 0;
std::int64_t FakeSteadyNow() { return fakeNow; }

class TimerServiceTest : public ::testing::Test {
 protected:
  TimerServiceTest() { fakeNow = 5'000'000; }

  // Moves the fake clock to tick `tick`, plus `lateness` microseconds, and
  // serves whatever is due.
  bool ServeAt(TimerService& service, std::int64_t tick, std::int64_t lateness = 300) {
    fakeNow = service.GetSchedule().GetDeadline(tick) + lateness;
    return service.ServeTick(fakeNow);
  }
};

TEST_F(TimerServiceTest, DueTimersFireInDeclarationOrderWithinATick) {
  TimerService service(nullptr, &FakeSteadyNow);
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
  TimerService service(nullptr, &FakeSteadyNow);
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
  TimerService service(nullptr, &FakeSteadyNow);
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
  TimerService service(nullptr, &FakeSteadyNow);
  int thirdFired = 0;
  TTimer first(service, 1, true);
  TTimer third(service, 1, true);
  first.OnTimer = [&] { third.SetEnabled(false); };
  third.OnTimer = [&] { ++thirdFired; };
  ServeAt(service, 1);
  EXPECT_EQ(thirdFired, 0);
}

TEST(TimerServiceLiveTest, ThePreciseQtTimerDeliversTicks) {
  TimerService service;
  int frames = 0;
  TTimer timer1(service, 1, true);
  timer1.OnTimer = [&] { ++frames; };
  // At most one firing per 1/64 s boundary passed (a 1 ms Qt timer would
  // give far more), and a generous lower bound for a loaded machine.
  QElapsedTimer elapsed;
  elapsed.start();
  QTest::qWait(500);
  const auto boundaries = elapsed.nsecsElapsed() / 15'625'000;
  EXPECT_GE(frames, 10);
  EXPECT_LE(frames, boundaries + 1);
}

}  // namespace
}  // namespace trilume
