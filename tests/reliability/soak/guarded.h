// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <utility>

namespace trilume {

// A value between two bands of a known pattern. AddressSanitizer sees
// overruns past a heap block, but not a write that stays inside one object
// and lands in a neighbouring member; the bands catch writes just before and
// just after the value, and the value's own invariants catch the rest.
template <typename T>
struct Guarded {
  static constexpr std::uint64_t kPattern = 0xA5C3'5AC3'0FF0'9966ULL;
  static constexpr std::size_t kBandWords = 32;

  template <typename... Args>
  explicit Guarded(Args&&... args) : Value(std::forward<Args>(args)...) {
    Front.fill(kPattern);
    Back.fill(kPattern);
  }

  // True while both bands hold the pattern.
  bool Intact() const {
    for (std::uint64_t word : Front) {
      if (word != kPattern) return false;
    }
    for (std::uint64_t word : Back) {
      if (word != kPattern) return false;
    }
    return true;
  }

  std::array<std::uint64_t, kBandWords> Front{};
  T Value{};
  std::array<std::uint64_t, kBandWords> Back{};
};

}  // namespace trilume
