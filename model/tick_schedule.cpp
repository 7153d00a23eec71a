#include "model/tick_schedule.h"

#include <algorithm>

namespace trilume {

namespace {

// Floor division that stays right for negative numerators.
std::int64_t FloorDiv(std::int64_t numerator, std::int64_t denominator) {
  std::int64_t quotient = numerator / denominator;
  if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0))) {
    --quotient;
  }
  return quotient;
}

}  // namespace

std::int64_t TicksForInterval(std::int64_t intervalMilliseconds, std::int64_t tickMicroseconds) {
  if (intervalMilliseconds <= 0) {
    return 0;
  }
  const std::int64_t micros = intervalMilliseconds * 1000;
  return std::max<std::int64_t>(1, (micros + tickMicroseconds - 1) / tickMicroseconds);
}

TickSchedule::TickSchedule(std::int64_t startMicroseconds, std::int64_t tickMicroseconds)
    : Start(startMicroseconds), Tick(tickMicroseconds > 0 ? tickMicroseconds : kTickMicroseconds) {}

std::int64_t TickSchedule::TickAt(std::int64_t nowMicroseconds) const {
  return std::max<std::int64_t>(0, FloorDiv(nowMicroseconds - Start, Tick));
}

std::int64_t TickSchedule::FirstTickAtOrAfter(std::int64_t instantMicroseconds) const {
  const std::int64_t tick = -FloorDiv(Start - instantMicroseconds, Tick);  // ceiling
  return std::max<std::int64_t>(1, tick);
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
