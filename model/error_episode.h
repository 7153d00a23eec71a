// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace trilume {

// Decides which failures of a step that runs again and again (the frame, 64
// times a second) are news. A fault such as a time text that does not read
// fails every run for as long as it lasts; its user is told once, not 64
// times a second, and a message window the user has closed stays closed.
//
// An episode is an unbroken run of failures with the same message. It ends
// at the first run that succeeds or that fails with another message, which
// begins the next episode. Only the failure that begins an episode is news.
class ErrorEpisode final {
 public:
  // A run failed with `message`. True when this begins an episode: the
  // caller tells the user now, and not again for the rest of it.
  bool Failed(std::string_view message);
  // A run succeeded: the episode, if any, is over.
  void Succeeded() { Ongoing = false; }

 private:
  bool Ongoing = false;
  std::string Message;  // the ongoing episode's
};

}  // namespace trilume
