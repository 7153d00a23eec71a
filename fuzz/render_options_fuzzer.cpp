// SPDX-License-Identifier: MIT
// trilume-render's command line with any argument vector: the input split at
// NUL bytes, each piece one argument (UTF-8, as the program reads argv).
// No application object: the parse promises to need none.
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "fuzz/fuzz_check.h"
#include "tools/render_options.h"

namespace {

using trilume::Require;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // --at is read as local time; the zone must not change between inputs.
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QStringList arguments = {QStringLiteral("trilume-render")};
  std::size_t start = 0;
  for (std::size_t i = 0; i <= size; ++i) {
    if (i == size || data[i] == 0) {
      arguments << QString::fromUtf8(reinterpret_cast<const char*>(data + start),
                                     static_cast<qsizetype>(i - start));
      start = i + 1;
    }
  }
  if (size == 0) arguments.removeLast();

  const trilume::RenderParse parse = trilume::ParseRenderOptions(arguments);
  const int outcomes = (parse.Options ? 1 : 0) + (parse.Error.isEmpty() ? 0 : 1) +
                       (parse.ShowHelp ? 1 : 0) + (parse.ShowVersion ? 1 : 0);
  Require(outcomes == 1, "not exactly one outcome");
  if (!parse.Error.isEmpty()) {
    Require(!parse.Error.contains(QLatin1Char('\n')), "the error is more than one line");
    Require(parse.Error.size() < 600, "the error line grows with the argument");
  }
  if (parse.Options) {
    const trilume::RenderOptions& options = *parse.Options;
    Require(options.Frames >= 1 && options.Frames <= trilume::kMaxFrames, "frames out of range");
    Require(options.IntervalMicroseconds >= 1 &&
                options.IntervalMicroseconds <= trilume::kMaxIntervalMicroseconds,
            "interval out of range");
    Require(options.Window.Width >= 1 && options.Window.Width <= trilume::kMaxWindowExtent &&
                options.Window.Height >= 1 && options.Window.Height <= trilume::kMaxWindowExtent,
            "size out of range");
    Require(options.FillStyle >= 0 && options.FillStyle <= 8, "fill style out of range");
    int previous = 0;
    for (int frame : options.ClearBefore) {
      Require(frame > previous && frame <= options.Frames, "clear-before not ascending in 1..N");
      previous = frame;
    }
    for (const trilume::PanelAssignment& setting : options.Settings) {
      using Target = trilume::PanelAssignment::Target;
      const int high = setting.Kind == Target::kCheckBox     ? 1
                       : setting.Kind == Target::kScrollBar1 ? trilume::kMaxTraceCount
                       : setting.Kind == Target::kScrollBar2 ? 12
                                                             : 15;
      const int low = setting.Kind == Target::kScrollBar1 || setting.Kind == Target::kScrollBar2;
      Require(setting.Value >= low && setting.Value <= high, "a --set value out of its range");
    }
    // A run that starts now must be checkable at any instant.
    (void)trilume::CheckRunSpan(options, 0);
  }
  return 0;
}
