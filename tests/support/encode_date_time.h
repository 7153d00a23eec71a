// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>

#include "model/date_time.h"

// Date-times for expectations, built by the standard library's calendar
// rather than the model's, so a test does not check the model against itself.
namespace trilume {

inline TDateTime EncodeDate(int year, int month, int day) {
  using namespace std::chrono;
  const sys_days date{std::chrono::year{year} / month / day};
  return static_cast<double>((date - sys_days{1899y / December / 30}).count());
}

inline TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  const std::int64_t millis =
      ((std::int64_t{hour} * 60 + minute) * 60 + second) * 1000 + millisecond;
  return static_cast<double>(millis) / 86'400'000.0;
}

}  // namespace trilume
