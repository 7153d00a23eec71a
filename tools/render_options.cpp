// SPDX-License-Identifier: MIT
#include "tools/render_options.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <exception>
#include <string>

#include "cli/message_line.h"
#include "model/date_time.h"
#include "model/hand_geometry.h"
#include "render/canvas/colour.h"
#include "render/canvas/raster_canvas.h"
#include "tools/option_values.h"

namespace trilume {
namespace {

constexpr int kLastGridIndex = static_cast<int>(kColorGridColors.size()) - 1;

struct SettingName {
  const char* Name;
  PanelAssignment::Target Kind;
  PanelCheckBox Box;
  int Low;
  int High;
};

constexpr std::array<SettingName, 13> kSettingNames = {{
    {"trace", PanelAssignment::Target::kCheckBox, PanelCheckBox::kTraceOn, 0, 1},
    {"rainbow", PanelAssignment::Target::kCheckBox, PanelCheckBox::kRainbow, 0, 1},
    {"yellow", PanelAssignment::Target::kCheckBox, PanelCheckBox::kShowYellowTriangle, 0, 1},
    {"square", PanelAssignment::Target::kCheckBox, PanelCheckBox::kShowNumbersSquare, 0, 1},
    {"additionals", PanelAssignment::Target::kCheckBox, PanelCheckBox::kShowAdditionals, 0, 1},
    {"numbers", PanelAssignment::Target::kCheckBox, PanelCheckBox::kShowClockNumbers, 0, 1},
    {"lengths", PanelAssignment::Target::kCheckBox, PanelCheckBox::kShowLineLengths, 0, 1},
    {"hands", PanelAssignment::Target::kCheckBox, PanelCheckBox::kShowHands, 0, 1},
    {"links", PanelAssignment::Target::kCheckBox, PanelCheckBox::kShowLinkLines, 0, 1},
    {"traces", PanelAssignment::Target::kScrollBar1, PanelCheckBox::kTraceOn, 1, kMaxTraceCount},
    {"colors", PanelAssignment::Target::kScrollBar2, PanelCheckBox::kTraceOn, 1,
     kMaxAlternativeColours},
    {"fg", PanelAssignment::Target::kForeground, PanelCheckBox::kTraceOn, 0, kLastGridIndex},
    {"bg", PanelAssignment::Target::kBackground, PanelCheckBox::kTraceOn, 0, kLastGridIndex},
}};

QString KnownSettingNames() {
  QStringList names;
  for (const SettingName& setting : kSettingNames) names << QString::fromLatin1(setting.Name);
  return names.join(QStringLiteral(", "));
}

QString MovementNames() {
  QStringList names;
  for (const MovementMode& mode : kMovementModes) {
    names << QString::fromUtf8(mode.Name.data(), static_cast<qsizetype>(mode.Name.size()));
  }
  return names.join(QStringLiteral(", "));
}

// Quoted for the error line, cut short so a huge argument stays one line.
QString Quoted(const QString& text, qsizetype shownLength = 60) {
  QString shown = text.size() > shownLength ? text.left(shownLength) + QStringLiteral("...") : text;
  return QLatin1Char('\'') + shown + QLatin1Char('\'');
}

QString OptionError(const char* option, const QString& value, const QString& why) {
  return QStringLiteral("--%1: %2 %3").arg(QLatin1String(option), Quoted(value), why);
}

QString ParseSettings(const QStringList& lists, std::vector<PanelAssignment>& settings) {
  for (const QString& list : lists) {
    for (const QString& item : list.split(QLatin1Char(','))) {
      const qsizetype equals = item.indexOf(QLatin1Char('='));
      if (equals < 0) return OptionError("set", item, QStringLiteral("is not NAME=VALUE"));
      const QString name = item.left(equals);
      const QString valueText = item.mid(equals + 1);
      const auto setting =
          std::find_if(kSettingNames.begin(), kSettingNames.end(),
                       [&](const SettingName& s) { return name == QLatin1String(s.Name); });
      if (setting == kSettingNames.end()) {
        return OptionError("set", name,
                           QStringLiteral("is not a setting (known: %1)").arg(KnownSettingNames()));
      }
      const std::optional<int> value = WholeNumber(valueText);
      if (!value || *value < setting->Low || *value > setting->High) {
        return OptionError("set", item,
                           QStringLiteral("is out of range: %1 takes %2..%3")
                               .arg(QLatin1String(setting->Name))
                               .arg(setting->Low)
                               .arg(setting->High));
      }
      settings.push_back(PanelAssignment{setting->Kind, setting->Box, *value});
    }
  }
  return {};
}

// The option table, shared by the parse and the help text.
void AddOptions(QCommandLineParser& parser) {
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
  });
  // Qt's own help option brings --help-all, which would promise Qt's GUI
  // options; the tool has none worth listing.
  parser.addOption({{QStringLiteral("h"), QStringLiteral("help")},
                    QStringLiteral("Displays help on commandline options.")});
  parser.addVersionOption();
}

// What a name writes to; kStandardOutputName is this process's standard
// output, which /dev/stdout or a file it was sent to may name too.
bool StatOutput(const QString& name, struct stat& status) {
  if (name == QLatin1String(kStandardOutputName)) return ::fstat(STDOUT_FILENO, &status) == 0;
  return ::stat(QFile::encodeName(name).constData(), &status) == 0;
}

// Whether two output names reach one file: the same node, or two names
// of one place where nothing exists yet.
bool SameOutput(const QString& first, const QString& second) {
  struct stat a = {};
  struct stat b = {};
  const bool firstExists = StatOutput(first, a);
  const bool secondExists = StatOutput(second, b);
  if (firstExists || secondExists) {
    return firstExists && secondExists && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
  }
  const auto where = [](const QString& name) {
    // A link to nothing yet is written through to where it points.
    QFileInfo info(name);
    if (info.isSymLink()) info = QFileInfo(info.symLinkTarget());
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + QLatin1Char('/') + info.fileName();
  };
  return where(first) == where(second);
}

// The note for an --at time that the zone skips or repeats; empty for one
// it shows once. `instant` is where the run starts.
QString AtNote(const QString& text, std::int64_t instant) {
  const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
  const int hour = text.mid(11, 2).toInt();
  const int minute = text.mid(14, 2).toInt();
  const int second = text.mid(17, 2).toInt();
  const int occurrences =
      LocalTimeOccurrences(date.year(), date.month(), date.day(), hour, minute, second);
  if (occurrences == 1) return {};
  const auto clockText = [](int h, int m, int s) {
    return QStringLiteral("%1:%2:%3")
        .arg(h, 2, 10, QLatin1Char('0'))
        .arg(m, 2, 10, QLatin1Char('0'))
        .arg(s, 2, 10, QLatin1Char('0'));
  };
  if (occurrences == 0) {
    const DecodedTime start = DecodeTime(UnixMicrosecondsToLocal(instant));
    return QStringLiteral(
               "note: --at: %1 does not exist in the local time zone (the clocks "
               "skip it); the run starts at %2 local time")
        .arg(Quoted(text), clockText(start.Hour, start.Min, start.Sec));
  }
  // Which of the two mktime chose is told by the universal time.
  constexpr std::int64_t kMicrosPerDay = 86'400'000'000;
  const auto ofDay =
      static_cast<int>((instant % kMicrosPerDay + kMicrosPerDay) % kMicrosPerDay / 1'000'000);
  return QStringLiteral(
             "note: --at: %1 happens twice in the local time zone (the clocks go "
             "back); the run starts at the one at %2 UTC")
      .arg(Quoted(text), clockText(ofDay / 3600, ofDay / 60 % 60, ofDay % 60));
}

RenderParse Failure(const QString& error) {
  RenderParse result;
  result.Error = OneLineMessage(error);
  return result;
}

RenderParse Parse(QStringList arguments) {
  if (arguments.isEmpty()) arguments << QString::fromLatin1(kRenderToolName);
  QCommandLineParser parser;
  AddOptions(parser);
  if (!parser.parse(arguments)) return Failure(ParserErrorMessage(parser.errorText()));

  RenderParse result;
  if (parser.isSet(QStringLiteral("help"))) {
    result.ShowHelp = true;
    return result;
  }
  if (parser.isSet(QStringLiteral("version"))) {
    result.ShowVersion = true;
    return result;
  }
  const QStringList positional = parser.positionalArguments();
  if (!positional.isEmpty()) {
    return Failure(QStringLiteral("unexpected argument %1").arg(Quoted(positional.first())));
  }

  RenderOptions options;
  QString why;

  if (parser.isSet(QStringLiteral("at"))) {
    const QString text = parser.value(QStringLiteral("at"));
    options.StartUnixMicroseconds = LocalInstant(text, why);
    if (!options.StartUnixMicroseconds) return Failure(OptionError("at", text, why));
    result.Note = AtNote(text, *options.StartUnixMicroseconds);
  }

  if (parser.isSet(QStringLiteral("frames"))) {
    const QString text = parser.value(QStringLiteral("frames"));
    // One message for every refusal, however far past the limit.
    const std::optional<int> frames = WholeNumber(text);
    if (!frames || *frames < 1 || *frames > kMaxFrames) {
      return Failure(OptionError("frames", text,
                                 QStringLiteral("is not a whole number 1..%1").arg(kMaxFrames)));
    }
    options.Frames = *frames;
  }

  if (parser.isSet(QStringLiteral("interval-ms"))) {
    const QString text = parser.value(QStringLiteral("interval-ms"));
    const std::optional<std::int64_t> micros = MillisecondsToMicroseconds(text, why);
    if (!micros) return Failure(OptionError("interval-ms", text, why));
    options.IntervalMicroseconds = *micros;
  }

  if (parser.isSet(QStringLiteral("size"))) {
    static const QRegularExpression kSize(QStringLiteral("^([0-9]+)[xX]([0-9]+)$"));
    const QString text = parser.value(QStringLiteral("size"));
    const QRegularExpressionMatch match = kSize.match(text);
    if (!match.hasMatch()) {
      return Failure(OptionError("size", text, QStringLiteral("is not WIDTHxHEIGHT")));
    }
    // Too many digits to fit count as too large, as a large number does.
    const int width = WholeNumber(match.captured(1)).value_or(kMaxWindowExtent + 1);
    const int height = WholeNumber(match.captured(2)).value_or(kMaxWindowExtent + 1);
    if (width < 1 || height < 1 || width > kMaxWindowExtent || height > kMaxWindowExtent) {
      return Failure(
          OptionError("size", text,
                      QStringLiteral("is out of range: 1..%1 on each side").arg(kMaxWindowExtent)));
    }
    options.Window = WindowSize{width, height};
  }

  if (parser.isSet(QStringLiteral("movement"))) {
    options.Movement = parser.value(QStringLiteral("movement"));
  }
  options.Json = parser.isSet(QStringLiteral("json"));
  options.Free = parser.isSet(QStringLiteral("free"));

  const QString setError = ParseSettings(parser.values(QStringLiteral("set")), options.Settings);
  if (!setError.isEmpty()) return Failure(setError);

  if (parser.isSet(QStringLiteral("fill-style"))) {
    const QString text = parser.value(QStringLiteral("fill-style"));
    const std::optional<int> style = WholeNumber(text);
    if (!style || *style > kLastFillStyle) {
      return Failure(OptionError("fill-style", text,
                                 QStringLiteral("is not a fill style 0..%1").arg(kLastFillStyle)));
    }
    options.FillStyle = *style;
  }

  for (const QString& text : parser.values(QStringLiteral("clear-before"))) {
    const std::optional<int> frame = WholeNumber(text);
    if (!frame || *frame < 1 || *frame > options.Frames) {
      return Failure(OptionError(
          "clear-before", text, QStringLiteral("is not a frame number 1..%1").arg(options.Frames)));
    }
    options.ClearBefore.push_back(*frame);
  }
  std::sort(options.ClearBefore.begin(), options.ClearBefore.end());
  options.ClearBefore.erase(std::unique(options.ClearBefore.begin(), options.ClearBefore.end()),
                            options.ClearBefore.end());

  if (parser.isSet(QStringLiteral("png"))) {
    options.PngFile = parser.value(QStringLiteral("png"));
    if (options.PngFile.isEmpty()) {
      return Failure(QStringLiteral("--png: the file name is empty"));
    }
    // The picture's bytes and the JSON lines would interleave in one stream.
    if (options.Json && options.PngFile == QLatin1String(kStandardOutputName)) {
      return Failure(QStringLiteral("--png: '-' (standard output) cannot go with --json"));
    }
  }

  if (parser.isSet(QStringLiteral("gif"))) {
    options.GifFile = parser.value(QStringLiteral("gif"));
    if (options.GifFile.isEmpty()) {
      return Failure(QStringLiteral("--gif: the file name is empty"));
    }
    if (options.GifFile == QLatin1String(kStandardOutputName) &&
        (options.Json || options.PngFile == QLatin1String(kStandardOutputName))) {
      return Failure(
          QStringLiteral("--gif: '-' (standard output) cannot go with --json or "
                         "--png -"));
    }
  }

  // Both would be written, and the second would replace the first.
  if (!options.PngFile.isEmpty() && !options.GifFile.isEmpty() &&
      SameOutput(options.PngFile, options.GifFile)) {
    return Failure(QStringLiteral("--gif: %1 is the file --png writes too; give each its own")
                       .arg(Quoted(options.GifFile)));
  }

  if (parser.isSet(QStringLiteral("every"))) {
    const QString text = parser.value(QStringLiteral("every"));
    if (options.GifFile.isEmpty()) return Failure(QStringLiteral("--every: needs --gif"));
    const std::optional<int> every = WholeNumber(text);
    if (!every || *every < 1 || *every > options.Frames) {
      return Failure(OptionError(
          "every", text, QStringLiteral("is not a whole number 1..%1").arg(options.Frames)));
    }
    options.Every = *every;
  }

  if (options.StartUnixMicroseconds) {
    const QString spanError = CheckRunSpan(options, *options.StartUnixMicroseconds);
    if (!spanError.isEmpty()) return Failure(spanError);
  }

  result.Options = std::move(options);
  return result;
}

}  // namespace

QString CheckRunSpan(const RenderOptions& options, std::int64_t startUnixMicroseconds) {
  static_assert(
      static_cast<double>(kMaxFrames) * static_cast<double>(kMaxIntervalMicroseconds) < 9.0e18,
      "the run's span must fit the clock's 64-bit microseconds");
  const std::int64_t last =
      startUnixMicroseconds + std::int64_t{options.Frames - 1} * options.IntervalMicroseconds;
  const std::optional<std::int64_t> limit =
      LocalToUnixMicroseconds(kLastYear, 12, 31, 23, 59, 59, 999);
  if (limit && last > *limit) {
    return QStringLiteral("--frames: %1 frames %2 ms apart run past the year %3")
        .arg(options.Frames)
        .arg(static_cast<double>(options.IntervalMicroseconds) / 1000.0)
        .arg(kLastYear);
  }
  return {};
}

RenderParse ParseRenderOptions(const QStringList& arguments) noexcept {
  try {
    return Parse(arguments);
  } catch (...) {
    // Only an exhausted memory gets here; it is reported like a bad command
    // line rather than thrown at a caller that promised not to catch.
    RenderParse result;
    result.Error = QStringLiteral("out of memory while reading the options");
    return result;
  }
}

QString MovementWarning(const QString& movement) {
  const std::string text = movement.toStdString();
  for (const MovementMode& mode : kMovementModes) {
    if (mode.Name == text) return {};
  }
  // The text is escaped before it is cut, so the names always fit the line.
  return QStringLiteral("warning: --movement: %1 is not one of %2; the hands move %3")
      .arg(Quoted(OneLineMessage(movement), 24), MovementNames(), QLatin1String(kDefaultMovement));
}

QString RenderHelpText() {
  QCommandLineParser parser;
  AddOptions(parser);
  // Qt's own usage line names the executable and says only "[options]";
  // ours lists them, so it replaces the first line.
  QString options = parser.helpText();
  options.remove(0, options.indexOf(QLatin1Char('\n')) + 1);
  return QString::fromLatin1(kRenderUsage) + QLatin1Char('\n') + options;
}

void ApplyPanelSettings(const std::vector<PanelAssignment>& settings, PlainPanelSettings& panel) {
  using Target = PanelAssignment::Target;
  for (const PanelAssignment& setting : settings) {
    if (setting.Kind == Target::kCheckBox) {
      panel.SetChecked(setting.Box, setting.Value != 0);
      continue;
    }
    int& position = setting.Kind == Target::kScrollBar1   ? panel.ScrollBar1Position
                    : setting.Kind == Target::kScrollBar2 ? panel.ScrollBar2Position
                    : setting.Kind == Target::kForeground ? panel.ForegroundIndex
                                                          : panel.BackgroundIndex;
    position = setting.Value;
  }
}

}  // namespace trilume
