// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

class QWidget;

namespace trilume {

// Shows an error that ended an event handler, the way the application object
// reports such errors: in one non-modal message window, so the timers keep
// running behind it, and as one line on stderr. A window still open gets the
// new text and comes to the front; there is never more than one. Without an
// application object only stderr gets the message. A window opened here
// belongs to `parent` (may be null), so it goes with it. Every call is shown:
// a caller whose fault repeats at every tick asks ErrorEpisode which
// failures are news.
void ShowException(std::string_view message, QWidget* parent);

// For a failure during start-up, after which the program ends: shows the
// message and waits until the user has closed it.
void ShowStartupException(std::string_view message);

}  // namespace trilume
