// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>

namespace trilume {

// Where the timer service's time comes from: a steady clock to read and one
// wake-up to ask for. The program's source is a precise Qt timer on the
// monotonic clock; tests and the headless clock use FakeTickSource, so no
// tick ever depends on how fast the machine is.
class TickSource {
 public:
  virtual ~TickSource() = default;

  // Microseconds on a steady clock that never goes back.
  virtual std::int64_t NowMicroseconds() const = 0;
  // Asks for one call of OnWake at or after `deadlineMicroseconds`, never
  // before; replaces any wake-up asked for earlier.
  virtual void WakeAt(std::int64_t deadlineMicroseconds) = 0;
  // Cancels the wake-up asked for, if any.
  virtual void Sleep() = 0;

  // Set by the one service the source drives.
  std::function<void()> OnWake;
};

// A steady clock that moves only when told. Moving it past the wake-up
// asked for calls OnWake once, at the new time, as a late wake-up would:
// ticks skipped over are not served one by one.
class FakeTickSource final : public TickSource {
 public:
  explicit FakeTickSource(std::int64_t startMicroseconds = 0) : Now(startMicroseconds) {}

  std::int64_t NowMicroseconds() const override { return Now; }
  void WakeAt(std::int64_t deadlineMicroseconds) override {
    Pending = true;
    Deadline = deadlineMicroseconds;
  }
  void Sleep() override { Pending = false; }

  // Moves the clock to `microseconds` (never back) and wakes the service if
  // its wake-up is due by then. Returns whether it woke it.
  bool AdvanceTo(std::int64_t microseconds);
  bool Advance(std::int64_t microseconds) { return AdvanceTo(Now + microseconds); }
  // Moves the clock on without waking the service: the time a handler
  // takes.
  void Spend(std::int64_t microseconds) { Now += microseconds; }

  bool IsWakePending() const { return Pending; }
  std::int64_t GetWakeDeadline() const { return Deadline; }

 private:
  std::int64_t Now;
  std::int64_t Deadline = 0;
  bool Pending = false;
};

}  // namespace trilume
