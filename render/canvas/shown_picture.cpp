// SPDX-License-Identifier: MIT
#include "render/canvas/shown_picture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace trilume {
namespace {

// Changed rows this close together make one rectangle: a few unchanged rows
// repainted cost less than another rectangle on its way to the screen.
constexpr int kJoinRows = 8;

struct Band {
  int Top = 0;
  int Bottom = 0;  // inclusive
  int Left = 0;
  int Right = 0;  // inclusive
};

std::int64_t AreaOf(const Band& band) {
  return std::int64_t{band.Bottom - band.Top + 1} * (band.Right - band.Left + 1);
}

Band Joined(const Band& a, const Band& b) {
  return Band{std::min(a.Top, b.Top), std::max(a.Bottom, b.Bottom), std::min(a.Left, b.Left),
              std::max(a.Right, b.Right)};
}

// Collects changed row spans into at most kMaxRects bands, top to bottom.
class Bands {
 public:
  void Add(int y, int left, int right) {
    if (Count > 0 && y - Items[Count - 1].Bottom <= kJoinRows) {
      Items[Count - 1] = Joined(Items[Count - 1], Band{y, y, left, right});
      return;
    }
    Items[Count++] = Band{y, y, left, right};
    if (Count > ShownPicture::kMaxRects) JoinCheapestPair();
  }

  ShownPicture::Changes ToChanges() const {
    ShownPicture::Changes changes;
    for (std::size_t i = 0; i < Count; ++i) {
      const Band& b = Items[i];
      changes.Rects[i] = QRect(QPoint(b.Left, b.Top), QPoint(b.Right, b.Bottom));
    }
    changes.Count = static_cast<int>(Count);
    return changes;
  }

 private:
  // Joins the two neighbours whose joint rectangle adds the fewest pixels.
  void JoinCheapestPair() {
    std::size_t best = 0;
    std::int64_t bestCost = -1;
    for (std::size_t i = 0; i + 1 < Count; ++i) {
      const std::int64_t cost =
          AreaOf(Joined(Items[i], Items[i + 1])) - AreaOf(Items[i]) - AreaOf(Items[i + 1]);
      if (bestCost < 0 || cost < bestCost) {
        bestCost = cost;
        best = i;
      }
    }
    Items[best] = Joined(Items[best], Items[best + 1]);
    for (std::size_t i = best + 1; i + 1 < Count; ++i) Items[i] = Items[i + 1];
    --Count;
  }

  std::array<Band, ShownPicture::kMaxRects + 1> Items{};
  std::size_t Count = 0;
};

}  // namespace

ShownPicture::Changes ShownPicture::Take(const QImage& canvas, const QRect& area,
                                         const QRect& changed) {
  const QRect clipped = area & canvas.rect();
  if (clipped.isEmpty()) return Changes{};
  Changes all;
  all.Rects[0] = clipped;
  all.Count = 1;
  if (canvas.depth() != 32) {
    Forget();  // only 32-bit pixels are compared: repaint everything
    return all;
  }
  if (clipped != Area || Shown.size() != canvas.size() || Shown.format() != canvas.format()) {
    // Only the area is ever compared, so only the area needs to be kept;
    // copy() makes the one allocation of a new size.
    if (Shown.size() != canvas.size() || Shown.format() != canvas.format()) {
      Shown = QImage(canvas.size(), canvas.format());
    }
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
      std::memcpy(Shown.scanLine(y) + clipped.left() * 4,
                  canvas.constScanLine(y) + clipped.left() * 4,
                  static_cast<std::size_t>(clipped.width()) * 4);
    }
    Area = clipped;
    return all;
  }
  const QRect compared = clipped & changed;
  if (compared.isEmpty()) return Changes{};

  Bands bands;
  const int left = compared.left();
  const int width = compared.width();
  for (int y = compared.top(); y <= compared.bottom(); ++y) {
    const auto* now = reinterpret_cast<const std::uint32_t*>(canvas.constScanLine(y)) + left;
    // scanLine() would detach a shared copy; Shown is never shared.
    auto* shown = reinterpret_cast<std::uint32_t*>(Shown.scanLine(y)) + left;
    if (std::memcmp(now, shown, static_cast<std::size_t>(width) * 4) == 0) continue;
    int first = 0;
    while (now[first] == shown[first]) ++first;
    int last = width - 1;
    while (now[last] == shown[last]) --last;
    std::memcpy(shown + first, now + first, static_cast<std::size_t>(last - first + 1) * 4);
    bands.Add(y, left + first, left + last);
  }
  return bands.ToChanges();
}

}  // namespace trilume
