// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

#include "model/tick_schedule.h"
#include "model/tick_source.h"

namespace trilume {

class TTimer;

// The program's timer service: one wake-up, re-armed to the next deadline
// of a steady 1/64 s schedule. Registered timers fire on the ticks they are
// due at, in the order they registered, one handler at a time. Between due
// ticks the service sleeps: nothing wakes the CPU for a tick at which no
// timer fires. After a stall (a suspended machine, a long handler) every due
// timer fires once and the schedule goes on from the next tick after the
// present, without catching up.
class TimerService final {
 public:
  // The schedule starts at the source's present. The source must outlive
  // the service, and drives this service alone.
  explicit TimerService(TickSource& source);
  ~TimerService();

  TimerService(const TimerService&) = delete;
  TimerService& operator=(const TimerService&) = delete;

  std::int64_t Now() const { return Source.NowMicroseconds(); }

  const TickSchedule& GetSchedule() const { return Schedule; }
  // The last tick served, 0 before the first.
  std::int64_t GetLastServedTick() const { return LastServedTick; }

  // Serves the tick reached at `nowMicroseconds`, if any timer is due by
  // then, and re-arms. The source's wake-up calls it with its present.
  // Returns whether a tick was served.
  bool ServeTick(std::int64_t nowMicroseconds);

  // The timers' side: a timer registers when it is made, unregisters when
  // it goes, and reschedules whenever it is enabled or disabled.
  void Register(TTimer* timer);
  void Unregister(TTimer* timer);
  void Reschedule();

 private:
  // The earliest tick a timer is due at; kNoDueTick while none runs.
  std::int64_t EarliestDueTick() const;
  void Rearm();

  TickSource& Source;
  TickSchedule Schedule;
  std::vector<TTimer*> Timers;
  std::int64_t LastServedTick = 0;
  bool Serving = false;
};

}  // namespace trilume
