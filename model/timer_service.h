// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

#include "model/tick_schedule.h"
#include "model/tick_source.h"

namespace trilume {

class TTimer;

// Chooses how long the timer service may sleep. Ticks it sleeps through are
// not lost: the wake-up serves them one by one, in order, before the tick
// it woke for.
class WakePlanner {
 public:
  virtual ~WakePlanner() = default;
  // The tick to wake at, at or after `earliestDueTick`, the first tick a
  // timer is due at after `lastServedTick`. The service never sleeps more
  // than kMaxSleepTicks past the last tick served, whatever this returns.
  virtual std::int64_t PlanWake(std::int64_t lastServedTick, std::int64_t earliestDueTick) = 0;
  // A wake-up at `nowMicroseconds` has served the ticks it slept through
  // and is about to serve the tick it woke for.
  virtual void Woken(std::int64_t nowMicroseconds) = 0;
  // Whether PlanWake speaks for `timer`. The service never sleeps past the
  // due tick of a timer the planner does not plan for: it must fire on time.
  virtual bool Plans(const TTimer& timer) const = 0;
};

// The longest sleep a planner can ask for: one second of ticks.
inline constexpr std::int64_t kMaxSleepTicks = 64;

// The program's timer service: one wake-up, re-armed to the next deadline
// of a steady 1/64 s schedule. Registered timers fire on the ticks they are
// due at, in the order they registered. Without a planner the service wakes
// at every tick a timer is due at; with one it wakes when the planner says
// and first serves the ticks it slept through, so the timers fire exactly
// as if it had woken for each. After a stall (a suspended machine, a long
// handler) past the tick asked for, every due timer fires once and the
// schedule goes on from the next tick after the present, without catching
// up.
// Handlers run one at a time, except that a handler that waits in a nested
// event loop (a modal dialog) lets the other timers go on firing meanwhile;
// its own timer does not fire again until it returns. A handler may enable,
// disable, make or destroy any timer, its own included.
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
  // Whether a timer's handler is running.
  bool IsServing() const { return !Firing.empty(); }

  // The planner, or null to wake at every due tick. It must outlive the
  // service or be replaced first.
  void SetPlanner(WakePlanner* planner);

  // Serves the wake-up reached at `nowMicroseconds`: the ticks slept
  // through, then the present tick if any timer is due by then, and
  // re-arms. The source's wake-up calls it with its present. Returns
  // whether a tick was served.
  bool ServeTick(std::int64_t nowMicroseconds);
  // Serves, in order, the ticks slept through whose deadlines have passed
  // by `nowMicroseconds`, as their wake-ups would have: call it before
  // anything changes what the timers' handlers read.
  void CatchUp(std::int64_t nowMicroseconds);
  // Wakes at the next due tick, whatever the planner would say: something
  // the handlers read has changed.
  void WakeNextTick();

  // The timers' side: a timer registers when it is made, unregisters when
  // it goes, and reschedules whenever it is enabled or disabled.
  void Register(TTimer* timer);
  void Unregister(TTimer* timer);
  void Reschedule();

 private:
  // The earliest tick a timer is due at, of those `unplannedBy` does not
  // plan for when it is given; kNoDueTick while none runs.
  std::int64_t EarliestDueTick(const WakePlanner* unplannedBy = nullptr) const;
  // Serves each tick after the last one served up to `tick`.
  void ServeThrough(std::int64_t tick);
  void ArmWhileServing(std::int64_t nowMicroseconds);
  void ServeOne(std::int64_t tick);
  bool IsFiring(const TTimer* timer) const;
  // Drops the nulls destroyed timers left, once no handler runs.
  void SweepDestroyed();
  void Rearm();

  TickSource& Source;
  TickSchedule Schedule;
  WakePlanner* Planner = nullptr;
  // Registration order. While serving, a destroyed timer leaves a null
  // behind, so that no other timer moves; the outermost serve sweeps them.
  std::vector<TTimer*> Timers;
  // Whose handlers are running, innermost last.
  std::vector<const TTimer*> Firing;
  std::int64_t LastServedTick = 0;
  // The tick the source was asked to wake at; ticks before it were slept
  // through on purpose.
  std::int64_t WakeTick = 1;
  bool Prompt = false;  // wake at the next due tick, not where planned
};

}  // namespace trilume
