// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include "model/panel_design.h"
#include "render/canvas/colour.h"

namespace trilume {

// The 16-colour grid of the control panel: 4 columns by 4 rows in the order
// of kColorGridColors, with a foreground and a background selection.
//
// Pointer: the left button picks the foreground, the right button the
// background. Keyboard: the arrow keys move a cursor (drawn as a dotted
// frame while the grid has focus; the panel rings the grid), Space or
// Enter picks the foreground at the cursor, Shift+Space or B the
// background. The foreground cell is marked "FG", the background cell "BG"
// (both when they coincide), in black or white, whichever stands out from
// the cell. Entering the grid, screen readers hear the cursor's cell and
// then the colours and keys (DescribeColourGrid).
//
// Change is emitted once for every change of either selection, never for a
// pick that leaves both as they were. Screen readers see each cell by its
// colour's name (see colour_grid_accessible.h) and hear of every change;
// an arrow against the grid's edge or a pick that changes nothing says the
// cell again.
class TCColorGrid final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kColumns = 4;
  static constexpr int kRows = 4;

  explicit TCColorGrid(QWidget* parent = nullptr);

  TColor GetForegroundColor() const;
  TColor GetBackgroundColor() const;
  int GetForegroundIndex() const { return ForegroundIndex; }
  int GetBackgroundIndex() const { return BackgroundIndex; }
  int GetCursorIndex() const { return CursorIndex; }
  // The cell whose name is being said again (an arrow against the grid's
  // edge, a pick of what is already picked), or -1. Screen readers hear it
  // as that cell's description until the cursor moves on.
  int GetRepeatedIndex() const { return RepeatedIndex; }
  // The cell the focus entered the grid on, until the cursor moves or the
  // focus leaves, or -1. Screen readers hear the grid's keys and colours as
  // that cell's description, once, after its name.
  int GetEnteredIndex() const { return EnteredIndex; }
  // Indexes outside 0..15 are ignored.
  void SetForegroundIndex(int index);
  void SetBackgroundIndex(int index);

  // The cell under a point of the widget, or -1.
  int CellAt(QPoint point) const;
  // The rectangle one cell covers in the widget.
  QRect CellRect(int index) const;

 signals:
  void Change();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void MoveCursor(int columnStep, int rowStep);
  void SetCursorIndex(int index);
  // Has screen readers say the cursor's cell again: nothing about it changed.
  void SayCursorCellAgain();
  // The cell said again or entered on, unless it is `keep`, has no
  // description any more.
  void ForgetCellNews(int keep = -1);
  // Sets one of the two selections; emits Change when it changes.
  void Select(int& selection, int index);

  int ForegroundIndex = kDefaultForegroundIndex;
  int BackgroundIndex = kDefaultBackgroundIndex;
  int CursorIndex = kDefaultForegroundIndex;
  int RepeatedIndex = -1;
  int EnteredIndex = -1;
};

}  // namespace trilume
