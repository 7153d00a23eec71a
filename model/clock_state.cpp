// SPDX-License-Identifier: MIT
#include "model/clock_state.h"

namespace trilume {

// Each resets only once the index is greater than its bound, so the picture
// reaches one more style (8) than the bare background does.
std::int32_t NextFillStyleFromImage(std::int32_t fillStyleIndex) {
  return fillStyleIndex > 7 ? 0 : fillStyleIndex + 1;
}

std::int32_t NextFillStyleFromForm(std::int32_t fillStyleIndex) {
  return fillStyleIndex > 6 ? 0 : fillStyleIndex + 1;
}

}  // namespace trilume
