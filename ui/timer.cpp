#include "ui/timer.h"

#include "ui/timer_service.h"

namespace trilume {

TTimer::TTimer(TimerService& service, int intervalMilliseconds, bool enabled)
    : Service(service), Interval(intervalMilliseconds), Enabled(enabled) {
  Service.Register(this);
  Restart();
}

TTimer::~TTimer() { Service.Unregister(this); }

void TTimer::SetInterval(int intervalMilliseconds) {
  if (intervalMilliseconds == Interval) {
    return;
  }
  Interval = intervalMilliseconds;
  Restart();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == Enabled) {
    return;
  }
  Enabled = enabled;
  Restart();
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
