// SPDX-License-Identifier: MIT
// TRILUME: the desktop clock whose hand tips make a triangle.
#include <QApplication>
#include <QIcon>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

#include "model/clock_state.h"
#include "model/date_time.h"
#include "ui/command_line.h"
#include "ui/control_panel.h"
#include "ui/desktop_session.h"
#include "ui/error_window.h"
#include "ui/main_window.h"
#include "ui/qt_tick_source.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");

  // --help, --version and mistakes are answered before anything needs a
  // display, and before a window could open.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const trilume::StartupCommand command =
      trilume::ReadStartupCommand(arguments, QStringLiteral(TRILUME_VERSION));
  if (command.What == trilume::StartupCommand::Action::kPrint) {
    std::fputs(command.Text.toLocal8Bit().constData(), stdout);
    return std::fflush(stdout) == 0 ? command.ExitStatus : 1;
  }
  if (command.What == trilume::StartupCommand::Action::kFail) {
    std::fprintf(stderr, "%s\n", command.Text.toLocal8Bit().constData());
    return command.ExitStatus;
  }

  // The clock's state, and the record of when the program started, come
  // before the application object.
  static trilume::ClockState state;
  static const trilume::SystemClock clock;
  state.StartTime = trilume::Now(clock);

  // Without a display, or with one that does not answer, the toolkit would
  // abort; say what is missing instead.
  const trilume::DesktopEnvironment desktop{std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                                            std::getenv("QT_QPA_PLATFORM"),
                                            std::getenv("XDG_RUNTIME_DIR")};
  if (!trilume::HasDesktopSession(desktop, argc, argv)) {
    std::fprintf(stderr, "%s\n", trilume::kNoDesktopMessage);
    return 1;
  }
  if (const std::string unreachable = trilume::UnreachableDisplayMessage(desktop, argc, argv);
      !unreachable.empty()) {
    std::fprintf(stderr, "%s\n", unreachable.c_str());
    return 1;
  }

  // Qt's own event loop wakes for the 64 frames a second with less work than
  // the GLib one, and nothing here needs GLib's. Whoever sets the variable
  // (even empty, which keeps GLib) decides for themselves.
  if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
  // With shared memory each repaint costs a round trip to the X server
  // before the next one (the server must be done reading the segment), which
  // wakes the X event thread and this one again; the clock's few changed
  // pixels go down the socket for less.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");

  std::unique_ptr<QApplication> application;
  try {
    application = std::make_unique<QApplication>(argc, argv);
    // The name, not the display name: Qt would append a display name to
    // every window title, and the main window's title is the status line.
    QApplication::setApplicationName(QStringLiteral("TRILUME"));
    // The desktop entry's and the icon's name: Wayland compositors match
    // the window to the entry by it.
    QApplication::setDesktopFileName(QString::fromLatin1(trilume::kApplicationId));
    QApplication::setWindowIcon(QIcon::fromTheme(QString::fromLatin1(trilume::kApplicationId)));

    trilume::QtTickSource ticks;
    trilume::TForm1 form1(state, clock, ticks);
    trilume::TForm2 form2;
    // The panel may still be open: the main window's close ends the program.
    QObject::connect(&form1, &trilume::TForm1::Closed, application.get(), &QApplication::quit);
    form1.show();
    QApplication::exec();
  } catch (const std::exception& error) {
    trilume::ShowStartupException(error.what());
    return 1;
  } catch (...) {
    trilume::ShowStartupException("the clock could not start");
    return 1;
  }
  return 0;
}
