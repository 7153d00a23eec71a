// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

class QWidget;

namespace trilume {

// Shows an error that ended an event handler, the way the application object
// reports such errors: one non-modal message window, so the timers keep
// running behind it. While the window already shows the same message,
// nothing happens, so a fault that repeats at every frame yields one window
// and one line on stderr, not one per frame. A different message replaces
// the text of the open window. Each showing is also written once to stderr.
// Without an application object only stderr gets the message. A window
// opened here belongs to `parent` (may be null), so it goes with it.
void ShowException(std::string_view message, QWidget* parent);

// For a failure during start-up, after which the program ends: shows the
// message and waits until the user has closed it.
void ShowStartupException(std::string_view message);

// The message window while it exists, else nullptr.
QWidget* GetExceptionWindow();

}  // namespace trilume
