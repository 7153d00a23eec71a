// SPDX-License-Identifier: MIT
#include "ui/movement_combo_box.h"

#include <QAccessible>
#include <QAccessibleInterface>

namespace trilume {

namespace {

// Set while Qt's own interface for a MovementComboBox is being made: the
// factory then steps aside and Qt goes on to QComboBox.
bool MakingQtInterface = false;

// Qt's combo box interface, with the accessible name as its name.
class NamedComboAccessible final : public QAccessibleInterface {
 public:
  NamedComboAccessible(QComboBox* box, QAccessibleInterface* qt) : Box(box), Qt(qt) {
    QtId = QAccessible::uniqueId(qt);
  }
  ~NamedComboAccessible() override {
    // Qt's interface is registered for the same widget; it goes with this one.
    QAccessible::deleteAccessibleInterface(QtId);
  }
  NamedComboAccessible(const NamedComboAccessible&) = delete;
  NamedComboAccessible& operator=(const NamedComboAccessible&) = delete;

  bool isValid() const override { return Qt->isValid(); }
  QObject* object() const override { return Box; }
  QWindow* window() const override { return Qt->window(); }
  QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
      QAccessible::Relation match) const override {
    return Qt->relations(match);
  }
  QAccessibleInterface* focusChild() const override { return Qt->focusChild(); }
  QAccessibleInterface* childAt(int x, int y) const override { return Qt->childAt(x, y); }
  QAccessibleInterface* parent() const override { return Qt->parent(); }
  QAccessibleInterface* child(int index) const override { return Qt->child(index); }
  int childCount() const override { return Qt->childCount(); }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return Qt->indexOfChild(child);
  }
  QString text(QAccessible::Text type) const override {
    if (type == QAccessible::Name && !Box->accessibleName().isEmpty()) {
      return Box->accessibleName();
    }
    return Qt->text(type);
  }
  void setText(QAccessible::Text type, const QString& text) override { Qt->setText(type, text); }
  QRect rect() const override { return Qt->rect(); }
  QAccessible::Role role() const override { return Qt->role(); }
  QAccessible::State state() const override { return Qt->state(); }
  QColor foregroundColor() const override { return Qt->foregroundColor(); }
  QColor backgroundColor() const override { return Qt->backgroundColor(); }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return Qt->interface_cast(type);
  }

 private:
  QComboBox* Box;
  QAccessibleInterface* Qt;
  QAccessible::Id QtId = 0;
};

QAccessibleInterface* MakeNamedComboAccessible(const QString& /*key*/, QObject* object) {
  auto* box = qobject_cast<MovementComboBox*>(object);
  if (box == nullptr || MakingQtInterface) {
    return nullptr;
  }
  MakingQtInterface = true;
  QAccessibleInterface* qt = QAccessible::queryAccessibleInterface(box);
  MakingQtInterface = false;
  return qt == nullptr ? nullptr : new NamedComboAccessible(box, qt);
}

}  // namespace

MovementComboBox::MovementComboBox(QWidget* parent) : QComboBox(parent) {
  static const bool installed = [] {
    QAccessible::installFactory(&MakeNamedComboAccessible);
    return true;
  }();
  static_cast<void>(installed);
}

}  // namespace trilume
