// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace trilume {

// `message` made fit for one terminal line, whatever was typed into it:
// control characters (C0, DEL and C1) shown as \xNN, so none can end the
// line or steer the terminal, and anything past 160 characters cut off
// with "...". Both programs' command-line errors go through it.
QString OneLineMessage(const QString& message);

}  // namespace trilume
