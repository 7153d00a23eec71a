// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace trilume {

// What start-up knows about where windows could be shown.
struct DesktopEnvironment {
  const char* Display = nullptr;         // DISPLAY
  const char* WaylandDisplay = nullptr;  // WAYLAND_DISPLAY
  const char* QtPlatform = nullptr;      // QT_QPA_PLATFORM
  const char* RuntimeDir = nullptr;      // XDG_RUNTIME_DIR, where Wayland sockets live
};

// False when nothing names a place to show windows: neither DISPLAY nor
// WAYLAND_DISPLAY is set, QT_QPA_PLATFORM names no platform and no
// -platform or -display argument (or --platform, --display) names one. Unset, empty and blank
// values count alike. The toolkit would abort start-up then; the program
// prints kNoDesktopMessage and ends with status 1 instead. Any named
// platform is left to the toolkit, which reports its own failures.
bool HasDesktopSession(const DesktopEnvironment& environment, int argc, const char* const* argv);

// Whether a server answers at an X display name ("[host]:N[.S]", with an
// optional "unix/" or "tcp/" before it): a local display at its socket, a
// remote one at TCP port 6000 + N. A name it cannot read, or a remote host
// that neither accepts nor refuses within a few seconds, counts as
// answering: the toolkit then decides.
bool XDisplayAnswers(std::string_view display);
// Whether a compositor answers at a Wayland display: a socket name under
// `runtimeDir`, or an absolute path.
bool WaylandDisplayAnswers(std::string_view display, const char* runtimeDir);

// The toolkit aborts the program when no display it tries answers. Before
// it starts, this names the displays it would try (those of an xcb or
// wayland platform list, or with no platform named, those set; the X
// display of a -display argument before DISPLAY's, as the xcb platform
// takes it) and returns
// the one line to print when none answers; empty when one does, or when
// another platform is named and the toolkit should decide. Call it only
// with a desktop session (HasDesktopSession).
std::string UnreachableDisplayMessage(const DesktopEnvironment& environment, int argc,
                                      const char* const* argv);

inline constexpr const char* kNoDesktopMessage =
    "trilume: the clock needs a desktop session (DISPLAY, WAYLAND_DISPLAY or -display); "
    "trilume-render makes pictures without one";

}  // namespace trilume
