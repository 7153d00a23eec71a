// SPDX-License-Identifier: MIT
#pragma once

#include <QCommandLineParser>
#include <QString>

namespace trilume {

// The names --movement takes, comma separated, for the help and the
// warning about a name that is none of them.
QString MovementNames();

// Adds trilume-render's options, with their help texts, to `parser`: one
// table for the parse and the help, so the two cannot drift apart.
void AddRenderOptions(QCommandLineParser& parser);

// The --help text: the usage and one line per option.
QString RenderHelpText();

}  // namespace trilume
