// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "model/tick_schedule.h"

namespace trilume {

class TTimer;

// The program's timer service: one precise Qt timer re-armed to the next
// deadline of a steady 1/64 s schedule. Registered timers fire on the ticks
// they are due at, in the order they registered, one handler at a time.
// Between due ticks the service sleeps: nothing wakes the CPU for a tick at
// which no timer fires. After a stall (a suspended machine, a long handler)
// every due timer fires once and the schedule goes on from the next tick
// after the present, without catching up.
class TimerService final : public QObject {
  Q_OBJECT

 public:
  using SteadyClock = std::int64_t (*)();

  // `steadyNow` reads the clock the schedule runs on; tests put in their own.
  explicit TimerService(QObject* parent = nullptr, SteadyClock steadyNow = &SteadyNowMicroseconds);
  ~TimerService() override;

  TimerService(const TimerService&) = delete;
  TimerService& operator=(const TimerService&) = delete;

  // Microseconds on the system's monotonic clock.
  static std::int64_t SteadyNowMicroseconds();
  std::int64_t Now() const { return SteadyNow(); }

  const TickSchedule& GetSchedule() const { return Schedule; }
  // The last tick served, 0 before the first.
  std::int64_t GetLastServedTick() const { return LastServedTick; }

  // Serves the tick reached at `nowMicroseconds`, if any timer is due by
  // then, and re-arms. The Qt timer calls it with the steady time; tests
  // call it with chosen times. Returns whether a tick was served.
  bool ServeTick(std::int64_t nowMicroseconds);

  // The timers' side: a timer registers when it is made, unregisters when
  // it goes, and reschedules whenever it is enabled or disabled.
  void Register(TTimer* timer);
  void Unregister(TTimer* timer);
  void Reschedule();

 private:
  // The earliest tick a timer is due at; kNoDueTick while none runs.
  std::int64_t EarliestDueTick() const;
  void OnWake();
  void Rearm();

  SteadyClock SteadyNow;
  TickSchedule Schedule;
  QTimer Wake;
  std::vector<TTimer*> Timers;
  std::int64_t LastServedTick = 0;
  bool Serving = false;
};

}  // namespace trilume
