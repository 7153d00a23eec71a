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
// Screen readers know the box by its accessible name (the label's text,
// "MOVEMENT"): Qt on Linux names a combo box by its current text, so a
// screen reader would hear "SMOOTH" twice and never what the box is for.
class MovementComboBox final : public QComboBox {
  Q_OBJECT

 public:
  explicit MovementComboBox(QWidget* parent = nullptr);

 protected:
  void focusInEvent(QFocusEvent* event) override;
};

}  // namespace trilume
