// SPDX-License-Identifier: MIT
#include "tests/reliability/soak/soak_driver.h"

#include <QImage>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <numbers>
#include <string_view>

#include "model/caption.h"
#include "model/triangle.h"
#include "tests/reliability/soak/bad_inputs.h"
#include "tests/reliability/soak/resident_memory.h"

namespace trilume {

namespace {

// The frame takes a plain function for its time text, so what it should
// return lives here. Only the soak's single thread touches it.
enum class Readability { kUnknown, kReadable, kUnreadable };

struct TimeTextInjection {
  bool Active = false;
  std::string Text;
  Readability Expected = Readability::kReadable;
};

TimeTextInjection& Injection() {
  static TimeTextInjection injection;
  return injection;
}

std::string InjectedTimeText(TDateTime timeOfDay) {
  const TimeTextInjection& injection = Injection();
  return injection.Active ? injection.Text : TimeToStr(timeOfDay);
}

constexpr std::int64_t kMicrosPerSecond = 1'000'000;
constexpr std::int64_t kMicrosPerDay = 86'400 * kMicrosPerSecond;
// 1970-01-02 and 2199-12-31: the range the soak lets the system clock roam.
constexpr std::int64_t kEarliestMicros = kMicrosPerDay;
constexpr std::int64_t kLatestMicros = 7'258'032'000LL * kMicrosPerSecond;

constexpr std::array<std::int32_t, 7> kDivisors = {1000, 100, 1, 60, 10, 500, 30};

constexpr std::array<const char*, 11> kTimeZones = {"UTC",
                                                    "Europe/Berlin",
                                                    "America/St_Johns",
                                                    "Asia/Kolkata",
                                                    "Pacific/Chatham",
                                                    "Australia/Lord_Howe",
                                                    "Pacific/Kiritimati",
                                                    "Nowhere/Bogus",
                                                    "",
                                                    "<+0330>-3:30",
                                                    "Europe/Berlin,junk"};

constexpr std::array<const char*, 5> kLocales = {"C", "C.UTF-8", "en_US.UTF-8", "de_DE.UTF-8",
                                                 "ja_JP.UTF-8"};

bool IsOneOf(std::string_view word, std::initializer_list<std::string_view> words) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

bool IsZero(const TriangleRecord& record) { return record == TriangleRecord{}; }

bool Bounded(float value, float limit) { return std::isfinite(value) && std::fabs(value) <= limit; }

bool SameTip(const TipOffset& a, const TipOffset& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// What a frame that fails its time text must leave alone.
struct MeasuredSnapshot {
  TipOffset Hour;
  TipOffset Minute;
  TipOffset Second;
  std::int32_t Sides[3] = {0, 0, 0};
  std::string_view TriangleKind;
  std::string_view AngleKind;

  explicit MeasuredSnapshot(const ClockState& state)
      : Hour(state.HourTip),
        Minute(state.MinuteTip),
        Second(state.SecondTip),
        Sides{state.SideHourMinute, state.SideHourSecond, state.SideMinuteSecond},
        TriangleKind(state.TriangleKind),
        AngleKind(state.AngleKind) {}

  bool Matches(const ClockState& state) const {
    return SameTip(Hour, state.HourTip) && SameTip(Minute, state.MinuteTip) &&
           SameTip(Second, state.SecondTip) && Sides[0] == state.SideHourMinute &&
           Sides[1] == state.SideHourSecond && Sides[2] == state.SideMinuteSecond &&
           TriangleKind == state.TriangleKind && AngleKind == state.AngleKind;
  }
};

}  // namespace

SoakDriver::SoakDriver(const SoakOptions& options) : Options(options), Random(options.Seed) {
  CanvasBits = Canvas.GetImage().constBits();
  Session.SetTimeText(&InjectedTimeText);
  // A start anywhere from 2000 to 2100, at a random time of day.
  const std::int64_t start2000 = 946'684'800LL * kMicrosPerSecond;
  std::uniform_int_distribution<std::int64_t> start(start2000, start2000 + 36'525 * kMicrosPerDay);
  Session.Clock.Set(start(Random));
  Session.State.StartTime = Now(Session.Clock);

  if (const char* tz = std::getenv("TZ"); tz != nullptr) {
    HadTz = true;
    SavedTz = tz;
  }
  if (const char* lcTime = std::setlocale(LC_TIME, nullptr); lcTime != nullptr) {
    SavedLcTime = lcTime;
  }
  Injection() = TimeTextInjection{};
}

SoakDriver::~SoakDriver() {
  if (HadTz) {
    setenv("TZ", SavedTz.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
  if (!SavedLcTime.empty()) std::setlocale(LC_TIME, SavedLcTime.c_str());
  Injection() = TimeTextInjection{};
}

int SoakDriver::RandomInt(int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(Random);
}

std::size_t SoakDriver::RandomIndex(std::size_t count) {
  return std::uniform_int_distribution<std::size_t>(0, count - 1)(Random);
}

void SoakDriver::Fail(const std::string& what) {
  if (Report.Failure.empty()) {
    Report.Failure = "frame " + std::to_string(Report.Frames) + ": " + what;
  }
}

void SoakDriver::CheckFrame(const FrameOutcome& frame, bool keptMeasurements) {
  ++Report.Frames;
  const Readability expected = Injection().Active ? Injection().Expected : Readability::kReadable;
  if (frame.Unexpected) {
    Fail("the frame threw something other than EConvertError: " + frame.Error);
  } else if (!frame.Ok) {
    // The main window shows this one and goes on ticking.
    ++Report.FailedFrames;
    if (expected == Readability::kReadable) {
      Fail("a readable time text failed: '" + frame.Reading.TimeText + "': " + frame.Error);
    }
    if (!keptMeasurements) Fail("a failed frame changed the tips, sides or kinds");
  } else {
    if (expected == Readability::kUnreadable) {
      Fail("an unreadable time text was accepted: '" + Injection().Text + "'");
    }
    AnyFrameMeasured = true;
  }
  if (Session.Panel.GetClearRequest() != 0) Fail("the frame left a CLEAR request unserved");
}

void SoakDriver::CheckCaption() {
  const std::string& caption = Session.GetCaption();
  ++Report.Captions;
  if (caption.find(kCaptionTriangleIs) == std::string::npos ||
      caption.size() < kCaptionClosing.size() ||
      caption.compare(caption.size() - kCaptionClosing.size(), kCaptionClosing.size(),
                      kCaptionClosing) != 0) {
    Fail("caption lost its fixed pieces: '" + caption + "'");
  }
}

bool SoakDriver::Tick() {
  const MeasuredSnapshot before(Session.State);
  Session.Clock.Advance(kTickMicroseconds);
  // The driver's own record, not the session's: a session that fails to
  // restore must show up as a tick without a frame.
  const bool minimised = MinimisedTicksLeft > 0;
  const TDateTime lastRead = Session.GetLastFrame().Reading.Time;
  const bool captioned = Session.Tick();
  if (minimised) {
    ++Report.Frames;
    if (Session.GetLastFrame().Reading.Time != lastRead) Fail("a minimised clock drew a frame");
    if (--MinimisedTicksLeft == 0) Session.SetMinimised(false);
  } else {
    if (Session.GetLastFrame().Reading.Time == lastRead) Fail("no frame ran at a tick");
    // Free flight moves only Centre, so the snapshot still tells what the
    // frame itself changed.
    CheckFrame(Session.GetLastFrame(), before.Matches(Session.State));
  }
  if (captioned) CheckCaption();
  if (Session.IsFree()) ++Report.FreeFlightSteps;
  if (const std::string broken = CheckInvariants(); !broken.empty()) Fail(broken);
  if (BadTextFramesLeft > 0 && --BadTextFramesLeft == 0) Injection().Active = false;
  return Report.Failure.empty();
}

std::string SoakDriver::CheckInvariants() const {
  const ClockState& state = Session.State;
  if (!Guard.Intact()) return "a write landed just outside the clock session";
  if (state.TraceCount < 0 || state.TraceCount > kMaxTraceCount) {
    return "TraceCount " + std::to_string(state.TraceCount) + " outside 0..3000";
  }
  if (!IsZero(state.TraceHistory[0])) return "trace history entry 0 was written";
  if (!IsZero(state.TraceHistory[kTraceHistorySize - 1])) {
    return "trace history entry 3001 was written";
  }
  // Tips are offsets inside the largest window; anything else in the
  // history is a stray write.
  constexpr float kTipLimit = static_cast<float>(kLargestWindowWidth);
  for (std::size_t i = 0; i < state.TraceHistory.size(); ++i) {
    const TriangleRecord& r = state.TraceHistory[i];
    for (float value : {r.Hour.X, r.Hour.Y, r.Minute.X, r.Minute.Y, r.Second.X, r.Second.Y}) {
      if (!Bounded(value, kTipLimit)) {
        return "trace history entry " + std::to_string(i) + " holds " + std::to_string(value);
      }
    }
  }
  for (const TipOffset* tip : {&state.HourTip, &state.MinuteTip, &state.SecondTip}) {
    if (!Bounded(tip->X, kTipLimit) || !Bounded(tip->Y, kTipLimit)) {
      return "a hand tip is not a finite offset inside the window";
    }
  }
  if (!Bounded(state.CentreX, 1e6F) || !Bounded(state.CentreY, 1e6F)) {
    return "Centre is not finite";
  }
  if (std::find(kDivisors.begin(), kDivisors.end(), state.TickDivisor) == kDivisors.end()) {
    return "TickDivisor " + std::to_string(state.TickDivisor) + " is no movement's divisor";
  }
  if (state.FillStyleIndex < 0 || state.FillStyleIndex > 8) {
    return "FillStyleIndex " + std::to_string(state.FillStyleIndex) + " outside 0..8";
  }
  if ((state.DriftX != 1 && state.DriftX != -1) || (state.DriftY != 1 && state.DriftY != -1)) {
    return "a drift component is not +1 or -1";
  }
  if (!(state.ColourStep >= 0.0F && state.ColourStep <= 12.0F)) return "ColourStep outside 0..12";
  const bool kindsMayBeEmpty = !AnyFrameMeasured;
  if (!IsOneOf(state.TriangleKind, {kScalene, kIsosceles, kAlignment, kRight, kEquilateral}) &&
      !(kindsMayBeEmpty && state.TriangleKind.empty())) {
    return "TriangleKind is '" + std::string(state.TriangleKind) + "'";
  }
  if (!IsOneOf(state.AngleKind, {kObtuse, kAcute}) &&
      !(kindsMayBeEmpty && state.AngleKind.empty())) {
    return "AngleKind is '" + std::string(state.AngleKind) + "'";
  }
  for (std::int32_t side : {state.SideHourMinute, state.SideHourSecond, state.SideMinuteSecond}) {
    if (side < 0 || side > 2 * kLargestWindowWidth) return "a side length is out of range";
  }
  if (!(state.Circumradius >= 0.0F) || !std::isfinite(state.Circumradius)) {
    return "Circumradius is negative or not finite";
  }
  for (float angle : {state.AngleAtHour, state.AngleAtMinute, state.AngleAtSecond}) {
    if (!(angle >= 0.0F && angle <= std::numbers::pi_v<float> + 1e-6F)) {
      return "an angle is outside 0..pi";
    }
  }
  for (std::int32_t units : {state.UnitsAtHour, state.UnitsAtMinute, state.UnitsAtSecond}) {
    if (units < 0 || units > 188) return "an angle in units is outside 0..188";
  }
  const QImage& image = Canvas.GetImage();
  if (image.width() != RasterCanvas::kWidth || image.height() != RasterCanvas::kHeight ||
      image.format() != QImage::Format_RGB32) {
    return "the picture is no longer 1281x777 RGB32";
  }
  if (image.constBits() != CanvasBits) return "the picture's pixels moved to a new buffer";
  return {};
}

void SoakDriver::Apply(SoakEvent event) {
  ++Report.Events[static_cast<std::size_t>(event)];
  PlainPanelSettings& panel = Session.Panel;
  switch (event) {
    case SoakEvent::kCheckBox: {
      const auto box = static_cast<PanelCheckBox>(RandomInt(1, 9));
      panel.SetChecked(box, !panel.IsChecked(box));
      break;
    }
    case SoakEvent::kTraceScrollBar: {
      constexpr std::array<int, 6> kNotable = {1, 2, 3, 2999, 3000, 20};
      const int pick = RandomInt(0, 9);
      panel.ScrollBar1Position =
          pick < 6 ? kNotable[static_cast<std::size_t>(pick)] : RandomInt(1, kMaxTraceCount);
      break;
    }
    case SoakEvent::kColourScrollBar:
      panel.ScrollBar2Position =
          RandomInt(0, 3) == 0 ? (RandomInt(0, 1) == 0 ? 1 : 12) : RandomInt(1, 12);
      break;
    case SoakEvent::kImageDoubleClick:
      Session.State.FillStyleIndex = NextFillStyleFromImage(Session.State.FillStyleIndex);
      break;
    case SoakEvent::kFormDoubleClick:
      Session.State.FillStyleIndex = NextFillStyleFromForm(Session.State.FillStyleIndex);
      break;
    case SoakEvent::kGridColour:
      if (RandomInt(0, 1) == 0) {
        panel.ForegroundIndex = RandomInt(0, 15);
      } else {
        panel.BackgroundIndex = RandomInt(0, 15);
      }
      CColorGrid1Change(Canvas, panel, Session.Window);
      break;
    case SoakEvent::kClear:
      for (int presses = RandomInt(1, 3); presses > 0; --presses) {
        Button2Click(Canvas, panel, Session.Window);
      }
      break;
    case SoakEvent::kFreeOrLand:
      Session.SetFree(!Session.IsFree());
      break;
    case SoakEvent::kMinimise:
      Session.SetMinimised(true);
      MinimisedTicksLeft = RandomInt(1, 40);
      break;
    case SoakEvent::kResize:
      if (RandomInt(0, 1) == 0) {
        const auto& size = kNotableWindowSizes[RandomIndex(kNotableWindowSizes.size())];
        Session.Window = WindowSize{size.Width, size.Height};
      } else {
        Session.Window =
            WindowSize{RandomInt(1, kLargestWindowWidth), RandomInt(1, kLargestWindowHeight)};
      }
      break;
    case SoakEvent::kMovementText:
      if (RandomInt(0, 4) == 0) {
        // Typed garbage of any bytes, now and then long.
        std::string text(static_cast<std::size_t>(RandomInt(0, RandomInt(0, 3) == 0 ? 300 : 12)),
                         '\0');
        for (char& c : text) c = static_cast<char>(RandomInt(0, 255));
        panel.MovementText = text;
      } else {
        panel.MovementText = std::string(kMovementCases[RandomIndex(kMovementCases.size())].Text);
      }
      break;
    case SoakEvent::kTimeText: {
      TimeTextInjection& injection = Injection();
      const int pick = RandomInt(0, 9);
      if (pick < 3) {
        injection.Active = false;
        BadTextFramesLeft = 0;
        break;
      }
      injection.Active = true;
      BadTextFramesLeft = RandomInt(1, 20);
      if (pick < 7) {
        const TimeTextCase& c = kTimeTextCases[RandomIndex(kTimeTextCases.size())];
        injection.Text = std::string(c.Text);
        injection.Expected = c.Readable() ? Readability::kReadable : Readability::kUnreadable;
      } else {
        // Mostly digits and colons, so some of it reads as a time.
        injection.Text.assign(static_cast<std::size_t>(RandomInt(0, 24)), '\0');
        for (char& c : injection.Text) {
          const int kind = RandomInt(0, 9);
          c = static_cast<char>(kind < 5 ? '0' + RandomInt(0, 9)
                                         : (kind < 7 ? ':' : RandomInt(0, 255)));
        }
        injection.Expected = Readability::kUnknown;
      }
      break;
    }
    case SoakEvent::kClockJump: {
      constexpr std::array<std::int64_t, 8> kJumps = {
          kMicrosPerSecond, -kMicrosPerSecond, 3600 * kMicrosPerSecond, -3600 * kMicrosPerSecond,
          kMicrosPerDay,    -kMicrosPerDay,    366 * kMicrosPerDay,     -366 * kMicrosPerDay};
      const int pick = RandomInt(0, 9);
      std::int64_t jump = 0;
      if (pick < 8) {
        jump = kJumps[static_cast<std::size_t>(pick)];
      } else {
        jump = std::uniform_int_distribution<std::int64_t>(-3650 * kMicrosPerDay,
                                                           3650 * kMicrosPerDay)(Random);
      }
      Session.Clock.Set(
          std::clamp(Session.Clock.NowUnixMicroseconds() + jump, kEarliestMicros, kLatestMicros));
      break;
    }
    case SoakEvent::kTimeZone:
      setenv("TZ", kTimeZones[RandomIndex(kTimeZones.size())], 1);
      break;
    case SoakEvent::kLocale:
      // A locale this machine lacks leaves LC_TIME as it was, as it would
      // for the program.
      std::setlocale(LC_TIME, kLocales[RandomIndex(kLocales.size())]);
      break;
  }
}

SoakEvent SoakDriver::RandomEvent() {
  return static_cast<SoakEvent>(RandomInt(0, kSoakEventKinds - 1));
}

void SoakDriver::RunWarmupTour() {
  // Every event kind several times over, so fonts, locale data, time zone
  // files and the whole trace history are touched before the baseline.
  for (int round = 0; round < 6; ++round) {
    for (int kind = 0; kind < kSoakEventKinds; ++kind) {
      if (Report.Frames >= Options.Frames || !Report.Failure.empty()) return;
      Apply(static_cast<SoakEvent>(kind));
      Tick();
    }
  }
  PlainPanelSettings& panel = Session.Panel;
  panel.SetChecked(PanelCheckBox::kTraceOn, true);
  panel.ScrollBar1Position = kMaxTraceCount;
  for (const WindowSizeCase& size : kNotableWindowSizes) {
    for (const char* locale : kLocales) {
      if (Report.Frames >= Options.Frames || !Report.Failure.empty()) return;
      Session.Window = WindowSize{size.Width, size.Height};
      std::setlocale(LC_TIME, locale);
      Tick();
      Tick();
    }
  }
}

SoakReport SoakDriver::Run() {
  const auto started = std::chrono::steady_clock::now();
  std::int64_t warmup = Options.WarmupFrames;
  if (warmup <= 0) warmup = std::clamp<std::int64_t>(Options.Frames / 10, 1000, 20000);
  warmup = std::min(warmup, Options.Frames);

  const auto sample = [this]() {
    const std::int64_t rss = ReadResidentKiB();
    Report.PeakRssKiB = std::max(Report.PeakRssKiB, rss);
    return rss;
  };

  const auto takeBaselineOnce = [this, warmup, &sample]() {
    if (Report.WarmupRssKiB < 0 && Report.Frames >= warmup) {
      Report.WarmupRssKiB = sample();
      Report.WarmupHeapBytes = ReadSanitizerHeapBytes();
    }
  };

  RunWarmupTour();
  takeBaselineOnce();
  int nextChange = RandomInt(1, 8);
  while (Report.Failure.empty() && Report.Frames < Options.Frames) {
    if (--nextChange == 0) {
      Apply(RandomEvent());
      nextChange = RandomInt(1, 8);
    }
    Tick();
    if (Report.WarmupRssKiB < 0) {
      takeBaselineOnce();
    } else if (Report.Frames % Options.RssSampleEvery == 0) {
      sample();
    }
    if (Options.ProgressEvery > 0 && Report.Frames % Options.ProgressEvery == 0) {
      std::fprintf(stderr, "soak: %lld frames, %lld KiB resident\n",
                   static_cast<long long>(Report.Frames),
                   static_cast<long long>(ReadResidentKiB()));
    }
  }
  Report.EndRssKiB = sample();
  Report.EndHeapBytes = ReadSanitizerHeapBytes();
  Report.Seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  // Under AddressSanitizer the resident size measures the sanitizer, not
  // the clock: freed blocks wait in its quarantine (up to 256 MiB) and every
  // new call stack it records stays. There the allocator's count of live
  // bytes stands in for it; elsewhere the resident size itself must hold.
  if (Report.WarmupHeapBytes >= 0) {
    if (Report.EndHeapBytes - Report.WarmupHeapBytes > Options.RssToleranceKiB * 1024) {
      Fail("live heap grew from " + std::to_string(Report.WarmupHeapBytes) + " to " +
           std::to_string(Report.EndHeapBytes) + " bytes");
    }
  } else if (Report.WarmupRssKiB >= 0 &&
             Report.PeakRssKiB - Report.WarmupRssKiB > Options.RssToleranceKiB) {
    Fail("resident memory rose from " + std::to_string(Report.WarmupRssKiB) + " KiB after the " +
         "warm-up to " + std::to_string(Report.PeakRssKiB) + " KiB");
  }
  return Report;
}

}  // namespace trilume
