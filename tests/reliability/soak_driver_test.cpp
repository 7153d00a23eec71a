// SPDX-License-Identifier: MIT
// The soak is only worth its hours if each of its checks fires when the
// thing it guards breaks, and if a short run visits every kind of event.
#include "tests/reliability/soak/soak_driver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "model/panel_design.h"
#include "model/tick_schedule.h"
#include "model/triangle.h"

namespace trilume {
namespace {

struct Breakage {
  const char* Name;
  void (*Break)(SoakDriver&);
  const char* Reported;
};

void PrintTo(const Breakage& b, std::ostream* os) { *os << b.Name; }

class SoakCheckTest : public ::testing::TestWithParam<Breakage> {};

TEST_P(SoakCheckTest, ReportsTheBrokenInvariant) {
  SoakOptions options;
  options.Seed = 11;
  auto driver = std::make_unique<SoakDriver>(options);
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(driver->Tick()) << driver->GetReport().Failure;
  ASSERT_EQ(driver->CheckInvariants(), "");
  GetParam().Break(*driver);
  EXPECT_THAT(driver->CheckInvariants(), ::testing::HasSubstr(GetParam().Reported));
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Checks, SoakCheckTest,
    ::testing::Values(
        Breakage{"ZeroEntryWritten",
                 [](SoakDriver& d) { d.GetState().TraceHistory[0].Hour.X = 1.0F; }, "entry 0"},
        Breakage{"SpareEntryWritten",
                 [](SoakDriver& d) {
                   d.GetState().TraceHistory[kTraceHistorySize - 1].Second.Y = -2.0F;
                 },
                 "entry 3001"},
        Breakage{"EntryNotANumber",
                 [](SoakDriver& d) { d.GetState().TraceHistory[17].Minute.X = kNaN; }, "entry 17"},
        Breakage{"TraceCountAbove", [](SoakDriver& d) { d.GetState().TraceCount = 3001; },
                 "TraceCount 3001"},
        Breakage{"TraceCountBelow", [](SoakDriver& d) { d.GetState().TraceCount = -1; },
                 "TraceCount -1"},
        Breakage{"WriteBeforeTheSession",
                 [](SoakDriver& d) { d.GetGuardedSession().Front.back() ^= 1; },
                 "just outside the clock session"},
        Breakage{"WriteAfterTheSession", [](SoakDriver& d) { d.GetGuardedSession().Back[0] = 0; },
                 "just outside the clock session"},
        Breakage{"DivisorFromNowhere", [](SoakDriver& d) { d.GetState().TickDivisor = 0; },
                 "TickDivisor 0"},
        Breakage{"FillStyleOutside", [](SoakDriver& d) { d.GetState().FillStyleIndex = 9; },
                 "FillStyleIndex 9"},
        Breakage{"DriftStopped", [](SoakDriver& d) { d.GetState().DriftX = 0; }, "drift"},
        Breakage{"KindUncalculated",
                 [](SoakDriver& d) { d.GetState().TriangleKind = kUncalculated; },
                 "TriangleKind is 'Uncalculated'"},
        Breakage{"AngleKindEmpty", [](SoakDriver& d) { d.GetState().AngleKind = {}; }, "AngleKind"},
        Breakage{"UnitsBeyondStraight", [](SoakDriver& d) { d.GetState().UnitsAtHour = 189; },
                 "units"},
        Breakage{"TipInfinite",
                 [](SoakDriver& d) {
                   d.GetState().SecondTip.Y = std::numeric_limits<float>::infinity();
                 },
                 "hand tip"}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

// A broken invariant stops the run and names the frame; a frame does not
// repair the zero entry, so the next tick still sees it.
TEST(SoakRun, TickFailsOnceACheckFails) {
  SoakOptions options;
  options.Seed = 12;
  auto driver = std::make_unique<SoakDriver>(options);
  ASSERT_TRUE(driver->Tick());
  driver->GetState().TraceHistory[0].Minute.Y = 3.0F;
  EXPECT_FALSE(driver->Tick());
  EXPECT_EQ(driver->GetReport().Failure, "frame 2: trace history entry 0 was written");
}

TEST(SoakRun, ShortRunVisitsEveryEventAndPasses) {
  SoakOptions options;
  options.Frames = 1500;
  options.Seed = 20260329;
  auto driver = std::make_unique<SoakDriver>(options);
  const SoakReport report = driver->Run();
  EXPECT_EQ(report.Failure, "");
  EXPECT_EQ(report.Frames, 1500);
  for (std::size_t kind = 0; kind < report.Events.size(); ++kind) {
    EXPECT_GT(report.Events[kind], 5) << "event kind " << kind;
  }
  // The bad time texts failed frames and the rest of them ran.
  EXPECT_GT(report.FailedFrames, 0);
  EXPECT_LT(report.FailedFrames, report.Frames / 2);
  // The caption's 200 ms come round on every 13th tick.
  EXPECT_EQ(report.Captions, report.Frames / TicksForInterval(kCaptionIntervalMilliseconds));
  EXPECT_GT(report.FreeFlightSteps, 0);
  EXPECT_GT(report.WarmupRssKiB, 0);
}

}  // namespace
}  // namespace trilume
