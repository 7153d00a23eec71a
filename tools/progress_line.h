// SPDX-License-Identifier: MIT
#pragma once

#include <QIODevice>
#include <QString>
#include <cstdint>
#include <functional>

namespace trilume {

// The clock a real run's progress reads: the system's steady one.
std::int64_t SteadyMicroseconds();

// "trilume-render: 1234 of 20000 frames, 6 %, 0:09 left": frames done of
// `total` after `elapsedMicroseconds`, the percent rounded down so that
// 100 % means done, and the time left at the pace so far, to the second.
QString ProgressText(int done, int total, std::int64_t elapsedMicroseconds);

// The one line a long run keeps rewriting on a terminal so that it shows
// it is alive. Nothing shows during the first kQuietMicroseconds, so a
// short run prints what it always printed; after that the line is
// rewritten at most once every kRewriteMicroseconds, with a carriage
// return and blanks rather than terminal codes, and cleared when the run
// ends or this object goes.
class ProgressLine {
 public:
  // Microseconds from any fixed instant, never going back.
  using Clock = std::function<std::int64_t()>;

  static constexpr std::int64_t kQuietMicroseconds = 1'000'000;
  static constexpr std::int64_t kRewriteMicroseconds = 250'000;

  // Shows the progress of `total` frames on `terminal`, or nothing when it
  // is null. The run starts now.
  ProgressLine(QIODevice* terminal, int total, Clock now);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // After frame `done` of the total.
  void Update(int done);
  // After the last frame: a line that was shown says 100 % and goes.
  void Finish();
  // Takes the line away, if one shows, so that the next line written to
  // the terminal starts at its left edge.
  void Clear() noexcept;

 private:
  void Show(const QString& text);

  QIODevice* Terminal;
  int Total;
  Clock Now;
  std::int64_t Start;
  std::int64_t LastShown = 0;
  qsizetype Width = 0;  // of the line showing; 0 for none
};

}  // namespace trilume
