// SPDX-License-Identifier: MIT
#include "tools/render_run.h"

#include <QJsonDocument>
#include <algorithm>
#include <memory>
#include <new>

#include "cli/message_line.h"
#include "model/caption.h"
#include "render/canvas/frame_canvas.h"
#include "render/canvas/raster_canvas.h"
#include "render/headless_clock.h"
#include "tools/frame_report.h"
#include "tools/gif_animation.h"
#include "tools/picture_output.h"
#include "tools/progress_line.h"
#include "tools/render_help.h"

namespace trilume {
namespace {

QByteArray ErrorLine(const QString& message) {
  return QByteArray(kRenderToolName) + ": " + OneLineMessage(message).toUtf8() + '\n';
}

bool WriteAll(QIODevice& device, const QByteArray& bytes) {
  return device.write(bytes) == bytes.size();
}

}  // namespace

int RunRender(const RenderOptions& options, std::int64_t startUnixMicroseconds, QIODevice& out,
              QIODevice& err, TimeTextFormatter timeText, bool errIsTerminal) {
  const WindowSize window = options.Window;
  ProgressLine progress(errIsTerminal && !options.Quiet ? &err : nullptr, options.Frames,
                        &SteadyMicroseconds);

  auto pngFailed = [&](const QString& reason) {
    progress.Clear();
    WriteAll(err, ErrorLine(
                      QStringLiteral("--png: cannot write '%1': %2").arg(options.PngFile, reason)));
    return kExitIoFailure;
  };
  std::unique_ptr<PictureOutput> png;
  if (!options.PngFile.isEmpty()) {
    png = std::make_unique<PictureOutput>(options.PngFile, out);
    if (!png->Open()) return pngFailed(png->ErrorString());
  }
  auto gifFailed = [&](const QString& reason) {
    progress.Clear();
    WriteAll(err, ErrorLine(
                      QStringLiteral("--gif: cannot write '%1': %2").arg(options.GifFile, reason)));
    return kExitIoFailure;
  };
  std::unique_ptr<PictureOutput> gifFile;
  std::unique_ptr<GifAnimation> gif;
  if (!options.GifFile.isEmpty()) {
    gifFile = std::make_unique<PictureOutput>(options.GifFile, out);
    if (!gifFile->Open()) return gifFailed(gifFile->ErrorString());
  }
  // With a picture on standard output the summary would corrupt it.
  const bool summary = !options.Json && options.PngFile != QLatin1String(kStandardOutputName) &&
                       options.GifFile != QLatin1String(kStandardOutputName);

  // Built once, so a frame only draws and measures.
  RasterCanvas canvas;
  // Qt answers pixels it could not allocate with an empty image, which the
  // canvas draws nothing into: the run ends as when any other memory runs out.
  if (canvas.GetImage().isNull()) throw std::bad_alloc();
  FrameCanvas drawing(canvas, kMaxFrameCalls);
  const auto session = std::make_unique<HeadlessClock>(drawing);
  session->Clock.Set(startUnixMicroseconds);
  session->State.StartTime = Now(session->Clock);
  session->State.FillStyleIndex = options.FillStyle;
  session->Panel.MovementText = options.Movement.toStdString();
  ApplyPanelSettings(options.Settings, session->Panel);
  session->Window = window;
  session->SetTimeText(timeText);
  session->SetFree(options.Free);
  if (options.Free) {
    // FREE is pressed on a landed clock, so the first frame is drawn where
    // the clock stood and the flight sets off from there.
    const CentrePosition landed = LandedCentre(window);
    session->State.CentreX = landed.X;
    session->State.CentreY = landed.Y;
  }
  // The picture --png writes: the window's part of the canvas.
  const QImage& image = canvas.GetImage();
  const int pictureWidth = std::min(window.Width, image.width());
  const int pictureHeight = std::min(window.Height, image.height());
  GifTimeline gifTimeline(options.IntervalMicroseconds, options.Every);
  if (gifFile) {
    gif = std::make_unique<GifAnimation>(gifFile->Device(), pictureWidth, pictureHeight);
    const QString pace = GifPaceWarning(options.IntervalMicroseconds, options.Every);
    if (!pace.isEmpty()) WriteAll(err, ErrorLine(pace));
  }

  auto nextClear = options.ClearBefore.begin();
  bool outputFailed = false;
  int frame = 0;
  // Reported before the flight moves Centre: what this frame drew. Texts
  // are only made for frames that are reported.
  session->OnFrameShown = [&](const FrameOutcome& outcome) {
    if (!options.Json && !(summary && frame == options.Frames)) return;
    const FrameReport report{frame, session->State, outcome,
                             ComposeCaption(outcome.Reading.Time, session->State), options.Free};
    outputFailed = !WriteAll(
        out, options.Json
                 ? QJsonDocument(FrameReportJson(report)).toJson(QJsonDocument::Compact) + '\n'
                 : FrameReportSummary(report, options.Frames).toUtf8());
  };
  for (frame = 1; frame <= options.Frames && !outputFailed; ++frame) {
    if (frame > 1) session->Clock.Advance(options.IntervalMicroseconds);
    if (nextClear != options.ClearBefore.end() && *nextClear == frame) {
      Button2Click(drawing, session->Panel, window);
      ++nextClear;
    }
    session->Tick();
    progress.Update(frame);
    // The frame canvas has gathered where the frames since the last kept
    // one changed the picture.
    if (gif && frame % options.Every == 0 &&
        !gif->Add(canvas.GetImage(), drawing.TakeChanged(), gifTimeline.Next())) {
      return gifFailed(gif->ErrorString());
    }
  }
  progress.Finish();
  // The report must be known to have reached its reader before the picture
  // replaces anything.
  if (outputFailed || !FlushDevice(out)) {
    WriteAll(err, ErrorLine(QStringLiteral("cannot write the report: %1").arg(out.errorString())));
    return kExitIoFailure;
  }

  if (gif && !(gif->Finish() && gifFile->Finish())) {
    return gifFailed(gif->ErrorString().isEmpty() ? gifFile->ErrorString() : gif->ErrorString());
  }
  if (png) {
    const QImage picture = canvas.GetImage().copy(0, 0, pictureWidth, pictureHeight);
    if (!png->Write(picture)) return pngFailed(png->ErrorString());
  }
  return kExitOk;
}

namespace {

// The program's work, which may throw std::bad_alloc.
int RunParsed(const QStringList& arguments, const ClockSource& wallClock, QIODevice& out,
              QIODevice& err, bool errIsTerminal) {
  const RenderParse parse = ParseRenderOptions(arguments);
  auto badOptions = [&err](const QString& message) {
    WriteAll(err, UsageErrorLine(kRenderToolName, OneLineMessage(message)).toUtf8() + '\n');
    return kExitBadOptions;
  };
  if (parse.ShowHelp) {
    return WriteAll(out, RenderHelpText().toUtf8()) ? kExitOk : kExitIoFailure;
  }
  if (parse.ShowVersion) {
    return WriteAll(out, QByteArray(kRenderToolName) + ' ' + TRILUME_VERSION + '\n')
               ? kExitOk
               : kExitIoFailure;
  }
  if (!parse.Options) return badOptions(parse.Error);

  const RenderOptions& options = *parse.Options;
  std::int64_t start = 0;
  if (options.StartUnixMicroseconds) {
    start = *options.StartUnixMicroseconds;
  } else {
    start = wallClock.NowUnixMicroseconds();
    const QString spanError = CheckRunSpan(options, start);
    if (!spanError.isEmpty()) return badOptions(spanError);
  }
  if (!parse.Note.isEmpty()) WriteAll(err, ErrorLine(parse.Note));
  const QString movementWarning = MovementWarning(options.Movement);
  if (!movementWarning.isEmpty()) WriteAll(err, ErrorLine(movementWarning));
  return RunRender(options, start, out, err, &TimeToStr, errIsTerminal);
}

}  // namespace

int RunRenderTool(const QStringList& arguments, const ClockSource& wallClock, QIODevice& out,
                  QIODevice& err, bool errIsTerminal) {
  try {
    return RunParsed(arguments, wallClock, out, err, errIsTerminal);
  } catch (const std::bad_alloc&) {
    // The run's objects are gone by now, and with them any half-made file
    // written beside its target.
    WriteAll(err, QByteArrayLiteral("trilume-render: out of memory\n"));
    return kExitIoFailure;
  }
}

}  // namespace trilume
