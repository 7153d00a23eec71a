// SPDX-License-Identifier: MIT
#include "tools/render_help.h"

#include "model/hand_geometry.h"
#include "model/panel_design.h"
#include "model/tick_schedule.h"
#include "render/canvas/raster_canvas.h"
#include "tools/option_values.h"
#include "tools/panel_assignment.h"
#include "tools/render_options.h"

namespace trilume {

QString MovementNames() {
  QStringList names;
  for (const MovementMode& mode : kMovementModes) {
    names << QString::fromUtf8(mode.Name.data(), static_cast<qsizetype>(mode.Name.size()));
  }
  return names.join(QStringLiteral(", "));
}

// The option table, shared by the parse and the help text.
void AddRenderOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      QStringLiteral("Runs TRILUME clock frames without a window and reports what they computed."));
  parser.addOptions({
      {QStringLiteral("at"),
       QStringLiteral("Local date and time of the first frame (default: now), years %1..%2. A "
                      "time the clocks skip runs from the same time after the change, one they "
                      "repeat from one of its two instants; a note on standard error says which.")
           .arg(kFirstYear)
           .arg(kLastYear),
       QStringLiteral("YYYY-MM-DD HH:MM:SS.mmm")},
      {QStringLiteral("frames"),
       QStringLiteral("Number of frames, 1..%1 (default 1).").arg(kMaxFrames), QStringLiteral("N")},
      {QStringLiteral("interval-ms"),
       QStringLiteral("Clock advance between frames in milliseconds, above 0 and at most a day "
                      "(86400000), to the microsecond (default %1).")
           .arg(kTickMicroseconds / 1000.0),
       QStringLiteral("X")},
      {QStringLiteral("size"),
       QStringLiteral("Outer size of the main window, 1..%1 on each side (default %2x%3). The "
                      "clock is placed and bounces in this size, but the picture holds at most "
                      "the %4x%5 canvas pixels: beyond them the window shows its bare "
                      "background, and --png and --gif stop at the canvas's edge.")
           .arg(kMaxWindowExtent)
           .arg(kMainWindowOuterWidth)
           .arg(kMainWindowOuterHeight)
           .arg(RasterCanvas::kWidth)
           .arg(RasterCanvas::kHeight),
       QStringLiteral("WxH")},
      {QStringLiteral("movement"),
       QStringLiteral("MOVEMENT text: %1 (default %2); any other text leaves the hands "
                      "moving %2, with a warning.")
           .arg(MovementNames(), QLatin1String(kDefaultMovement)),
       QStringLiteral("TEXT")},
      {QStringLiteral("json"), QStringLiteral("One JSON object per frame, one per line.")},
      {QStringLiteral("set"),
       QStringLiteral("Panel settings: trace, rainbow, yellow, square, additionals, numbers, "
                      "lengths, hands, links (0 or 1); traces (1..%1); colors (1..%2); "
                      "fg, bg (0..%3).")
           .arg(kMaxTraceCount)
           .arg(kMaxAlternativeColours)
           .arg(kLastGridIndex),
       QStringLiteral("NAME=VALUE[,NAME=VALUE...]")},
      {QStringLiteral("fill-style"),
       QStringLiteral("Starting fill style 0..%1 (default %2).")
           .arg(kLastFillStyle)
           .arg(kDefaultFillStyle),
       QStringLiteral("N")},
      {QStringLiteral("clear-before"),
       QStringLiteral("Press CLEAR before frame K (1..N); may be given more than once."),
       QStringLiteral("K")},
      {QStringLiteral("png"),
       QStringLiteral("Write the picture after the last frame. A regular file is replaced only "
                      "once the picture is whole; a FIFO or device is written directly. '-' "
                      "writes to standard output and leaves out the summary; not with --json."),
       QStringLiteral("FILE")},
      {QStringLiteral("gif"),
       QStringLiteral("Write the frames as a looping animated GIF, losslessly; exits 1 should a "
                      "frame need more than 256 colours. Written like --png; with --png both are "
                      "written, to two different files."),
       QStringLiteral("FILE")},
      {QStringLiteral("every"),
       QStringLiteral("Keep every K-th frame in the GIF (default 1); each shows for K times "
                      "--interval-ms, in 10 ms steps that keep to the run's clock. Frames under "
                      "20 ms (the least players keep to) are stretched and may play slow, with a "
                      "warning."),
       QStringLiteral("K")},
      {QStringLiteral("free"), QStringLiteral("Free flight from the first frame.")},
      {QStringLiteral("quiet"),
       QStringLiteral("No progress line. Without it, a run that lasts more than a second shows "
                      "the frames done, the percent and the time left on one line of standard "
                      "error while that is a terminal that no --json lines go to, and clears it "
                      "at the end.")},
  });
  // Qt's own help option brings --help-all, which would promise Qt's GUI
  // options; the tool has none worth listing.
  parser.addOption({{QStringLiteral("h"), QStringLiteral("help")},
                    QStringLiteral("Displays help on commandline options.")});
  parser.addVersionOption();
}

QString RenderHelpText() {
  QCommandLineParser parser;
  AddRenderOptions(parser);
  // Qt's own usage line names the executable and says only "[options]";
  // ours lists them, so it replaces the first line.
  QString options = parser.helpText();
  options.remove(0, options.indexOf(QLatin1Char('\n')) + 1);
  return QString::fromLatin1(kRenderUsage) + QLatin1Char('\n') + options;
}

}  // namespace trilume
