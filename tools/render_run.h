// SPDX-License-Identifier: MIT
#pragma once

#include <QIODevice>
#include <QStringList>
#include <cstdint>

#include "model/date_time.h"
#include "render/frame.h"
#include "tools/render_options.h"

namespace trilume {

inline constexpr int kExitOk = 0;
inline constexpr int kExitIoFailure = 1;
inline constexpr int kExitBadOptions = 2;

// Runs options.Frames frames on a fresh clock state, panel and canvas, the
// first at startUnixMicroseconds and each later one options.IntervalMicroseconds
// after the one before, and writes one JSON line per frame (--json) or a
// summary of the last frame to `out`; the picture goes to options.PngFile
// (see PictureOutput), or to `out` for "-", which then carries no
// summary. A frame whose time text does not read is reported with
// "ok":false and is no failure of the run. Returns kExitOk, or
// kExitIoFailure after a file or output that could not be written, with a
// one-line message on `err`. The PNG target is opened before the first
// frame, so a bad path costs no run, and is written only once the report
// has been flushed without error and the whole picture is made. The
// animation (options.GifFile, written the same way) takes frames
// options.Every, 2 * options.Every, ... as they are drawn and is finished
// after the report, before the PNG; a failed one ends the run. Needs a
// QGuiApplication (text drawing) when the run draws numerals.
// With `errIsTerminal` and without options.Quiet, a long run keeps a
// ProgressLine on `err`, cleared before any other line is written there.
int RunRender(const RenderOptions& options, std::int64_t startUnixMicroseconds, QIODevice& out,
              QIODevice& err, TimeTextFormatter timeText = &TimeToStr, bool errIsTerminal = false);

// The whole program after start-up: reads `arguments` (arguments[0] is the
// program name), prints help or version, or runs the frames from --at or
// from wallClock's current instant. Returns kExitOk, kExitIoFailure or
// kExitBadOptions. Memory that runs out, on any of the run's threads, is
// kExitIoFailure with the one line "trilume-render: out of memory" or the
// --gif line that names it, and leaves no file half-made. Option errors
// are one line naming the option followed by the usage, on `err`. A
// --movement text that names no movement runs with one warning line on
// `err`.
int RunRenderTool(const QStringList& arguments, const ClockSource& wallClock, QIODevice& out,
                  QIODevice& err, bool errIsTerminal = false);

}  // namespace trilume
