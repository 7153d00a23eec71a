// SPDX-License-Identifier: MIT
// trilume-render: runs clock frames without a window. All the work is in the
// trilume_tool library; this only sets up the process around it.
#include <unistd.h>

#include <QFile>
#include <QGuiApplication>
#include <clocale>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <optional>

#include "model/date_time.h"
#include "tools/render_options.h"
#include "tools/render_run.h"

namespace {

QtMessageHandler gQtHandler = nullptr;

// Qt notes a missing XDG_RUNTIME_DIR (cron, containers, su -) while its
// platform starts, though nothing here uses that directory; a headless tool
// prints only its own lines. Everything else passes on.
void QuietStartupNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: "))) return;
  gQtHandler(type, context, text);
}

int Run(int argc, char** argv) {
  // Time texts follow the user's locale, as the clock's own do.
  std::setlocale(LC_ALL, "");

  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

  // Only a run draws text, and text needs a platform plugin; a bad command
  // line, --help and --version get their answer without starting one.
  std::unique_ptr<QGuiApplication> app;
  const std::optional<trilume::RenderOptions> run = trilume::ParseRenderOptions(arguments).Options;
  if (run) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    gQtHandler = qInstallMessageHandler(&QuietStartupNotes);
    app = std::make_unique<QGuiApplication>(argc, argv);
    qInstallMessageHandler(gQtHandler);
  }

  QFile out;
  QFile err;
  if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly)) {
    return trilume::kExitIoFailure;
  }
  const trilume::SystemClock clock;
  // JSON lines on the same terminal would break into the progress line.
  const bool progress =
      ::isatty(STDERR_FILENO) == 1 && !(run && run->Json && ::isatty(STDOUT_FILENO) == 1);
  int status = trilume::RunRenderTool(arguments, clock, out, err, progress);
  if (!out.flush() && status == trilume::kExitOk) {
    err.write("trilume-render: cannot write the report: " + out.errorString().toUtf8() + '\n');
    status = trilume::kExitIoFailure;
  }
  err.flush();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  // What the run could not handle itself (memory gone while Qt starts or a
  // line is written, say) ends in one line and status 1 all the same, after
  // the objects that hold a half-made file have removed it.
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("trilume-render: out of memory\n", stderr);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "trilume-render: %s\n", error.what());
  } catch (...) {
    std::fputs("trilume-render: stopped by an unknown error\n", stderr);
  }
  return trilume::kExitIoFailure;
}
