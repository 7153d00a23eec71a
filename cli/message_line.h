// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace trilume {

// Both programs word what they write to standard error alike: one line,
// the program's name and a colon, then what is wrong in lower case with no
// full stop, as "trilume-render: --frames: '0' is not a whole number
// 1..100000000 (see trilume-render --help)".

// `message` made fit for one terminal line, whatever was typed into it:
// control characters (C0, DEL and C1) shown as \xNN, so none can end the
// line or steer the terminal, and anything past 150 characters cut off
// with "...". Both programs' command-line errors go through it.
QString OneLineMessage(const QString& message);

// QCommandLineParser's error text ("Unknown option 'x'.") in the programs'
// own wording ("unknown option 'x'"), made one line.
QString ParserErrorMessage(const QString& parserError);

// The line a bad command line gets: "PROGRAM: MESSAGE (see PROGRAM
// --help)", without the newline.
QString UsageErrorLine(const char* program, const QString& message);

}  // namespace trilume
