// SPDX-License-Identifier: MIT
#pragma once

namespace trilume {

// Lets screen readers see into the colour grid: the grid (role
// ColorChooser, its description telling the current colours) has its 16
// cells as children (role Button, actions Foreground and Background, their
// description the current colours again: "Foreground green, background
// navy."), each named by
// its colour and whether it is the foreground or the background, e.g.
// "green, foreground", "navy, background", "green, foreground and
// background" or just "lime". The cell under the grid's cursor has the
// focus while the grid has it; the two selected cells are selected.
//
// Installs the interface factory once per process; later calls do nothing.
// The grid's constructor calls it.
void InstallColourGridAccessibility();

}  // namespace trilume
