// SPDX-License-Identifier: MIT
#include "ui/desktop_session.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace trilume {

namespace {

// A remote display that has not answered by then is left to the toolkit.
constexpr int kRemoteWaitMilliseconds = 3000;

bool Names(const char* value) {
  return value != nullptr &&
         std::string_view(value).find_first_not_of(" \t") != std::string_view::npos;
}

// The value after -NAME or --NAME, as Qt reads its own options; null
// without one.
const char* ArgumentValue(int argc, const char* const* argv, std::string_view name) {
  for (int i = 1; i < argc; ++i) {
    std::string_view argument = argv[i] == nullptr ? std::string_view() : argv[i];
    if (argument.rfind("--", 0) == 0) argument.remove_prefix(1);
    if (argument.size() == name.size() + 1 && argument.front() == '-' &&
        argument.substr(1) == name) {
      return i + 1 < argc ? argv[i + 1] : nullptr;
    }
  }
  return nullptr;
}

const char* PlatformArgument(int argc, const char* const* argv) {
  return ArgumentValue(argc, argv, "platform");
}

// The X display the xcb platform connects to: -display before DISPLAY.
struct XDisplayChoice {
  const char* Value;
  const char* Source;
};

XDisplayChoice ChosenXDisplay(const DesktopEnvironment& environment, int argc,
                              const char* const* argv) {
  const char* argument = ArgumentValue(argc, argv, "display");
  if (Names(argument)) return {argument, "-display"};
  return {environment.Display, "DISPLAY"};
}

bool NamesPlatformArgument(int argc, const char* const* argv) {
  return Names(PlatformArgument(argc, argv));
}

// A Unix socket at `path`, abstract when it starts with a NUL.
bool UnixSocketAnswers(std::string_view path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, path.data(), path.size());
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return true;  // cannot tell: the toolkit decides
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size());
  const bool answers = connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
  close(fd);
  return answers;
}

// Whether `host` accepts at `port`; a host that does not say within the
// wait counts as answering.
bool TcpAnswers(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool answers = false;
  for (const addrinfo* a = found; a != nullptr && !answers; a = a->ai_next) {
    const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) continue;
    if (connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
      answers = true;
    } else if (errno == EINPROGRESS) {
      pollfd wait{fd, POLLOUT, 0};
      if (poll(&wait, 1, kRemoteWaitMilliseconds) <= 0) {
        answers = true;  // neither yes nor no
      } else {
        int error = 0;
        socklen_t size = sizeof(error);
        answers = getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
      }
    }
    close(fd);
  }
  freeaddrinfo(found);
  return answers;
}

// "the X display ':0' (DISPLAY)", on one printable line.
std::string DisplayName(const char* kind, const char* variable, const char* value) {
  std::string text = std::string("the ") + kind + " display ";
  if (!Names(value)) return text + "(" + variable + " is not set)";
  text += '\'';
  for (const char c : std::string_view(value)) {
    text += std::isprint(static_cast<unsigned char>(c)) != 0 ? c : '?';
  }
  return text + "' (" + variable + ")";
}

}  // namespace

bool XDisplayAnswers(std::string_view display) {
  bool tcp = false;
  if (display.rfind("unix/", 0) == 0) {
    display.remove_prefix(5);
  } else if (display.rfind("tcp/", 0) == 0) {
    display.remove_prefix(4);
    tcp = true;
  }
  const std::size_t colon = display.rfind(':');
  if (colon == std::string_view::npos) return true;
  const std::string host(display.substr(0, colon));
  std::string_view number = display.substr(colon + 1);
  number = number.substr(0, number.find('.'));
  if (number.empty() || number.size() > 5 ||
      number.find_first_not_of("0123456789") != std::string_view::npos) {
    return true;
  }
  const int n = std::stoi(std::string(number));
  if (!tcp && (host.empty() || host == "unix")) {
    const std::string path = "/tmp/.X11-unix/X" + std::string(number);
    return UnixSocketAnswers(std::string(1, '\0') + path) || UnixSocketAnswers(path);
  }
  if (host.find('/') != std::string::npos) return true;  // a launchd path or the like
  return TcpAnswers(host.empty() ? "localhost" : host, 6000 + n);
}

bool WaylandDisplayAnswers(std::string_view display, const char* runtimeDir) {
  if (display.empty()) return false;
  if (display.front() == '/') return UnixSocketAnswers(display);
  if (!Names(runtimeDir)) return false;
  return UnixSocketAnswers(std::string(runtimeDir) + "/" + std::string(display));
}

std::string UnreachableDisplayMessage(const DesktopEnvironment& environment, int argc,
                                      const char* const* argv) {
  const char* platform = PlatformArgument(argc, argv);
  if (!Names(platform)) platform = environment.QtPlatform;
  const XDisplayChoice xDisplay = ChosenXDisplay(environment, argc, argv);
  bool tryX = Names(xDisplay.Value);
  bool tryWayland = Names(environment.WaylandDisplay);
  if (Names(platform)) {
    tryX = tryWayland = false;
    std::string_view list(platform);
    while (!list.empty()) {
      const std::size_t end = std::min(list.find(';'), list.size());
      // "name:argument:argument..."; the arguments name no display.
      const std::string_view entry = list.substr(0, end);
      const std::string_view name = entry.substr(0, entry.find(':'));
      if (name == "xcb") {
        tryX = true;
      } else if (name.rfind("wayland", 0) == 0) {
        tryWayland = true;
      } else if (!name.empty()) {
        return {};  // a platform without a display server of its own
      }
      list.remove_prefix(std::min(end + 1, list.size()));
    }
  }
  const auto x = [&] { return Names(xDisplay.Value) && XDisplayAnswers(xDisplay.Value); };
  const auto wayland = [&] {
    return Names(environment.WaylandDisplay) &&
           WaylandDisplayAnswers(environment.WaylandDisplay, environment.RuntimeDir);
  };
  if ((tryWayland && wayland()) || (tryX && x())) return {};
  const std::string xName = DisplayName("X", xDisplay.Source, xDisplay.Value);
  const std::string waylandName =
      DisplayName("Wayland", "WAYLAND_DISPLAY", environment.WaylandDisplay);
  if (tryX && tryWayland) {
    return "trilume: neither " + waylandName + " nor " + xName + " answers";
  }
  if (tryX && !Names(xDisplay.Value)) {
    return "trilume: the xcb platform has no X display: DISPLAY is not set and no -display is "
           "given";
  }
  return "trilume: " + (tryX ? xName : waylandName) + " does not answer; is its server running?";
}

bool HasDesktopSession(const DesktopEnvironment& environment, int argc, const char* const* argv) {
  return Names(environment.Display) || Names(environment.WaylandDisplay) ||
         Names(environment.QtPlatform) || NamesPlatformArgument(argc, argv) ||
         Names(ArgumentValue(argc, argv, "display"));
}

}  // namespace trilume
