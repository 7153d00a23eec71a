// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

namespace trilume {

// Fills the widget's background with one plain colour.
inline void FillBackground(QWidget& widget, QColor colour) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, colour);
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
}

// Gives a top-level window its title, its place on the screen and a plain
// background colour.
inline void SetUpWindow(QWidget& window, const QString& title, QPoint topLeft, QColor colour) {
  window.setWindowTitle(title);
  window.move(topLeft);
  FillBackground(window, colour);
}

}  // namespace trilume
