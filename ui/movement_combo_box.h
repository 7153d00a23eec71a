// SPDX-License-Identifier: MIT
#pragma once

#include <QComboBox>

namespace trilume {

// A combo box that screen readers know by its accessible name (the label's
// text, "MOVEMENT") rather than by its value. Qt on Linux names a combo box
// by its current text, so a screen reader would hear "SMOOTH" twice and
// never what the box is for. Everything else is Qt's own combo box
// interface.
class MovementComboBox final : public QComboBox {
  Q_OBJECT

 public:
  explicit MovementComboBox(QWidget* parent = nullptr);
};

}  // namespace trilume
