// SPDX-License-Identifier: MIT
#include "tools/progress_line.h"

#include <QFileDevice>
#include <algorithm>
#include <chrono>

namespace trilume {
namespace {

QString Duration(std::int64_t seconds) {
  const auto twoDigits = [](std::int64_t value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
  };
  if (seconds < 3600) {
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(twoDigits(seconds % 60));
  }
  return QStringLiteral("%1:%2:%3")
      .arg(seconds / 3600)
      .arg(twoDigits(seconds / 60 % 60), twoDigits(seconds % 60));
}

}  // namespace

std::int64_t SteadyMicroseconds() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

QString ProgressText(int done, int total, std::int64_t elapsedMicroseconds) {
  total = std::max(total, 1);
  done = std::clamp(done, 0, total);
  const std::int64_t percent = std::int64_t{done} * 100 / total;
  QString text =
      QStringLiteral("trilume-render: %1 of %2 frames, %3 %").arg(done).arg(total).arg(percent);
  if (done == 0) return text;
  // Rounded to the nearest second.
  const double left = static_cast<double>(std::max<std::int64_t>(elapsedMicroseconds, 0)) *
                      (total - done) / done / 1e6;
  return text + QStringLiteral(", %1 left").arg(Duration(static_cast<std::int64_t>(left + 0.5)));
}

ProgressLine::ProgressLine(QIODevice* terminal, int total, Clock now)
    : Terminal(terminal), Total(total), Now(std::move(now)), Start(Terminal ? Now() : 0) {}

ProgressLine::~ProgressLine() { Clear(); }

void ProgressLine::Update(int done) {
  if (Terminal == nullptr) return;
  const std::int64_t now = Now();
  if (now - Start < kQuietMicroseconds) return;
  if (Width > 0 && now - LastShown < kRewriteMicroseconds) return;
  LastShown = now;
  Show(ProgressText(done, Total, now - Start));
}

void ProgressLine::Finish() {
  if (Width > 0) Show(ProgressText(Total, Total, Now() - Start));
  Clear();
}

void ProgressLine::Clear() noexcept {
  if (Width == 0) return;
  try {
    Terminal->write(QByteArray(1, '\r') + QByteArray(Width, ' ') + '\r');
    if (auto* file = qobject_cast<QFileDevice*>(Terminal)) file->flush();
  } catch (...) {
    // Memory ran out: the line stays, and the next one is written after it.
  }
  Width = 0;
}

void ProgressLine::Show(const QString& text) {
  // Blanks cover what a longer line before left.
  const QByteArray line = text.toUtf8();
  Terminal->write('\r' + line + QByteArray(std::max<qsizetype>(Width - line.size(), 0), ' '));
  if (auto* file = qobject_cast<QFileDevice*>(Terminal)) file->flush();
  Width = std::max(Width, line.size());
}

}  // namespace trilume
