// SPDX-License-Identifier: MIT
#include "ui/window_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

#include "ui/clock_picture.h"

namespace trilume {

namespace {

class ClockPictureAccessible final : public QAccessibleWidget {
 public:
  explicit ClockPictureAccessible(TImage* picture)
      : QAccessibleWidget(picture, QAccessible::Graphic) {}

  // In screen coordinates, as every interface's rect is.
  QRect rect() const override {
    const QWidget* picture = widget();
    if (!picture->isVisible()) {
      return {};
    }
    const QRect shown = picture->visibleRegion().boundingRect();
    return QRect(picture->mapToGlobal(shown.topLeft()), shown.size());
  }
};

bool IsClockWindow(const QString& key, const QObject* object) {
  const auto* widget = qobject_cast<const QWidget*>(object);
  return widget != nullptr && widget->isWindow() &&
         (key == QLatin1String("trilume::TForm1") || key == QLatin1String("trilume::TForm2"));
}

QAccessibleInterface* MakeAccessible(const QString& key, QObject* object) {
  if (auto* picture = qobject_cast<TImage*>(object)) {
    return new ClockPictureAccessible(picture);
  }
  if (IsClockWindow(key, object)) {
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
  }
  return nullptr;
}

}  // namespace

void InstallWindowAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(&MakeAccessible);
    return true;
  }();
  static_cast<void>(installed);
}

}  // namespace trilume
