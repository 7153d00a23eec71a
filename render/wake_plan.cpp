// SPDX-License-Identifier: MIT
#include "render/wake_plan.h"

#include <utility>

#include "model/caption.h"
#include "model/date_time.h"
#include "render/trace.h"

namespace trilume {

namespace {

// The probe's target: only whether a unit would be drawn matters.
class NowhereCanvas final : public TCanvas {
 public:
  void LineTo(int x, int y) override { PenPos = TPoint{x, y}; }
  void Ellipse(int /*x1*/, int /*y1*/, int /*x2*/, int /*y2*/) override {}
  void Rectangle(int /*x1*/, int /*y1*/, int /*x2*/, int /*y2*/) override {}
  void FillRect(const TRect& /*rect*/) override {}
  void TextOut(int /*x*/, int /*y*/, std::string_view /*text*/) override {}
};

}  // namespace

WakePlan::WakePlan()
    : Scratch(std::make_unique<ClockState>()),
      Nowhere(std::make_unique<NowhereCanvas>()),
      Probe(std::make_unique<FrameCanvas>(*Nowhere, kMaxFrameCalls)) {}

WakePlan::~WakePlan() = default;

std::int64_t WakePlan::FirstChange(const WakeOutlook& outlook, std::int64_t first,
                                   std::int64_t last) {
  TimerCadence frames = outlook.Frames;
  TimerCadence captions = outlook.Captions;
  const bool framesRun = frames.IsRunning() && outlook.Panel != nullptr;
  if (framesRun) {
    // A CLEAR would be served on the panel itself; a canvas with calls
    // held, or none to compare with, cannot say what the next unit repeats.
    if (outlook.Panel->GetClearRequest() != 0 || outlook.Shown == nullptr ||
        !Probe->Mirror(*outlook.Shown)) {
      return std::max(first, frames.GetDueTick());
    }
  } else {
    frames.Stop();
  }
  CopyStateWithHistory(*Scratch, *outlook.State,
                       framesRun ? TraceEntriesInUse(*outlook.State, *outlook.Panel) : 0);
  Previous = outlook.LastFrame != nullptr ? *outlook.LastFrame : FrameOutcome{};
  Caption = outlook.Caption != nullptr ? *outlook.Caption : std::string();
  FakeClock clock;
  std::int64_t lastDue = first;
  for (std::int64_t tick = first; tick <= last; ++tick) {
    const bool frameHere = frames.IsDue(tick);
    const bool captionHere = captions.IsDue(tick);
    if (!frameHere && !captionHere) continue;
    lastDue = tick;
    clock.Set(outlook.Clock.ReadingAt(*outlook.Schedule, tick));
    // The session's steps in its timers' order: frame, then caption.
    if (frameHere) {
      frames.Fired(tick);
      RunFrame(Outcome, *Scratch, *Probe, *outlook.Panel, outlook.Window, false, clock,
               outlook.TimeText);
      if (Probe->Present() || !Outcome.SameNews(Previous)) return tick;
      std::swap(Outcome, Previous);
    }
    if (captionHere) {
      captions.Fired(tick);
      const std::string text = ComposeCaption(Now(clock), *Scratch);
      if (Caption.empty() || text != Caption) return tick;
    }
  }
  return lastDue;
}

}  // namespace trilume
