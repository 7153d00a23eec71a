// SPDX-License-Identifier: MIT
#pragma once

namespace trilume {

// What start-up knows about where windows could be shown.
struct DesktopEnvironment {
  const char* Display = nullptr;         // DISPLAY
  const char* WaylandDisplay = nullptr;  // WAYLAND_DISPLAY
  const char* QtPlatform = nullptr;      // QT_QPA_PLATFORM
};

// False when nothing names a place to show windows: neither DISPLAY nor
// WAYLAND_DISPLAY is set, QT_QPA_PLATFORM names no platform and no
// -platform (or --platform) argument names one. Unset, empty and blank
// values count alike. The toolkit would abort start-up then; the program
// prints kNoDesktopMessage and ends with status 1 instead. Any named
// platform is left to the toolkit, which reports its own failures.
bool HasDesktopSession(const DesktopEnvironment& environment, int argc, const char* const* argv);

inline constexpr const char* kNoDesktopMessage =
    "TRILUME: the clock needs a desktop session (DISPLAY or WAYLAND_DISPLAY); "
    "trilume-render makes pictures without one.";

}  // namespace trilume
