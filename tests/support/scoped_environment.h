// SPDX-License-Identifier: MIT
#pragma once

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace trilume::testing {

// Sets TZ for the lifetime of the object and puts the previous value back,
// so a test that changes the zone never leaks it into the next one.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) {
      Saved = old;
    }
    Set(zone);
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

  // Changes TZ without calling tzset: the library must notice by itself.
  static void Set(const char* zone) { setenv("TZ", zone, 1); }

 private:
  std::optional<std::string> Saved;
};

// Switches one category of the C locale (all of them unless told) and
// restores it afterwards.
class ScopedLocale {
 public:
  explicit ScopedLocale(const char* name, int category = LC_ALL)
      : Category(category), Saved(std::setlocale(category, nullptr)) {
    Ok = std::setlocale(category, name) != nullptr;
  }
  ~ScopedLocale() { std::setlocale(Category, Saved.c_str()); }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

  bool IsActive() const { return Ok; }

 private:
  int Category;
  std::string Saved;
  bool Ok = false;
};

}  // namespace trilume::testing
