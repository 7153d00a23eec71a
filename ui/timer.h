#pragma once

#include <cstdint>
#include <functional>

#include "model/tick_schedule.h"

namespace trilume {

class TimerService;

// A component timer: Interval in milliseconds, Enabled, and OnTimer, the
// handler called at each firing. Runs on the service it registers with,
// which must outlive it. Enabling a timer (or changing the interval of an
// enabled one) starts its interval afresh from that moment. The handler must
// not let exceptions escape.
class TTimer final {
 public:
  explicit TTimer(TimerService& service, int intervalMilliseconds = 1000, bool enabled = true);
  ~TTimer();

  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  int GetInterval() const { return Interval; }
  void SetInterval(int intervalMilliseconds);
  bool GetEnabled() const { return Enabled; }
  void SetEnabled(bool enabled);

  std::function<void()> OnTimer;

 private:
  friend class TimerService;
  void Restart();

  TimerService& Service;
  int Interval;
  bool Enabled;
  TimerCadence Cadence;
};

}  // namespace trilume
