// SPDX-License-Identifier: MIT
#include "ui/movement_combo_box.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace trilume {

namespace {

// The combo box's one interface: Qt's own combo box interface cannot be
// reached to change its name, and wrapping it would register two
// interfaces for one widget, which Qt's accessibility cache forbids. This
// offers what Qt's does: the list and the line edit as children, the line
// edit as the focus child, the text as value, and the list's two actions.
class MovementComboAccessible final : public QAccessibleWidget {
 public:
  explicit MovementComboAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {
    addControllingSignal(QStringLiteral("activated(int)"));
  }

  int childCount() const override { return Box()->isEditable() ? 2 : 1; }

  QAccessibleInterface* child(int index) const override {
    if (index == 0) {
      return QAccessible::queryAccessibleInterface(Box()->view());
    }
    if (index == 1 && Box()->isEditable()) {
      return QAccessible::queryAccessibleInterface(Box()->lineEdit());
    }
    return nullptr;
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr) {
      return -1;
    }
    if (child->object() == Box()->view()) {
      return 0;
    }
    if (Box()->isEditable() && child->object() == Box()->lineEdit()) {
      return 1;
    }
    return -1;
  }

  QAccessibleInterface* childAt(int x, int y) const override {
    if (Box()->isEditable() &&
        Box()->lineEdit()->rect().contains(Box()->lineEdit()->mapFromGlobal(QPoint(x, y)))) {
      return child(1);
    }
    return nullptr;
  }

  // The line edit never has the focus itself (the box is its focus proxy),
  // but what is typed goes there.
  QAccessibleInterface* focusChild() const override {
    return Box()->isEditable() ? child(1) : nullptr;
  }

  QString text(QAccessible::Text type) const override {
    switch (type) {
      case QAccessible::Name:
        if (!Box()->accessibleName().isEmpty()) return Box()->accessibleName();
        break;
      case QAccessible::Value:
        return Box()->isEditable() ? Box()->lineEdit()->text() : Box()->currentText();
      default:
        break;
    }
    return QAccessibleWidget::text(type);
  }

  QStringList actionNames() const override {
    return {QAccessibleActionInterface::showMenuAction(),
            QAccessibleActionInterface::pressAction()};
  }

  void doAction(const QString& name) override {
    if (name == QAccessibleActionInterface::showMenuAction() ||
        name == QAccessibleActionInterface::pressAction()) {
      if (Box()->view()->isVisible()) {
        Box()->hidePopup();
      } else {
        Box()->showPopup();
      }
    }
  }

  QStringList keyBindingsForAction(const QString& /*name*/) const override { return {}; }

 private:
  QComboBox* Box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* MakeMovementComboAccessible(const QString& /*key*/, QObject* object) {
  if (auto* box = qobject_cast<MovementComboBox*>(object)) {
    return new MovementComboAccessible(box);
  }
  return nullptr;
}

}  // namespace

MovementComboBox::MovementComboBox(QWidget* parent) : QComboBox(parent) {
  static const bool installed = [] {
    QAccessible::installFactory(&MakeMovementComboAccessible);
    return true;
  }();
  static_cast<void>(installed);
  view()->installEventFilter(this);
}

void MovementComboBox::showPopup() {
  // Qt 6.4 made the box's item current here; Qt 6.8 only follows the box's
  // own changes, and would open on whatever was current last.
  QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
  if (view()->selectionBehavior() == QAbstractItemView::SelectRows) {
    flags |= QItemSelectionModel::Rows;
  }
  view()->selectionModel()->setCurrentIndex(
      model()->index(currentIndex(), modelColumn(), rootModelIndex()), flags);
  QComboBox::showPopup();
}

bool MovementComboBox::eventFilter(QObject* watched, QEvent* event) {
  // Qt closes the list without hidePopup when its window goes, and Qt 6.8
  // also for Escape. hidePopup, called again from within itself, only
  // tidies up once more.
  if (watched == view() && event->type() == QEvent::Hide) {
    hidePopup();
  }
  return QComboBox::eventFilter(watched, event);
}

void MovementComboBox::hidePopup() {
  QComboBox::hidePopup();
  // Later: the list's Return and click read its current item after hiding
  // it. Unheard by the box, which would take an empty current item for an
  // empty text.
  QMetaObject::invokeMethod(
      this,
      [this] {
        QItemSelectionModel* selection = view()->selectionModel();
        if (selection != nullptr && !view()->isVisible()) {
          const QSignalBlocker quiet(selection);
          selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
      },
      Qt::QueuedConnection);
}

void MovementComboBox::focusInEvent(QFocusEvent* event) {
  // QComboBox hands its focus event to the line edit, which selects all of
  // its text for the Tab and Shortcut reasons only.
  QFocusEvent plain(event->type(), Qt::OtherFocusReason);
  QComboBox::focusInEvent(&plain);
  event->setAccepted(plain.isAccepted());
}

}  // namespace trilume
