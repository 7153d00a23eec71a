// SPDX-License-Identifier: MIT
#pragma once

#include <QComboBox>

namespace trilume {

// The MOVEMENT combo box: Qt's editable combo box, made quiet and strict.
//
// Tabbing into it selects all of its text, so that typing replaces it, as
// in any editable combo box; screen readers are not told of that selection
// nor of its loss on leaving: they would say "SMOOTH", "selected" before
// the box's label, and "Text unselected" after.
//
// Only an exact, case-sensitive name counts. GetInEffectIndex is the item
// whose name last stood in the box exactly: the movement the clock runs
// with. When the focus leaves the box (other than for its own list or
// another window) or Return is pressed, a text that names no movement gives
// way to that item again, and screen readers hear one sentence saying so
// ("Movement XYZ not known; TICK stays."), or, for a typed name, the new
// movement once ("Movement TICK."), as news about whatever then has the
// focus. Closing the panel puts the item back unspoken.
//
// The list: opening it names its current item; leaving it with Escape
// leaves the item in effect selected; a pick is heard once, as the box's
// value when the focus comes back. Closed, however it closed, the list has
// no current item: Qt reports a list's current item as focused even while
// the list is hidden, and a screen reader would meet two objects with the
// focus. Opening it makes the box's item current again.
//
// Screen readers know the box by its accessible name (the label's text,
// "MOVEMENT"): Qt on Linux names a combo box by its current text, so a
// screen reader would hear "SMOOTH" twice and never what the box is for.
class MovementComboBox final : public QComboBox {
  Q_OBJECT

 public:
  explicit MovementComboBox(QWidget* parent = nullptr);

  int GetInEffectIndex() const { return InEffect; }

  void showPopup() override;
  void hidePopup() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FollowText(const QString& text);
  // Puts the item in effect back in place of a text that names no
  // movement, and tells `listener` (the widget with the focus, or null for
  // nobody) what is news about the movement.
  void Settle(QWidget* listener);

  int InEffect = 0;
  int Heard = 0;  // the item screen readers last heard as the box's value
};

}  // namespace trilume
