// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <limits>
#include <optional>

namespace trilume {

// The timer service's heartbeat: 1/64 s, the granularity desktop timers have
// classically had. Short intervals (1 ms) fire at every tick, so a frame
// timer asks the CPU for 64 frames a second and no more.
inline constexpr std::int64_t kTickMicroseconds = 15625;

// Ticks a timer waits between two firings: it fires at the first tick at or
// after its interval, so 1 ms gives 1 and 200 ms gives 13 (203.125 ms).
// An interval of zero or less gives 0: such a timer never fires.
constexpr std::int64_t TicksForInterval(std::int64_t intervalMilliseconds,
                                        std::int64_t tickMicroseconds = kTickMicroseconds) {
  if (intervalMilliseconds <= 0) return 0;
  return (intervalMilliseconds * 1000 + tickMicroseconds - 1) / tickMicroseconds;
}

// One steady schedule: tick n is due at Start + n * Tick on a monotonic
// clock, so a late wake-up never shifts the ticks after it. Tick 0 is the
// start itself and is never served. Times are microseconds of any steady
// clock; `tickMicroseconds` must be positive.
class TickSchedule {
 public:
  explicit TickSchedule(std::int64_t startMicroseconds,
                        std::int64_t tickMicroseconds = kTickMicroseconds);

  std::int64_t GetTick() const { return Tick; }
  std::int64_t GetDeadline(std::int64_t tick) const { return Start + tick * Tick; }

  // The latest tick whose deadline is at or before `nowMicroseconds`
  // (0 before the first deadline, also for times before the start).
  std::int64_t TickAt(std::int64_t nowMicroseconds) const;
  // The first tick whose deadline is at or after `instantMicroseconds`,
  // never below 1.
  std::int64_t FirstTickAtOrAfter(std::int64_t instantMicroseconds) const;

 private:
  std::int64_t Start;
  std::int64_t Tick;
};

// When one timer is due on a schedule. A timer started (enabled) at time t
// first fires at the first tick at or after t + interval, then every
// TicksForInterval ticks after the tick it fired at. Because the next due
// tick counts from the tick actually served, a stall that swallows many
// ticks yields one firing, not a burst of catch-up firings.
class TimerCadence {
 public:
  // Starts counting from `nowMicroseconds`. A non-positive interval leaves
  // the cadence stopped.
  void Start(const TickSchedule& schedule, std::int64_t nowMicroseconds,
             std::int64_t intervalMilliseconds);
  void Stop() { Running = false; }

  bool IsRunning() const { return Running; }
  // The tick at which the timer fires next; meaningful while running.
  std::int64_t GetDueTick() const { return DueTick; }
  // Ticks between two firings; meaningful while running.
  std::int64_t GetPeriod() const { return Period; }
  bool IsDue(std::int64_t tick) const { return Running && tick >= DueTick; }
  // Records a firing at `tick` (the tick being served).
  void Fired(std::int64_t tick) { DueTick = tick + Period; }

 private:
  bool Running = false;
  std::int64_t Period = 1;
  std::int64_t DueTick = 0;
};

// The earliest due tick while no timer runs: later than every tick.
inline constexpr std::int64_t kNoDueTick = std::numeric_limits<std::int64_t>::max();

// What a wake-up at `nowMicroseconds` serves: the latest tick reached, if it
// is past `lastServedTick` and at or after `earliestDueTick`; else nothing
// (woken early, or nothing due yet). Ticks skipped over are not served.
std::optional<std::int64_t> TickToServe(const TickSchedule& schedule, std::int64_t nowMicroseconds,
                                        std::int64_t lastServedTick, std::int64_t earliestDueTick);

}  // namespace trilume
