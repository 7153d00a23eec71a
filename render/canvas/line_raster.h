// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>

namespace trilume {

// One line's pixels inside an image, ready to be written. With Length the
// longer and Rise the shorter of |x1 - x0| and |y1 - y0|, pixel i of the line
// from (x0, y0) to (x1, y1) (0 <= i < Length) lies i pixels along the longer
// (major) axis and
//   floor((2 * i * Rise + Length) / (2 * Length))
// pixels along the other (minor) one: the nearest pixel, halves rounded away
// from the start. The end point, pixel Length, is never drawn.
struct LinePlan {
  std::int64_t X = 0;  // the first pixel written, inside the image
  std::int64_t Y = 0;
  std::int64_t Count = 0;  // pixels written from the first on, >= 1
  std::int64_t Length = 0;
  std::int64_t Rise = 0;
  // Of the first pixel written, in [-2 * Length, 0): each step along the
  // major axis adds 2 * Rise, and when that reaches 0 the step also moves one
  // pixel along the minor axis and 2 * Length is taken off.
  std::int64_t Error = 0;
  bool XMajor = true;
  int MajorSign = 1;  // +1 or -1
  int MinorSign = 1;
};

// Plans the pixels of the line from (x0, y0) to (x1, y1) that lie in a
// width x height image: exactly those the unclipped line would put there,
// at any coordinates, in time that does not depend on them. False, leaving
// `plan` unspecified, when there are none.
bool PlanLine(int width, int height, int x0, int y0, int x1, int y1, LinePlan& plan);

// Writes `argb` on the planned pixels of an image of at least the planned
// width x height whose rows start `stride` pixels apart at `pixels`. The
// line is written a run at a time: a run is the pixels between two moves
// along the minor axis, or for lines steeper than 1:2 the pixels between two
// steps that do not move along it; runs of neighbouring pixels in a row are
// written with wide stores.
void PlotLine(std::uint32_t* pixels, std::ptrdiff_t stride, const LinePlan& plan,
              std::uint32_t argb);
// PlotLine, writing only the pixels inside [left, right) x [top, bottom),
// one at a time: for the few lines that cross such a bound.
void PlotLineWithin(std::uint32_t* pixels, std::ptrdiff_t stride, const LinePlan& plan,
                    std::uint32_t argb, std::int64_t left, std::int64_t top, std::int64_t right,
                    std::int64_t bottom);

}  // namespace trilume
