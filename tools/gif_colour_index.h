// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace trilume {

// Gives the colours of one GIF frame their indices, frame after frame,
// with tables allocated once. Colours are 0xRRGGBB in the low 24 bits of a
// pixel; the top byte is ignored.
class GifColourIndex {
 public:
  // The most colours one GIF frame's table holds.
  static constexpr int kMaxColours = 256;

  GifColourIndex();

  // Indexes `height` rows of `width` pixels at `pixels`, row after row,
  // into `indices`, and lists the colours in `colours` in the order first
  // met. With `transparent`, index 0 stands for every pixel equal to its
  // counterpart at `shown` (rows `shownStride` pixels apart), which keeps
  // the picture before, and colours[0] is a placeholder. False when the
  // pixels need more than kMaxColours indices; `indices` and `colours` then
  // hold no meaning.
  bool Index(const std::uint32_t* pixels, int width, int height, const std::uint32_t* shown,
             std::size_t shownStride, bool transparent, std::vector<std::uint8_t>& indices,
             std::vector<std::uint32_t>& colours);

 private:
  static constexpr std::size_t kSlots = 1024;  // four times the colours a frame may hold

  // The slot of `colour`, looked for from `slot` on and added to `colours`
  // when missing; kSlots when that would be one colour too many.
  std::size_t AddColour(std::vector<std::uint32_t>& colours, std::uint32_t colour,
                        std::size_t slot);

  // Colour to index: open addressing on the colour with 0 for a free slot
  // (colours are stored with bit 24 set).
  std::vector<std::uint32_t> SlotColour;
  std::vector<std::uint8_t> SlotIndex;
};

}  // namespace trilume
