// SPDX-License-Identifier: MIT
#include "ui/spoken_change.h"

#include <QAccessible>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QEvent>
#include <QWidget>

namespace trilume {

namespace {

// The (so) pair AT-SPI names an object by: bus name and object path.
struct SpiReference {
  QString Service;
  QDBusObjectPath Path;
};

QDBusArgument& operator<<(QDBusArgument& argument, const SpiReference& reference) {
  argument.beginStructure();
  argument << reference.Service << reference.Path;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SpiReference& reference) {
  argument.beginStructure();
  argument >> reference.Service >> reference.Path;
  argument.endStructure();
  return argument;
}

}  // namespace
}  // namespace trilume

Q_DECLARE_METATYPE(trilume::SpiReference)

namespace trilume {

namespace {

// The name Qt's bridge gives its connection to the accessibility bus.
constexpr const char* kBridgeConnection = "a11y";

// Qt's bridge names each object by its accessible id under this path.
QString PathOf(QAccessibleInterface* interface) {
  if (interface->role() == QAccessible::Application) {
    return QStringLiteral("/org/a11y/atspi/accessible/root");
  }
  return QStringLiteral("/org/a11y/atspi/accessible/") +
         QString::number(QAccessible::uniqueId(interface));
}

void SendPropertyChange(QAccessibleInterface* interface, const char* property,
                        const QString& text) {
  const QDBusConnection bus(QString::fromLatin1(kBridgeConnection));
  if (!bus.isConnected()) {
    // Only ever true if a Qt update renamed its bridge's connection: say so
    // once rather than fall silent for every screen reader.
    static const bool warned = [] {
      qWarning(
          "trilume: Qt's accessibility bus connection \"%s\" is missing; screen readers "
          "will not hear what changed",
          kBridgeConnection);
      return true;
    }();
    static_cast<void>(warned);
    return;
  }
  if (interface == nullptr) {
    return;
  }
  static const QMetaType registered = qDBusRegisterMetaType<SpiReference>();
  static_cast<void>(registered);
  QDBusMessage signal =
      QDBusMessage::createSignal(PathOf(interface), QStringLiteral("org.a11y.atspi.Event.Object"),
                                 QStringLiteral("PropertyChange"));
  const SpiReference root{bus.baseService(),
                          QDBusObjectPath(QStringLiteral("/org/a11y/atspi/accessible/root"))};
  signal << QString::fromLatin1(property) << 0 << 0
         << QVariant::fromValue(QDBusVariant(QVariant(text))) << QVariant::fromValue(root);
  bus.send(signal);
}

}  // namespace

void SendNameAsText(QObject* object, int child, const QString& name) {
  if (!QAccessible::isActive()) {
    return;
  }
  QAccessibleEvent event(object, QAccessible::NameChanged);
  if (child >= 0) {
    event.setChild(child);
  }
  SendPropertyChange(event.accessibleInterface(), "accessible-name", name);
}

void SendDescriptionAsText(QObject* object, const QString& description, int child) {
  if (!QAccessible::isActive()) {
    return;
  }
  QAccessibleEvent event(object, QAccessible::DescriptionChanged);
  if (child >= 0) {
    event.setChild(child);
  }
  SendPropertyChange(event.accessibleInterface(), "accessible-description", description);
}

UnheardEvents::UnheardEvents(const QObject& subject, Picker unheard) : Active(Subject == nullptr) {
  if (Active) {
    Subject = &subject;
    Unheard = unheard;
    Next = QAccessible::installUpdateHandler(&Filter);
  }
}

UnheardEvents::~UnheardEvents() {
  if (Active) {
    QAccessible::installUpdateHandler(Next);
    Subject = nullptr;
  }
}

void UnheardEvents::Filter(QAccessibleEvent* event) {
  if (Unheard(*event, *Subject)) return;
  // Qt acts on an item model's change event before handing it on, and
  // would act twice here: no scope of these changes a model.
  QAccessible::installUpdateHandler(Next);
  QAccessible::updateAccessibility(event);
  QAccessible::installUpdateHandler(&Filter);
}

void ShowStatusText(QWidget& window, const QString& text) {
  if (window.windowTitle() == text) {
    return;
  }
  // Qt 6.4's event told only that the name changed; from Qt 6.8 on it
  // carries the new title, which Orca speaks.
  const UnheardEvents untold(window, [](const QAccessibleEvent& event, const QObject& subject) {
    return event.type() == QAccessible::NameChanged && event.object() == &subject;
  });
  window.setWindowTitle(text);
}

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
namespace {

// Keeps a widget's own accessible description while SpeakNow lends it to
// spoken news, and gives it back once the focus has left the widget.
class LentDescription final : public QObject {
 public:
  explicit LentDescription(QWidget& widget)
      : QObject(&widget), Widget(widget), Own(widget.accessibleDescription()) {
    widget.installEventFilter(this);
  }

  // News again before the description went back: it stays lent.
  void LendAgain() {
    if (Leaving) {
      Leaving = false;
      Widget.installEventFilter(this);
    }
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &Widget && event->type() == QEvent::FocusOut && !Leaving) {
      Leaving = true;
      Widget.removeEventFilter(this);
      // After Qt has told of the new focus, so that no screen reader takes
      // the description's return for news about what it is reading.
      QMetaObject::invokeMethod(
          this,
          [this] {
            if (Leaving) {
              Widget.setAccessibleDescription(Own);
              deleteLater();
            }
          },
          Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QWidget& Widget;  // the parent: outlives this
  QString Own;
  bool Leaving = false;
};

}  // namespace

void SpeakNow(QWidget& widget, const QString& text) {
  // Not findChild: without a meta-object of its own, qobject_cast would
  // take any child for one.
  LentDescription* lent = nullptr;
  for (QObject* child : widget.children()) {
    if ((lent = dynamic_cast<LentDescription*>(child)) != nullptr) break;
  }
  if (lent != nullptr) {
    lent->LendAgain();
  } else {
    new LentDescription(widget);
  }
  // Qt's own event for the change carries no text; the one sent after it
  // does, and replaces Qt's in Orca's queue.
  widget.setAccessibleDescription(text);
  SendDescriptionAsText(&widget, text);
}

#else

void SpeakNow(QWidget& widget, const QString& text) {
  // From Qt 6.8 on, news can be announced outright. A lent description is
  // not safe there: Orca 48 keeps its own copy of each description and read
  // a lent one again, stale, when the focus came back to the widget later.
  QAccessibleAnnouncementEvent news(&widget, text);
  QAccessible::updateAccessibility(&news);
}

#endif

}  // namespace trilume
