// SPDX-License-Identifier: MIT
#include "model/clock_state.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>

namespace trilume {

void CopyStateWithHistory(ClockState& to, const ClockState& from, int historyEntries) {
  // Byte for byte around the history, so that a field added to the state
  // is copied too.
  static_assert(std::is_trivially_copyable_v<ClockState> && std::is_standard_layout_v<ClockState>);
  constexpr std::size_t kHistoryBegin = offsetof(ClockState, TraceHistory);
  constexpr std::size_t kHistoryEnd = kHistoryBegin + sizeof(ClockState::TraceHistory);
  auto* target = reinterpret_cast<unsigned char*>(&to);
  const auto* source = reinterpret_cast<const unsigned char*>(&from);
  std::memcpy(target, source, kHistoryBegin);
  std::memcpy(target + kHistoryEnd, source + kHistoryEnd, sizeof(ClockState) - kHistoryEnd);
  const int entries = std::clamp(historyEntries, 0, kTraceHistorySize);
  std::copy_n(from.TraceHistory.begin(), entries, to.TraceHistory.begin());
}

// Each resets only once the index is greater than its bound, so the picture
// reaches one more style (8) than the bare background does.
std::int32_t NextFillStyleFromImage(std::int32_t fillStyleIndex) {
  return fillStyleIndex > 7 ? 0 : fillStyleIndex + 1;
}

std::int32_t NextFillStyleFromForm(std::int32_t fillStyleIndex) {
  return fillStyleIndex > 6 ? 0 : fillStyleIndex + 1;
}

}  // namespace trilume
