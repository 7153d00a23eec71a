// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "model/clock_state.h"
#include "model/date_time.h"
#include "model/hand_geometry.h"
#include "tests/support/encode_date_time.h"
#include "tests/support/scoped_environment.h"

namespace trilume {

using testing::ScopedTimeZone;

// Switches LC_TIME, what TimeToStr and DateToStr follow.
struct ScopedLcTime : testing::ScopedLocale {
  explicit ScopedLcTime(const char* name) : ScopedLocale(name, LC_TIME) {}
};

// Microseconds since the epoch of a UTC date and time, whatever TZ says.
inline std::int64_t UtcMicros(int year, int month, int day, int hour, int minute, int second,
                              int millisecond = 0) {
  using namespace std::chrono;
  const sys_days date{std::chrono::year{year} / month / day};
  const auto instant =
      date + hours{hour} + minutes{minute} + seconds{second} + milliseconds{millisecond};
  return duration_cast<microseconds>(instant.time_since_epoch()).count();
}

// The tips a window of the given outer size shows for the wall time
// "HH:MM:SS" and millisecond field, with the given MOVEMENT divisor.
inline ClockState TipsFor(std::string_view timeText, int millisecond, int width, int height,
                          std::int32_t divisor = 60) {
  ClockState state;
  state.TickDivisor = divisor;
  const HandValues values = ReadHandValues(timeText, EncodeTime(0, 0, 0, millisecond));
  ComputeHandTips(state, values, width, height);
  return state;
}

}  // namespace trilume
