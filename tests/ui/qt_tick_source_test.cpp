// SPDX-License-Identifier: MIT
// The program's tick source: a real Qt timer on the monotonic clock.
#include "ui/qt_tick_source.h"

#include <gtest/gtest.h>

#include <QTest>
#include <vector>

namespace trilume {
namespace {

// A wake-up rounded down to the millisecond would come before its tick's
// deadline, and the service would sleep through that tick.
TEST(QtTickSourceTest, WakesForTheLatestRequestAndNeverBeforeItsDeadline) {
  QtTickSource source;
  std::vector<std::int64_t> wakes;
  source.OnWake = [&] { wakes.push_back(source.NowMicroseconds()); };
  source.WakeAt(source.NowMicroseconds() + 3'600'000'000);  // replaced below
  const std::int64_t deadline = source.NowMicroseconds() + 20'500;
  source.WakeAt(deadline);
  // Waits for the wake-up itself; the bound only ends a test that failed.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !wakes.empty(); }, 60'000));
  EXPECT_GE(wakes.front(), deadline);
}

}  // namespace
}  // namespace trilume
