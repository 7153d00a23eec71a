// SPDX-License-Identifier: MIT
// Running frames through the tool: the JSON it reports, the picture it
// writes, and how the panel options show in both.
#include <gtest/gtest.h>
#include <locale.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <cmath>
#include <string>

#include "render/canvas/colour.h"
#include "render/canvas/raster_canvas.h"
#include "tests/tools/render_tool_test_support.h"
#include "tools/frame_report.h"

namespace trilume {
namespace {

std::vector<QJsonObject> JsonLines(const QByteArray& out) {
  std::vector<QJsonObject> frames;
  for (const QByteArray& line : out.split('\n')) {
    if (line.isEmpty()) continue;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
    frames.push_back(document.object());
  }
  return frames;
}

std::vector<QJsonObject> RunJson(QStringList arguments) {
  arguments << QStringLiteral("--json");
  const ToolRun run = RunTool(arguments);
  EXPECT_EQ(run.Status, kExitOk) << run.Err.toStdString();
  return JsonLines(run.Out);
}

QSet<QString> Keys(const QJsonObject& object) {
  const QStringList keys = object.keys();
  return QSet<QString>(keys.begin(), keys.end());
}

double Round2(double value) { return std::round(value * 100.0) / 100.0; }

class RenderRunTest : public testing::Test {
 protected:
  void SetUp() override {
    UseUtc();
    ASSERT_TRUE(Dir.isValid());
  }

  // The picture after the run, read back from the PNG the tool wrote.
  QImage Picture(QStringList arguments) {
    const QString file = Dir.filePath(QStringLiteral("picture.png"));
    arguments << QStringLiteral("--png") << file;
    const ToolRun run = RunTool(arguments);
    EXPECT_EQ(run.Status, kExitOk) << run.Err.toStdString();
    return QImage(file);
  }

  QTemporaryDir Dir;
};

int CountPixels(const QImage& image, TColor colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == ToArgb(colour) ? 1 : 0;
  }
  return count;
}

TEST_F(RenderRunTest, WorkedExampleAtQuarterPastMidnight) {
  const ToolRun run = RunTool({"--at", "2026-12-08 00:15:30.500", "--json"});
  ASSERT_EQ(run.Status, kExitOk);
  // Printed from the 32-bit values, not from their widening to double.
  EXPECT_TRUE(run.Out.contains("\"second\":[-5.861164,114.24324]")) << run.Out.toStdString();
  const std::vector<QJsonObject> frames = JsonLines(run.Out);
  ASSERT_EQ(frames.size(), 1U);
  const QJsonObject& frame = frames[0];
  EXPECT_EQ(frame["frame"].toInt(), 1);
  EXPECT_EQ(frame["time"].toString(), "2026-12-08 00:15:30.500");
  EXPECT_EQ(frame["time_text"].toString(), "00:15:30");
  EXPECT_TRUE(frame["ok"].toBool());
  EXPECT_EQ(frame["centre"].toArray(), (QJsonArray{136, 138}));
  EXPECT_EQ(frame["tick_divisor"].toInt(), 60);
  const QJsonObject tips = frame["tips"].toObject();
  EXPECT_EQ(Round2(tips["hour"][0].toDouble()), 0.0);
  EXPECT_EQ(Round2(tips["hour"][1].toDouble()), -64.35);
  EXPECT_EQ(Round2(tips["minute"][0].toDouble()), 91.0);
  EXPECT_EQ(Round2(tips["minute"][1].toDouble()), 0.0);
  EXPECT_EQ(Round2(tips["second"][0].toDouble()), -5.86);
  EXPECT_EQ(Round2(tips["second"][1].toDouble()), 114.24);
  EXPECT_EQ(frame["sides"].toObject(),
            (QJsonObject{{"hour_minute", 111}, {"hour_second", 178}, {"minute_second", 148}}));
  // The hour tip faces the longer of the two short sides, so it has the
  // larger of the two small angles.
  EXPECT_EQ(frame["units"].toObject(), (QJsonObject{{"hour", 58}, {"minute", 89}, {"second", 40}}));
  EXPECT_EQ(frame["kind"].toString(), "Right    ");
  EXPECT_EQ(frame["angle_kind"].toString(), "Acute");
  EXPECT_EQ(frame["caption"].toString(),
            "00:15:30 Tue 12/08/26 Triangle is Right     Acute. Click opens Control Panel. "
            "E:trilume@example.org");
  // The angles are the ones the units were truncated from.
  const QJsonObject angles = frame["angles"].toObject();
  EXPECT_EQ(static_cast<int>(angles["hour"].toDouble() * 60), 58);
  EXPECT_EQ(static_cast<int>(angles["minute"].toDouble() * 60), 89);
  EXPECT_EQ(static_cast<int>(angles["second"].toDouble() * 60), 40);
  EXPECT_GT(frame["circumradius"].toDouble(), 89.0);  // half the longest side at least
}

TEST_F(RenderRunTest, MidnightTipsLieOnOneRay) {
  const std::vector<QJsonObject> frames = RunJson({"--at", "2026-12-08 00:00:00.000"});
  ASSERT_EQ(frames.size(), 1U);
  EXPECT_EQ(frames[0]["sides"].toObject(),
            (QJsonObject{{"hour_minute", 27}, {"hour_second", 49}, {"minute_second", 21}}));
  // Fresh state: no angle could ever be computed.
  EXPECT_EQ(frames[0]["kind"].toString(), "Alignment");
  EXPECT_EQ(frames[0]["angle_kind"].toString(), "Acute");
}

TEST_F(RenderRunTest, EveryFrameHasExactlyTheAgreedKeys) {
  const std::vector<QJsonObject> frames =
      RunJson({"--at", "2026-12-08 23:59:59.990", "--frames", "3"});
  ASSERT_EQ(frames.size(), 3U);
  const QSet<QString> top = {"frame",        "time", "time_text",  "ok",           "centre",
                             "tick_divisor", "tips", "sides",      "circumradius", "angles",
                             "units",        "kind", "angle_kind", "caption"};
  const QSet<QString> hands = {"hour", "minute", "second"};
  const QSet<QString> sides = {"hour_minute", "hour_second", "minute_second"};
  for (const QJsonObject& frame : frames) {
    EXPECT_EQ(Keys(frame), top);
    EXPECT_EQ(Keys(frame["tips"].toObject()), hands);
    EXPECT_EQ(Keys(frame["angles"].toObject()), hands);
    EXPECT_EQ(Keys(frame["units"].toObject()), hands);
    EXPECT_EQ(Keys(frame["sides"].toObject()), sides);
  }
  // 15.625 ms steps, exact: the third frame is past midnight, date and all.
  EXPECT_EQ(frames[0]["time"].toString(), "2026-12-08 23:59:59.990");
  EXPECT_EQ(frames[1]["time"].toString(), "2026-12-09 00:00:00.006");
  EXPECT_EQ(frames[2]["time"].toString(), "2026-12-09 00:00:00.021");
  EXPECT_EQ(frames[2]["time_text"].toString(), "00:00:00");
}

// Each number must be the shortest text of its 32-bit value: no digits
// that only the widening to double invented.
TEST_F(RenderRunTest, FloatsPrintInTheirShortestForm) {
  const ToolRun run = RunTool({"--at", "2026-12-08 00:15:30.500", "--frames", "40", "--interval-ms",
                               "777.7", "--json", "--size", "333x297"});
  ASSERT_EQ(run.Status, kExitOk);
  // A 32-bit float never needs more than nine significant digits.
  static const QRegularExpression kNumber(QStringLiteral("[0-9]+(\\.[0-9]+)?"));
  const QString text = QString::fromUtf8(run.Out);
  int checked = 0;
  for (const QJsonObject& frame : JsonLines(run.Out)) {
    for (const char* hand : {"hour", "minute", "second"}) {
      for (int axis = 0; axis < 2; ++axis) {
        const double value = frame["tips"][hand][axis].toDouble();
        const auto asFloat = static_cast<float>(value);
        EXPECT_EQ(FloatText(asFloat), QString::number(value, 'g', QLocale::FloatingPointShortest));
        ++checked;
      }
    }
  }
  EXPECT_EQ(checked, 40 * 6);
  for (auto it = kNumber.globalMatch(text); it.hasNext();) {
    QString digits = it.next().captured(0).remove(QLatin1Char('.'));
    while (digits.startsWith(QLatin1Char('0'))) digits.remove(0, 1);
    EXPECT_LE(digits.size(), 9) << text.toStdString();
  }
}

// The frame's text reader is swapped for one that breaks a single second.
std::string BrokenAtSecond31(TDateTime timeOfDay) {
  if (DecodeTime(timeOfDay).Sec == 31) return "00:15:3x";
  return TimeToStr(timeOfDay);
}

TEST_F(RenderRunTest, UnreadableTimeTextIsReportedAndTheModelKeepsItsValues) {
  const RenderParse parse =
      ParseRenderOptions({"trilume-render", "--at", "2026-12-08 00:15:30.500", "--frames", "3",
                          "--interval-ms", "1000", "--json"});
  ASSERT_TRUE(parse.Options.has_value());
  QBuffer out;
  QBuffer err;
  out.open(QIODevice::WriteOnly);
  err.open(QIODevice::WriteOnly);
  EXPECT_EQ(
      RunRender(*parse.Options, *parse.Options->StartUnixMicroseconds, out, err, &BrokenAtSecond31),
      kExitOk);
  const std::vector<QJsonObject> frames = JsonLines(out.data());
  ASSERT_EQ(frames.size(), 3U);
  EXPECT_TRUE(frames[0]["ok"].toBool());
  EXPECT_FALSE(frames[0].contains("error"));
  const QJsonObject& broken = frames[1];
  EXPECT_FALSE(broken["ok"].toBool());
  EXPECT_EQ(broken["time_text"].toString(), "00:15:3x");
  EXPECT_EQ(broken["time"].toString(), "2026-12-08 00:15:31.500");
  EXPECT_TRUE(broken["error"].toString().contains("'x' is not a valid integer value"))
      << broken["error"].toString().toStdString();
  for (const char* kept : {"tips", "sides", "units", "angles", "kind", "angle_kind"}) {
    EXPECT_EQ(broken[kept], frames[0][kept]) << kept;
  }
  EXPECT_TRUE(frames[2]["ok"].toBool());
  EXPECT_NE(frames[2]["tips"], frames[0]["tips"]);
}

// As in the window: each frame is drawn first and the flight moves Centre
// after it, so the first frame stands where the landed clock stood.
TEST_F(RenderRunTest, FreeFlightStartsFromTheLandedCentreAndDriftsUpLeft) {
  const std::vector<QJsonObject> free =
      RunJson({"--at", "2026-12-08 00:15:30.500", "--frames", "3", "--free"});
  ASSERT_EQ(free.size(), 3U);
  for (int i = 0; i < 3; ++i) {
    const QJsonObject& frame = free[static_cast<std::size_t>(i)];
    EXPECT_EQ(frame["centre"].toArray(), (QJsonArray{136 - i, 138 - i})) << i;
    EXPECT_EQ(frame["drift"].toArray(), (QJsonArray{-1, -1})) << i;
  }
  const std::vector<QJsonObject> landed = RunJson({"--frames", "2"});
  ASSERT_EQ(landed.size(), 2U);
  EXPECT_FALSE(landed[1].contains("drift"));
  EXPECT_EQ(landed[1]["centre"].toArray(), (QJsonArray{136, 138}));
}

TEST_F(RenderRunTest, FreeFlightBouncesOffTheTopLeftCorner) {
  // The second tip reaches y < 1 first: about 138 - 114 = 24 steps up.
  const std::vector<QJsonObject> frames = RunJson(
      {"--at", "2026-12-08 00:00:00.000", "--frames", "200", "--interval-ms", "0.001", "--free"});
  ASSERT_EQ(frames.size(), 200U);
  EXPECT_EQ(frames.back()["drift"].toArray()[1].toInt(), 1);
  for (const QJsonObject& frame : frames) {
    EXPECT_GT(frame["centre"][1].toDouble() + frame["tips"]["second"][1].toDouble(), 0.0);
  }
}

TEST_F(RenderRunTest, PictureIsTheWindowsTopLeftCorner) {
  EXPECT_EQ(Picture({"--at", "2026-12-08 00:15:30.500"}).size(), QSize(280, 310));
  EXPECT_EQ(Picture({"--size", "2000x100"}).size(), QSize(RasterCanvas::kWidth, 100));
  EXPECT_EQ(Picture({"--size", "50x5000"}).size(), QSize(50, RasterCanvas::kHeight));
}

TEST_F(RenderRunTest, UnwritablePictureFailsBeforeTheRunAndKeepsNoOutput) {
  const QString file = Dir.filePath(QStringLiteral("missing/dir/x.png"));
  const ToolRun run = RunTool({"--json", "--png", file});
  EXPECT_EQ(run.Status, kExitIoFailure);
  EXPECT_TRUE(run.Out.isEmpty());
  EXPECT_TRUE(run.Err.startsWith("trilume-render: --png: cannot write '" + file.toUtf8() + "'"))
      << run.Err.toStdString();
}

// --- Where the picture goes, through the real program ------------------------------

struct TargetCase {
  const char* Name;
  // Run by /bin/sh in an empty directory with the program as "$0"; the
  // script turns the status into 9 when the named node was replaced.
  const char* Script;
  int Status;
  const char* Message;  // a piece of the one line on stderr; "" when stderr stays empty
  QStringList Left;     // what the directory holds afterwards; each *.png is the picture
  bool PictureOnStandardOutput = false;
};

void PrintTo(const TargetCase& c, std::ostream* os) { *os << c.Name; }

class PictureTargetTest : public testing::TestWithParam<TargetCase> {};

TEST_P(PictureTargetTest, WritesTheNodeItNamesAndReportsEveryFailure) {
  const TargetCase& c = GetParam();
  QTemporaryDir runtime;
  QTemporaryDir work;
  ASSERT_TRUE(runtime.isValid() && work.isValid());
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("TZ", "UTC");
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("XDG_RUNTIME_DIR", runtime.path());
  QProcess shell;
  shell.setProcessEnvironment(environment);
  shell.setWorkingDirectory(work.path());
  shell.start("/bin/sh", {"-c", c.Script, TRILUME_BINARY_DIR "/tools/trilume-render"});
  ASSERT_TRUE(shell.waitForFinished(60000));
  EXPECT_EQ(shell.exitCode(), c.Status);
  const QByteArray err = shell.readAllStandardError();
  EXPECT_EQ(err.count('\n'), *c.Message == '\0' ? 0 : 1) << err.toStdString();
  EXPECT_TRUE(err.contains(c.Message)) << err.toStdString();
  const QByteArray out = shell.readAllStandardOutput();
  EXPECT_EQ(out.startsWith("\x89PNG"), c.PictureOnStandardOutput);
  if (c.PictureOnStandardOutput) {
    EXPECT_EQ(QImage::fromData(out, "PNG").size(), QSize(280, 310));
  }
  const QDir dir(work.path());
  const QStringList left =
      dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
  EXPECT_EQ(left, c.Left);
  for (const QString& name : left.filter(QRegularExpression("\\.png$"))) {
    EXPECT_EQ(QImage(dir.filePath(name)).size(), QSize(280, 310)) << name.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, PictureTargetTest,
    testing::Values(
        // The hard link keeps the old file's contents only if the new
        // picture arrived by rename.
        TargetCase{"RegularFileIsReplacedWhole",
                   "echo old >picture.png && ln picture.png before && \"$0\" --png picture.png;"
                   "s=$?; grep -qx old before || s=9; exit $s",
                   0,
                   "",
                   {"before", "picture.png"}},
        // The shell holds the FIFO open both ways, so neither side waits for
        // the other and the reader ends whatever the program did.
        TargetCase{"FifoIsWrittenThrough",
                   "mkfifo pipe && { cat pipe >picture.png & } && exec 3<>pipe &&"
                   "\"$0\" --png pipe 3>&-; s=$?; exec 3>&-; wait; test -p pipe || s=9; exit $s",
                   0,
                   "",
                   {"picture.png", "pipe"}},
        TargetCase{"FullDeviceFailsAndStaysADevice",
                   "\"$0\" --png /dev/full >/dev/null; s=$?; test -c /dev/full || s=9; exit $s",
                   kExitIoFailure,
                   "trilume-render: --png: cannot write '/dev/full': ",
                   {}},
        TargetCase{"DashIsStandardOutputAlone", "exec \"$0\" --png -", 0, "", {}, true},
        TargetCase{"FailedReportLeavesNoPicture",
                   "exec \"$0\" --json --frames 3 --png picture.png >/dev/full",
                   kExitIoFailure,
                   "trilume-render: cannot write the report: ",
                   {}}),
    [](const testing::TestParamInfo<TargetCase>& param) { return std::string(param.param.Name); });

struct PictureCase {
  const char* Name;
  QStringList Arguments;
  TColor Colour;
  bool Present;
};

void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.Name; }

class PictureEffectTest : public RenderRunTest, public testing::WithParamInterface<PictureCase> {};

// Twenty frames a second apart on a solid navy background, so each picture
// holds only its last frame; only the trace draws in the grid's green.
TEST_P(PictureEffectTest, SettingShowsInThePicture) {
  QStringList arguments = {
      "--at", "2026-12-08 00:15:30.500", "--frames", "20", "--interval-ms", "1000", "--fill-style",
      "1"};
  arguments << GetParam().Arguments;
  const QImage picture = Picture(arguments);
  ASSERT_FALSE(picture.isNull());
  if (GetParam().Present) {
    EXPECT_GT(CountPixels(picture, GetParam().Colour), 50);
  } else {
    EXPECT_EQ(CountPixels(picture, GetParam().Colour), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    PanelOptions, PictureEffectTest,
    testing::Values(
        PictureCase{"TraceInGridGreen", {}, kGreen, true},
        PictureCase{"SolidNavyBackground", {}, kNavy, true},
        PictureCase{"OneTraceDrawsNothing", {"--set", "traces=1"}, kGreen, false},
        PictureCase{"TraceOff", {"--set", "trace=0"}, kGreen, false},
        PictureCase{"ForegroundRed", {"--set", "fg=9"}, kRed, true},
        PictureCase{"ForegroundRedReplacesGreen", {"--set", "fg=9"}, kGreen, false},
        PictureCase{"RainbowHasLime", {"--set", "rainbow=1"}, kLime, true},
        PictureCase{"RainbowHasNoGridColour", {"--set", "rainbow=1"}, kGreen, false},
        PictureCase{"BackgroundTeal", {"--set", "bg=6"}, kTeal, true},
        PictureCase{"BackgroundTealReplacesNavy", {"--set", "bg=6"}, kNavy, false},
        PictureCase{"FillStyleZeroIsBlack", {"--fill-style", "0"}, kNavy, false},
        // After CLEAR the only stored triangle is the current one, and the
        // yellow triangle covers it line for line.
        PictureCase{"ClearLeavesOnlyTheCurrentTriangle", {"--clear-before", "20"}, kGreen, false},
        PictureCase{"ClearEarlierIsRefilled", {"--clear-before", "2"}, kGreen, true},
        PictureCase{"HandsOffNoBlueHands", {"--set", "hands=0,additionals=0"}, kBlue, false},
        PictureCase{"HandsOn", {}, kBlue, true}),
    [](const testing::TestParamInfo<PictureCase>& param) { return std::string(param.param.Name); });

TEST_F(RenderRunTest, HatchedBackgroundKeepsTheEarlierPictureBetweenItsLines) {
  // The first frame fills with the canvas's white brush; later fills only
  // paint the hatch lines over it.
  const QImage hatched = Picture({"--frames", "3"});
  const QImage corner = hatched.copy(0, 0, 8, 8);
  EXPECT_GT(CountPixels(corner, kNavy), 0);
  EXPECT_GT(CountPixels(corner, kWhite), 0);
  const QImage black = Picture({"--frames", "3", "--fill-style", "0"}).copy(0, 0, 8, 8);
  EXPECT_GT(CountPixels(black, kBlack), 0);
  EXPECT_EQ(CountPixels(black, kNavy), 0);
}

TEST_F(RenderRunTest, SummaryShowsTheLastFrame) {
  const ToolRun run =
      RunTool({"--at", "2026-12-08 00:15:29.500", "--frames", "2", "--interval-ms", "1000"});
  ASSERT_EQ(run.Status, kExitOk);
  const QString text = QString::fromUtf8(run.Out);
  EXPECT_TRUE(text.startsWith("frame 2 of 2  2026-12-08 00:15:30.500  time text \"00:15:30\"\n"))
      << text.toStdString();
  EXPECT_TRUE(text.contains("second (-5.861164, 114.24324)\n"));
  EXPECT_TRUE(text.contains("sides  hour-minute 111  hour-second 178  minute-second 148\n"));
  EXPECT_TRUE(text.contains("kind   \"Right    \"  angle kind \"Acute\"\n"));
}

TEST(RenderBinary, RunsEndToEndWithTheUsersLocaleAndExitStatus) {
  const QString program = QStringLiteral(TRILUME_BINARY_DIR "/tools/trilume-render");
  ASSERT_TRUE(QFile::exists(program)) << "build the trilume-render target first";
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("TZ", "UTC");
  QProcess process;
  process.setProcessEnvironment(environment);

  process.start(program, {"--frames", "0"});
  ASSERT_TRUE(process.waitForFinished(30000));
  EXPECT_EQ(process.exitCode(), 2);
  EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
  const QByteArray error = process.readAllStandardError();
  EXPECT_TRUE(
      error ==
      "trilume-render: --frames: '0' is not a whole number 1..100000000 (see trilume-render "
      "--help)\n")
      << error.toStdString();

  // Asked without touching this process's own locale.
  const locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", locale_t{});
  if (german == locale_t{}) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  freelocale(german);
  environment.insert("LC_ALL", "de_DE.UTF-8");
  process.setProcessEnvironment(environment);
  process.start(program, {"--at", "2026-12-08 00:15:30.500", "--json"});
  ASSERT_TRUE(process.waitForFinished(30000));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  const std::vector<QJsonObject> frames = JsonLines(process.readAllStandardOutput());
  ASSERT_EQ(frames.size(), 1U);
  // German dates read day first: the caption shows the user's locale.
  EXPECT_TRUE(frames[0]["caption"].toString().startsWith("00:15:30 Tue 08.12.2026 Triangle is"))
      << frames[0]["caption"].toString().toStdString();
}

}  // namespace
}  // namespace trilume
