// SPDX-License-Identifier: MIT
#include "render/canvas/line_raster.h"

#include <algorithm>
#include <cstring>

namespace trilume {

namespace {

// The one wide type in here: the inverse of the error step at an edge
// multiplies two 33-bit quantities. Only used for lines that need clipping.
__extension__ typedef __int128 Int128;

// Minor(i) = floor((2 * i * Rise + Length) / (2 * Length)).
std::int64_t MinorAt(std::int64_t length, std::int64_t rise, std::int64_t i) {
  return static_cast<std::int64_t>((Int128{2} * i * rise + length) / (Int128{2} * length));
}

// The first i with Minor(i) >= k, for k >= 1 and rise > 0:
// ceil((2k - 1) * Length / (2 * Rise)).
std::int64_t FirstWithMinorAtLeast(std::int64_t length, std::int64_t rise, std::int64_t k) {
  const Int128 num = (Int128{2} * k - 1) * length;
  const Int128 den = Int128{2} * rise;
  return static_cast<std::int64_t>((num + den - 1) / den);
}

// Range of i in [lo, hi] keeping a0 + sign * i inside [0, limit).
void ClipAxis(std::int64_t a0, int sign, std::int64_t limit, std::int64_t& lo, std::int64_t& hi) {
  if (sign > 0) {
    lo = std::max(lo, -a0);
    hi = std::min(hi, limit - 1 - a0);
  } else {
    lo = std::max(lo, a0 - (limit - 1));
    hi = std::min(hi, a0);
  }
}

// PlanLine for a line with an end outside the image: Length, Rise and the
// axes of `plan` are set, the rest is filled in here. Clipping comes first,
// so the cost is bounded whatever the coordinates.
[[gnu::noinline]] bool ClipPlan(int width, int height, std::int64_t x0, std::int64_t y0,
                                LinePlan& plan) {
  if (width <= 0 || height <= 0) return false;
  const std::int64_t length = plan.Length;
  const std::int64_t rise = plan.Rise;
  const bool xMajor = plan.XMajor;
  const std::int64_t a0 = xMajor ? x0 : y0;
  const std::int64_t b0 = xMajor ? y0 : x0;
  std::int64_t lo = 0;
  std::int64_t hi = length - 1;
  ClipAxis(a0, plan.MajorSign, xMajor ? width : height, lo, hi);
  if (lo > hi) return false;
  // Minor(i) only grows, so the minor bounds cut one more interval of i.
  std::int64_t kLo = 0;  // Minor(i) must lie in [kLo, kHi]
  std::int64_t kHi = length;
  ClipAxis(b0, plan.MinorSign, xMajor ? height : width, kLo, kHi);
  if (kLo > kHi || (rise == 0 && kLo > 0)) return false;  // Minor(i) is 0 throughout without rise
  if (rise > 0) {
    if (kLo > 0) lo = std::max(lo, FirstWithMinorAtLeast(length, rise, kLo));
    hi = std::min(hi, FirstWithMinorAtLeast(length, rise, kHi + 1) - 1);
  }
  if (lo > hi) return false;

  // Error of pixel lo: ((2 * lo * Rise + Length) mod (2 * Length)) - 2 * Length.
  const std::int64_t twoLength = 2 * length;
  plan.Error =
      lo == 0 ? -length
              : static_cast<std::int64_t>((Int128{2} * lo * rise + length) % twoLength) - twoLength;
  const std::int64_t a = a0 + plan.MajorSign * lo;
  const std::int64_t b = b0 + plan.MinorSign * MinorAt(length, rise, lo);
  plan.X = xMajor ? a : b;
  plan.Y = xMajor ? b : a;
  plan.Count = hi - lo + 1;
  return true;
}

using Pixel = std::uint32_t;
// Two and four pixels in one store. Runs start anywhere, so the stores are
// unaligned; within a cache line that costs nothing extra.
typedef Pixel Pixel2 __attribute__((vector_size(8)));
typedef Pixel Pixel4 __attribute__((vector_size(16)));

void Store(Pixel* p, Pixel2 v) { std::memcpy(p, &v, sizeof v); }
void Store(Pixel* p, Pixel4 v) { std::memcpy(p, &v, sizeof v); }

// Writes the n pixels from p on, for n in [Low, 2 * Low], with stores that
// overlap in the middle: the same pixels written twice in one colour are
// harmless, and the store count does not depend on n.
template <int Low>
void FillBetween(Pixel* p, std::int64_t n, Pixel argb) {
  if constexpr (Low == 2) {
    const Pixel2 v = {argb, argb};
    Store(p, v);
    Store(p + n - 2, v);
  } else if constexpr (Low == 4) {
    const Pixel4 v = {argb, argb, argb, argb};
    Store(p, v);
    Store(p + n - 4, v);
  } else {
    static_assert(Low == 8);
    const Pixel4 v = {argb, argb, argb, argb};
    Store(p, v);
    Store(p + 4, v);
    Store(p + n - 8, v);
    Store(p + n - 4, v);
  }
}

// Writes the n >= 1 pixels from p on.
void FillAny(Pixel* p, std::int64_t n, Pixel argb) {
  if (n >= 8) {
    const Pixel4 v = {argb, argb, argb, argb};
    for (std::int64_t i = 0; i < n - 4; i += 4) Store(p + i, v);
    Store(p + n - 4, v);
  } else if (n >= 4) {
    FillBetween<4>(p, n, argb);
  } else if (n >= 2) {
    FillBetween<2>(p, n, argb);
  } else {
    p[0] = argb;
  }
}

// How a line falls into runs. The first run holds First pixels; every later
// one Q or Q + 1, Q + 1 exactly when Slack < Rem before the run, with Slack
// moving on by 2 * rho - Rem or -Rem. rho is the rise counted in runs:
// Rise for runs along the major axis, Length - Rise for diagonal ones.
struct RunShape {
  std::int64_t First;
  std::int64_t Slack;  // in [0, 2 * rho)
  std::int64_t Q;      // floor(Length / rho), >= 2 since rho <= Length / 2
  std::int64_t Rem;    // 2 * Length - 2 * rho * Q
  std::int64_t TwoRho;
};

// Runs along a row, in memory order when Dir is +1 and backwards when -1.
template <int Dir>
struct RowRuns {
  std::ptrdiff_t Next;  // from a run's last pixel to the next run's first
  Pixel Argb;

  // Writes the n >= 1 pixels of a run starting at p; returns its last pixel.
  Pixel* Run(Pixel* p, std::int64_t n) const {
    Pixel* last = p + Dir * (n - 1);
    FillAny(Dir > 0 ? p : last, n, Argb);
    return last;
  }
  // A run of Q + extra pixels, Q in [Low, 2 * Low - 1].
  template <int Low>
  Pixel* Full(Pixel* p, std::int64_t q, bool extra) const {
    const std::int64_t n = q + extra;
    Pixel* last = p + Dir * (n - 1);
    if constexpr (Low == 0) {
      FillAny(Dir > 0 ? p : last, n, Argb);
    } else {
      FillBetween<Low>(Dir > 0 ? p : last, n, Argb);
    }
    return last;
  }
};

// Runs whose pixels lie Step apart: along a column or a diagonal.
struct StridedRuns {
  std::ptrdiff_t Step;
  std::ptrdiff_t Next;
  Pixel Argb;

  Pixel* Run(Pixel* p, std::int64_t n) const {
    for (std::int64_t j = 0; j < n; ++j) p[j * Step] = Argb;
    return p + (n - 1) * Step;
  }
  // A run of Q + extra pixels, Q == Exact unless Exact is 0. The extra pixel
  // is written unconditionally: onto the last of the Q when there is none,
  // which costs a store and saves an unpredictable branch.
  template <int Exact>
  Pixel* Full(Pixel* p, std::int64_t q, bool extra) const {
    if constexpr (Exact == 0) {
      for (std::int64_t j = 0; j < q; ++j) p[j * Step] = Argb;
    } else {
      q = Exact;
      for (int j = 0; j < Exact; ++j) p[j * Step] = Argb;
    }
    Pixel* last = p + (q - 1) * Step + (extra ? Step : 0);
    *last = Argb;
    return last;
  }
};

// Writes `count` pixels from p on, run by run; Low is passed on to the
// writer of whole runs.
template <int Low, class Runs>
void PlotRuns(Pixel* p, std::int64_t count, const RunShape& shape, const Runs& runs) {
  std::int64_t n = std::min(shape.First, count);
  Pixel* last = runs.Run(p, n);
  count -= n;
  const std::int64_t q = shape.Q;
  const std::int64_t rem = shape.Rem;
  const std::int64_t twoRho = shape.TwoRho;
  std::int64_t slack = shape.Slack;
  // While more than Q pixels remain the next run is whole.
  while (count > q) {
    const std::int64_t less = slack - rem;
    const bool extra = less < 0;
    slack = extra ? less + twoRho : less;
    last = runs.template Full<Low>(last + runs.Next, q, extra);
    count -= q + extra;
  }
  if (count > 0) runs.Run(last + runs.Next, count);
}

template <int Dir>
void PlotRowRuns(Pixel* p, std::int64_t count, const RunShape& shape, const RowRuns<Dir>& runs) {
  // Q picks stores that cover Q and Q + 1 pixels alike.
  if (shape.Q < 4) {
    PlotRuns<2>(p, count, shape, runs);
  } else if (shape.Q < 8) {
    PlotRuns<4>(p, count, shape, runs);
  } else if (shape.Q < 16) {
    PlotRuns<8>(p, count, shape, runs);
  } else {
    PlotRuns<0>(p, count, shape, runs);
  }
}

// Short runs are the common ones: runs of Q = Unrolled..7 pixels get their
// stores unrolled, longer ones the general loop.
template <int Unrolled>
void PlotStridedRuns(Pixel* p, std::int64_t count, const RunShape& shape, const StridedRuns& runs) {
  if constexpr (Unrolled == 8) {
    PlotRuns<0>(p, count, shape, runs);
  } else if (shape.Q == Unrolled) {
    PlotRuns<Unrolled>(p, count, shape, runs);
  } else {
    PlotStridedRuns<Unrolled + 1>(p, count, shape, runs);
  }
}

}  // namespace

bool PlanLine(int width, int height, int x0, int y0, int x1, int y1, LinePlan& plan) {
  const std::int64_t dx = std::int64_t{x1} - x0;
  const std::int64_t dy = std::int64_t{y1} - y0;
  const std::int64_t absDx = dx < 0 ? -dx : dx;
  const std::int64_t absDy = dy < 0 ? -dy : dy;
  const bool xMajor = absDx >= absDy;
  plan.Length = xMajor ? absDx : absDy;
  plan.Rise = xMajor ? absDy : absDx;
  plan.XMajor = xMajor;
  plan.MajorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
  plan.MinorSign = (xMajor ? dy : dx) < 0 ? -1 : 1;
  if (plan.Length == 0) return false;
  // Both ends inside, the common case: so is every pixel between.
  if (width > 0 && height > 0 && static_cast<unsigned>(x0) < static_cast<unsigned>(width) &&
      static_cast<unsigned>(x1) < static_cast<unsigned>(width) &&
      static_cast<unsigned>(y0) < static_cast<unsigned>(height) &&
      static_cast<unsigned>(y1) < static_cast<unsigned>(height)) {
    plan.X = x0;
    plan.Y = y0;
    plan.Count = plan.Length;
    plan.Error = -plan.Length;
    return true;
  }
  return ClipPlan(width, height, x0, y0, plan);
}

void PlotLine(std::uint32_t* pixels, std::ptrdiff_t stride, const LinePlan& plan,
              std::uint32_t argb) {
  const std::int64_t length = plan.Length;
  const std::int64_t rise = plan.Rise;
  const std::ptrdiff_t major = plan.XMajor ? plan.MajorSign : plan.MajorSign * stride;
  const std::ptrdiff_t minor = plan.XMajor ? plan.MinorSign * stride : plan.MinorSign;
  Pixel* p = pixels + plan.Y * stride + plan.X;

  if (rise == 0 || rise == length) {
    // One run: straight or exactly diagonal.
    const std::ptrdiff_t step = rise == 0 ? major : major + minor;
    if (step == 1 || step == -1) {
      FillAny(step > 0 ? p : p - (plan.Count - 1), plan.Count, argb);
    } else {
      for (std::int64_t j = 0; j < plan.Count; ++j) p[j * step] = argb;
    }
    return;
  }

  // A run ends at the first step on which an error `below` under 0 (below in
  // (0, 2 * Length]) reaches 0: after ceil(below / (2 * rho)) steps. For runs
  // along the major axis that step is a carry: rho = Rise, below = -Error.
  // Lines steeper than 1:2 carry on most steps, so their runs are diagonal and
  // end at a step that does not. With e = Error + 2 * Length, a step skips the
  // carry when e < 2 * (Length - Rise); -(e + 1), also in [-2 * Length, 0),
  // then steps like the error of a line of rise Length - Rise whose carries
  // are the skipped ones.
  const bool diagonal = 2 * rise > length;
  const std::int64_t rho = diagonal ? length - rise : rise;
  const std::int64_t below = diagonal ? plan.Error + 2 * length + 1 : -plan.Error;
  RunShape shape{};
  shape.TwoRho = 2 * rho;
  shape.Q = length / rho;
  shape.Rem = 2 * (length - shape.Q * rho);
  if (below == length || below == length + 1) {
    // An unclipped start; ceil(below / (2 * rho)) without a second division.
    shape.First =
        ((shape.Q + 1) >> 1) + ((shape.Q & 1) == 0 && shape.Rem + 2 * (below - length) > 0 ? 1 : 0);
  } else {
    shape.First = (below + shape.TwoRho - 1) / shape.TwoRho;
  }
  shape.Slack = shape.First * shape.TwoRho - below;

  if (!diagonal && plan.XMajor) {
    if (plan.MajorSign > 0) {
      PlotRowRuns(p, plan.Count, shape, RowRuns<1>{major + minor, argb});
    } else {
      PlotRowRuns(p, plan.Count, shape, RowRuns<-1>{major + minor, argb});
    }
    return;
  }
  PlotStridedRuns<2>(
      p, plan.Count, shape,
      StridedRuns{diagonal ? major + minor : major, diagonal ? major : major + minor, argb});
}

void PlotLineWithin(std::uint32_t* pixels, std::ptrdiff_t stride, const LinePlan& plan,
                    std::uint32_t argb, std::int64_t left, std::int64_t top, std::int64_t right,
                    std::int64_t bottom) {
  std::int64_t x = plan.X;
  std::int64_t y = plan.Y;
  std::int64_t error = plan.Error;
  std::int64_t& major = plan.XMajor ? x : y;
  std::int64_t& minor = plan.XMajor ? y : x;
  for (std::int64_t j = 0; j < plan.Count; ++j) {
    if (x >= left && x < right && y >= top && y < bottom) pixels[y * stride + x] = argb;
    major += plan.MajorSign;
    error += 2 * plan.Rise;
    if (error >= 0) {
      minor += plan.MinorSign;
      error -= 2 * plan.Length;
    }
  }
}

}  // namespace trilume
