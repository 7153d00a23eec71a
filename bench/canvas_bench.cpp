// SPDX-License-Identifier: MIT
// The canvas's share of a frame: a full trace of 8,997 lines, the window's
// background fill and the small shapes and texts, each on RasterCanvas and on
// QPainterCanvas, the same calls drawn the plain QPainter way. The trace is
// also measured against its floor: its pixels written at precomputed offsets.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bench/pixel_floor.h"
#include "bench/side_by_side.h"
#include "render/canvas/raster_canvas.h"
#include "tests/support/qpainter_canvas.h"

namespace trilume {
namespace {

constexpr int kWindowWidth = 280;
constexpr int kWindowHeight = 310;
constexpr int kCentreX = kWindowWidth / 2 - 4;
constexpr int kCentreY = kWindowHeight / 2 - 17;
constexpr int kTriangles = 2999;  // NUMBER OF TRACES at its maximum, less one

struct Triangle {
  std::array<int, 6> Corners;  // x1, y1, x2, y2, x3, y3 on screen
};

// Hand tips on ellipses about the window's centre, with sides of roughly 100
// to 230 pixels. `sweep`: the last 47 seconds of a running clock at 64
// frames a second (the second hand sweeps, the others barely move), as the
// trace really holds it. Otherwise every triangle at scattered angles.
std::vector<Triangle> MakeTrace(bool sweep) {
  constexpr double kTwoPi = 6.283185307179586;
  std::vector<Triangle> trace;
  trace.reserve(kTriangles);
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525U + 1013904223U;
    return static_cast<double>(seed >> 8) / 16777216.0;
  };
  for (int k = 0; k < kTriangles; ++k) {
    const double seconds = k / 64.0;
    const double hour = sweep ? 0.30 + seconds / 43200.0 : next();
    const double minute = sweep ? 0.62 + seconds / 3600.0 : next();
    const double second = sweep ? seconds / 60.0 : next();
    Triangle t{};
    const double radii[3] = {80.0, 100.0, 112.0};
    const double turns[3] = {hour, minute, second};
    for (int corner = 0; corner < 3; ++corner) {
      const double angle = kTwoPi * turns[corner];
      t.Corners[static_cast<std::size_t>(2 * corner)] =
          kCentreX + static_cast<int>(radii[corner] * std::sin(angle));
      t.Corners[static_cast<std::size_t>(2 * corner + 1)] =
          kCentreY - static_cast<int>(radii[corner] * 1.05 * std::cos(angle));
    }
    trace.push_back(t);
  }
  return trace;
}

template <class Canvas>
void DrawTrace(Canvas& canvas, const std::vector<Triangle>& trace) {
  for (const Triangle& t : trace) {
    const auto& c = t.Corners;
    canvas.MoveTo(c[0], c[1]);
    canvas.LineTo(c[2], c[3]);
    canvas.LineTo(c[4], c[5]);
    canvas.LineTo(c[0], c[1]);
  }
}

// Pixels the trace's lines cover, end points left out.
double TracePixels(const std::vector<Triangle>& trace) {
  double pixels = 0;
  for (const Triangle& t : trace) {
    const auto& c = t.Corners;
    for (std::size_t i = 0; i < 6; i += 2) {
      const int dx = std::abs(c[(i + 2) % 6] - c[i]);
      const int dy = std::abs(c[(i + 3) % 6] - c[i + 1]);
      pixels += std::max(dx, dy);
    }
  }
  return pixels;
}

template <class Canvas>
void BM_Trace(benchmark::State& state) {
  const std::vector<Triangle> trace = MakeTrace(state.range(0) != 0);
  Canvas canvas;
  canvas.SetPenColor(kGreen);
  for (auto _ : state) {
    DrawTrace(canvas, trace);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kTriangles * 3);
  state.counters["pixels"] = TracePixels(trace);
  state.SetLabel(state.range(0) != 0 ? "sweep" : "scattered");
}
BENCHMARK(BM_Trace<RasterCanvas>)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Trace<QPainterCanvas>)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// The sweep trace's pixels at precomputed offsets.
std::vector<std::uint32_t> TraceOffsets(const std::vector<Triangle>& trace, int stride) {
  std::vector<std::uint32_t> offsets;
  for (const Triangle& t : trace) {
    const auto& c = t.Corners;
    AppendLinePixels(c[0], c[1], c[2], c[3], stride, offsets);
    AppendLinePixels(c[2], c[3], c[4], c[5], stride, offsets);
    AppendLinePixels(c[4], c[5], c[0], c[1], stride, offsets);
  }
  return offsets;
}

void BM_TraceFloor(benchmark::State& state) {
  QImage image = CanvasSizedImage();
  const std::vector<std::uint32_t> offsets =
      TraceOffsets(MakeTrace(true), static_cast<int>(image.bytesPerLine() / 4));
  auto* pixels = reinterpret_cast<std::uint32_t*>(image.bits());
  for (auto _ : state) {
    WriteAtOffsets(pixels, offsets, ToArgb(kGreen));
    benchmark::ClobberMemory();
  }
  state.counters["pixels"] = static_cast<double>(offsets.size());
}
BENCHMARK(BM_TraceFloor)->Unit(benchmark::kMicrosecond);

// The sweep trace on RasterCanvas and the floor side by side in one loop, so
// machine load touches both alike. The reported time is the trace's; the
// counter "trace_over_floor" is the trace's time divided by the floor's.
void BM_TraceOverFloor(benchmark::State& state) {
  const std::vector<Triangle> trace = MakeTrace(true);
  RasterCanvas canvas;
  canvas.SetPenColor(kGreen);
  QImage image = CanvasSizedImage();
  const std::vector<std::uint32_t> offsets =
      TraceOffsets(trace, static_cast<int>(image.bytesPerLine() / 4));
  auto* pixels = reinterpret_cast<std::uint32_t*>(image.bits());
  // Both write the same pixels, or the ratio means nothing.
  DrawTrace(canvas, trace);
  WriteAtOffsets(pixels, offsets, ToArgb(kGreen));
  if (canvas.GetImage() != image) {
    state.SkipWithError("the floor's pixels are not the trace's");
    return;
  }
  const SideBySide total = TimeSideBySide(
      state, [&] { DrawTrace(canvas, trace); },
      [&] { WriteAtOffsets(pixels, offsets, ToArgb(kGreen)); });
  state.counters["trace_over_floor"] = total.Measured / total.Other;
  state.counters["floor_us"] = 1e6 * total.Other / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TraceOverFloor)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The background of every frame: the window rectangle in the brush left by
// the last frame, the start-up backward diagonal hatch or a solid brush.
template <class Canvas>
void BM_WindowFill(benchmark::State& state) {
  Canvas canvas;
  canvas.SetBrushColor(kNavy);
  canvas.SetBrushStyle(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    canvas.FillRect(Rect(0, 0, kWindowWidth, kWindowHeight));
    benchmark::ClobberMemory();
  }
  state.SetLabel(state.range(0) == kBsSolid ? "solid" : "hatched");
}
BENCHMARK(BM_WindowFill<RasterCanvas>)->Arg(kBsBDiagonal)->Arg(kBsSolid);
BENCHMARK(BM_WindowFill<QPainterCanvas>)->Arg(kBsBDiagonal)->Arg(kBsSolid);

// The rest of a frame's canvas calls: the dial, the centre dot and two
// marker circles, then the four numerals on the dot's solid blue brush.
// RasterCanvas draws these from its kept shapes and texts after the first
// calls.
template <class Canvas>
void BM_DialAndMarkers(benchmark::State& state) {
  Canvas canvas;
  for (auto _ : state) {
    canvas.SetPenColor(kWhite);
    canvas.SetBrushStyle(kBsSolid);
    canvas.SetBrushColor(kNavy);
    canvas.Ellipse(22, 23, 249, 253);
    canvas.SetBrushColor(kBlue);
    canvas.Ellipse(132, 134, 139, 141);
    canvas.SetPenColor(kYellow);
    canvas.Ellipse(180, 60, 184, 64);
    canvas.SetPenColor(kRed);
    canvas.Ellipse(120, 30, 124, 34);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DialAndMarkers<RasterCanvas>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DialAndMarkers<QPainterCanvas>)->Unit(benchmark::kMicrosecond);

template <class Canvas>
void BM_Numerals(benchmark::State& state) {
  Canvas canvas;
  canvas.SetBrushColor(kBlue);
  for (auto _ : state) {
    canvas.TextOut(130, 2, "12");
    canvas.TextOut(261, 127, "3 ");
    canvas.TextOut(130, 261, "6 ");
    canvas.TextOut(2, 127, "9 ");
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Numerals<RasterCanvas>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Numerals<QPainterCanvas>)->Unit(benchmark::kMicrosecond);

// The dial while the clock flies free: its size follows Centre and changes
// with every frame (argument 1). With argument 2 each size is drawn twice in
// a row, the worst case for RasterCanvas, which keeps a size's shape when it
// comes back.
template <class Canvas>
void BM_DialResizing(benchmark::State& state) {
  Canvas canvas;
  canvas.SetPenColor(kWhite);
  canvas.SetBrushColor(kNavy);
  const int repeat = static_cast<int>(state.range(0));
  int step = 0;
  for (auto _ : state) {
    const int grow = (step++ / repeat) % 61;
    canvas.Ellipse(22 - grow, 23 - grow, 249 + grow, 253 + grow);
    benchmark::ClobberMemory();
  }
  state.SetLabel(repeat == 1 ? "new size every call" : "each size twice");
}
BENCHMARK(BM_DialResizing<RasterCanvas>)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DialResizing<QPainterCanvas>)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// Texts that never repeat soon: every call writes a text not written in
// the last 40 calls, so RasterCanvas keeps none of them.
template <class Canvas>
void BM_ChangingText(benchmark::State& state) {
  Canvas canvas;
  canvas.SetBrushColor(kBlue);
  static constexpr std::array<const char*, 41> kTexts = {
      "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11", "12", "13",
      "14", "15", "16", "17", "18", "19", "20", "21", "22", "23", "24", "25", "26", "27",
      "28", "29", "30", "31", "32", "33", "34", "35", "36", "37", "38", "39", "40"};
  std::size_t next = 0;
  for (auto _ : state) {
    canvas.TextOut(130, 2, kTexts[next]);
    next = (next + 1) % kTexts.size();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ChangingText<RasterCanvas>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChangingText<QPainterCanvas>)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace trilume
