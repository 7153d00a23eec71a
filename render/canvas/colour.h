// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>

namespace trilume {

// 24-bit colour as 0x00BBGGRR.
using TColor = std::uint32_t;

inline constexpr TColor kBlack = 0x000000;
inline constexpr TColor kMaroon = 0x000080;
inline constexpr TColor kGreen = 0x008000;
inline constexpr TColor kOlive = 0x008080;
inline constexpr TColor kNavy = 0x800000;
inline constexpr TColor kPurple = 0x800080;
inline constexpr TColor kTeal = 0x808000;
inline constexpr TColor kGray = 0x808080;
inline constexpr TColor kSilver = 0xC0C0C0;
inline constexpr TColor kRed = 0x0000FF;
inline constexpr TColor kLime = 0x00FF00;
inline constexpr TColor kYellow = 0x00FFFF;
inline constexpr TColor kBlue = 0xFF0000;
inline constexpr TColor kFuchsia = 0xFF00FF;
inline constexpr TColor kAqua = 0xFFFF00;
inline constexpr TColor kWhite = 0xFFFFFF;

// The colour grid's cells in index order (4 x 4, row by row).
inline constexpr std::array<TColor, 16> kColorGridColors = {
    kBlack,  kMaroon, kGreen, kOlive,  kNavy, kPurple,  kTeal, kGray,
    kSilver, kRed,    kLime,  kYellow, kBlue, kFuchsia, kAqua, kWhite};

// 0x00BBGGRR -> 0xFFRRGGBB, the layout of a 32-bit raster pixel.
constexpr std::uint32_t ToArgb(TColor colour) {
  return 0xFF000000U | ((colour & 0xFFU) << 16) | (colour & 0xFF00U) | ((colour >> 16) & 0xFFU);
}

}  // namespace trilume
