// SPDX-License-Identifier: MIT
#include "ui/focus_ring.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QWidget>

namespace trilume {

namespace {

void PaintRing(QPainter& painter, const QRect& r) {
  const QColor red(255, 0, 0);
  constexpr int w = FocusRing::kWidth;
  painter.fillRect(QRect(r.left(), r.top(), r.width(), w), red);
  painter.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), red);
  painter.fillRect(QRect(r.left(), r.top(), w, r.height()), red);
  painter.fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), red);
}

// Lets `widget` paint itself, then returns: the ring goes on top, inside
// the same paint event.
void PaintFirst(QObject* filter, QWidget* widget, QEvent* event) {
  widget->removeEventFilter(filter);
  QCoreApplication::sendEvent(widget, event);
  widget->installEventFilter(filter);
}

}  // namespace

void FocusRing::Watch(QWidget& control) { control.installEventFilter(this); }

void FocusRing::WatchAround(QWidget& control) {
  Around = &control;
  control.installEventFilter(this);
  if (QWidget* parent = control.parentWidget()) parent->installEventFilter(this);
}

QRect FocusRing::AroundRect(const QWidget& control) {
  constexpr int margin = kWidth + kGap;
  return control.geometry().adjusted(-margin, -margin, margin, margin);
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr) {
    return QObject::eventFilter(watched, event);
  }
  if (widget == Around) {
    if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) &&
        Around->parentWidget() != nullptr) {
      Around->parentWidget()->update(AroundRect(*Around));
    }
    return QObject::eventFilter(watched, event);
  }
  if (event->type() != QEvent::Paint) {
    return QObject::eventFilter(watched, event);
  }
  if (Around != nullptr && widget == Around->parentWidget()) {
    if (!Around->hasFocus()) return QObject::eventFilter(watched, event);
    PaintFirst(this, widget, event);
    QPainter painter(widget);
    PaintRing(painter, AroundRect(*Around));
    return true;
  }
  if (!widget->hasFocus()) {
    return QObject::eventFilter(watched, event);
  }
  PaintFirst(this, widget, event);
  QPainter painter(widget);
  PaintRing(painter, widget->rect());
  return true;
}

}  // namespace trilume
