// SPDX-License-Identifier: MIT
// The progress line: when it shows and what it says, on a fake clock; and
// the real program on a terminal, a pipe, and a terminal with --quiet.
#include "tools/progress_line.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QBuffer>
#include <QRegularExpression>
#include <chrono>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace trilume {
namespace {

struct LineCase {
  const char* Name;
  int Total;
  std::vector<std::pair<std::int64_t, int>> Updates;  // (microseconds since the start, done)
  std::string Written;                                // with Finish(), whatever was shown
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.Name; }

class ProgressLineTest : public testing::TestWithParam<LineCase> {};

// A short run must print what it always printed; a long one at most four
// lines a second, a shorter line must not leave the end of a longer one,
// and the last must say 100 % and go.
TEST_P(ProgressLineTest, ShowsALongRunOnlyAndClearsItsLine) {
  const LineCase& c = GetParam();
  QBuffer terminal;
  terminal.open(QIODevice::WriteOnly);
  std::int64_t now = 5'000'000;
  {
    ProgressLine line(&terminal, c.Total, [&now] { return now; });
    for (const auto& [at, done] : c.Updates) {
      now = 5'000'000 + at;
      line.Update(done);
    }
    now += 100'000;
    line.Finish();
  }
  EXPECT_EQ(terminal.data().toStdString(), c.Written);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ProgressLineTest,
    testing::Values(
        LineCase{"UnderASecond", 100, {{100'000, 10}, {999'999, 99}, {999'999, 100}}, ""},
        LineCase{"FourTimesASecond",
                 400,
                 {{1'000'000, 100}, {1'249'999, 120}, {1'250'000, 125}},
                 "\rtrilume-render: 100 of 400 frames, 25 %, 0:03 left"
                 "\rtrilume-render: 125 of 400 frames, 31 %, 0:03 left"
                 "\rtrilume-render: 400 of 400 frames, 100 %, 0:00 left\r" +
                     std::string(51, ' ') + "\r"},
        // The second line is two characters shorter than the first.
        LineCase{"HoursLeftThenMinutes",
                 3601,
                 {{1'000'000, 1}, {1'250'000, 10}},
                 "\rtrilume-render: 1 of 3601 frames, 0 %, 1:00:00 left"
                 "\rtrilume-render: 10 of 3601 frames, 0 %, 7:29 left  "
                 "\rtrilume-render: 3601 of 3601 frames, 100 %, 0:00 left\r" +
                     std::string(53, ' ') + "\r"}),
    [](const testing::TestParamInfo<LineCase>& param) { return std::string(param.param.Name); });

// The real program, its standard error on a terminal or a pipe.
struct StreamCase {
  const char* Name;
  bool Terminal;
  bool Quiet;
};

void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.Name; }

struct Finished {
  QByteArray Err;
  int Status = -1;
  double Seconds = 0;
};

Finished RunWithStandardError(bool terminal, std::vector<std::string> arguments) {
  Finished result;
  int reader = -1;
  int writer = -1;
  if (terminal) {
    if (openpty(&reader, &writer, nullptr, nullptr, nullptr) != 0) return result;
  } else {
    int ends[2];
    if (pipe(ends) != 0) return result;
    reader = ends[0];
    writer = ends[1];
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, writer, STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, reader);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(writer);
  if (spawned == 0) {
    // A terminal's reader gets EIO rather than 0 once the child has gone.
    char buffer[4096];
    for (ssize_t got; (got = ::read(reader, buffer, sizeof buffer)) > 0;)
      result.Err.append(buffer, got);
    int status = 0;
    waitpid(child, &status, 0);
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  ::close(reader);
  result.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return result;
}

class ProgressStreamTest : public testing::TestWithParam<StreamCase> {};

// Scripts and pipes must see exactly what they saw before the line
// existed, and --quiet must silence it on a terminal too.
TEST_P(ProgressStreamTest, ShowsTheLineOnATerminalAlone) {
  const StreamCase& c = GetParam();
  setenv("TZ", "UTC", 1);
  std::vector<std::string> arguments{TRILUME_BINARY_DIR "/tools/trilume-render",
                                     "--at",
                                     "2026-12-08 10:09:30.000",
                                     "--frames",
                                     "8000",
                                     "--set",
                                     "traces=3000,rainbow=1"};
  if (c.Quiet) arguments.emplace_back("--quiet");
  const Finished run = RunWithStandardError(c.Terminal, arguments);
  ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
  // The line waits a second: a machine fast enough to finish sooner shows
  // none, whatever the stream.
  if (run.Seconds < 1.3) GTEST_SKIP() << "the run took only " << run.Seconds << " s";
  if (!c.Terminal || c.Quiet) {
    EXPECT_EQ(run.Err.toStdString(), "");
    return;
  }
  static const QRegularExpression kLines(QStringLiteral(
      "^(\\rtrilume-render: [0-9]+ of 8000 frames, [0-9]+ %, [0-9]+:[0-9]{2} left *)+"
      "\\rtrilume-render: 8000 of 8000 frames, 100 %, 0:00 left *\\r +\\r$"));
  EXPECT_TRUE(kLines.match(QString::fromUtf8(run.Err)).hasMatch()) << run.Err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Streams, ProgressStreamTest,
                         testing::Values(StreamCase{"Terminal", true, false},
                                         StreamCase{"Pipe", false, false},
                                         StreamCase{"QuietTerminal", true, true}),
                         [](const testing::TestParamInfo<StreamCase>& param) {
                           return std::string(param.param.Name);
                         });

}  // namespace
}  // namespace trilume
