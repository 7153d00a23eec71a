// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "render/canvas/shape_capture.h"

namespace trilume {

// The ellipse shapes and text masks RasterCanvas keeps, so that a frame
// drawing the same dial, dot and numerals as the last touches neither
// QPainter nor the heap (some 60 us a frame). Its contract:
//  - Bounded: at most kEllipseSlots ellipse sizes and kTextSlots texts; the
//    least recently used is dropped and its storage reused.
//  - Kept only what comes back: a size or text met for the first time is
//    only noted, and captured when it comes back while still among the
//    recently noted. One that changes with every call (the dial in free
//    flight) costs the caller what a direct QPainter draw does, and no
//    capture.
//  - No allocation on a hit: a kept shape or text is found by comparison
//    and handed out in place. (A shape kept for a solid brush is captured
//    once more, with its fill split, when a brush that is not solid first
//    asks for it.)
//  - Pixels equal to QPainter's: everything kept is what CaptureEllipseShape
//    and CaptureTextMask read back from QPainter's own drawing.
class KeptShapes {
 public:
  static constexpr std::size_t kEllipseSlots = 8;
  static constexpr std::size_t kTextSlots = 16;

  // The kept shape of a width x height ellipse, with FillSplit when
  // `splitFill`, or null when it is not kept (yet). May capture the shape,
  // and so allocate, on a miss.
  const EllipseShape* FindEllipse(int width, int height, bool splitFill);
  // The kept mask of `text` written in `font`, or null when it is not kept
  // (yet) or cannot be. May capture it on a miss. `font` must be the same on
  // every call: texts are kept by their bytes alone.
  const TextMask* FindText(std::string_view text, const QFont& font);

 private:
  // Keys met once lately and not kept, the oldest forgotten first.
  struct RecentKeys {
    std::array<std::uint64_t, 8> Keys{};  // 0: none
    std::size_t Next = 0;
    // True, forgetting it, when `key` (not 0) is noted; notes it otherwise.
    bool Take(std::uint64_t key);
  };
  struct EllipseEntry {
    std::uint64_t LastUse = 0;  // 0: empty
    EllipseShape Shape;
  };
  struct TextEntry {
    std::uint64_t LastUse = 0;  // 0: empty
    std::string Text;
    bool Usable = false;  // false: the caller draws this text every time
    TextMask Mask;
  };

  std::uint64_t UseClock = 0;
  std::array<EllipseEntry, kEllipseSlots> Ellipses;
  RecentKeys EllipsesSeen;
  std::array<TextEntry, kTextSlots> Texts;
  RecentKeys TextsSeen;
};

}  // namespace trilume
