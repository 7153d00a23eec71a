// SPDX-License-Identifier: MIT
// The real trilume program's command line, run without a display that
// answers: help, version and mistakes must be answered before Qt looks for
// a screen, a mistake must not open the clock, and a display that does not
// answer is named in one line.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace trilume {
namespace {

struct CommandLineCase {
  const char* Name;
  std::vector<const char*> Arguments;
  int ExitStatus;
  const char* Stdout;  // regular expression for the whole output
  const char* Stderr;
  // Set for the run, after DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM
  // are removed.
  std::vector<std::pair<const char*, const char*>> Environment = {};
};

// Names the case in test listings.
void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << c.Name; }

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, AnswersWithoutADisplay) {
  const CommandLineCase& c = GetParam();
  const QString program = QStringLiteral(TRILUME_BINARY_DIR "/ui/trilume");
  ASSERT_TRUE(QFile::exists(program)) << "build the trilume target first";
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    environment.remove(QString::fromLatin1(name));
  }
  for (const auto& [name, value] : c.Environment) {
    environment.insert(QString::fromLatin1(name), QString::fromUtf8(value));
  }
  QStringList arguments;
  for (const char* argument : c.Arguments) arguments << QString::fromUtf8(argument);

  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  if (!process.waitForFinished(120000)) {
    process.kill();
    process.waitForFinished();
    FAIL() << "still running after two minutes: the clock started";
  }
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), c.ExitStatus);
  const QString out = QString::fromUtf8(process.readAllStandardOutput());
  const QString err = QString::fromUtf8(process.readAllStandardError());
  const QRegularExpression outPattern(QRegularExpression::anchoredPattern(c.Stdout),
                                      QRegularExpression::DotMatchesEverythingOption);
  const QRegularExpression errPattern(QRegularExpression::anchoredPattern(c.Stderr),
                                      QRegularExpression::DotMatchesEverythingOption);
  EXPECT_TRUE(outPattern.match(out).hasMatch()) << out.toStdString();
  EXPECT_TRUE(errPattern.match(err).hasMatch()) << err.toStdString();
}

constexpr char kHelp[] = "Usage: trilume \\[options\\]\nTRILUME, an analogue clock.*--version.*";
constexpr char kVersion[] = "trilume [0-9]+\\.[0-9]+\\.[0-9]+\n";

INSTANTIATE_TEST_SUITE_P(
    Options, CommandLineTest,
    ::testing::Values(
        CommandLineCase{"Help", {"--help"}, 0, kHelp, ""},
        CommandLineCase{"ShortHelp", {"-h"}, 0, kHelp, ""},
        CommandLineCase{"HelpAllListsQtOptions", {"--help-all"}, 0, ".*-platform <name>.*", ""},
        CommandLineCase{"Version", {"--version"}, 0, kVersion, ""},
        // Qt's own options are let through for QApplication.
        CommandLineCase{
            "QtOptionsPass", {"-platform", "xcb", "-style=Fusion", "-v"}, 0, kVersion, ""},
        CommandLineCase{"UnknownOption",
                        {"--bogus"},
                        2,
                        "",
                        "trilume: unknown option 'bogus' \\(see trilume --help\\)\n"},
        CommandLineCase{"ControlCharactersStayOnOneLine",
                        {"--a\nb"},
                        2,
                        "",
                        "trilume: unknown option 'a\\\\x0ab' \\(see trilume --help\\)\n"},
        CommandLineCase{"MissingValue",
                        {"-platform"},
                        2,
                        "",
                        "trilume: missing value after '-platform' \\(see trilume --help\\)\n"},
        // A display nobody serves: one line naming it, not the toolkit's abort.
        CommandLineCase{"DeadXDisplay",
                        {},
                        1,
                        "",
                        "trilume: the X display ':9731' \\(DISPLAY\\) does not answer; .*\n",
                        {{"DISPLAY", ":9731"}}},
        // -display is the xcb platform's DISPLAY, and goes before it.
        CommandLineCase{"DeadDisplayArgument",
                        {"-display", ":9732"},
                        1,
                        "",
                        "trilume: the X display ':9732' \\(-display\\) does not answer; .*\n"},
        CommandLineCase{"DeadDisplayArgumentBeforeDisplay",
                        {"--display", ":9733"},
                        1,
                        "",
                        "trilume: the X display ':9733' \\(-display\\) does not answer; .*\n",
                        {{"DISPLAY", ":9731"}}},
        // Platform arguments after the name do not hide the platform.
        CommandLineCase{"XcbWithArgumentsButNoDisplay",
                        {"-platform", "xcb:display=:9734"},
                        1,
                        "",
                        "trilume: the xcb platform has no X display: .*\n"},
        CommandLineCase{"NoDesktop",
                        {},
                        1,
                        "",
                        "trilume: the clock needs a desktop session \\(DISPLAY, WAYLAND_DISPLAY or "
                        "-display\\); trilume-render makes pictures without one\n"},
        CommandLineCase{"DeadWaylandDisplay",
                        {},
                        1,
                        "",
                        "trilume: the Wayland display 'trilume-nowhere' \\(WAYLAND_DISPLAY\\) "
                        "does not answer; .*\n",
                        {{"WAYLAND_DISPLAY", "trilume-nowhere"}, {"XDG_RUNTIME_DIR", "/tmp"}}},
        CommandLineCase{"Argument",
                        {"clock.txt"},
                        2,
                        "",
                        "trilume: unexpected argument 'clock\\.txt' \\(see trilume --help\\)\n"}),
    [](const ::testing::TestParamInfo<CommandLineCase>& param) {
      return std::string(param.param.Name);
    });

}  // namespace
}  // namespace trilume
