// SPDX-License-Identifier: MIT
#include "ui/input_catch_up.h"

#include <QEvent>
#include <QWidget>

namespace trilume {

InputCatchUp::InputCatchUp(ClockSession& session, QObject* parent)
    : QObject(parent), Session(session) {}

bool InputCatchUp::CanChangeTheClock(const QObject* receiver, const QEvent& event) {
  switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ScreenChangeInternal:
    // Queued calls: among them the accessibility bus's requests.
    case QEvent::MetaCall:
      return true;
    case QEvent::Timer:
      // A widget's own timer (a held scroll bar arrow) can change a
      // setting; the tick source's timer is not a widget.
      return receiver != nullptr && receiver->isWidgetType();
    default:
      return false;
  }
}

bool InputCatchUp::eventFilter(QObject* watched, QEvent* event) {
  if (CanChangeTheClock(watched, *event)) {
    Session.CatchUp();
    Session.InputChanged();
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace trilume
