// SPDX-License-Identifier: MIT
// The timer service's arithmetic: a steady 1/64 s grid, timers that fire at
// the first tick at or after their interval, and no catch-up after a stall.
#include "model/tick_schedule.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace trilume {
namespace {

struct IntervalCase {
  std::int64_t IntervalMs;
  std::int64_t Ticks;
};

void PrintTo(const IntervalCase& c, std::ostream* os) { *os << c.IntervalMs << " ms"; }

class TicksForIntervalTest : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(TicksForIntervalTest, FirstTickAtOrAfterTheInterval) {
  EXPECT_EQ(TicksForInterval(GetParam().IntervalMs), GetParam().Ticks);
}

INSTANTIATE_TEST_SUITE_P(Intervals, TicksForIntervalTest,
                         ::testing::Values(IntervalCase{1, 1}, IntervalCase{15, 1},
                                           IntervalCase{16, 2},     // 16 ms > 15.625 ms
                                           IntervalCase{125, 8},    // exactly 8 ticks
                                           IntervalCase{200, 13},   // 203.125 ms
                                           IntervalCase{1000, 64},  // exactly a second
                                           IntervalCase{0, 0}, IntervalCase{-5, 0}),
                         [](const ::testing::TestParamInfo<IntervalCase>& param) {
                           const std::int64_t ms = param.param.IntervalMs;
                           return (ms < 0 ? "minus" + std::to_string(-ms) : std::to_string(ms)) +
                                  "ms";
                         });

TEST(TickScheduleTest, TickAtAndFirstTickAtOrAfterAgreeOnTheGrid) {
  const TickSchedule schedule(1'000'000);
  EXPECT_EQ(schedule.GetDeadline(0), 1'000'000);
  EXPECT_EQ(schedule.GetDeadline(3), 1'000'000 + 3 * 15'625);
  EXPECT_EQ(schedule.TickAt(999'000), 0);  // before the start
  EXPECT_EQ(schedule.TickAt(1'015'624), 0);
  EXPECT_EQ(schedule.TickAt(1'015'625), 1);
  EXPECT_EQ(schedule.TickAt(1'031'249), 1);
  EXPECT_EQ(schedule.FirstTickAtOrAfter(0), 1);  // never tick 0
  EXPECT_EQ(schedule.FirstTickAtOrAfter(1'015'625), 1);
  EXPECT_EQ(schedule.FirstTickAtOrAfter(1'015'626), 2);
}

// Simulates a service that wakes `lateness` microseconds after each armed
// deadline and returns the ticks at which the cadence fired.
std::vector<std::int64_t> FiringTicks(std::int64_t intervalMs, std::int64_t lateness,
                                      std::int64_t untilMicros) {
  const TickSchedule schedule(0);
  TimerCadence cadence;
  cadence.Start(schedule, 0, intervalMs);
  std::vector<std::int64_t> fired;
  std::int64_t lastServed = 0;
  for (;;) {
    const std::int64_t wake =
        schedule.GetDeadline(std::max(cadence.GetDueTick(), lastServed + 1)) + lateness;
    if (wake > untilMicros) {
      break;
    }
    const auto tick = TickToServe(schedule, wake, lastServed, cadence.GetDueTick());
    if (!tick) {
      continue;
    }
    lastServed = *tick;
    if (cadence.IsDue(*tick)) {
      cadence.Fired(*tick);
      fired.push_back(*tick);
    }
  }
  return fired;
}

TEST(TimerCadenceTest, OneMillisecondFiresAtEveryTick64TimesASecond) {
  const auto fired = FiringTicks(1, 700, 1'000'000);
  ASSERT_EQ(fired.size(), 63U);  // ticks 1..63; tick 64 is due at exactly 1 s + lateness
  for (std::size_t i = 0; i < fired.size(); ++i) {
    EXPECT_EQ(fired[i], static_cast<std::int64_t>(i) + 1);
  }
}

TEST(TimerCadenceTest, TwoHundredMillisecondsFiresEveryThirteenTicks) {
  const auto fired = FiringTicks(200, 900, 2'000'000);
  EXPECT_EQ(fired, (std::vector<std::int64_t>{13, 26, 39, 52, 65, 78, 91, 104, 117}));
}

TEST(TimerCadenceTest, LateWakeUpsDoNotDriftTheSchedule) {
  // Waking 15 ms late each time (almost a whole tick) still serves every
  // tick on the original grid: lateness does not accumulate.
  const auto fired = FiringTicks(1, 15'000, 10 * 15'625 + 15'000);
  EXPECT_EQ(fired, (std::vector<std::int64_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(TimerCadenceTest, StallFiresOnceAndResumesOnTheNextBoundary) {
  const TickSchedule schedule(0);
  TimerCadence frame;
  TimerCadence caption;
  frame.Start(schedule, 0, 1);
  caption.Start(schedule, 0, 200);
  // The process was stopped for about three seconds and wakes at 3.01 s.
  const std::int64_t wake = 3'010'000;
  const auto tick = TickToServe(schedule, wake, 0, frame.GetDueTick());
  ASSERT_TRUE(tick.has_value());
  EXPECT_EQ(*tick, 192);  // 3.01 s / 15.625 ms = 192.6
  EXPECT_TRUE(frame.IsDue(*tick));
  EXPECT_TRUE(caption.IsDue(*tick));
  frame.Fired(*tick);
  caption.Fired(*tick);
  // Exactly one firing each: nothing is due again at the same tick, and the
  // next wake is the next boundary after now, not a backlog.
  EXPECT_FALSE(frame.IsDue(*tick));
  EXPECT_EQ(frame.GetDueTick(), 193);
  EXPECT_GT(schedule.GetDeadline(frame.GetDueTick()), wake);
  EXPECT_EQ(caption.GetDueTick(), 192 + 13);
  // Woken again a moment later at the same tick: nothing to serve.
  EXPECT_FALSE(TickToServe(schedule, wake + 100, *tick, frame.GetDueTick()).has_value());
}

TEST(TimerCadenceTest, EnablingLaterCountsTheIntervalFromThatMoment) {
  const TickSchedule schedule(0);
  TimerCadence cadence;
  cadence.Start(schedule, 100'000, 200);  // enabled at 0.1 s
  // First tick at or after 0.3 s: 0.3 / 0.015625 = 19.2 -> 20.
  EXPECT_EQ(cadence.GetDueTick(), 20);
  EXPECT_FALSE(cadence.IsDue(19));
  EXPECT_TRUE(cadence.IsDue(20));
  cadence.Stop();
  EXPECT_FALSE(cadence.IsDue(1000));
  cadence.Start(schedule, 0, 0);  // a zero interval never fires
  EXPECT_FALSE(cadence.IsRunning());
}

TEST(TickToServeTest, EarlyOrRepeatedWakeUpsServeNothing) {
  const TickSchedule schedule(0);
  EXPECT_FALSE(TickToServe(schedule, 15'000, 0, 1).has_value());  // before tick 1
  EXPECT_EQ(TickToServe(schedule, 15'625, 0, 1), 1);
  EXPECT_FALSE(TickToServe(schedule, 20'000, 1, 2).has_value());   // tick 1 already served
  EXPECT_FALSE(TickToServe(schedule, 40'000, 1, 13).has_value());  // nothing due until 13
  EXPECT_EQ(TickToServe(schedule, 13 * 15'625, 1, 13), 13);
}

}  // namespace
}  // namespace trilume
