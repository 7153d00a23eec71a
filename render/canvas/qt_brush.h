// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QPen>
#include <Qt>

#include "render/canvas/colour.h"

// How the canvas's colours, pen and brush styles map onto Qt, for every
// canvas and capture that paints through QPainter.
namespace trilume {

inline QColor ToQColor(TColor colour) { return QColor::fromRgb(ToArgb(colour)); }

// A 1-pixel cosmetic pen without antialiasing: with it QPainter outlines
// QRect(x, y, w - 1, h - 1) on exactly the pixels x..x+w-1, y..y+h-1.
QPen CanvasPen(TColor colour);

// Solid, none or one of Qt's 8 x 8 hatches. Unknown style numbers give
// Qt::NoBrush, so they paint nothing, like style 1.
Qt::BrushStyle ToQtBrushStyle(int style);

}  // namespace trilume
