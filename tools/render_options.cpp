// SPDX-License-Identifier: MIT
#include "tools/render_options.h"

#include <sys/stat.h>
#include <unistd.h>

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
#include "tools/option_values.h"
#include "tools/render_help.h"

namespace trilume {
namespace {

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
  AddRenderOptions(parser);
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
  options.Quiet = parser.isSet(QStringLiteral("quiet"));

  const QString setError =
      ParsePanelAssignments(parser.values(QStringLiteral("set")), options.Settings);
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

}  // namespace trilume
