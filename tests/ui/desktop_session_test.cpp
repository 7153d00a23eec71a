// SPDX-License-Identifier: MIT
#include "ui/desktop_session.h"

#include <gtest/gtest.h>

#include <vector>

namespace trilume {
namespace {

// Where the toolkit would abort for want of a display, start-up must stop
// first with its own message; wherever a display or platform is named it
// must go on.
TEST(DesktopSessionTest, OnlyANamedDisplayOrPlatformLetsTheClockStart) {
  struct Row {
    const char* Name;
    DesktopEnvironment Environment;
    std::vector<const char*> Arguments;
    bool Expected;
  };
  const std::vector<Row> table = {
      {"nothing set", {}, {}, false},
      {"all empty", {"", "", ""}, {}, false},
      {"blank platform", {nullptr, nullptr, "  "}, {}, false},
      {"X11", {":0", nullptr, nullptr}, {}, true},
      {"Wayland", {nullptr, "wayland-0", nullptr}, {}, true},
      {"empty DISPLAY, Wayland", {"", "wayland-0", nullptr}, {}, true},
      {"offscreen platform", {nullptr, nullptr, "offscreen"}, {}, true},
      {"-platform argument", {}, {"-platform", "offscreen"}, true},
      {"--platform argument", {}, {"--platform", "vnc"}, true},
      {"-platform without a name", {}, {"-platform"}, false},
      {"-display argument", {}, {"-display", ":95"}, true},
      {"--display argument", {}, {"--display", "remote:0"}, true},
      {"-display without a name", {}, {"-display"}, false},
      {"other arguments only", {}, {"--help", "offscreen"}, false},
  };
  for (const Row& row : table) {
    std::vector<const char*> argv = {"trilume"};
    argv.insert(argv.end(), row.Arguments.begin(), row.Arguments.end());
    EXPECT_EQ(HasDesktopSession(row.Environment, static_cast<int>(argv.size()), argv.data()),
              row.Expected)
        << row.Name;
  }
}

}  // namespace
}  // namespace trilume
