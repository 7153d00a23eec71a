// SPDX-License-Identifier: MIT
#include "ui/movement_combo_box.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFocusEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

#include "ui/spoken_change.h"

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

// The events that tell how the box's text, selection or value change: for
// changes the box makes on its own, which the focus or a sentence that
// follows tells better.
bool IsOwnEdit(const QAccessibleEvent& event, const QObject& subject) {
  switch (event.type()) {
    case QAccessible::ValueChanged:
    case QAccessible::TextCaretMoved:
    case QAccessible::TextSelectionChanged:
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
      break;
    default:
      return false;
  }
  const QObject* object = event.object();
  return object == &subject || object == static_cast<const QComboBox&>(subject).lineEdit();
}

constexpr int kLongestToldName = 24;

QString UnknownNameSentence(const QString& typed, const QString& kept) {
  if (typed.trimmed().isEmpty()) {
    return QStringLiteral("No movement typed; %1 stays.").arg(kept);
  }
  const QString told =
      typed.size() > kLongestToldName ? typed.left(kLongestToldName) + QChar(0x2026) : typed;
  return QStringLiteral("Movement %1 not known; %2 stays.").arg(told, kept);
}

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
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  // No completion as one types: it selects the rest of a name after every
  // key, which screen readers say ("unselected"), and it would make "T"
  // TICK at once.
  setCompleter(nullptr);
  connect(this, &QComboBox::editTextChanged, this, &MovementComboBox::FollowText);
  connect(this, &QComboBox::currentTextChanged, this, &MovementComboBox::FollowText);
  view()->installEventFilter(this);
}

void MovementComboBox::FollowText(const QString& text) {
  const int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index >= 0) InEffect = index;
}

void MovementComboBox::Settle(QWidget* listener) {
  const QString typed = currentText();
  QString news;
  if (findText(typed, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
    const UnheardEvents quiet(*this, &IsOwnEdit);
    setCurrentIndex(InEffect);
    setEditText(itemText(InEffect));
    if (hasFocus()) lineEdit()->selectAll();
    news = UnknownNameSentence(typed, itemText(InEffect));
  } else if (InEffect != Heard) {
    news = QStringLiteral("Movement %1.").arg(itemText(InEffect));
  }
  Heard = InEffect;
  if (listener != nullptr && !news.isEmpty()) SpeakNow(*listener, news);
}

void MovementComboBox::showPopup() {
  // A typed name in effect that Qt has not yet taken as the current item.
  if (currentIndex() != InEffect && currentText() == itemText(InEffect)) {
    const UnheardEvents quiet(*this, &IsOwnEdit);
    setCurrentIndex(InEffect);
  }
  // Qt 6.4 made the box's item current here; Qt 6.8 only follows the box's
  // own changes, and would open on whatever was current last.
  QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
  if (view()->selectionBehavior() == QAbstractItemView::SelectRows) {
    flags |= QItemSelectionModel::Rows;
  }
  view()->selectionModel()->setCurrentIndex(
      model()->index(currentIndex(), modelColumn(), rootModelIndex()), flags);
  QComboBox::showPopup();
  // Later, once the list has the focus: Qt made its item current before,
  // unheard.
  QMetaObject::invokeMethod(
      this,
      [this] {
        const QModelIndex current = view()->currentIndex();
        if (view()->isVisible() && view()->hasFocus() && current.isValid() &&
            QAccessible::isActive()) {
          QAccessibleEvent event(view(), QAccessible::Focus);
          event.setChild(current.row());
          QAccessible::updateAccessibility(&event);
        }
      },
      Qt::QueuedConnection);
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
  // empty text. Escape leaves the item last highlighted selected: the one
  // in effect is.
  QMetaObject::invokeMethod(
      this,
      [this] {
        QItemSelectionModel* selection = view()->selectionModel();
        // The focus, back in the box, has just said its value.
        Heard = InEffect;
        if (selection != nullptr && !view()->isVisible()) {
          const QSignalBlocker quiet(selection);
          selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
          selection->select(model()->index(InEffect, modelColumn(), rootModelIndex()),
                            QItemSelectionModel::ClearAndSelect);
        }
      },
      Qt::QueuedConnection);
}

void MovementComboBox::focusInEvent(QFocusEvent* event) {
  // Screen readers say the box's value as the focus comes.
  if (event->reason() != Qt::PopupFocusReason) Heard = InEffect;
  // The line edit selects all of its text for the Tab and Shortcut reasons.
  const UnheardEvents quiet(*this, &IsOwnEdit);
  QComboBox::focusInEvent(event);
}

void MovementComboBox::focusOutEvent(QFocusEvent* event) {
  const Qt::FocusReason reason = event->reason();
  if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
    // Before Qt, which would take "tick" for TICK. Qt has already given
    // the focus to its new owner.
    QWidget* next = QApplication::focusWidget();
    Settle(next != nullptr && next->window() == window() ? next : nullptr);
  }
  const UnheardEvents quiet(*this, &IsOwnEdit);
  QComboBox::focusOutEvent(event);
}

void MovementComboBox::hideEvent(QHideEvent* event) {
  // The panel closed: reopened, it shows the movement the clock runs with.
  Settle(nullptr);
  QComboBox::hideEvent(event);
}

void MovementComboBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
    QComboBox::keyPressEvent(event);
    return;
  }
  // Before Qt, which would take "tick" for TICK; Qt then takes a typed
  // name as its current item, which Settle has said.
  Settle(this);
  const UnheardEvents quiet(*this, &IsOwnEdit);
  QComboBox::keyPressEvent(event);
}

}  // namespace trilume
