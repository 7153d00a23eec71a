// SPDX-License-Identifier: MIT
#include "tools/gif_colour_index.h"

#include <algorithm>

namespace trilume {
namespace {

constexpr std::uint32_t kRgb = 0xffffff;
constexpr std::uint32_t kUsed = 0x1000000;

// The first slot for `colour` of `count`, a power of two.
std::size_t SlotOf(std::uint32_t colour, std::size_t count) {
  const std::uint32_t hash = (colour & kRgb) * 2654435761U;
  return std::size_t{hash >> 8} & (count - 1);
}

}  // namespace

GifColourIndex::GifColourIndex() : SlotColour(kSlots + 1), SlotIndex(kSlots + 1) {}

bool GifColourIndex::Index(const std::uint32_t* pixels, int width, int height,
                           const std::uint32_t* shown, std::size_t shownStride, bool transparent,
                           std::vector<std::uint8_t>& indices,
                           std::vector<std::uint32_t>& colours) {
  // The slot after the table holds a key no colour has, index 0, for the
  // pixels that stay.
  constexpr std::uint32_t kStays = ~std::uint32_t{0};
  std::fill_n(SlotColour.begin(), kSlots, 0);
  SlotColour[kSlots] = kStays;
  SlotIndex[kSlots] = 0;
  const std::size_t columns = static_cast<std::size_t>(width);
  indices.resize(static_cast<std::size_t>(height) * columns);
  colours.clear();
  // Index 0 stands for the pixels that stay.
  if (transparent) colours.push_back(0);
  // Branches on the picture's own pixels mostly go the wrong way: a pixel
  // that stays looks up the slot of its own, any other its colour's first
  // slot, and only a colour not yet there takes the slower way. The tables
  // are held in locals, as the index stores might otherwise alias them.
  const std::uint32_t* const slotColour = SlotColour.data();
  const std::uint8_t* const slotIndex = SlotIndex.data();
  // Without transparency no pixel stays: no colour has bit 24 set.
  const std::uint32_t neverStays = transparent ? 0 : kUsed;
  for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
    const std::uint32_t* const row = pixels + y * columns;
    const std::uint32_t* const before = shown + y * shownStride;
    std::uint8_t* const out = indices.data() + y * columns;
    for (std::size_t x = 0; x < columns; ++x) {
      const std::uint32_t colour = row[x] & kRgb;
      const bool stays = colour == ((before[x] & kRgb) | neverStays);
      std::size_t slot = stays ? kSlots : SlotOf(colour, kSlots);
      if (slotColour[slot] != (stays ? kStays : colour | kUsed)) {
        slot = AddColour(colours, colour, slot);
        if (slot == kSlots) return false;
      }
      out[x] = slotIndex[slot];
    }
  }
  return true;
}

std::size_t GifColourIndex::AddColour(std::vector<std::uint32_t>& colours, std::uint32_t colour,
                                      std::size_t slot) {
  while (SlotColour[slot] != 0 && SlotColour[slot] != (colour | kUsed)) {
    slot = (slot + 1) & (kSlots - 1);
  }
  if (SlotColour[slot] == 0) {
    if (colours.size() == kMaxColours) return kSlots;
    SlotColour[slot] = colour | kUsed;
    SlotIndex[slot] = static_cast<std::uint8_t>(colours.size());
    colours.push_back(colour);
  }
  return slot;
}

}  // namespace trilume
