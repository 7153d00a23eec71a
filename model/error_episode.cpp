// SPDX-License-Identifier: MIT
#include "model/error_episode.h"

namespace trilume {

bool ErrorEpisode::Failed(std::string_view message) {
  if (Ongoing && message == Message) return false;
  Ongoing = true;
  Message = message;
  return true;
}

}  // namespace trilume
