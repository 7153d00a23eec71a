// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdint>

namespace trilume {

// The longest a GIF frame can show, in hundredths of a second, and the
// shortest that players keep to: they show a frame of 0 or 1 hundredths for
// 10.
inline constexpr int kMaxGifDelay = 65535;
inline constexpr int kMinGifDelay = 2;

// The delays of the frames kept for a GIF, every `every`-th of frames
// `intervalMicroseconds` apart, in hundredths of a second: the run's clock
// at a kept frame's end rounded, less the same at its start, so that
// rounding never adds up and a clip lasts as long as its run to within
// 10 ms. A delay may be below kMinGifDelay, even 0: GifAnimation folds it
// into the frame before when the picture stays, and stretches it otherwise.
class GifTimeline {
 public:
  GifTimeline(std::int64_t intervalMicroseconds, int every);
  // The next kept frame's delay.
  std::int64_t Next();

 private:
  std::int64_t Step;  // microseconds from one kept frame to the next
  std::int64_t Kept = 0;
};

// What the frames written show for, in the order written. Players show a
// shorter frame than kMinGifDelay for 100 ms, so such a frame is stretched
// and the time that adds comes off the frames after it: a clip whose
// pictures change faster than that only for a while catches up with its
// run.
class GifStretch {
 public:
  // How long a frame whose delay says `delay` shows: at least kMinGifDelay.
  std::int64_t Shown(std::int64_t delay);

 private:
  // Hundredths of a second the frames written run behind their delays.
  std::int64_t Behind = 0;
};

// The part of `owed` (at least kMinGifDelay) that one frame says: all of it
// when it fits, else the most that leaves no remainder too short to show.
int GifDelayPiece(std::int64_t owed);

// One line for a clip that plays slower than its run, naming the smallest
// --every that plays true; empty when it plays true.
QString GifPaceWarning(std::int64_t intervalMicroseconds, int every);

}  // namespace trilume
