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

// Sets a window's title to `text` when it differs, and tells nobody: a
// screen reader speaks every change of its active window's title, and the
// status line changes every second. Orca's read-title command asks for the
// title afresh, and SpeakNow (ui/spoken_change.h) says it on demand.
inline void ShowStatusText(QWidget& window, const QString& text) {
  if (window.windowTitle() != text) window.setWindowTitle(text);
}

}  // namespace trilume
