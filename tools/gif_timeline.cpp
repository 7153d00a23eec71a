// SPDX-License-Identifier: MIT
#include "tools/gif_timeline.h"

#include <algorithm>

namespace trilume {

GifTimeline::GifTimeline(std::int64_t intervalMicroseconds, int every)
    : Step(std::max<std::int64_t>(intervalMicroseconds, 0) * std::max(every, 1)) {}

std::int64_t GifTimeline::Next() {
  // Rounded to the nearest hundredth, halves up.
  auto centiseconds = [](std::int64_t micros) { return (micros + 5000) / 10000; };
  const std::int64_t start = centiseconds(Step * Kept);
  ++Kept;
  return centiseconds(Step * Kept) - start;
}

std::int64_t GifStretch::Shown(std::int64_t delay) {
  const std::int64_t owed = delay - Behind;
  Behind = std::max(kMinGifDelay - owed, std::int64_t{0});
  return std::max(owed, std::int64_t{kMinGifDelay});
}

int GifDelayPiece(std::int64_t owed) {
  if (owed <= kMaxGifDelay) return static_cast<int>(owed);
  if (owed - kMaxGifDelay < kMinGifDelay) return kMaxGifDelay - kMinGifDelay;
  return kMaxGifDelay;
}

QString GifPaceWarning(std::int64_t intervalMicroseconds, int every) {
  const std::int64_t step = intervalMicroseconds * std::max(every, 1);
  if (step >= kMinGifDelay * std::int64_t{10000}) return {};
  // Short enough for one terminal line, suggestion included.
  const QString slow = QStringLiteral(
                           "warning: --gif: players show %1 ms frames for 20 ms, so the clip "
                           "may play slow")
                           .arg(static_cast<double>(step) / 1000.0);
  if (intervalMicroseconds <= 0) return slow;
  const std::int64_t fewest =
      (kMinGifDelay * std::int64_t{10000} + intervalMicroseconds - 1) / intervalMicroseconds;
  return slow + QStringLiteral("; --every %1 plays true").arg(fewest);
}

}  // namespace trilume
