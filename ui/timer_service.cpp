// SPDX-License-Identifier: MIT
#include "ui/timer_service.h"

#include <algorithm>
#include <chrono>

#include "ui/timer.h"

namespace trilume {

TimerService::TimerService(QObject* parent, SteadyClock steadyNow)
    : QObject(parent), SteadyNow(steadyNow), Schedule(steadyNow()) {
  // A coarse timer may fire up to 5 % late, which would blur the 1/64 s
  // cadence; the precise one keeps to the millisecond.
  Wake.setTimerType(Qt::PreciseTimer);
  Wake.setSingleShot(true);
  connect(&Wake, &QTimer::timeout, this, &TimerService::OnWake);
}

TimerService::~TimerService() = default;

std::int64_t TimerService::SteadyNowMicroseconds() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void TimerService::Register(TTimer* timer) { Timers.push_back(timer); }

void TimerService::Unregister(TTimer* timer) {
  Timers.erase(std::remove(Timers.begin(), Timers.end(), timer), Timers.end());
  Reschedule();
}

void TimerService::Reschedule() {
  // While serving, the tick's end re-arms once for all changes made by the
  // handlers.
  if (!Serving) {
    Rearm();
  }
}

void TimerService::OnWake() { ServeTick(SteadyNow()); }

bool TimerService::ServeTick(std::int64_t nowMicroseconds) {
  if (Serving) {
    return false;
  }
  const std::optional<std::int64_t> tick =
      TickToServe(Schedule, nowMicroseconds, LastServedTick, EarliestDueTick());
  if (!tick) {
    Rearm();
    return false;
  }
  LastServedTick = *tick;
  Serving = true;
  // By index: a handler may enable, disable or even destroy a timer.
  for (std::size_t i = 0; i < Timers.size(); ++i) {
    Timers[i]->FireIfDue(*tick);
  }
  Serving = false;
  Rearm();
  return true;
}

std::int64_t TimerService::EarliestDueTick() const {
  std::int64_t earliest = kNoDueTick;
  for (const TTimer* timer : Timers) {
    if (timer->GetCadence().IsRunning()) {
      earliest = std::min(earliest, timer->GetCadence().GetDueTick());
    }
  }
  return earliest;
}

void TimerService::Rearm() {
  const std::int64_t due = EarliestDueTick();
  if (due == kNoDueTick) {
    Wake.stop();  // nothing to fire: sleep until a timer is enabled
    return;
  }
  const std::int64_t earliest = std::max(due, LastServedTick + 1);
  const std::int64_t delayMicros = Schedule.GetDeadline(earliest) - SteadyNow();
  // Rounded up, so the wake-up never comes before the deadline.
  const std::int64_t delayMillis = std::max<std::int64_t>(0, (delayMicros + 999) / 1000);
  Wake.start(std::chrono::milliseconds(delayMillis));
}

}  // namespace trilume
