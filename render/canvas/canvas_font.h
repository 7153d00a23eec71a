// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>

namespace trilume {

// The font every canvas writes with: Liberation Sans 2 at 11 pixels, without
// antialiasing, so pictures are the same on every machine. The font file is
// registered with Qt on first use; if it is missing, the default sans-serif
// font stands in and one warning goes to stderr.
// Needs a QGuiApplication (see HasGuiApplication).
QFont CanvasFont();

// Qt can only lay out text once a QGuiApplication exists. Without one the
// canvases skip text (with one warning) rather than abort.
bool HasGuiApplication();

}  // namespace trilume
