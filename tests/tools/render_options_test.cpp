// SPDX-License-Identifier: MIT
// Reading the command line: every bad option ends in one named error line
// and the usage with status 2, and no argument vector can crash the parse.
#include "tools/render_options.h"

#include <gtest/gtest.h>

#include <QList>
#include <random>
#include <string>

#include "model/hand_geometry.h"
#include "tests/tools/render_tool_test_support.h"

namespace trilume {
namespace {

struct BadOptionCase {
  QStringList Arguments;
  const char* Message;  // a piece the one error line must hold
};

void PrintTo(const BadOptionCase& c, std::ostream* os) {
  *os << c.Arguments.join(QLatin1Char(' ')).toStdString();
}

class BadOptionTest : public testing::TestWithParam<BadOptionCase> {};

TEST_P(BadOptionTest, NamesTheOptionInOneLineAndExitsTwo) {
  UseUtc();
  const ToolRun run = RunTool(GetParam().Arguments);
  EXPECT_EQ(run.Status, kExitBadOptions);
  EXPECT_TRUE(run.Out.isEmpty());
  EXPECT_EQ(run.Err.count('\n'), 1) << run.Err.toStdString();
  EXPECT_TRUE(run.Err.startsWith("trilume-render: ")) << run.Err.toStdString();
  EXPECT_TRUE(run.Err.contains(GetParam().Message)) << run.Err.toStdString();
  EXPECT_TRUE(run.Err.endsWith(" (see trilume-render --help)\n")) << run.Err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, BadOptionTest,
    testing::Values(
        BadOptionCase{{"--frames", "0"}, "--frames: '0' is not a whole number 1..100000000"},
        BadOptionCase{{"--frames", "-3"}, "--frames: '-3' is not a whole number 1..100000000"},
        BadOptionCase{{"--frames", "2.5"}, "--frames: '2.5'"},
        BadOptionCase{{"--frames", " 4"}, "--frames: ' 4'"},
        BadOptionCase{{"--frames", "99999999999"}, "--frames: '99999999999'"},
        BadOptionCase{{"--frames", "100000001"}, "'100000001' is not a whole number 1..100000000"},
        // Past what an int holds: the same limit, not a different complaint.
        BadOptionCase{{"--frames", "2147483648"},
                      "'2147483648' is not a whole number 1..100000000"},
        BadOptionCase{{"--frames"}, "missing value after '--frames'"},
        BadOptionCase{{"--colour"}, "unknown option 'colour'"},
        BadOptionCase{{"--json=yes"}, "'--json'"},
        BadOptionCase{{"stray"}, "unexpected argument 'stray'"},
        BadOptionCase{{"--at", "tomorrow"}, "--at: 'tomorrow'"},
        BadOptionCase{{"--at", "2026-02-29 10:00:00.000"}, "--at: '2026-02-29 10:00:00.000'"},
        BadOptionCase{{"--at", "2026-12-08 24:00:00"}, "--at: "},
        BadOptionCase{{"--at", "0000-01-01 00:00:00"}, "--at: "},
        BadOptionCase{{"--at", "2026-12-08 00:15:30.5000"}, "--at: "},
        BadOptionCase{{"--interval-ms", "0"}, "--interval-ms: '0' is not above zero"},
        BadOptionCase{{"--interval-ms", "0.000"}, "--interval-ms: '0.000'"},
        BadOptionCase{{"--interval-ms", "-1"}, "--interval-ms: '-1'"},
        BadOptionCase{{"--interval-ms", "1e3"}, "--interval-ms: '1e3'"},
        BadOptionCase{{"--interval-ms", "15.6251"}, "finer than a microsecond"},
        BadOptionCase{{"--interval-ms", "86400000.001"}, "--interval-ms: "},
        BadOptionCase{{"--size", "280"}, "--size: '280' is not WIDTHxHEIGHT"},
        BadOptionCase{{"--size", "0x310"}, "--size: '0x310' is out of range"},
        BadOptionCase{{"--size", "280x100001"}, "1..100000"},
        BadOptionCase{{"--size", "-280x310"}, "--size: "},
        BadOptionCase{{"--set", "trace"}, "--set: 'trace' is not NAME=VALUE"},
        BadOptionCase{{"--set", "colour=1"}, "--set: 'colour' is not a setting"},
        BadOptionCase{{"--set", "traces=0"}, "--set: 'traces=0' is out of range"},
        BadOptionCase{{"--set", "traces=3001"}, "traces takes 1..3000"},
        BadOptionCase{{"--set", "colors=13"}, "colors takes 1..12"},
        BadOptionCase{{"--set", "trace=2"}, "trace takes 0..1"},
        BadOptionCase{{"--set", "fg=16"}, "fg takes 0..15"},
        BadOptionCase{{"--set", "bg=-1"}, "--set: 'bg=-1'"},
        BadOptionCase{{"--set", "trace=1,"}, "--set: '' is not NAME=VALUE"},
        BadOptionCase{{"--set", "rainbow=1", "--set", "Rainbow=1"}, "--set: 'Rainbow'"},
        BadOptionCase{{"--fill-style", "9"}, "--fill-style: '9' is not a fill style 0..8"},
        BadOptionCase{{"--fill-style", "x"}, "--fill-style: 'x'"},
        BadOptionCase{{"--clear-before", "2"}, "--clear-before: '2' is not a frame number 1..1"},
        BadOptionCase{{"--frames", "3", "--clear-before", "0"}, "--clear-before: '0'"},
        BadOptionCase{{"--png", ""}, "--png: the file name is empty"},
        BadOptionCase{{"--png", "-", "--json"}, "--png: '-' (standard output) cannot go with"},
        BadOptionCase{{"--gif", "-", "--png", "-"}, "--gif: '-' (standard output) cannot go with"},
        BadOptionCase{{"--gif", "one.out", "--png", "./one.out"}, "is the file --png writes too"},
        // Standard output under another name would interleave the two.
        BadOptionCase{{"--png", "-", "--gif", "/dev/stdout"}, "is the file --png writes too"},
        BadOptionCase{{"--size", "4294967297x1"}, "--size: '4294967297x1' is out of range"},
        BadOptionCase{{"--at", "9999-12-31 23:59:59.000", "--frames", "100"}, "past the year"},
        // Without --at the span is checked against the clock's "now".
        BadOptionCase{{"--frames", "100000000", "--interval-ms", "86400000"}, "past the year"}));

struct GoodOptionCase {
  QStringList Arguments;
  RenderOptions Expected;
};

void PrintTo(const GoodOptionCase& c, std::ostream* os) {
  *os << c.Arguments.join(QLatin1Char(' ')).toStdString();
}

// The narrowest and tallest window --size takes.
constexpr WindowSize kThinnestTallest{1, 100000};

RenderOptions With(void (*change)(RenderOptions&)) {
  RenderOptions options;
  change(options);
  return options;
}

class GoodOptionTest : public testing::TestWithParam<GoodOptionCase> {};

TEST_P(GoodOptionTest, ReadsTheValues) {
  UseUtc();
  QStringList arguments = GetParam().Arguments;
  arguments.prepend(QStringLiteral("trilume-render"));
  const RenderParse parse = ParseRenderOptions(arguments);
  ASSERT_TRUE(parse.Options.has_value()) << parse.Error.toStdString();
  const RenderOptions& got = *parse.Options;
  const RenderOptions& want = GetParam().Expected;
  EXPECT_EQ(got.StartUnixMicroseconds, want.StartUnixMicroseconds);
  EXPECT_EQ(got.Frames, want.Frames);
  EXPECT_EQ(got.IntervalMicroseconds, want.IntervalMicroseconds);
  EXPECT_EQ(got.Window.Width, want.Window.Width);
  EXPECT_EQ(got.Window.Height, want.Window.Height);
  EXPECT_EQ(got.Movement, want.Movement);
  EXPECT_EQ(got.FillStyle, want.FillStyle);
  EXPECT_EQ(got.ClearBefore, want.ClearBefore);
  EXPECT_EQ(got.Free, want.Free);
  EXPECT_EQ(got.Json, want.Json);
  EXPECT_EQ(got.Settings.size(), want.Settings.size());
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, GoodOptionTest,
    testing::Values(
        GoodOptionCase{{}, RenderOptions{}},
        GoodOptionCase{{"--interval-ms", "15.625"}, RenderOptions{}},
        GoodOptionCase{{"--interval-ms", "0.001"},
                       With([](RenderOptions& o) { o.IntervalMicroseconds = 1; })},
        GoodOptionCase{{"--interval-ms", "1000.5000"},
                       With([](RenderOptions& o) { o.IntervalMicroseconds = 1000500; })},
        GoodOptionCase{{"--at", "2026-12-08 00:15:30.500"},
                       With([](RenderOptions& o) { o.StartUnixMicroseconds = 1796688930500000; })},
        GoodOptionCase{{"--at=2026-12-08T00:15:30.5"},
                       With([](RenderOptions& o) { o.StartUnixMicroseconds = 1796688930500000; })},
        GoodOptionCase{{"--at", "2026-12-08 00:15:30"},
                       With([](RenderOptions& o) { o.StartUnixMicroseconds = 1796688930000000; })},
        GoodOptionCase{{"--size", "1x100000"},
                       With([](RenderOptions& o) { o.Window = kThinnestTallest; })},
        GoodOptionCase{{"--movement", "smooth "},
                       With([](RenderOptions& o) { o.Movement = QStringLiteral("smooth "); })},
        GoodOptionCase{{"--movement", ""}, With([](RenderOptions& o) { o.Movement = QString(); })},
        GoodOptionCase{
            {"--frames", "5", "--clear-before", "5", "--clear-before", "2", "--clear-before", "5"},
            With([](RenderOptions& o) {
              o.Frames = 5;
              o.ClearBefore = {2, 5};
            })},
        GoodOptionCase{{"--fill-style", "0", "--free", "--json"}, With([](RenderOptions& o) {
                         o.FillStyle = 0;
                         o.Free = true;
                         o.Json = true;
                       })},
        GoodOptionCase{{"--set", "traces=3000,rainbow=1", "--set", "fg=0,bg=15"},
                       With([](RenderOptions& o) { o.Settings.resize(4); })}));

TEST(PanelSettingsFromOptions, LaterAssignmentsWinAndReachTheirControls) {
  const RenderParse parse = ParseRenderOptions(
      {"trilume-render", "--set", "trace=0,rainbow=1,traces=7,colors=12,fg=9,bg=15,trace=1",
       "--set", "additionals=0,hands=0,links=1,square=1,lengths=1,numbers=0,yellow=0"});
  ASSERT_TRUE(parse.Options.has_value()) << parse.Error.toStdString();
  PlainPanelSettings panel;
  ApplyPanelSettings(parse.Options->Settings, panel);
  EXPECT_TRUE(panel.IsChecked(PanelCheckBox::kTraceOn));
  EXPECT_TRUE(panel.IsChecked(PanelCheckBox::kRainbow));
  EXPECT_FALSE(panel.IsChecked(PanelCheckBox::kShowAdditionals));
  EXPECT_FALSE(panel.IsChecked(PanelCheckBox::kShowHands));
  EXPECT_TRUE(panel.IsChecked(PanelCheckBox::kShowLinkLines));
  EXPECT_TRUE(panel.IsChecked(PanelCheckBox::kShowNumbersSquare));
  EXPECT_TRUE(panel.IsChecked(PanelCheckBox::kShowLineLengths));
  EXPECT_FALSE(panel.IsChecked(PanelCheckBox::kShowClockNumbers));
  EXPECT_FALSE(panel.IsChecked(PanelCheckBox::kShowYellowTriangle));
  EXPECT_EQ(panel.GetScrollBar1Position(), 7);
  EXPECT_EQ(panel.GetScrollBar2Position(), 12);
  EXPECT_EQ(panel.GetForegroundColor(), kRed);
  EXPECT_EQ(panel.GetBackgroundColor(), kWhite);
}

TEST(HelpAndVersion, PrintToStandardOutputAndSucceed) {
  const ToolRun help = RunTool({"--help"});
  EXPECT_EQ(help.Status, kExitOk);
  EXPECT_TRUE(help.Out.startsWith("usage: trilume-render [--at")) << help.Out.toStdString();
  for (const char* option : {"--frames", "--interval-ms", "--set", "--clear-before", "--free"}) {
    EXPECT_TRUE(help.Out.contains(option)) << option;
  }
  for (const MovementMode& mode : kMovementModes) {
    EXPECT_TRUE(help.Out.contains(std::string(mode.Name).c_str())) << mode.Name;
  }
  const ToolRun version = RunTool({"--frames", "0", "--version"});
  EXPECT_EQ(version.Status, kExitOk);
  EXPECT_TRUE(version.Out.startsWith("trilume-render 1.")) << version.Out.toStdString();
  EXPECT_TRUE(version.Err.isEmpty());
}

// The fuzzer's view in miniature: vectors made of real option names, broken
// values and junk always give exactly one outcome, never a crash.
TEST(ParseRobustness, AnyArgumentVectorGivesExactlyOneOutcome) {
  const QStringList pieces = {"--at",
                              "--frames",
                              "--interval-ms",
                              "--size",
                              "--movement",
                              "--json",
                              "--set",
                              "--fill-style",
                              "--clear-before",
                              "--png",
                              "--free",
                              "--help",
                              "-h",
                              "-",
                              "--",
                              "",
                              "0",
                              "1",
                              "-1",
                              "3100",
                              "99999999999999999999",
                              "15.625",
                              "280x310",
                              "0x0",
                              "x",
                              "2026-12-08 00:15:30.500",
                              "9999-12-31 23:59:59.999",
                              "trace=1",
                              "traces=3000,fg=1",
                              "=",
                              ",",
                              "a=b=c",
                              QString(QChar(0)),
                              QString(QChar(0xD800)),
                              "\xc3\xa9",
                              "--at=",
                              "--frames=2",
                              "-vh",
                              "--set=bg=15",
                              QString(5000, QLatin1Char('9'))};
  std::mt19937 random(20261208);
  std::uniform_int_distribution<qsizetype> pick(0, pieces.size() - 1);
  std::uniform_int_distribution<int> length(0, 8);
  for (int round = 0; round < 3000; ++round) {
    QStringList arguments;
    if (round % 50 != 0) arguments << QStringLiteral("trilume-render");
    for (int i = length(random); i > 0; --i) arguments << pieces[pick(random)];
    const RenderParse parse = ParseRenderOptions(arguments);
    const int outcomes = (parse.Options ? 1 : 0) + (parse.ShowHelp ? 1 : 0) +
                         (parse.ShowVersion ? 1 : 0) + (parse.Error.isEmpty() ? 0 : 1);
    ASSERT_EQ(outcomes, 1) << arguments.join(QLatin1Char('|')).toStdString();
    if (parse.Options) {
      EXPECT_GE(parse.Options->Frames, 1);
      EXPECT_GE(parse.Options->IntervalMicroseconds, 1);
    }
  }
}

}  // namespace
}  // namespace trilume
