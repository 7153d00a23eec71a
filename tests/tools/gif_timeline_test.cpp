// SPDX-License-Identifier: MIT
// The delays a clip's frames are given, and the warning for a clip that
// plays slower than its run.
#include "tools/gif_timeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tests/tools/render_tool_test_support.h"

namespace trilume {
namespace {

struct TimelineCase {
  double IntervalMs;
  int Every;
  int Kept;                        // frames kept
  std::vector<int> Delays;         // the delays that may occur
  std::int64_t TotalCentiseconds;  // all of them
};

// Rounding each delay on its own drifts: 93.75 ms frames would all show
// 90 ms. Carried forward, the clip ends within 10 ms of its run's clock,
// a day included.
TEST(GifTimeline, DelaysAddUpToTheRunsClock) {
  const std::vector<TimelineCase> cases{
      {15.625, 6, 213, {9, 10}, 1997},        // the README clip: 19.969 s
      {15.625, 2, 64, {3, 4}, 200},           // 31.25 ms
      {15.625, 1, 64, {1, 2}, 100},           // shorter than players show
      {0.001, 1, 10, {0}, 0},                 // the closest
      {10, 2, 50, {2}, 100},                  // exactly 20 ms
      {33.333, 1, 300, {3, 4}, 1000},         // 9.9999 s
      {1000, 3, 4, {300}, 1200},              // whole seconds
      {86400000, 1, 2, {8640000}, 17280000},  // a day, more than a frame can say
  };
  for (const TimelineCase& c : cases) {
    GifTimeline timeline(std::llround(c.IntervalMs * 1000), c.Every);
    std::int64_t total = 0;
    for (int i = 0; i < c.Kept; ++i) {
      const std::int64_t delay = timeline.Next();
      EXPECT_NE(std::find(c.Delays.begin(), c.Delays.end(), delay), c.Delays.end())
          << c.IntervalMs << " ms x " << c.Every << ": frame " << i << " shows " << delay;
      total += delay;
    }
    EXPECT_EQ(total, c.TotalCentiseconds) << c.IntervalMs << " ms x " << c.Every;
  }
}

struct PaceCase {
  const char* IntervalMs;
  int Every;
  const char* Suggestion;  // "" when the clip plays true
};

// One line on standard error for a clip that plays slow, with the --every
// that would not; nothing for one that plays true.
TEST(GifTimeline, WarnsOfAClipThatPlaysSlowerThanItsRun) {
  UseUtc();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const PaceCase& c :
       {PaceCase{"15.625", 1, "--every 2 plays true"}, PaceCase{"15.625", 2, ""},
        PaceCase{"1", 7, "--every 20 plays true"}, PaceCase{"6.5", 3, "--every 4 plays true"},
        PaceCase{"20", 1, ""}, PaceCase{"19.999", 1, "--every 2 plays true"}}) {
    const ToolRun run = RunTool(
        {QStringLiteral("--at"), QStringLiteral("2026-12-08 10:09:30.000"),
         QStringLiteral("--frames"), QStringLiteral("8"), QStringLiteral("--interval-ms"),
         QString::fromLatin1(c.IntervalMs), QStringLiteral("--every"), QString::number(c.Every),
         QStringLiteral("--gif"), dir.filePath(QStringLiteral("clip.gif"))});
    ASSERT_EQ(run.Status, kExitOk) << run.Err.toStdString();
    const std::string err = run.Err.toStdString();
    if (*c.Suggestion == '\0') {
      EXPECT_EQ(err, "") << c.IntervalMs << " x " << c.Every;
    } else {
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
      EXPECT_EQ(err.rfind("trilume-render: warning: --gif: ", 0), 0U) << err;
      EXPECT_NE(err.find(c.Suggestion), std::string::npos) << err;
    }
  }
}

}  // namespace
}  // namespace trilume
