// SPDX-License-Identifier: MIT
// Every way bad input can reach the clock, each with the answer it gets: the
// behaviour the design states, or for trilume-render a one-line message and
// exit status 2. Never a crash, a hang or a stray write.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "model/caption.h"
#include "model/date_time.h"
#include "model/tick_schedule.h"
#include "render/canvas/raster_canvas.h"
#include "render/headless_clock.h"
#include "render/trace.h"
#include "tests/reliability/reliability_support.h"
#include "tests/reliability/soak/bad_inputs.h"
#include "tests/reliability/soak/guarded.h"

namespace trilume {

// The soak's tables name their cases by their text or size, so that a
// failure line says which one failed. Beside the types' namespace, where
// GoogleTest looks for them.
inline void PrintTo(const TimeTextCase& c, std::ostream* os) {
  *os << ::testing::PrintToString(std::string(c.Text));
}
inline void PrintTo(const MovementCase& c, std::ostream* os) {
  *os << ::testing::PrintToString(std::string(c.Text));
}
inline void PrintTo(const WindowSizeCase& c, std::ostream* os) {
  *os << c.Width << "x" << c.Height;
}

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

// The time text the frame under test is given; the frame takes a plain
// function, so the text waits here.
std::string_view gTimeText;
std::string FixedTimeText(TDateTime) { return std::string(gTimeText); }

bool Finite(const TipOffset& tip) { return std::isfinite(tip.X) && std::isfinite(tip.Y); }

// A session on the real canvas, between guard bands, with every check box
// on and the trace at its longest, so every drawing step runs.
struct Rig {
  Rig() {
    for (int box = 1; box <= 9; ++box) Panel.SetChecked(static_cast<PanelCheckBox>(box), true);
    Panel.ScrollBar1Position = kMaxTraceCount;
    Clock.Set(UtcMicros(2026, 6, 15, 0, 0, 0));
  }
  // Whether the frame read its time text.
  bool Frame(TimeTextFormatter timeText = &TimeToStr) {
    Session.SetTimeText(timeText);
    return Session.Frame().Ok;
  }
  ClockState& S() { return Session.State; }

  RasterCanvas Canvas;
  std::unique_ptr<Guarded<HeadlessClock>> Guard = std::make_unique<Guarded<HeadlessClock>>(Canvas);
  HeadlessClock& Session = Guard->Value;
  PlainPanelSettings& Panel = Session.Panel;
  WindowSize& Window = Session.Window;
  FakeClock& Clock = Session.Clock;
};

// --- Time texts: from the locale, or any shape at all --------------------------------

class TimeTextTable : public ::testing::TestWithParam<TimeTextCase> {};

TEST_P(TimeTextTable, ReadsOrFailsTheFrameKeepingTheLastTriangle) {
  const TimeTextCase& c = GetParam();
  ScopedTimeZone zone("UTC");
  Rig rig;
  rig.Frame();  // a good frame first, so there is something to keep
  const ClockState before = rig.S();
  gTimeText = c.Text;
  if (c.Readable()) {
    EXPECT_TRUE(rig.Frame(&FixedTimeText)) << c.Why;
    const ClockState expected = TipsFor(c.Reads, 0, rig.Window.Width, rig.Window.Height);
    EXPECT_EQ(rig.S().SecondTip.X, expected.SecondTip.X) << c.Why;
    EXPECT_EQ(rig.S().HourTip.Y, expected.HourTip.Y) << c.Why;
  } else {
    EXPECT_FALSE(rig.Frame(&FixedTimeText)) << c.Why;
    EXPECT_EQ(rig.S().HourTip.X, before.HourTip.X) << c.Why;
    EXPECT_EQ(rig.S().SecondTip.Y, before.SecondTip.Y) << c.Why;
    EXPECT_EQ(rig.S().SideHourSecond, before.SideHourSecond) << c.Why;
    EXPECT_EQ(rig.S().TriangleKind, before.TriangleKind) << c.Why;
    EXPECT_EQ(rig.S().AngleKind, before.AngleKind) << c.Why;
  }
  EXPECT_TRUE(rig.Guard->Intact());
  // The caption does not depend on the time text the hands read.
  EXPECT_THAT(ComposeCaption(Now(rig.Clock), rig.S()),
              ::testing::EndsWith(std::string(kCaptionClosing)));
}

INSTANTIATE_TEST_SUITE_P(Texts, TimeTextTable, ::testing::ValuesIn(kTimeTextCases),
                         [](const auto& testInfo) {
                           return "Case" + std::to_string(testInfo.index);
                         });

// Every installed locale's own long time format reads, 12-hour ones included.
class LocaleTimeTextTable : public ::testing::TestWithParam<const char*> {};

TEST_P(LocaleTimeTextTable, EveningTimeReadsAndPointsTheHandsRight) {
  ScopedTimeZone zone("UTC");
  ScopedLcTime locale(GetParam());
  if (!locale.IsActive()) GTEST_SKIP() << GetParam() << " is not installed";
  Rig rig;
  rig.Clock.Set(UtcMicros(2026, 6, 15, 21, 5, 7));
  ASSERT_TRUE(rig.Frame()) << TimeToStr(EncodeTime(21, 5, 7, 0));
  // A 12-hour text reads 09 where a 24-hour one reads 21; both point at 9.
  const ClockState expected = TipsFor("21:05:07", 0, rig.Window.Width, rig.Window.Height);
  EXPECT_NEAR(rig.S().HourTip.X, expected.HourTip.X, 0.01F);
  EXPECT_NEAR(rig.S().HourTip.Y, expected.HourTip.Y, 0.01F);
  EXPECT_EQ(rig.S().MinuteTip.X, expected.MinuteTip.X);
  EXPECT_EQ(rig.S().SecondTip.Y, expected.SecondTip.Y);
}

INSTANTIATE_TEST_SUITE_P(Locales, LocaleTimeTextTable,
                         ::testing::Values("C", "C.UTF-8", "en_US.UTF-8", "de_DE.UTF-8",
                                           "ja_JP.UTF-8"),
                         [](const auto& testInfo) {
                           return "Case" + std::to_string(testInfo.index);
                         });

// --- MOVEMENT texts ------------------------------------------------------------------

class MovementTable : public ::testing::TestWithParam<MovementCase> {};

TEST_P(MovementTable, OnlyAnExactNameChangesTheDivisor) {
  ScopedTimeZone zone("UTC");
  Rig rig;
  rig.Panel.MovementText = "TICK2";
  rig.Frame();
  ASSERT_EQ(rig.S().TickDivisor, 100);
  rig.Panel.MovementText = std::string(GetParam().Text);
  EXPECT_TRUE(rig.Frame());
  EXPECT_EQ(rig.S().TickDivisor, GetParam().Divisor != 0 ? GetParam().Divisor : 100);
  EXPECT_TRUE(rig.Guard->Intact());
}

INSTANTIATE_TEST_SUITE_P(Texts, MovementTable, ::testing::ValuesIn(kMovementCases),
                         [](const auto& testInfo) {
                           return "Case" + std::to_string(testInfo.index);
                         });

TEST(MovementTable, HugeTypedTextLeavesTheDivisor) {
  ScopedTimeZone zone("UTC");
  Rig rig;
  rig.Panel.MovementText = std::string(1 << 20, 'T');
  EXPECT_TRUE(rig.Frame());
  EXPECT_EQ(rig.S().TickDivisor, 60);
}

// --- Window sizes -------------------------------------------------------------------

class WindowSizeTable : public ::testing::TestWithParam<WindowSizeCase> {};

// Any size draws on the fixed picture, clipped; half-sizes below the margins
// turn the scales negative and mirror the hands, as the formulas give.
TEST_P(WindowSizeTable, FramesFlightAndPanelDrawingsStayInsideThePicture) {
  ScopedTimeZone zone("UTC");
  const WindowSizeCase size = GetParam();
  Rig rig;
  rig.Window = WindowSize{size.Width, size.Height};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(rig.Frame());
    rig.Clock.Advance(kTickMicroseconds);
  }
  EXPECT_EQ(rig.S().CentreX, LandedCentre(rig.Window).X);
  EXPECT_EQ(rig.S().CentreY, LandedCentre(rig.Window).Y);
  EXPECT_TRUE(Finite(rig.S().HourTip) && Finite(rig.S().MinuteTip) && Finite(rig.S().SecondTip));

  // At 00:00:00 the second hand points up while Height / 2 - 12 is positive
  // and down (mirrored) while it is negative.
  const int scaleY = size.Height / 2 - 12;
  if (scaleY > 0) {
    EXPECT_LT(rig.S().SecondTip.Y, 0.0F);
  } else if (scaleY == 0) {
    EXPECT_EQ(rig.S().SecondTip.Y, 0.0F);
  } else {
    EXPECT_GT(rig.S().SecondTip.Y, 0.0F);
  }

  Button2Click(rig.Canvas, rig.Panel, rig.Window);
  CColorGrid1Change(rig.Canvas, rig.Panel, rig.Window);
  rig.Session.SetFree(true);
  for (int i = 0; i < 50; ++i) {
    rig.Session.Tick();
    ASSERT_TRUE(rig.Session.GetLastFrame().Ok);
  }
  EXPECT_TRUE(std::isfinite(rig.S().CentreX) && std::isfinite(rig.S().CentreY));
  EXPECT_TRUE(rig.Guard->Intact());
  EXPECT_EQ(rig.Canvas.GetImage().size(), QSize(RasterCanvas::kWidth, RasterCanvas::kHeight));
}

constexpr WindowSizeCase kHostileSizes[] = {{0, 0},         {-1, -1},         {-280, -310},
                                            {32767, 32767}, {100000, 100000}, {kIntMax, kIntMax},
                                            {kIntMax, 1}};

INSTANTIATE_TEST_SUITE_P(Notable, WindowSizeTable, ::testing::ValuesIn(kNotableWindowSizes),
                         [](const auto& testInfo) {
                           return std::to_string(testInfo.param.Width) + "x" +
                                  std::to_string(testInfo.param.Height);
                         });
INSTANTIATE_TEST_SUITE_P(Hostile, WindowSizeTable, ::testing::ValuesIn(kHostileSizes),
                         [](const auto& testInfo) {
                           return "Case" + std::to_string(testInfo.index);
                         });

// --- Panel values the real panel cannot produce (defence in depth) -------------------

struct PanelValueCase {
  const char* Name;
  void (*Set)(PlainPanelSettings&, ClockState&);
  std::int32_t TraceCount;  // after a frame
  float ColourStep;
};

void PrintTo(const PanelValueCase& c, std::ostream* os) { *os << c.Name; }

class PanelValueTable : public ::testing::TestWithParam<PanelValueCase> {};

TEST_P(PanelValueTable, TraceStaysInsideHistoryAndPalette) {
  ScopedTimeZone zone("UTC");
  Rig rig;
  rig.Panel.SetChecked(PanelCheckBox::kRainbow, true);
  GetParam().Set(rig.Panel, rig.S());
  ASSERT_TRUE(rig.Frame());
  Button2Click(rig.Canvas, rig.Panel, rig.Window);
  CColorGrid1Change(rig.Canvas, rig.Panel, rig.Window);
  ASSERT_TRUE(rig.Frame());
  EXPECT_EQ(rig.S().TraceCount, GetParam().TraceCount);
  EXPECT_EQ(rig.S().ColourStep, GetParam().ColourStep);
  const TriangleRecord& spare = rig.S().TraceHistory[kTraceHistorySize - 1];
  EXPECT_EQ(spare.Hour.X, 0.0F);
  EXPECT_EQ(rig.S().TraceHistory[0].Second.Y, 0.0F);
  EXPECT_TRUE(rig.Guard->Intact());
}

INSTANTIATE_TEST_SUITE_P(
    Values, PanelValueTable,
    ::testing::Values(
        PanelValueCase{"TracesZero",
                       [](PlainPanelSettings& p, ClockState&) { p.ScrollBar1Position = 0; }, 1,
                       2.0F},
        PanelValueCase{"TracesNegative",
                       [](PlainPanelSettings& p, ClockState&) { p.ScrollBar1Position = kIntMin; },
                       1, 2.0F},
        PanelValueCase{"Traces3001",
                       [](PlainPanelSettings& p, ClockState&) { p.ScrollBar1Position = 3001; },
                       3000, 2.0F},
        PanelValueCase{"TracesIntMax",
                       [](PlainPanelSettings& p, ClockState&) { p.ScrollBar1Position = kIntMax; },
                       3000, 2.0F},
        PanelValueCase{"ColoursZero",
                       [](PlainPanelSettings& p, ClockState&) { p.ScrollBar2Position = 0; }, 3000,
                       1.0F},
        PanelValueCase{"Colours13",
                       [](PlainPanelSettings& p, ClockState&) { p.ScrollBar2Position = 13; }, 3000,
                       12.0F},
        PanelValueCase{"ColoursIntMin",
                       [](PlainPanelSettings& p, ClockState&) { p.ScrollBar2Position = kIntMin; },
                       3000, 1.0F},
        PanelValueCase{"GridIndicesOutside",
                       [](PlainPanelSettings& p, ClockState&) {
                         p.ForegroundIndex = kIntMin;
                         p.BackgroundIndex = 16;
                       },
                       3000, 2.0F},
        PanelValueCase{"FillStyleNegative",
                       [](PlainPanelSettings&, ClockState& s) { s.FillStyleIndex = -1; }, 3000,
                       2.0F},
        PanelValueCase{"FillStyleNine",
                       [](PlainPanelSettings&, ClockState& s) { s.FillStyleIndex = 9; }, 3000,
                       2.0F},
        PanelValueCase{"FillStyleIntMax",
                       [](PlainPanelSettings&, ClockState& s) { s.FillStyleIndex = kIntMax; }, 3000,
                       2.0F},
        PanelValueCase{"CheckBoxNumbersOutside",
                       [](PlainPanelSettings& p, ClockState&) {
                         p.SetChecked(static_cast<PanelCheckBox>(0), true);
                         p.SetChecked(static_cast<PanelCheckBox>(kIntMax), true);
                       },
                       3000, 2.0F}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

// Double-clicks bring any index, however it got there, back into the cycle.
TEST(FillStyleCycle, AnIndexAboveTheBoundRestartsAtZero) {
  for (int index : {8, 9, 100, kIntMax}) EXPECT_EQ(NextFillStyleFromImage(index), 0) << index;
  for (int index : {7, 8, 9, kIntMax}) EXPECT_EQ(NextFillStyleFromForm(index), 0) << index;
}

// --- The system clock at the ends of its range ---------------------------------------

struct InstantCase {
  const char* Name;
  std::int64_t Micros;
};

void PrintTo(const InstantCase& c, std::ostream* os) { *os << c.Name; }

class ClockRangeTable : public ::testing::TestWithParam<InstantCase> {};

// Whatever the clock says, in UTC the hands show its time of day.
TEST_P(ClockRangeTable, FrameAndCaptionShowTheUtcTimeOfDay) {
  ScopedTimeZone zone("UTC");
  ScopedLcTime locale("C");
  Rig rig;
  rig.Clock.Set(GetParam().Micros);
  ASSERT_TRUE(rig.Frame());
  const std::int64_t micros = GetParam().Micros;
  const std::int64_t second = micros / 1'000'000 - (micros % 1'000'000 < 0 ? 1 : 0);
  const std::int64_t ofDay = ((second % 86'400) + 86'400) % 86'400;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(ofDay / 3600),
                static_cast<int>(ofDay / 60 % 60), static_cast<int>(ofDay % 60));
  const ClockState expected = TipsFor(text, 0, rig.Window.Width, rig.Window.Height);
  EXPECT_EQ(rig.S().MinuteTip.X, expected.MinuteTip.X) << text;
  EXPECT_EQ(rig.S().HourTip.Y, expected.HourTip.Y) << text;
  EXPECT_THAT(ComposeCaption(Now(rig.Clock), rig.S()), ::testing::StartsWith(text));
}

INSTANTIATE_TEST_SUITE_P(
    Instants, ClockRangeTable,
    ::testing::Values(InstantCase{"Int64Min", std::numeric_limits<std::int64_t>::min()},
                      InstantCase{"BeforeYearOne", UtcMicros(1, 1, 1, 0, 0, 0) - 1'000'000},
                      InstantCase{"YearOne", UtcMicros(1, 1, 1, 0, 0, 0)},
                      InstantCase{"JustBeforeTheEpoch", -1'000'000}, InstantCase{"Epoch", 0},
                      InstantCase{"After32BitTime", UtcMicros(2038, 1, 19, 3, 14, 8)},
                      InstantCase{"LastOfYear9999", UtcMicros(9999, 12, 31, 23, 59, 59)},
                      InstantCase{"Year10000", UtcMicros(10000, 1, 1, 12, 0, 0)},
                      InstantCase{"Int64Max", std::numeric_limits<std::int64_t>::max()}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

// --- trilume-render's command line, through the real program ---------------------

struct CommandCase {
  const char* Name;
  QList<QByteArray> Arguments;  // raw bytes, as a shell hands them over
  int Status;
  const char* Message;  // a piece of the one error or warning line; empty for a quiet run
  const char* Zone = "UTC";
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.Name; }

class CommandLineTable : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandLineTable, GivesOneLineAndTheAgreedStatus) {
  const CommandCase& c = GetParam();
  QTemporaryDir scratch;
  ASSERT_TRUE(scratch.isValid());
  QProcess tool;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("TZ"), QString::fromLatin1(c.Zone));
  environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  // As under cron or su -: no line of the platform's about it.
  environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
  tool.setProcessEnvironment(environment);
  tool.setWorkingDirectory(scratch.path());
  // QProcess hands arguments over as UTF-8, so bytes that are not UTF-8
  // reach the program through the shell's printf instead.
  QString script = QStringLiteral("exec \"$0\"");
  QStringList arguments = {QStringLiteral("-c"), QString(),
                           QStringLiteral(TRILUME_BINARY_DIR "/tools/trilume-render")};
  for (const QByteArray& argument : c.Arguments) {
    const bool ascii =
        std::all_of(argument.begin(), argument.end(), [](char b) { return (b & 0x80) == 0; });
    if (ascii) {
      arguments << QString::fromLatin1(argument);
      script += QStringLiteral(" \"${%1}\"").arg(arguments.size() - 3);
    } else {
      QString octal;
      for (char b : argument)
        octal += QStringLiteral("\\%1").arg(static_cast<uint>(static_cast<unsigned char>(b)), 3, 8,
                                            QLatin1Char('0'));
      script += QStringLiteral(" \"$(printf '%1')\"").arg(octal);
    }
  }
  arguments[1] = script;
  tool.start(QStringLiteral("/bin/sh"), arguments);
  ASSERT_TRUE(tool.waitForFinished(120'000)) << "no answer within two minutes";
  EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(tool.exitCode(), c.Status);
  const QByteArray err = tool.readAllStandardError();
  const QByteArray out = tool.readAllStandardOutput();
  const QList<QByteArray> lines = err.split('\n');
  if (c.Status == 2 || (c.Status == 0 && *c.Message != '\0')) {
    ASSERT_GE(lines.size(), 2) << err.toStdString();
    EXPECT_TRUE(lines[0].startsWith("trilume-render: ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(c.Message)) << lines[0].toStdString();
    EXPECT_LT(lines[0].size(), 200) << "a huge argument must not make a huge message";
    EXPECT_TRUE(std::none_of(lines[0].begin(), lines[0].end(),
                             [](char b) { return b >= 0 && b < 0x20 && b != '\t'; }))
        << "control characters in " << lines[0].toStdString();
  }
  if (c.Status == 2) {
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
    EXPECT_TRUE(lines[0].endsWith(" (see trilume-render --help)")) << lines[0].toStdString();
    EXPECT_TRUE(QDir(scratch.path()).isEmpty()) << "a refused run wrote a file";
  } else if (c.Status == 1) {
    EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(c.Message)) << err.toStdString();
  } else {
    EXPECT_EQ(err.count('\n'), *c.Message == '\0' ? 0 : 1) << err.toStdString();
    EXPECT_FALSE(out.isEmpty());
  }
}

const QByteArray kAt = "--at";
const QByteArray kNoon = "2026-06-15 12:00:00";
constexpr char kMovementWarning[] =
    "is not one of SMOOTH, FAST, TICK, TICK2, TICKBACK1, TICKBACK2, HALFBACK; the hands move "
    "SMOOTH";

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineTable,
    ::testing::Values(
        CommandCase{"NoArguments", {}, 0, ""}, CommandCase{"Help", {"--help"}, 0, ""},
        CommandCase{"Version", {"--version"}, 0, ""},
        CommandCase{"HelpAllIsNoOption", {"--help-all"}, 2, "unknown option 'help-all'"},
        CommandCase{"UnknownOption", {"--bogus"}, 2, "unknown option 'bogus'"},
        CommandCase{"StrayInvalidUtf8", {"\xFF\xFE"}, 2, "unexpected argument"},
        CommandCase{"FramesMissing", {"--frames"}, 2, "missing value after '--frames'"},
        CommandCase{"FramesZero", {"--frames", "0"}, 2, "--frames: '0'"},
        CommandCase{"FramesArabicDigit", {"--frames", "\xD9\xA3"}, 2, "--frames: "},
        CommandCase{"FramesHuge", {"--frames", QByteArray(100000, '9')}, 2, "--frames: '999"},
        CommandCase{"FramesTwice", {kAt, kNoon, "--frames", "3", "--frames", "2"}, 0, ""},
        CommandCase{"IntervalNan", {"--interval-ms", "nan"}, 2, "--interval-ms: 'nan'"},
        CommandCase{"IntervalInf", {"--interval-ms", "inf"}, 2, "--interval-ms: 'inf'"},
        CommandCase{"IntervalNegative", {"--interval-ms", "-15.625"}, 2, "--interval-ms: "},
        CommandCase{"SizeZeroHeight", {"--size", "1x0"}, 2, "--size: '1x0'"},
        CommandCase{"SizeFullWidthDigit", {"--size", "\xEF\xBC\x91x1"}, 2, "--size: "},
        CommandCase{"SizeOverflow", {"--size", "4294967297x1"}, 2, "--size: "},
        CommandCase{"SizeThreeParts", {"--size", "1x1x1"}, 2, "--size: "},
        CommandCase{"SizeSmallest", {kAt, kNoon, "--size", "1x1"}, 0, ""},
        CommandCase{"SizeLargest", {kAt, kNoon, "--size", "100000x100000"}, 0, ""},
        CommandCase{"AtGarbage", {kAt, "\x01\x02"}, 2, "--at: "},
        CommandCase{"AtYear10000", {kAt, "10000-01-01 00:00:00"}, 2, "--at: "},
        CommandCase{"AtFebruary30", {kAt, "2026-02-30 00:00:00"}, 2, "--at: "},
        // A time the zone skips or repeats runs, with a note that says so.
        CommandCase{"AtSkippedHour",
                    {kAt, "2026-03-29 02:30:00"},
                    0,
                    "note: --at: '2026-03-29 02:30:00' does not exist in the local time zone "
                    "(the clocks skip it); the run starts at 03:30:00 local time",
                    "Europe/Berlin"},
        CommandCase{"AtRepeatedHour",
                    {kAt, "2026-10-25 02:30:00"},
                    0,
                    "happens twice in the local time zone",
                    "Europe/Berlin"},
        CommandCase{
            "AtOrdinaryHourOfAChangeDay", {kAt, "2026-10-25 03:30:00"}, 0, "", "Europe/Berlin"},
        CommandCase{"AtRepeatedHalfHour",
                    {kAt, "2026-04-05 01:45:00"},
                    0,
                    "happens twice",
                    "Australia/Lord_Howe"},
        CommandCase{"OutputsNamingOneFile",
                    {"--gif", "same.out", "--png", "same.out"},
                    2,
                    "--gif: 'same.out' is the file --png writes too"},
        // An unknown movement runs as the clock would, but says so.
        CommandCase{"MovementEmpty", {kAt, kNoon, "--movement", ""}, 0, kMovementWarning},
        CommandCase{
            "MovementInvalidUtf8", {kAt, kNoon, "--movement", "\xC3\x28\xFF"}, 0, kMovementWarning},
        CommandCase{"MovementHugeWithEscapes",
                    {kAt, kNoon, "--movement", "TICK\x1B[2J" + QByteArray(100000, '\n')},
                    0,
                    kMovementWarning},
        CommandCase{"SetEmpty", {"--set", ""}, 2, "--set: "},
        CommandCase{"SetHugeValue", {"--set", "traces=99999999999"}, 2, "--set: "},
        CommandCase{"SetNonAsciiName",
                    {"--set",
                     "tr\xC3\xA4"
                     "ce=1"},
                    2,
                    "--set: "},
        CommandCase{"FillStyleNegative", {"--fill-style", "-1"}, 2, "--fill-style: "},
        CommandCase{
            "ClearBeforeTwice", {kAt, kNoon, "--clear-before", "1", "--clear-before", "1"}, 0, ""},
        CommandCase{"ClearBeyondTheRun", {"--clear-before", "5"}, 2, "--clear-before: "},
        CommandCase{"PngEmpty", {"--png", ""}, 2, "--png: "},
        CommandCase{"PngUnwritable", {kAt, kNoon, "--png", "/nonexistent-dir/x.png"}, 1, "x.png"},
        CommandCase{"JsonTwice", {kAt, kNoon, "--json", "--json"}, 0, ""},
        CommandCase{"FreeWithValue", {"--free=1"}, 2, "--free"},
        // Control characters in an argument must not break the message into
        // lines or reach the terminal raw.
        CommandCase{"NewlineInValue", {"--frames", "1\n2"}, 2, "--frames: "},
        CommandCase{"NewlineInOptionName", {"--fr\names"}, 2, "unknown option"},
        CommandCase{"EscapeSequenceInValue", {"--size", "\x1B[2J"}, 2, "--size: "},
        // Nor may a huge or many-lettered unknown option make a huge line.
        CommandCase{"HugeUnknownOption", {"--" + QByteArray(100000, 'x')}, 2, "unknown option"},
        CommandCase{"ManyShortOptions", {"-" + QByteArray(300, 'q')}, 2, "unknown options"}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

}  // namespace
}  // namespace trilume
