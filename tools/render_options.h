// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/panel_design.h"
#include "model/tick_schedule.h"
#include "render/frame.h"
#include "render/panel_settings.h"
#include "tools/panel_assignment.h"

namespace trilume {

inline constexpr char kRenderToolName[] = "trilume-render";
// The --png and --gif name of standard output.
inline constexpr char kStandardOutputName[] = "-";

// The synopsis at the top of --help.
inline constexpr char kRenderUsage[] =
    "usage: trilume-render [--at \"YYYY-MM-DD HH:MM:SS.mmm\"] [--frames N] [--interval-ms X]\n"
    "                      [--size WxH] [--movement TEXT] [--json]\n"
    "                      [--set NAME=VALUE[,NAME=VALUE...]] [--fill-style N] [--clear-before K]\n"
    "                      [--png FILE] [--gif FILE] [--every K] [--free] [--quiet]";

// Upper bounds that keep a mistyped number from running for days or from
// overflowing the clock arithmetic.
inline constexpr int kMaxWindowExtent = 100000;
inline constexpr int kMaxFrames = 100000000;
inline constexpr std::int64_t kMaxIntervalMicroseconds = 86400000000;  // one day

// Everything the command line asks for, already checked.
struct RenderOptions {
  // The first frame's instant; empty means "now", read when the run starts.
  std::optional<std::int64_t> StartUnixMicroseconds;
  int Frames = 1;
  std::int64_t IntervalMicroseconds = kTickMicroseconds;
  WindowSize Window;
  QString Movement = QString::fromLatin1(kDefaultMovement);
  bool Json = false;
  std::vector<PanelAssignment> Settings;
  int FillStyle = kDefaultFillStyle;
  // 1-based frame numbers before which CLEAR is pressed, ascending, no repeats.
  std::vector<int> ClearBefore;
  QString PngFile;  // empty: no picture; kStandardOutputName: standard output
  QString GifFile;  // empty: no animation; kStandardOutputName: standard output
  int Every = 1;    // the animation keeps frames Every, 2 * Every, ...
  bool Free = false;
  bool Quiet = false;  // no progress line on a terminal
};

// The outcome of reading a command line. Exactly one of: Error set (exit 2),
// ShowHelp or ShowVersion (exit 0, print and stop), or Options to run.
struct RenderParse {
  std::optional<RenderOptions> Options;
  // One line naming the option, without the program name or the usage.
  QString Error;
  // With Options: a line for standard error before the run, when --at names
  // a local time the zone skips or repeats; empty otherwise.
  QString Note;
  bool ShowHelp = false;
  bool ShowVersion = false;
};

// Reads a command line; arguments[0] is the program name as in
// QCoreApplication::arguments() (an empty list is taken as no options).
// Never exits, throws nothing, writes no global state and needs no
// application object, so it may be driven with any argument vector.
RenderParse ParseRenderOptions(const QStringList& arguments) noexcept;

// Refuses a run whose last frame would fall after the year 9999; an empty
// text means the span is fine. The parse applies it when --at is given; a
// run that starts "now" applies it once it has read the clock.
QString CheckRunSpan(const RenderOptions& options, std::int64_t startUnixMicroseconds);

// Empty when the text names one of kMovementModes; else one line that shows
// the text, the names and that the hands keep moving SMOOTH. The text is
// not refused, since the clock ignores such a text in the same way.
QString MovementWarning(const QString& movement);

}  // namespace trilume
