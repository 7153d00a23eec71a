// SPDX-License-Identifier: MIT
#include "ui/wall_clock_watch.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <ctime>

#if defined(__linux__)
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace trilume {

WallClockWatch::WallClockWatch(QObject* parent) : QObject(parent) {
#if defined(__linux__)
  Fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
  if (Fd < 0) return;
  if (!Arm()) {
    ::close(Fd);
    Fd = -1;
    return;
  }
  Notifier = new QSocketNotifier(static_cast<qintptr>(Fd), QSocketNotifier::Read, this);
  connect(Notifier, &QSocketNotifier::activated, this, &WallClockWatch::Notified);
#endif
}

WallClockWatch::~WallClockWatch() {
#if defined(__linux__)
  delete Notifier;
  if (Fd >= 0) ::close(Fd);
#endif
}

bool WallClockWatch::Arm() {
#if defined(__linux__)
  // A timer that never expires (in 2100), cancelled by any setting of the
  // clock: its only news is the step.
  itimerspec far{};
  far.it_value.tv_sec = static_cast<time_t>(INT64_C(4102444800));
  return timerfd_settime(Fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &far, nullptr) == 0;
#else
  return false;
#endif
}

void WallClockWatch::Notified() {
#if defined(__linux__)
  std::uint64_t expirations = 0;
  // ECANCELED: the clock was set. Re-arming takes the news back.
  const ssize_t read = ::read(Fd, &expirations, sizeof(expirations));
  const bool stepped = read < 0 && errno == ECANCELED;
  if (!Arm()) Notifier->setEnabled(false);
  if (stepped) emit Stepped();
#endif
}

}  // namespace trilume
