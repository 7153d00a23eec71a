// SPDX-License-Identifier: MIT
#include "ui/qt_tick_source.h"

#include <algorithm>
#include <chrono>

namespace trilume {

QtTickSource::QtTickSource(QObject* parent) : QObject(parent) {
  // A coarse timer may fire up to 5 % late, which would blur the 1/64 s
  // cadence; the precise one keeps to the millisecond.
  Wake.setTimerType(Qt::PreciseTimer);
  Wake.setSingleShot(true);
  connect(&Wake, &QTimer::timeout, this, [this] {
    if (OnWake) OnWake();
  });
}

std::int64_t QtTickSource::NowMicroseconds() const {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void QtTickSource::WakeAt(std::int64_t deadlineMicroseconds) {
  const std::int64_t delayMicros = deadlineMicroseconds - NowMicroseconds();
  // Rounded up, so the wake-up never comes before the deadline.
  const std::int64_t delayMillis = std::max<std::int64_t>(0, (delayMicros + 999) / 1000);
  Wake.start(std::chrono::milliseconds(delayMillis));
}

}  // namespace trilume
