// SPDX-License-Identifier: MIT
// trilume-render's animated GIF export against the same run that writes
// only the last picture as PNG: 3000 frames at the design size with 3000
// rainbow traces, both to memory so that no disk is timed.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <cstdio>

#include "bench/side_by_side.h"
#include "tools/render_run.h"

namespace trilume {
namespace {

// 2026-12-08 10:09:30 UTC: any fixed instant will do.
constexpr std::int64_t kStart = 1796724570000000;

RenderOptions ExportRun(const char* option) {
  const RenderParse parse = ParseRenderOptions(
      {QStringLiteral("trilume-render"), QStringLiteral("--frames"), QStringLiteral("3000"),
       QStringLiteral("--set"), QStringLiteral("rainbow=1,traces=3000"),
       QString::fromLatin1(option), QString::fromLatin1(kStandardOutputName)});
  return parse.Options.value_or(RenderOptions{});
}

// Bytes written, so that a run that wrote nothing shows.
qint64 Export(const RenderOptions& options) {
  QBuffer out;
  QBuffer err;
  out.open(QIODevice::WriteOnly);
  err.open(QIODevice::WriteOnly);
  if (RunRender(options, kStart, out, err) != kExitOk) {
    std::fprintf(stderr, "export failed: %s", err.data().constData());
    return -1;
  }
  return out.size();
}

// The reported time is the GIF run's; "gif_over_png" is its time divided by
// the PNG run's, measured in the same loop.
void BM_GifExportOverPng(benchmark::State& state) {
  const RenderOptions gif = ExportRun("--gif");
  const RenderOptions png = ExportRun("--png");
  qint64 gifBytes = 0;
  qint64 pngBytes = 0;
  const auto exportGif = [&] { gifBytes = Export(gif); };
  const auto exportPng = [&] { pngBytes = Export(png); };
  const SideBySide total = TimeSideBySide(state, exportGif, exportPng);
  if (gifBytes <= 0 || pngBytes <= 0) state.SkipWithError("an export failed");
  const double ratio = total.Measured / total.Other;
  state.counters["gif_over_png"] = ratio;
  state.counters["gif_bytes"] = static_cast<double>(gifBytes);
  std::printf("3000 frames, 3000 rainbow traces: GIF %.3f s (%lld bytes), PNG %.3f s, %.2fx\n",
              total.Measured / static_cast<double>(state.iterations()),
              static_cast<long long>(gifBytes),
              total.Other / static_cast<double>(state.iterations()), ratio);
}

BENCHMARK(BM_GifExportOverPng)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace trilume
