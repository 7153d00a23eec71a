// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace trilume {

inline constexpr char kProgramName[] = "trilume";
// The reverse-DNS name of the desktop entry, the icon and the AppStream
// metadata; the window gives it to the desktop so that both are matched.
inline constexpr char kApplicationId[] = "io.github.trilume.Trilume";

// What trilume's command line asks for, decided before any application
// object exists, so that --help, --version and a mistyped option are
// answered without a display and before a window opens.
struct StartupCommand {
  enum class Action {
    kRun,    // start the clock; Qt's own options are left for QApplication
    kPrint,  // write Text to standard output and exit with ExitStatus (0)
    kFail,   // write Text, one line that starts "trilume: ", to standard error; exit
             // with ExitStatus
  };
  static constexpr int kExitUsage = 2;

  Action What = Action::kRun;
  QString Text;
  int ExitStatus = 0;
};

// Reads a command line; arguments[0] is the program name (an empty list is
// taken as no options). The clock itself takes no options but --help and
// --version; Qt's standard options (-platform, -style, -display, ...) are
// accepted and ignored here. Anything else, including a positional
// argument, is a kFail with status 2. Needs no application object, writes
// no global state and throws nothing.
StartupCommand ReadStartupCommand(const QStringList& arguments, const QString& version) noexcept;

}  // namespace trilume
