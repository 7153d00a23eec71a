// SPDX-License-Identifier: MIT
#pragma once

namespace trilume {

// Lets screen readers see into the colour grid: the grid (role Grouping,
// named by its label, "COLOUR", its description telling the current
// colours) has its 16 cells as children (role Button, actions Foreground
// and Background), each named by its colour and whether it is the
// foreground or the background, e.g. "green, foreground", "navy,
// background", "green, foreground and background" or just "lime". A cell's
// description is empty, so that each move of the cursor is one line, except
// while the grid says that cell again (TCColorGrid::GetRepeatedIndex). The
// cell under the grid's cursor has the focus while the grid has it; the two
// selected cells are selected.
//
// Installs the interface factory once per process; later calls do nothing.
// The grid's constructor calls it.
void InstallColourGridAccessibility();

}  // namespace trilume
