// SPDX-License-Identifier: MIT
#pragma once

namespace trilume {

// What screen readers see of the two windows and the clock picture:
//
// - the main window and the control panel are windows (AT-SPI "frame"),
//   not the plain containers Qt makes of a top-level QWidget, so that a
//   screen reader's read-title command finds them and their titles;
// - the clock picture (TImage) is an image whose extents are the part of
//   it its window shows: the widget is as large as the canvas, far larger
//   than the window, and flat review or a magnifier would otherwise follow
//   the hidden rest.
//
// Call before the first of them is asked for its interface; calling it
// again does nothing.
void InstallWindowAccessibility();

}  // namespace trilume
