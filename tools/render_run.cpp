#include "tools/render_run.h"

#include <QImageWriter>
#include <QJsonDocument>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>

#include "model/caption.h"
#include "model/free_flight.h"
#include "render/canvas/raster_canvas.h"
#include "render/panel_settings.h"
#include "tools/frame_report.h"

namespace trilume {
namespace {

QByteArray ErrorLine(const QString& message) {
  return QByteArray(kRenderToolName) + ": " + OneLineMessage(message).toUtf8() + '\n';
}

bool WriteAll(QIODevice& device, const QByteArray& bytes) {
  return device.write(bytes) == bytes.size();
}

// Everything that lives for the whole run; built once, so a frame only
// draws and measures.
struct RenderSession {
  ClockState State;
  PlainPanelSettings Panel;
  RasterCanvas Canvas;
  FakeClock Clock;
};

}  // namespace

int RunRender(const RenderOptions& options, std::int64_t startUnixMicroseconds, QIODevice& out,
              QIODevice& err, TimeTextFormatter timeText) {
  const WindowSize window = options.Window;

  std::unique_ptr<QSaveFile> png;
  if (!options.PngFile.isEmpty()) {
    png = std::make_unique<QSaveFile>(options.PngFile);
    if (!png->open(QIODevice::WriteOnly)) {
      WriteAll(err, ErrorLine(QStringLiteral("--png: cannot write '%1': %2")
                                  .arg(options.PngFile, png->errorString())));
      return kExitIoFailure;
    }
  }

  // The clock state alone holds 3002 trace entries: keep it off the stack.
  auto session = std::make_unique<RenderSession>();
  ClockState& state = session->State;
  PlainPanelSettings& panel = session->Panel;
  RasterCanvas& canvas = session->Canvas;
  FakeClock& clock = session->Clock;

  clock.Set(startUnixMicroseconds);
  state.StartTime = Now(clock);
  state.FillStyleIndex = options.FillStyle;
  panel.MovementText = options.Movement.toStdString();
  ApplyPanelSettings(options.Settings, panel);

  if (options.Free) {
    // FREE is pressed on a landed clock, so the flight sets off from the
    // centre a landed frame computes.
    state.CentreX = static_cast<float>(window.Width / 2 - 4);
    state.CentreY = static_cast<float>(window.Height / 2 - 17);
  }

  FrameReport report;
  report.Free = options.Free;
  auto nextClear = options.ClearBefore.begin();
  bool outputFailed = false;

  for (int frame = 1; frame <= options.Frames && !outputFailed; ++frame) {
    if (frame > 1) clock.Advance(options.IntervalMicroseconds);
    if (nextClear != options.ClearBefore.end() && *nextClear == frame) {
      Button2Click(canvas, panel, window);
      ++nextClear;
    }
    if (options.Free) FreeFlightStep(state, window.Width, window.Height);

    bool ok = true;
    std::string error;
    try {
      Timer1Timer(state, canvas, panel, window, options.Free, clock, timeText);
    } catch (const std::exception& e) {
      // The program shows this and goes on with the next frame; so do we.
      ok = false;
      error = e.what();
    }

    // Texts are only made for frames that are reported.
    if (!options.Json && frame != options.Frames) continue;
    report.Frame = frame;
    report.Time = Now(clock);
    // The very text the frame read: the fraction of the frame's own reading.
    report.TimeText = timeText(report.Time - std::trunc(report.Time));
    report.Ok = ok;
    report.Error = std::move(error);
    CaptureModel(state, report);
    report.Caption = ComposeCaption(Now(clock), state);
    if (options.Json) {
      outputFailed = !WriteAll(
          out, QJsonDocument(FrameReportJson(report)).toJson(QJsonDocument::Compact) + '\n');
    }
  }

  if (!options.Json && !outputFailed) {
    outputFailed = !WriteAll(out, FrameReportSummary(report, options.Frames).toUtf8());
  }
  if (outputFailed) {
    WriteAll(err, ErrorLine(QStringLiteral("cannot write the report: %1").arg(out.errorString())));
    return kExitIoFailure;
  }

  if (png) {
    const QImage& image = canvas.GetImage();
    const QImage picture = image.copy(0, 0, std::min(window.Width, image.width()),
                                      std::min(window.Height, image.height()));
    QImageWriter writer(png.get(), "png");
    if (!writer.write(picture) || !png->commit()) {
      const QString reason =
          writer.error() != QImageWriter::UnknownError ? writer.errorString() : png->errorString();
      WriteAll(
          err,
          ErrorLine(QStringLiteral("--png: cannot write '%1': %2").arg(options.PngFile, reason)));
      return kExitIoFailure;
    }
  }
  return kExitOk;
}

int RunRenderTool(const QStringList& arguments, const ClockSource& wallClock, QIODevice& out,
                  QIODevice& err) {
  const RenderParse parse = ParseRenderOptions(arguments);
  auto badOptions = [&err](const QString& message) {
    WriteAll(err, ErrorLine(message) + kRenderUsage + '\n');
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
  return RunRender(options, start, out, err);
}

}  // namespace trilume
