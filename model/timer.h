// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>

#include "model/tick_schedule.h"

namespace trilume {

class TimerService;

// A component timer: Interval in milliseconds, Enabled, and OnTimer, the
// handler called at each firing. Runs on the service it registers with,
// which must outlive it. Enabling a timer starts its interval afresh from
// that moment. The handler must not let exceptions escape.
class TTimer final {
 public:
  explicit TTimer(TimerService& service, int intervalMilliseconds = 1000, bool enabled = true);
  ~TTimer();

  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  int GetInterval() const { return Interval; }
  bool GetEnabled() const { return Enabled; }
  void SetEnabled(bool enabled);
  // When the timer fires next; it runs exactly while the timer is enabled
  // with a positive interval.
  const TimerCadence& GetCadence() const { return Cadence; }
  // Called by the service at each tick it serves.
  void FireIfDue(std::int64_t tick);

  std::function<void()> OnTimer;

 private:
  void Restart();

  TimerService& Service;
  int Interval;
  bool Enabled;
  TimerCadence Cadence;
};

}  // namespace trilume
