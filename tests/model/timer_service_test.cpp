// SPDX-License-Identifier: MIT
// The timer service: registration order, enabling and disabling, stalls,
// and the wake-ups it asks its tick source for.
#include "model/timer_service.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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

// A handler that waits in a nested event loop (a modal dialog) while the
// next ticks come: the other timers go on, its own does not run again
// inside itself, and the wake-ups keep coming.
TEST_F(TimerServiceTest, ANestedEventLoopKeepsTheOtherTimersGoing) {
  TTimer waiting(Service, 1, true);
  CountingTimer other(Service, 1, true);
  int waits = 0;
  bool rearmedInside = false;
  waiting.OnTimer = [&] {
    if (++waits > 1) return;
    for (std::int64_t tick = 2; tick <= 4; ++tick) {
      Ticks.AdvanceTo(Service.GetSchedule().GetDeadline(tick) + 300);
    }
    rearmedInside = Ticks.IsWakePending();
  };
  ServeAt(1);
  EXPECT_EQ(waits, 1);
  // Ticks 2..4 inside the wait; tick 1's firing, still to come when the
  // wait began, went into tick 2's.
  EXPECT_EQ(other.Fired, 3);
  EXPECT_TRUE(rearmedInside);
  ServeAt(5);
  EXPECT_EQ(waits, 2);
  EXPECT_EQ(other.Fired, 4);
}

// A handler destroying a timer, its own included: every other timer fires
// exactly once in that tick, and the destroyed one's handler, which is
// still running, keeps what it captured.
class DestroyingHandlerTest : public TimerServiceTest, public ::testing::WithParamInterface<int> {};

TEST_P(DestroyingHandlerTest, EveryOtherTimerFiresOnce) {
  const int victim = GetParam();
  std::vector<std::unique_ptr<TTimer>> timers;
  std::vector<int> fired(3, 0);
  for (int i = 0; i < 3; ++i) timers.push_back(std::make_unique<TTimer>(Service, 1, true));
  for (int i = 0; i < 3; ++i) {
    timers[static_cast<std::size_t>(i)]->OnTimer = [&, i] { ++fired[static_cast<std::size_t>(i)]; };
  }
  // Captures more than fits in place, so the handler lives on the heap.
  const std::string tag = "a tag longer than any small-buffer optimisation";
  std::string seen;
  timers[1]->OnTimer = [&, tag, victim] {
    ++fired[1];
    timers[static_cast<std::size_t>(victim)].reset();
    seen = tag;
  };
  ServeAt(1);
  EXPECT_EQ(seen, tag);
  // A later victim goes before its turn.
  const auto once = [victim](int i) { return i == victim && victim > 1 ? 0 : 1; };
  for (int i = 0; i < 3; ++i) EXPECT_EQ(fired[static_cast<std::size_t>(i)], once(i)) << i;
  ServeAt(2);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(fired[static_cast<std::size_t>(i)], once(i) + (i == victim ? 0 : 1)) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(EarlierItselfOrLater, DestroyingHandlerTest, ::testing::Values(0, 1, 2));

// A planner that sleeps until a chosen tick and logs what it is told.
struct SleepUntil final : WakePlanner {
  std::int64_t PlanWake(std::int64_t /*lastServedTick*/, std::int64_t earliestDueTick) override {
    return std::max(earliestDueTick, Until);
  }
  void Woken(std::int64_t nowMicroseconds) override { WokenAt.push_back(nowMicroseconds); }
  bool Plans(const TTimer& timer) const override { return &timer != Unplanned; }
  std::int64_t Until = 0;
  std::vector<std::int64_t> WokenAt;
  const TTimer* Unplanned = nullptr;
};

TEST_F(TimerServiceTest, TicksSleptThroughAreServedInOrderOnWaking) {
  SleepUntil planner;  // outlives the timers, whose going asks it
  std::vector<std::int64_t> log;
  TTimer frames(Service, 1, true);
  TTimer captions(Service, 200, true);
  frames.OnTimer = [&] { log.push_back(Service.GetLastServedTick()); };
  captions.OnTimer = [&] { log.push_back(-Service.GetLastServedTick()); };
  planner.Until = 20;
  Service.SetPlanner(&planner);
  EXPECT_EQ(Ticks.GetWakeDeadline(), Service.GetSchedule().GetDeadline(20));
  EXPECT_FALSE(ServeAt(19));
  planner.Until = 1000;
  ASSERT_TRUE(ServeAt(20));
  std::vector<std::int64_t> expected;
  for (std::int64_t tick = 1; tick <= 20; ++tick) {
    expected.push_back(tick);
    if (tick == 13) expected.push_back(-13);
  }
  EXPECT_EQ(log, expected);
  EXPECT_EQ(planner.WokenAt.size(), 1U);

  // Never more than a second at a time.
  EXPECT_EQ(Ticks.GetWakeDeadline(), Service.GetSchedule().GetDeadline(20 + kMaxSleepTicks));

  // Before a change: the ticks whose time has come run first. After it, the
  // next tick is served whatever the planner says.
  log.clear();
  Service.CatchUp(Service.GetSchedule().GetDeadline(23) + 10);
  EXPECT_EQ(log, (std::vector<std::int64_t>{21, 22, 23}));
  Service.WakeNextTick();
  EXPECT_EQ(Ticks.GetWakeDeadline(), Service.GetSchedule().GetDeadline(24));
  ASSERT_TRUE(ServeAt(24));
  EXPECT_EQ(Ticks.GetWakeDeadline(), Service.GetSchedule().GetDeadline(24 + kMaxSleepTicks));

  // Woken late, past the tick asked for: a stall, served once.
  log.clear();
  const std::int64_t late = 24 + kMaxSleepTicks + 100;
  ServeAt(late);
  std::vector<std::int64_t> frameTicks;
  for (std::int64_t tick : log) {
    if (tick > 0) frameTicks.push_back(tick);
  }
  ASSERT_EQ(frameTicks.size(), static_cast<std::size_t>(kMaxSleepTicks));
  EXPECT_EQ(frameTicks[kMaxSleepTicks - 2], 24 + kMaxSleepTicks - 1);
  EXPECT_EQ(frameTicks.back(), late);
  EXPECT_EQ(log.back(), -late);
}

// A timer the planner knows nothing of (the wait that tells a click from a
// double-click) fires at its own tick, not when the planned sleep ends.
TEST_F(TimerServiceTest, ASleepNeverPassesATimerThePlannerDoesNotPlanFor) {
  SleepUntil planner;  // outlives the timers, whose going asks it
  TTimer frames(Service, 1, true);
  TTimer clickWait(Service, 400, true);  // due at tick 26
  std::int64_t clickFiredAt = 0;
  frames.OnTimer = [] {};
  clickWait.OnTimer = [&] {
    clickFiredAt = Service.GetLastServedTick();
    clickWait.SetEnabled(false);
  };
  planner.Until = 60;
  planner.Unplanned = &clickWait;
  Service.SetPlanner(&planner);
  EXPECT_EQ(Ticks.GetWakeDeadline(), Service.GetSchedule().GetDeadline(26));
  for (std::int64_t tick = 1; tick <= 26; ++tick) ServeAt(tick);
  EXPECT_EQ(clickFiredAt, 26);
  // Once it is off, the planner's sleep holds again.
  EXPECT_EQ(Ticks.GetWakeDeadline(), Service.GetSchedule().GetDeadline(60));
}

}  // namespace
}  // namespace trilume
