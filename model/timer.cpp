// SPDX-License-Identifier: MIT
#include "model/timer.h"

#include "model/timer_service.h"

namespace trilume {

TTimer::TTimer(TimerService& service, int intervalMilliseconds, bool enabled)
    : Service(service), Interval(intervalMilliseconds), Enabled(enabled) {
  Service.Register(this);
  Restart();
}

TTimer::~TTimer() { Service.Unregister(this); }

void TTimer::SetEnabled(bool enabled) {
  if (enabled == Enabled) {
    return;
  }
  Enabled = enabled;
  Restart();
}

void TTimer::FireIfDue(std::int64_t tick) {
  if (!Cadence.IsDue(tick)) {
    return;
  }
  Cadence.Fired(tick);
  // A copy runs: the handler may destroy this timer, and with it OnTimer.
  // Nothing here touches the timer after it returns.
  if (OnTimer) {
    const std::function<void()> handler = OnTimer;
    handler();
  }
}

void TTimer::Restart() {
  if (Enabled) {
    Cadence.Start(Service.GetSchedule(), Service.Now(), Interval);
  } else {
    Cadence.Stop();
  }
  Service.Reschedule();
}

}  // namespace trilume
