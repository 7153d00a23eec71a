// SPDX-License-Identifier: MIT
#include "ui/spoken_change.h"

#include <QAccessible>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
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
  if (interface == nullptr || !bus.isConnected()) {
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

void SendDescriptionAsText(QObject* object, const QString& description) {
  if (!QAccessible::isActive()) {
    return;
  }
  SendPropertyChange(QAccessible::queryAccessibleInterface(object), "accessible-description",
                     description);
}

void ShowStatusText(QWidget& window, QWidget& picture, const QString& text) {
  if (window.windowTitle() != text) {
    window.setWindowTitle(text);
    // Qt tells nobody when a window's title changes; its own event would
    // carry no text anyway.
    SendNameAsText(&window, -1, text);
  }
  // Qt sends its event on every call, changed or not.
  if (picture.accessibleDescription() != text) {
    picture.setAccessibleDescription(text);
    SendDescriptionAsText(&picture, text);
  }
}

}  // namespace trilume
