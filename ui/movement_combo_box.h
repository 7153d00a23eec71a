// SPDX-License-Identifier: MIT
#pragma once

#include <QComboBox>

namespace trilume {

// The MOVEMENT combo box: Qt's editable combo box, with one change. Tabbing
// into it leaves its text unselected: a selection made on every entry is
// spoken ("SMOOTH", "selected") before the box's label, and its loss on
// leaving again ("Text unselected"). Typing still edits the text; Ctrl+A
// selects it all.
//
// Closed, however it closed, the list has no current item: Qt reports a
// list's current item as focused even while the list is hidden, and a
// screen reader would meet two objects with the focus, the box and that
// item. Opening the list makes the box's item current again.
//
// Screen readers know the box by its accessible name (the label's text,
// "MOVEMENT"): Qt on Linux names a combo box by its current text, so a
// screen reader would hear "SMOOTH" twice and never what the box is for.
class MovementComboBox final : public QComboBox {
  Q_OBJECT

 public:
  explicit MovementComboBox(QWidget* parent = nullptr);

  void showPopup() override;
  void hidePopup() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 protected:
  void focusInEvent(QFocusEvent* event) override;
};

}  // namespace trilume
