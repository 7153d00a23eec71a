// SPDX-License-Identifier: MIT
#include "ui/wall_clock_watch.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <limits>

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
  // A timer that all but never expires (a year on), cancelled by any
  // setting of the clock: its only news is the step. Counted from now and
  // held within time_t, so that no width of time_t puts it in the past,
  // where it would expire again and again.
  timespec now{};
  if (clock_gettime(CLOCK_REALTIME, &now) != 0) return false;
  constexpr time_t kYear = 365 * 24 * 3600;
  constexpr time_t kLatest = std::numeric_limits<time_t>::max();
  if (now.tv_sec < 0 || now.tv_sec > kLatest - kYear) return false;
  itimerspec far{};
  far.it_value.tv_sec = now.tv_sec + kYear;
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
