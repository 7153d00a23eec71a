// SPDX-License-Identifier: MIT
#include "model/timer_service.h"

#include <algorithm>

#include "model/timer.h"

namespace trilume {

TimerService::TimerService(TickSource& source)
    : Source(source), Schedule(source.NowMicroseconds()) {
  Source.OnWake = [this] { ServeTick(Source.NowMicroseconds()); };
}

TimerService::~TimerService() {
  Source.Sleep();
  Source.OnWake = nullptr;
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
    Source.Sleep();  // nothing to fire: sleep until a timer is enabled
    return;
  }
  Source.WakeAt(Schedule.GetDeadline(std::max(due, LastServedTick + 1)));
}

}  // namespace trilume
