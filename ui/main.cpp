// TRILUME: the desktop clock whose hand tips make a triangle.
#include <QApplication>
#include <QIcon>
#include <clocale>
#include <cstdio>
#include <exception>
#include <memory>

#include "model/clock_state.h"
#include "model/date_time.h"
#include "ui/command_line.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/show_exception.h"

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
    std::fprintf(stderr, "trilume: %s\n", command.Text.toLocal8Bit().constData());
    return command.ExitStatus;
  }

  // The clock's state, and the record of when the program started, come
  // before the application object.
  static trilume::ClockState state;
  static const trilume::SystemClock clock;
  state.StartTime = trilume::Now(clock);

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

    trilume::TForm1 form1(state, clock);
    trilume::TForm2 form2;
    // The panel may still be open: the main window's close ends the program.
    QObject::connect(&form1, &trilume::TForm1::Closed, application.get(), &QApplication::quit);
    form1.show();
    QApplication::exec();
  } catch (const std::exception& error) {
    trilume::ShowStartupException(error.what());
  } catch (...) {
    trilume::ShowStartupException("TRILUME could not start.");
  }
  return 0;
}
