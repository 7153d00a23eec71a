// SPDX-License-Identifier: MIT
#include "model/desktop_session.h"

#include <string_view>

namespace trilume {

namespace {

bool Names(const char* value) {
  return value != nullptr &&
         std::string_view(value).find_first_not_of(" \t") != std::string_view::npos;
}

bool NamesPlatformArgument(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i] == nullptr ? std::string_view() : argv[i];
    if (argument == "-platform" || argument == "--platform") {
      return i + 1 < argc && Names(argv[i + 1]);
    }
  }
  return false;
}

}  // namespace

bool HasDesktopSession(const DesktopEnvironment& environment, int argc, const char* const* argv) {
  return Names(environment.Display) || Names(environment.WaylandDisplay) ||
         Names(environment.QtPlatform) || NamesPlatformArgument(argc, argv);
}

}  // namespace trilume
