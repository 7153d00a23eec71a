// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include "render/clock_session.h"

namespace trilume {

// Lets a sleeping session see the user's changes at their moment. Installed
// on the application, it runs the ticks slept through before every event
// that can change what a tick reads (input, a resize, a minimise or
// restore, a widget's own timer such as a scroll bar's auto-repeat, a
// screen reader's action), and asks for the next tick after it, so the
// change shows 1/64 s later, as it would at 64 wake-ups a second.
class InputCatchUp final : public QObject {
  Q_OBJECT

 public:
  // The session must outlive this filter.
  InputCatchUp(ClockSession& session, QObject* parent = nullptr);

  // Whether an event delivered to `receiver` can change what a tick reads.
  static bool CanChangeTheClock(const QObject* receiver, const QEvent& event);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  ClockSession& Session;
};

}  // namespace trilume
