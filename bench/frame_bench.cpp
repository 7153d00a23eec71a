// SPDX-License-Identifier: MIT
// Whole frames as the clock runs them: 64 a second, the clock advancing
// one tick (15.625 ms) per frame from a fixed instant, the trace history already full.
// The heaviest setting (3000 traces in the rainbow palette) runs the way the
// program draws (a frame canvas in front of the raster canvas) and on the
// QPainter yardstick canvas; FrameSpeedup reports how many times faster ours
// is, measured in the same run, and FrameOverFloor how far the frame is from
// writing the pixels of the lines it draws alone.
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "bench/pixel_floor.h"
#include "bench/side_by_side.h"
#include "model/tick_schedule.h"
#include "render/canvas/frame_canvas.h"
#include "render/canvas/raster_canvas.h"
#include "render/headless_clock.h"
#include "tests/support/qpainter_canvas.h"

namespace trilume {
namespace {

// 2024-01-01 00:15:30.500 UTC.
constexpr std::int64_t kStartMicros = (1704067200LL + 15 * 60 + 30) * 1000000LL + 500000LL;
// More than the 3000 frames it takes to fill the history.
constexpr int kWarmUpFrames = 3100;

enum class Setting { kDesignValues, kRainbow3000 };

// The program's drawing path: each frame presented by a frame canvas onto
// the raster canvas the window shows.
template <typename Target>
struct Presented {
  Target Surface;
  FrameCanvas Drawing{Surface, kMaxFrameCalls};
};

template <typename Canvas>
TCanvas& SessionCanvas(Canvas& canvas) {
  return canvas;
}
template <typename Target>
FrameCanvas& SessionCanvas(Presented<Target>& presented) {
  return presented.Drawing;
}

template <typename Canvas>
class FrameRig {
 public:
  explicit FrameRig(Setting setting) {
    setenv("TZ", "UTC", 1);
    tzset();
    std::setlocale(LC_ALL, "C");
    Session.Clock.Set(kStartMicros);
    if (setting == Setting::kRainbow3000) {
      Session.Panel.ScrollBar1Position = kMaxTraceCount;
      Session.Panel.SetChecked(PanelCheckBox::kRainbow, true);
    }
    for (int frame = 0; frame < kWarmUpFrames; ++frame) Frame();
  }

  void Frame() {
    Session.Frame();
    Session.Clock.Advance(kTickMicroseconds);
  }

  Canvas& GetSurface() { return Surface; }

 private:
  Canvas Surface;
  HeadlessClock Session{SessionCanvas(Surface)};
};

template <typename Canvas>
void BM_Frame(benchmark::State& state, Setting setting) {
  // The session alone is 72 KB: keep the rig off the stack.
  auto rig = std::make_unique<FrameRig<Canvas>>(setting);
  for (auto _ : state) rig->Frame();
  state.SetItemsProcessed(state.iterations());
}

using ProgramCanvas = Presented<RasterCanvas>;

void BM_FrameDesignValues(benchmark::State& state) {
  BM_Frame<ProgramCanvas>(state, Setting::kDesignValues);
}
void BM_FrameRainbow3000(benchmark::State& state) {
  BM_Frame<ProgramCanvas>(state, Setting::kRainbow3000);
}
// Every call straight onto the raster canvas: the rasteriser alone.
void BM_FrameRainbow3000Unpresented(benchmark::State& state) {
  BM_Frame<RasterCanvas>(state, Setting::kRainbow3000);
}
void BM_FrameRainbow3000QPainter(benchmark::State& state) {
  BM_Frame<QPainterCanvas>(state, Setting::kRainbow3000);
}

BENCHMARK(BM_FrameDesignValues)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameRainbow3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameRainbow3000Unpresented)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameRainbow3000QPainter)->Unit(benchmark::kMicrosecond);

// Both canvases side by side in one loop, so machine load touches both
// alike. The reported time is the program's path; the counter
// "qpainter_over_raster" is the QPainter canvas's time divided by it.
void BM_FrameSpeedup(benchmark::State& state) {
  auto raster = std::make_unique<FrameRig<ProgramCanvas>>(Setting::kRainbow3000);
  auto painter = std::make_unique<FrameRig<QPainterCanvas>>(Setting::kRainbow3000);
  const auto rasterFrame = [&] { raster->Frame(); };
  const auto painterFrame = [&] { painter->Frame(); };
  const SideBySide total = TimeSideBySide(state, rasterFrame, painterFrame);
  const double ratio = total.Other / total.Measured;
  state.counters["qpainter_over_raster"] = ratio;
  std::printf("frame at 3000 rainbow traces: raster %.1f us, QPainter %.1f us, %.2fx faster\n",
              1e6 * total.Measured / static_cast<double>(state.iterations()),
              1e6 * total.Other / static_cast<double>(state.iterations()), ratio);
}

BENCHMARK(BM_FrameSpeedup)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// Draws nothing; while Recording, notes the pixels each LineTo would write.
class LinePixelRecorder final : public TCanvas {
 public:
  void LineTo(int x, int y) override {
    if (Recording) AppendLinePixels(PenPos.X, PenPos.Y, x, y, Stride, Offsets);
    PenPos = TPoint{x, y};
  }
  void Ellipse(int, int, int, int) override {}
  void Rectangle(int, int, int, int) override {}
  void FillRect(const TRect&) override {}
  void TextOut(int, int, std::string_view) override {}

  bool Recording = false;
  int Stride = 0;
  std::vector<std::uint32_t> Offsets;
};

// The pixels the lines of the next frame at 3000 rainbow traces write on
// the raster canvas, as offsets into an image of `stride` pixels a row:
// only the lines the frame canvas hands on, or with `allLines` every line
// the frame draws.
std::vector<std::uint32_t> FrameLineOffsets(int stride, bool allLines = false) {
  if (allLines) {
    auto rig = std::make_unique<FrameRig<LinePixelRecorder>>(Setting::kRainbow3000);
    LinePixelRecorder& recorder = rig->GetSurface();
    recorder.Stride = stride;
    recorder.Recording = true;
    rig->Frame();
    return std::move(recorder.Offsets);
  }
  auto rig = std::make_unique<FrameRig<Presented<LinePixelRecorder>>>(Setting::kRainbow3000);
  LinePixelRecorder& recorder = rig->GetSurface().Surface;
  recorder.Stride = stride;
  recorder.Recording = true;
  rig->Frame();
  return std::move(recorder.Offsets);
}

// The floor under a frame at 3000 rainbow traces: its lines' pixels, one
// store each at precomputed offsets, nothing else of the frame.
void BM_FrameFloor(benchmark::State& state) {
  QImage image = CanvasSizedImage();
  const std::vector<std::uint32_t> offsets =
      FrameLineOffsets(static_cast<int>(image.bytesPerLine() / 4));
  auto* pixels = reinterpret_cast<std::uint32_t*>(image.bits());
  for (auto _ : state) {
    WriteAtOffsets(pixels, offsets, ToArgb(kTeal));
    benchmark::ClobberMemory();
  }
  state.counters["pixels"] = static_cast<double>(offsets.size());
  state.counters["pixels_of_all_lines"] = static_cast<double>(
      FrameLineOffsets(static_cast<int>(image.bytesPerLine() / 4), true).size());
}
BENCHMARK(BM_FrameFloor)->Unit(benchmark::kMicrosecond);

// The whole frame at 3000 rainbow traces and its floor side by side in one
// loop. The reported time is the frame's; "frame_over_floor" is the frame's
// time divided by the floor's.
void BM_FrameOverFloor(benchmark::State& state) {
  auto rig = std::make_unique<FrameRig<ProgramCanvas>>(Setting::kRainbow3000);
  QImage image = CanvasSizedImage();
  const std::vector<std::uint32_t> offsets =
      FrameLineOffsets(static_cast<int>(image.bytesPerLine() / 4));
  auto* pixels = reinterpret_cast<std::uint32_t*>(image.bits());
  const SideBySide total = TimeSideBySide(
      state, [&] { rig->Frame(); }, [&] { WriteAtOffsets(pixels, offsets, ToArgb(kTeal)); });
  state.counters["frame_over_floor"] = total.Measured / total.Other;
  state.counters["floor_us"] = 1e6 * total.Other / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FrameOverFloor)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace trilume
