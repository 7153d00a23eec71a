// SPDX-License-Identifier: MIT
// A session that sleeps until the picture or the caption can change must
// leave, at every tick, what a session woken at every tick leaves: the same
// model state after each frame, the same picture and status line on show.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "frame_test_support.h"
#include "model/panel_design.h"
#include "render/canvas/frame_canvas.h"
#include "render/canvas/raster_canvas.h"
#include "render/frame.h"
#include "render/headless_clock.h"

namespace trilume {
namespace {

using testing::At;
using testing::PinTimeZoneAndLocale;

std::uint64_t Mix(std::uint64_t hash, std::uint64_t value) {
  return (hash ^ value) * 0x100000001B3ULL + (hash >> 29);
}

template <typename T>
std::uint64_t Bits(T value) {
  std::uint64_t bits = 0;
  static_assert(sizeof(T) <= sizeof(bits));
  std::memcpy(&bits, &value, sizeof(T));
  return bits;
}

// Every variable of the state, the whole trace history included.
std::uint64_t StateFingerprint(const ClockState& s) {
  std::uint64_t h = 1469598103934665603ULL;
  for (float f : {s.CentreX, s.CentreY, s.HourTip.X, s.HourTip.Y, s.MinuteTip.X, s.MinuteTip.Y,
                  s.SecondTip.X, s.SecondTip.Y, s.Circumradius, s.AngleAtHour, s.AngleAtMinute,
                  s.AngleAtSecond, s.ColourStep}) {
    h = Mix(h, Bits(f));
  }
  for (std::int32_t i :
       {s.TickDivisor, s.FillStyleIndex, s.SideHourMinute, s.SideHourSecond, s.SideMinuteSecond,
        s.UnitsAtHour, s.UnitsAtMinute, s.UnitsAtSecond, s.TraceCount, s.DriftX, s.DriftY}) {
    h = Mix(h, Bits(i));
  }
  h = Mix(h, std::hash<std::string_view>{}(s.TriangleKind));
  h = Mix(h, std::hash<std::string_view>{}(s.AngleKind));
  static_assert(sizeof(TriangleRecord) == 6 * sizeof(float));
  const std::string_view history(reinterpret_cast<const char*>(s.TraceHistory.data()),
                                 s.TraceHistory.size() * sizeof(TriangleRecord));
  return Mix(h, std::hash<std::string_view>{}(history));
}

std::uint64_t PictureFingerprint(const RasterCanvas& canvas) {
  // The window never grows past 500 x 500 here, and nothing is drawn
  // beyond the window's size.
  const QImage& image = canvas.GetImage();
  std::uint64_t h = 1469598103934665603ULL;
  for (int y = 0; y < std::min(image.height(), 520); ++y) {
    h = Mix(h, std::hash<std::string_view>{}(
                   std::string_view(reinterpret_cast<const char*>(image.constScanLine(y)),
                                    std::size_t{520} * sizeof(QRgb))));
  }
  return h;
}

// One clock on its own canvas, with the log of what each frame left.
struct ClockRun {
  explicit ClockRun(bool sleeping, std::int64_t wall) {
    Clock = std::make_unique<HeadlessClock>(Drawing);
    Clock->Clock.Set(wall);
    Clock->SetSleeping(sleeping);
    Clock->OnFrameShown = [this](const FrameOutcome& outcome) {
      Frames.push_back({outcome.Reading.Time, StateFingerprint(Clock->State), outcome.Ok});
    };
  }

  struct FrameLog {
    TDateTime Time;  // what the frame read
    std::uint64_t State;
    bool Ok;
    bool operator==(const FrameLog&) const = default;
  };

  // The picture's fingerprint, taken afresh only after something was drawn.
  std::uint64_t Picture() {
    const TRect changed = Drawing.TakeChanged();
    if (changed.Left < changed.Right || !PictureKnown) {
      PictureHash = PictureFingerprint(Raster);
      PictureKnown = true;
    }
    return PictureHash;
  }

  RasterCanvas Raster;
  FrameCanvas Drawing{Raster, kMaxFrameCalls};
  std::uint64_t PictureHash = 0;
  bool PictureKnown = false;
  std::unique_ptr<HeadlessClock> Clock;
  std::vector<FrameLog> Frames;
  int Wakes = 0;
};

// Both clocks see the same world: wall time moving with the ticks, and the
// same changes at the same moments, each between CatchUp and InputChanged
// as the window makes them.
class TwoClocks {
 public:
  explicit TwoClocks(std::int64_t wall) : Wall(wall), Every(false, wall), Sleeper(true, wall) {}

  void MoveTo(std::int64_t micros) {
    for (ClockRun* run : {&Every, &Sleeper}) {
      run->Clock->Clock.Set(Wall + micros);
      if (run->Clock->Ticks.AdvanceTo(micros)) ++run->Wakes;
    }
  }

  void Change(const std::function<void(ClockRun&)>& change) {
    for (ClockRun* run : {&Every, &Sleeper}) {
      run->Clock->CatchUp();
      change(*run);
      run->Clock->InputChanged();
    }
  }

  // Moves the wall clock for both, told or untold.
  void StepWallClock(std::int64_t micros, std::int64_t now, bool told) {
    Wall += micros;
    for (ClockRun* run : {&Every, &Sleeper}) {
      run->Clock->Clock.Set(Wall + now);
      if (told) run->Clock->ClockChanged();
    }
  }

  std::int64_t Wall;
  ClockRun Every;
  ClockRun Sleeper;
};

// A time text that does not read for 7 of every 20 seconds: failure
// episodes begin and end while the clock sleeps.
std::string FaultySeconds(TDateTime timeOfDay) {
  const std::string text = TimeToStr(timeOfDay);
  return DecodeTime(timeOfDay).Sec % 20 < 7 ? "1x" + text.substr(2) : text;
}

struct Scenario {
  const char* Name;
  std::uint32_t Seed;
  const char* Movement;
  std::int64_t Start;
  int Traces;
  bool Rainbow = false;
  TimeTextFormatter TimeText = &TimeToStr;
  // The most wake-ups the five calm seconds may take: a plan that gives up
  // on a case wakes at every tick (320).
  int CalmWakes = 320;
};

void PrintTo(const Scenario& c, std::ostream* os) { *os << c.Name; }

class SleepingSessionTest : public ::testing::TestWithParam<Scenario> {
 protected:
  void SetUp() override { PinTimeZoneAndLocale(); }
};

// Random panel changes, CLEARs, colours, fill styles, free flight,
// minimising, resizing and told steps of the wall clock, each at a random
// moment between two ticks.
TEST_P(SleepingSessionTest, ShowsAndLeavesWhatWakingAtEveryTickDoes) {
  const Scenario& scenario = GetParam();
  std::mt19937 random(scenario.Seed);
  const auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  TwoClocks clocks(scenario.Start);
  clocks.Change([&](ClockRun& run) {
    run.Clock->Panel.MovementText = scenario.Movement;
    run.Clock->Panel.ScrollBar1Position = scenario.Traces;
    run.Clock->Panel.SetChecked(PanelCheckBox::kRainbow, scenario.Rainbow);
    run.Clock->SetTimeText(scenario.TimeText);
  });
  constexpr int kTicks = 1200;
  constexpr int kCalmTicks = 320;
  const std::int64_t tick = kTickMicroseconds;
  bool free = false;
  bool minimised = false;
  for (int k = 1; k <= kTicks; ++k) {
    if (k == kCalmTicks + 1) {
      EXPECT_LE(clocks.Sleeper.Wakes, scenario.CalmWakes) << "wake-ups in the calm seconds";
    }
    // Five calm seconds first, at the scenario's settings.
    if (k > kCalmTicks && pick(0, 29) == 0) {
      const std::int64_t moment = (k - 1) * tick + pick(1, static_cast<int>(tick) - 1);
      clocks.MoveTo(moment);
      const int what = pick(0, 11);
      const int a = pick(0, 3000);
      const int b = pick(0, 15);
      const bool flip = !free;
      const bool hide = !minimised;
      switch (what) {
        case 0:
          clocks.Change([&](ClockRun& run) {
            const auto box = static_cast<PanelCheckBox>(1 + a % 9);
            run.Clock->Panel.SetChecked(box, !run.Clock->Panel.IsChecked(box));
          });
          break;
        case 1:
          clocks.Change([&](ClockRun& run) {
            run.Clock->Panel.ScrollBar1Position = a % 3 == 0 ? 1 + a % 4 : 1 + a % 400;
          });
          break;
        case 2:
          clocks.Change([&](ClockRun& run) {
            run.Clock->Panel.ScrollBar2Position = 1 + b % 12;
            run.Clock->Panel.ForegroundIndex = b;
          });
          break;
        case 3:
          clocks.Change([&](ClockRun& run) {
            run.Clock->Panel.MovementText =
                b < 7 ? kMovementModes[static_cast<std::size_t>(b)].Name : "smooth";
          });
          break;
        case 4:
          clocks.Change([&](ClockRun& run) {
            Button2Click(run.Drawing, run.Clock->Panel, run.Clock->Window);
            run.Drawing.Present();
          });
          break;
        case 5:
          clocks.Change([&](ClockRun& run) {
            run.Clock->Panel.BackgroundIndex = b;
            CColorGrid1Change(run.Drawing, run.Clock->Panel, run.Clock->Window);
            run.Drawing.Present();
          });
          break;
        case 6:
          clocks.Change([&](ClockRun& run) {
            run.Clock->State.FillStyleIndex =
                NextFillStyleFromImage(run.Clock->State.FillStyleIndex);
          });
          break;
        case 7:
          if (pick(0, 2) == 0 || free) {
            clocks.Change([&](ClockRun& run) { run.Clock->SetFree(flip); });
            free = flip;
          }
          break;
        case 8:
          clocks.Change([&](ClockRun& run) { run.Clock->SetMinimised(hide); });
          minimised = hide;
          break;
        case 9: {
          const WindowSize size{200 + a % 300, 200 + b * 20};
          clocks.Change([&](ClockRun& run) { run.Clock->Window = size; });
          break;
        }
        case 10:
          clocks.StepWallClock((a - 1500) * 1'000'000LL + b * 37'000, moment, true);
          break;
        default:
          break;  // time alone moves on
      }
    }
    clocks.MoveTo(k * tick);
    ClockRun& every = clocks.Every;
    ClockRun& sleeper = clocks.Sleeper;
    ASSERT_EQ(sleeper.Picture(), every.Picture()) << "picture on show at tick " << k;
    ASSERT_EQ(sleeper.Clock->GetCaption(), every.Clock->GetCaption()) << "caption at tick " << k;
    ASSERT_EQ(sleeper.Clock->Panel.ClearRequest, every.Clock->Panel.ClearRequest) << k;
  }
  // Every frame, slept through or not, left the same state.
  const std::vector<ClockRun::FrameLog>& every = clocks.Every.Frames;
  const std::vector<ClockRun::FrameLog>& sleeper = clocks.Sleeper.Frames;
  const std::size_t frames = std::min(every.size(), sleeper.size());
  for (std::size_t i = 0; i < frames; ++i) {
    ASSERT_EQ(sleeper[i], every[i]) << "frame " << i;
  }
  // The frames of the last ticks may still be asleep.
  EXPECT_LE(every.size() - sleeper.size(), static_cast<std::size_t>(kMaxSleepTicks));
  RecordProperty("wakes", clocks.Sleeper.Wakes);
  std::printf("%s: %d wake-ups for %d ticks\n", scenario.Name, clocks.Sleeper.Wakes, kTicks);
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, SleepingSessionTest,
    ::testing::Values(Scenario{"smooth", 1, "SMOOTH", At(8, 42, 11, 991), kDefaultTraceCount, false,
                               &TimeToStr, 160},
                      Scenario{"tick", 2, "TICK", At(12, 59, 58, 500), 3, false, &TimeToStr, 30},
                      Scenario{"midnight", 3, "TICKBACK2", At(23, 59, 50, 0), 40},
                      Scenario{"halfback", 4, "HALFBACK", At(6, 0, 0, 0), 1, false, &TimeToStr, 30},
                      Scenario{"fast", 5, "FAST", At(17, 30, 0, 250), 2},
                      Scenario{"tick2", 6, "TICK2", At(3, 3, 3, 3), 300, false, &TimeToStr, 90},
                      Scenario{"rainbow", 7, "TICK", At(9, 59, 57, 900), 40, true, &TimeToStr, 280},
                      Scenario{"fault", 8, "TICK", At(14, 0, 4, 0), 20, false, &FaultySeconds, 30}),
    [](const ::testing::TestParamInfo<Scenario>& param) { return std::string(param.param.Name); });

// A step of the wall clock that nothing tells of (a suspend and resume, a
// clock set behind the program's back) shows within a second.
TEST(SleepingSessionClockTest, AnUntoldStepOfTheWallClockShowsWithinASecond) {
  PinTimeZoneAndLocale();
  TwoClocks clocks(At(10, 20, 30, 0));
  clocks.Change([](ClockRun& run) { run.Clock->Panel.MovementText = "TICK"; });
  std::int64_t now = 0;
  for (int k = 1; k <= 200; ++k) clocks.MoveTo(now = k * kTickMicroseconds);
  clocks.StepWallClock(3 * 3600 * 1'000'000LL, now, false);
  int shownAt = 0;
  for (int k = 1; k <= 64 && shownAt == 0; ++k) {
    clocks.MoveTo(now + k * kTickMicroseconds);
    if (clocks.Sleeper.Clock->GetCaption().rfind("13:", 0) == 0) shownAt = k;
  }
  EXPECT_GT(shownAt, 0) << clocks.Sleeper.Clock->GetCaption();
  EXPECT_EQ(clocks.Sleeper.Clock->State.HourTip, clocks.Every.Clock->State.HourTip);
}

// Catches ticks slept through that read their time late by the length of
// the catch-up before (here every frame takes 150 us, so a catch-up of a
// second's ticks takes 9.5 ms), and a trace that runs backwards.
TEST(SleepingSessionClockTest, ASleptTickReadsItsOwnDeadlineHoweverLongTheCatchUp) {
  PinTimeZoneAndLocale();
  constexpr std::int64_t kFrameMicroseconds = 150;
  const std::int64_t wall = At(7, 6, 5, 0);
  ClockRun run(true, wall);
  run.Clock->Panel.MovementText = "TICK";
  int wake = 0;
  std::vector<int> wakeOfFrame;
  run.Clock->OnFrameShown = [&](const FrameOutcome& outcome) {
    run.Frames.push_back({outcome.Reading.Time, 0, outcome.Ok});
    wakeOfFrame.push_back(wake);
    run.Clock->Ticks.Spend(kFrameMicroseconds);
    run.Clock->Clock.Advance(kFrameMicroseconds);
  };
  for (wake = 1; wake <= 400; ++wake) {
    run.Clock->Clock.Set(wall + wake * kTickMicroseconds);
    run.Clock->Ticks.AdvanceTo(wake * kTickMicroseconds);
  }
  ASSERT_GT(run.Frames.size(), 300U);  // frame i is tick i + 1; the last may sleep yet
  for (std::size_t i = 1; i < run.Frames.size(); ++i) {
    ASSERT_GE(run.Frames[i].Time, run.Frames[i - 1].Time) << "frame " << i;
    // The last frame of a wake-up is its own tick, and reads the present.
    if (i + 1 < run.Frames.size() && wakeOfFrame[i + 1] == wakeOfFrame[i]) {
      const std::int64_t deadline = wall + static_cast<std::int64_t>(i + 1) * kTickMicroseconds;
      ASSERT_EQ(run.Frames[i].Time, UnixMicrosecondsToLocal(deadline)) << "frame " << i;
    }
  }
}

}  // namespace
}  // namespace trilume
