// SPDX-License-Identifier: MIT
#include "model/triangle.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace trilume {
namespace {

constexpr double kUnitsPerRadian = 60.0;
constexpr std::int64_t kMaxSide = std::numeric_limits<std::int32_t>::max();

// |trunc(v)| as an integer. Tips come from the window size, so this stays
// small in practice; saturating keeps an absurd window or a NaN from turning
// into undefined behaviour.
std::int64_t TruncatedMagnitude(double v) {
  if (std::isnan(v)) {
    return 0;
  }
  return static_cast<std::int64_t>(
      std::min(std::fabs(std::trunc(v)), static_cast<double>(kMaxSide)));
}

// Exact integer square root, truncated; the double root only seeds it, so the
// result is trunc(sqrt(n)) even where a double cannot hold n exactly.
std::int64_t IntegerSqrt(std::int64_t n) {
  auto root = static_cast<std::int64_t>(std::sqrt(static_cast<double>(n)));
  while (root > 0 && root * root > n) {
    --root;
  }
  while ((root + 1) * (root + 1) <= n) {
    ++root;
  }
  return root;
}

std::int32_t Units(float angle) {
  return static_cast<std::int32_t>(static_cast<double>(angle) * kUnitsPerRadian);
}

// Law of cosines for the angle between sides p and q, opposite side r; the
// angle keeps its previous value unless its cosine can be taken.
void UpdateAngle(float& angle, double p, double q, double r) {
  if (p == 0.0 || q == 0.0) {
    return;
  }
  const double cosine = (p * p + q * q - r * r) / (2.0 * p * q);
  if (cosine >= -1.0 && cosine <= 1.0) {
    angle = static_cast<float>(std::acos(cosine));
  }
}

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) {
  return value >= low && value <= high;
}

}  // namespace

std::int32_t PixelDistance(float x1, float y1, float x2, float y2) {
  const std::int64_t dx =
      TruncatedMagnitude(static_cast<double>(x2) - std::trunc(static_cast<double>(x1)));
  const std::int64_t dy =
      TruncatedMagnitude(std::trunc(static_cast<double>(y2)) - static_cast<double>(y1));
  // Both below 2^31, so the sum of squares fits in 64 bits.
  const std::int64_t root = IntegerSqrt(dx * dx + dy * dy);
  return static_cast<std::int32_t>(std::min(root, kMaxSide));
}

void ClassifyTriangle(ClockState& state, std::int32_t sideHourMinute, std::int32_t sideHourSecond,
                      std::int32_t sideMinuteSecond) {
  state.TriangleKind = kUncalculated;
  state.SideHourMinute = sideHourMinute;
  state.SideHourSecond = sideHourSecond;
  state.SideMinuteSecond = sideMinuteSecond;

  // Later steps overwrite the name, so their order decides it.
  if (sideHourMinute != sideHourSecond && sideHourMinute != sideMinuteSecond &&
      sideHourSecond != sideMinuteSecond) {
    state.TriangleKind = kScalene;
  }
  const auto withinFour = [](std::int64_t p, std::int64_t q) { return std::llabs(p - q) <= 4; };
  if (withinFour(sideHourMinute, sideHourSecond) || withinFour(sideHourMinute, sideMinuteSecond) ||
      withinFour(sideHourSecond, sideMinuteSecond)) {
    state.TriangleKind = kIsosceles;
  }

  const auto a = static_cast<double>(static_cast<float>(sideHourMinute));
  const auto b = static_cast<double>(static_cast<float>(sideHourSecond));
  const auto c = static_cast<double>(static_cast<float>(sideMinuteSecond));
  // Sixteen times the squared area.
  const double heronProduct = (a + b + c) * (b + c - a) * (c + a - b) * (a + b - c);
  if (heronProduct > 0.0) {
    state.Circumradius = static_cast<float>(a * b * c / std::sqrt(heronProduct));
  }

  // Circumradius stays positive once a proper triangle has been seen, so from
  // then on the angles are attempted even for flat triangles.
  if (state.Circumradius > 0.0F) {
    UpdateAngle(state.AngleAtSecond, b, c, a);
    UpdateAngle(state.AngleAtMinute, a, c, b);
    UpdateAngle(state.AngleAtHour, a, b, c);
  } else {
    state.TriangleKind = kAlignment;
  }

  state.UnitsAtSecond = Units(state.AngleAtSecond);
  state.UnitsAtMinute = Units(state.AngleAtMinute);
  state.UnitsAtHour = Units(state.AngleAtHour);
  const std::array<std::int32_t, 3> units = {state.UnitsAtSecond, state.UnitsAtMinute,
                                             state.UnitsAtHour};

  if (std::any_of(units.begin(), units.end(), [](std::int32_t u) { return InRange(u, 89, 91); })) {
    state.TriangleKind = kRight;
  }
  if (std::all_of(units.begin(), units.end(), [](std::int32_t u) { return InRange(u, 55, 65); })) {
    state.TriangleKind = kEquilateral;
  }
  if (std::any_of(units.begin(), units.end(), [](std::int32_t u) { return u == 0; })) {
    state.TriangleKind = kAlignment;
  }

  state.AngleKind = "";
  if (std::any_of(units.begin(), units.end(), [](std::int32_t u) { return u >= 90; })) {
    state.AngleKind = kObtuse;
  }
  if (std::all_of(units.begin(), units.end(), [](std::int32_t u) { return u < 90; })) {
    state.AngleKind = kAcute;
  }
}

TriangleSides MeasureSides(const TipOffset& hour, const TipOffset& minute,
                           const TipOffset& second) {
  return {PixelDistance(hour.X, hour.Y, minute.X, minute.Y),
          PixelDistance(hour.X, hour.Y, second.X, second.Y),
          PixelDistance(minute.X, minute.Y, second.X, second.Y)};
}

void MeasureTriangle(ClockState& state) {
  const TriangleSides sides = MeasureSides(state.HourTip, state.MinuteTip, state.SecondTip);
  ClassifyTriangle(state, sides.HourMinute, sides.HourSecond, sides.MinuteSecond);
}

}  // namespace trilume
