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

namespace trilume::reliability {

// Sets TZ for the lifetime of the object and puts the previous value back.
// Set() changes it without tzset: the clock must notice by itself.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) Saved = old;
    Set(zone);
    tzset();
  }
  ~ScopedTimeZone() {
    if (Saved) {
      setenv("TZ", Saved->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  static void Set(const char* zone) { setenv("TZ", zone, 1); }

 private:
  std::optional<std::string> Saved;
};

// Switches LC_TIME (what TimeToStr and DateToStr follow) and restores it.
class ScopedLcTime {
 public:
  explicit ScopedLcTime(const char* name) : Saved(std::setlocale(LC_TIME, nullptr)) {
    Active = std::setlocale(LC_TIME, name) != nullptr;
  }
  ~ScopedLcTime() { std::setlocale(LC_TIME, Saved.c_str()); }
  ScopedLcTime(const ScopedLcTime&) = delete;
  ScopedLcTime& operator=(const ScopedLcTime&) = delete;

  bool IsActive() const { return Active; }

 private:
  std::string Saved;
  bool Active = false;
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

}  // namespace trilume::reliability
