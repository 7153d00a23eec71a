// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QSocketNotifier;

namespace trilume {

// Word from the kernel whenever the wall clock is set or steps (by hand, by
// a time service, on resume from suspend), so a sleeping clock can show it
// at the next tick. Where the system cannot tell (no timerfd), it says
// nothing, and the clock shows the step at its next wake-up, within a
// second.
class WallClockWatch final : public QObject {
  Q_OBJECT

 public:
  explicit WallClockWatch(QObject* parent = nullptr);
  ~WallClockWatch() override;

  WallClockWatch(const WallClockWatch&) = delete;
  WallClockWatch& operator=(const WallClockWatch&) = delete;

  bool IsWatching() const { return Fd >= 0; }

 signals:
  void Stepped();

 private:
  bool Arm();
  void Notified();

  int Fd = -1;
  QSocketNotifier* Notifier = nullptr;
};

}  // namespace trilume
