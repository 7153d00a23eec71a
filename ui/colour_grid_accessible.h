// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace trilume {

class TCColorGrid;

// Lets screen readers see into the colour grid: the grid (role Grouping,
// named by its label, "COLOUR", described by DescribeColourGrid) has its
// 16 cells as children (role Button, actions Foreground
// and Background), each named by its colour and whether it is the
// foreground or the background, e.g. "green, foreground", "navy,
// background", "green, foreground and background" or just "lime". A cell's
// description is empty, so that each move of the cursor is one line, except
// while the grid says that cell again (TCColorGrid::GetRepeatedIndex) and
// for the cell the focus entered on (TCColorGrid::GetEnteredIndex), which
// tells what DescribeColourGrid does. The
// cell under the grid's cursor has the focus while the grid has it; the two
// selected cells are selected.
//
// Installs the interface factory once per process; later calls do nothing.
// The grid's constructor calls it.
void InstallColourGridAccessibility();

// The current colours and the grid's keys, e.g. "Foreground lime,
// background navy. Arrows move, Space picks foreground, B background."
QString DescribeColourGrid(const TCColorGrid& grid);

}  // namespace trilume
