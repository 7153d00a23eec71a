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

void TimerService::SetPlanner(WakePlanner* planner) {
  Planner = planner;
  Reschedule();
}

void TimerService::Register(TTimer* timer) { Timers.push_back(timer); }

void TimerService::Unregister(TTimer* timer) {
  if (Firing.empty()) {
    Timers.erase(std::remove(Timers.begin(), Timers.end(), timer), Timers.end());
  } else {
    std::replace(Timers.begin(), Timers.end(), timer, static_cast<TTimer*>(nullptr));
  }
  Reschedule();
}

void TimerService::Reschedule() {
  // While a handler runs, the end of its tick re-arms once for all changes
  // the handlers made.
  if (Firing.empty()) {
    Rearm();
  }
}

bool TimerService::ServeTick(std::int64_t nowMicroseconds) {
  const std::int64_t served = LastServedTick;
  ArmWhileServing(nowMicroseconds);
  ServeThrough(std::min(Schedule.TickAt(nowMicroseconds), WakeTick - 1));
  const std::optional<std::int64_t> tick =
      TickToServe(Schedule, nowMicroseconds, LastServedTick, EarliestDueTick());
  if (tick) {
    if (Planner != nullptr) Planner->Woken(nowMicroseconds);
    Prompt = false;
    ServeOne(*tick);
  }
  SweepDestroyed();
  // Also inside a handler's nested event loop: the next wake-up must come.
  Rearm();
  return LastServedTick != served;
}

void TimerService::CatchUp(std::int64_t nowMicroseconds) {
  const std::int64_t reached = Schedule.TickAt(nowMicroseconds);
  if (reached >= WakeTick) {
    // The wake-up is due and merely not delivered yet.
    ServeTick(nowMicroseconds);
    return;
  }
  if (reached <= LastServedTick) return;
  ArmWhileServing(nowMicroseconds);
  ServeThrough(reached);
  SweepDestroyed();
  Rearm();
}

void TimerService::WakeNextTick() {
  Prompt = true;
  Rearm();
}

void TimerService::ArmWhileServing(std::int64_t nowMicroseconds) {
  // A handler that waits in a nested event loop must still get the next
  // wake-up; the end of the serve arms the one really wanted.
  Source.WakeAt(Schedule.GetDeadline(Schedule.TickAt(nowMicroseconds) + 1));
}

void TimerService::ServeThrough(std::int64_t tick) {
  while (LastServedTick < tick) ServeOne(LastServedTick + 1);
}

void TimerService::ServeOne(std::int64_t tick) {
  LastServedTick = tick;
  // By index and never moved while serving: a handler may make or destroy
  // timers, and no other timer may be skipped or fired twice for it.
  for (std::size_t i = 0; i < Timers.size(); ++i) {
    TTimer* timer = Timers[i];
    if (timer == nullptr || IsFiring(timer)) continue;
    Firing.push_back(timer);
    timer->FireIfDue(tick);
    Firing.pop_back();
  }
}

void TimerService::SweepDestroyed() {
  if (Firing.empty()) {
    Timers.erase(std::remove(Timers.begin(), Timers.end(), nullptr), Timers.end());
  }
}

bool TimerService::IsFiring(const TTimer* timer) const {
  return std::find(Firing.begin(), Firing.end(), timer) != Firing.end();
}

std::int64_t TimerService::EarliestDueTick(const WakePlanner* unplannedBy) const {
  std::int64_t earliest = kNoDueTick;
  for (const TTimer* timer : Timers) {
    if (timer != nullptr && timer->GetCadence().IsRunning() &&
        (unplannedBy == nullptr || !unplannedBy->Plans(*timer))) {
      earliest = std::min(earliest, timer->GetCadence().GetDueTick());
    }
  }
  return earliest;
}

void TimerService::Rearm() {
  const std::int64_t due = EarliestDueTick();
  if (due == kNoDueTick) {
    WakeTick = kNoDueTick;
    Source.Sleep();  // nothing to fire: sleep until a timer is enabled
    return;
  }
  const std::int64_t first = std::max(due, LastServedTick + 1);
  WakeTick = first;
  if (Planner != nullptr && !Prompt) {
    // A timer the planner does not plan for must fire on time.
    const std::int64_t latest =
        std::max(first, std::min(LastServedTick + kMaxSleepTicks, EarliestDueTick(Planner)));
    WakeTick = std::clamp(Planner->PlanWake(LastServedTick, first), first, latest);
  }
  Source.WakeAt(Schedule.GetDeadline(WakeTick));
}

}  // namespace trilume
