// SPDX-License-Identifier: MIT
#include "model/tick_source.h"

#include <algorithm>

namespace trilume {

bool FakeTickSource::AdvanceTo(std::int64_t microseconds) {
  Now = std::max(Now, microseconds);
  if (!Pending || Deadline > Now) return false;
  Pending = false;
  if (OnWake) OnWake();
  return true;
}

}  // namespace trilume
