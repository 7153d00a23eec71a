// SPDX-License-Identifier: MIT
#include "model/tick_schedule.h"

namespace trilume {

TickSchedule::TickSchedule(std::int64_t startMicroseconds, std::int64_t tickMicroseconds)
    : Start(startMicroseconds), Tick(tickMicroseconds > 0 ? tickMicroseconds : kTickMicroseconds) {}

// Tick is positive and both results are clamped from below, so a negative
// span never needs rounding: plain division serves for floor and ceiling.
std::int64_t TickSchedule::TickAt(std::int64_t nowMicroseconds) const {
  const std::int64_t elapsed = nowMicroseconds - Start;
  return elapsed <= 0 ? 0 : elapsed / Tick;
}

std::int64_t TickSchedule::FirstTickAtOrAfter(std::int64_t instantMicroseconds) const {
  const std::int64_t wait = instantMicroseconds - Start;
  return wait <= Tick ? 1 : (wait + Tick - 1) / Tick;
}

void TimerCadence::Start(const TickSchedule& schedule, std::int64_t nowMicroseconds,
                         std::int64_t intervalMilliseconds) {
  Period = TicksForInterval(intervalMilliseconds, schedule.GetTick());
  Running = Period > 0;
  if (Running) {
    DueTick = schedule.FirstTickAtOrAfter(nowMicroseconds + intervalMilliseconds * 1000);
  }
}

std::optional<std::int64_t> TickToServe(const TickSchedule& schedule, std::int64_t nowMicroseconds,
                                        std::int64_t lastServedTick, std::int64_t earliestDueTick) {
  const std::int64_t tick = schedule.TickAt(nowMicroseconds);
  if (tick <= lastServedTick || tick < earliestDueTick) {
    return std::nullopt;
  }
  return tick;
}

}  // namespace trilume
