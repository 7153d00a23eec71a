// SPDX-License-Identifier: MIT
#include "ui/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <array>

#include "cli/message_line.h"

namespace trilume {
namespace {

// The options QGuiApplication, QApplication and the xcb plugin remove from
// the command line themselves. They are known here only so that the check
// for mistakes, which runs before those classes exist, lets them through;
// --help-all lists them.
struct QtOption {
  const char* Name;
  const char* ValueName;  // nullptr: a switch without a value
  const char* Description;
};

constexpr std::array<QtOption, 21> kQtOptions = {{
    {"platform", "name", "Qt platform plugin: xcb, wayland or offscreen."},
    {"platformpluginpath", "path", "Folder searched for Qt platform plugins."},
    {"platformtheme", "name", "Qt platform theme."},
    {"plugin", "name", "Additional Qt input plugin."},
    {"qwindowgeometry", "WxH+X+Y", "Geometry of the main window."},
    {"geometry", "WxH+X+Y", "Geometry of the main window (X11)."},
    {"qwindowtitle", "title", "Title of the main window until the clock writes it."},
    {"title", "title", "Title of the main window until the clock writes it (X11)."},
    {"qwindowicon", "file", "Icon of the windows."},
    {"icon", "file", "Icon of the windows (X11)."},
    {"session", "id", "Session management id."},
    {"display", "display", "X11 display to connect to."},
    {"name", "name", "X11 instance name of the windows."},
    {"style", "style", "Qt widget style, for example Fusion."},
    {"stylesheet", "file", "Qt style sheet file."},
    {"reverse", nullptr, "Right-to-left layout."},
    {"testability", nullptr, "Loads Qt's testability plugin."},
    {"sync", nullptr, "Synchronous X11 calls, for debugging."},
    {"widgetcount", nullptr, "Prints the number of widgets left at the end."},
    {"nograb", nullptr, "Never grab the mouse or keyboard (debugging)."},
    {"dograb", nullptr, "Grab the mouse and keyboard even under a debugger."},
}};

void AddOptions(QCommandLineParser& parser, bool showQtOptions) {
  // Qt's own options are single-dash words (-platform xcb); read as short
  // options they would be a cluster of unknown letters.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(QStringLiteral(
      "TRILUME, an analogue clock whose hand tips are the corners of a triangle.\n"
      "A click on the clock opens the control panel; a double-click, or the P key,\n"
      "changes the background pattern. The S key has a screen reader speak the status\n"
      "line (the title), as Orca's read-title command does; otherwise the clock stays\n"
      "silent while nothing is pressed. Qt's standard options such as -platform and\n"
      "-style are accepted; --help-all lists them."));
  parser.addHelpOption();
  parser.addVersionOption();
  for (const QtOption& qt : kQtOptions) {
    QCommandLineOption option(QString::fromLatin1(qt.Name), QString::fromLatin1(qt.Description));
    if (qt.ValueName != nullptr) option.setValueName(QString::fromLatin1(qt.ValueName));
    if (!showQtOptions) option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
}

StartupCommand Fail(const QString& message) {
  StartupCommand command;
  command.What = StartupCommand::Action::kFail;
  command.Text = UsageErrorLine(kProgramName, message);
  command.ExitStatus = StartupCommand::kExitUsage;
  return command;
}

StartupCommand Print(const QString& text) {
  StartupCommand command;
  command.What = StartupCommand::Action::kPrint;
  command.Text = text;
  return command;
}

StartupCommand Read(QStringList arguments, const QString& version) {
  if (arguments.isEmpty()) arguments << QString::fromLatin1(kProgramName);
  QCommandLineParser parser;
  AddOptions(parser, false);
  if (!parser.parse(arguments)) return Fail(ParserErrorMessage(parser.errorText()));
  const bool helpAll = parser.isSet(QStringLiteral("help-all"));
  if (helpAll || parser.isSet(QStringLiteral("help"))) {
    QCommandLineParser shown;
    AddOptions(shown, helpAll);
    // Without an application object Qt's usage line lacks the program name.
    QString help = shown.helpText();
    help.remove(0, help.indexOf(QLatin1Char('\n')) + 1);
    return Print(QStringLiteral("Usage: trilume [options]\n") + help);
  }
  if (parser.isSet(QStringLiteral("version"))) {
    return Print(QStringLiteral("trilume %1\n").arg(version));
  }
  const QStringList positional = parser.positionalArguments();
  if (!positional.isEmpty()) {
    return Fail(QStringLiteral("unexpected argument '%1'").arg(OneLineMessage(positional.first())));
  }
  return {};
}

}  // namespace

StartupCommand ReadStartupCommand(const QStringList& arguments, const QString& version) noexcept {
  try {
    return Read(arguments, version);
  } catch (...) {
    // Only an exhausted memory gets here.
    StartupCommand command;
    command.What = StartupCommand::Action::kFail;
    command.Text = QStringLiteral("trilume: out of memory while reading the options");
    command.ExitStatus = StartupCommand::kExitUsage;
    return command;
  }
}

}  // namespace trilume
