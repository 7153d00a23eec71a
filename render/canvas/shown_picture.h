// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QRect>
#include <array>

namespace trilume {

// A copy of the canvas pixels last handed to the screen, so that a repaint
// covers only what a frame really changed. Every frame fills the whole
// background again, so which pixels a frame touched says little; which
// pixels now differ from the shown ones says exactly what the screen needs.
//
// Contract: the caller passes `changed`, a rectangle holding every pixel of
// the canvas that changed since the last Take. After Take returns, the copy
// equals `canvas` inside `area`, and every pixel of `area` where the two
// differed before the call lies in one of the returned rectangles. So a caller who repaints the
// returned rectangles after every change of the canvas keeps the screen equal
// to the canvas. At most kMaxRects rectangles come back: nearby changes are
// joined, and the cheapest joins are made first when there are more.
// A call whose area or canvas size differs from the last call's (and the
// first call) takes the whole area and returns it as one rectangle: pixels
// that were outside the last area were never compared. Allocates only then.
// Only 32-bit images are compared; for others every call returns the whole
// area. Only `changed` is compared (nothing, for an empty rectangle); a new
// area or size is still taken whole.
class ShownPicture {
 public:
  static constexpr int kMaxRects = 4;

  struct Changes {
    std::array<QRect, kMaxRects> Rects{};
    int Count = 0;
  };

  // `area` is clipped to the canvas.
  Changes Take(const QImage& canvas, const QRect& area, const QRect& changed);
  // The next Take returns its whole area.
  void Forget() { Area = QRect(); }

 private:
  QImage Shown;  // same size and format as the canvas
  QRect Area;    // compared last time; empty: compare nothing, take all
};

}  // namespace trilume
