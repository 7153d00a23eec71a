// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>

#include "model/clock_state.h"
#include "render/canvas/raster_canvas.h"
#include "render/headless_clock.h"
#include "tests/reliability/soak/guarded.h"

namespace trilume {

// What can happen between two ticks, in the order the warm-up tour visits
// them.
enum class SoakEvent : int {
  kCheckBox,         // one of the nine check boxes flips
  kTraceScrollBar,   // NUMBER OF TRACES, ends included
  kColourScrollBar,  // ALTERNATIVE COLORS, ends included
  kImageDoubleClick,
  kFormDoubleClick,
  kGridColour,  // a new foreground or background cell, with the grid's rectangle
  kClear,       // CLEAR, sometimes pressed several times between two frames
  kFreeOrLand,
  kResize,
  kMovementText,
  kTimeText,   // the time text turns into one of any shape for a few frames
  kClockJump,  // the system clock is set forward or back
  kTimeZone,   // TZ changes under the running clock
  kLocale,     // LC_TIME changes, so TimeToStr and DateToStr change shape
  kMinimise,   // the window is minimised for a few ticks, then restored
};
inline constexpr int kSoakEventKinds = 15;

struct SoakOptions {
  std::int64_t Frames = 20000;
  std::uint64_t Seed = 1;
  // Frames run before the resident size is taken as the baseline; 0 picks
  // a tenth of Frames within 1,000..20,000. The scripted tour of every
  // event runs first, so everything loaded once is loaded by then.
  std::int64_t WarmupFrames = 0;
  // How far the resident size (the live heap under AddressSanitizer) may
  // rise above the baseline.
  std::int64_t RssToleranceKiB = 1024;
  // Resident size is sampled this often after the warm-up.
  std::int64_t RssSampleEvery = 1000;
  // A progress line on stderr this often; 0 for none.
  std::int64_t ProgressEvery = 0;
};

struct SoakReport {
  std::int64_t Frames = 0;
  std::int64_t FailedFrames = 0;  // EConvertError, caught as the window catches it
  std::int64_t Captions = 0;
  std::int64_t FreeFlightSteps = 0;
  std::array<std::int64_t, kSoakEventKinds> Events{};
  std::int64_t WarmupRssKiB = -1;
  std::int64_t EndRssKiB = -1;
  std::int64_t PeakRssKiB = -1;       // highest sample after the warm-up
  std::int64_t WarmupHeapBytes = -1;  // sanitizer builds only
  std::int64_t EndHeapBytes = -1;
  double Seconds = 0.0;
  // Empty while every check has held; else the first that failed, with the
  // frame number.
  std::string Failure;
};

// Runs a clock session tick by tick, 64 ticks per simulated second, while a
// seeded random stream of panel changes, resizes and bad texts hits it.
// After every tick it checks what must always hold.
//
// Changes process-wide TZ and LC_TIME while it runs; the destructor puts
// both back.
class SoakDriver {
 public:
  explicit SoakDriver(const SoakOptions& options);
  ~SoakDriver();
  SoakDriver(const SoakDriver&) = delete;
  SoakDriver& operator=(const SoakDriver&) = delete;

  // Runs Options.Frames ticks, or fewer when a check fails.
  SoakReport Run();

  // One tick of the session, followed by the checks. Returns false once a
  // check has failed (the report names it).
  bool Tick();
  // Applies one event with the random stream choosing its details.
  void Apply(SoakEvent event);

  // The first invariant that does not hold, or empty. Also used by the
  // tests to show that each check can fail.
  std::string CheckInvariants() const;

  ClockState& GetState() { return Session.State; }
  Guarded<HeadlessClock>& GetGuardedSession() { return Guard; }
  const SoakReport& GetReport() const { return Report; }

 private:
  void CheckFrame(const FrameOutcome& frame, bool keptMeasurements);
  void CheckCaption();
  void RunWarmupTour();
  SoakEvent RandomEvent();
  void Fail(const std::string& what);
  int RandomInt(int low, int high);
  std::size_t RandomIndex(std::size_t count);

  SoakOptions Options;
  SoakReport Report;
  std::mt19937_64 Random;
  RasterCanvas Canvas;
  const unsigned char* CanvasBits = nullptr;
  Guarded<HeadlessClock> Guard{Canvas};
  HeadlessClock& Session = Guard.Value;
  bool AnyFrameMeasured = false;
  int BadTextFramesLeft = 0;
  int MinimisedTicksLeft = 0;
  std::string SavedTz;
  bool HadTz = false;
  std::string SavedLcTime;
};

}  // namespace trilume
