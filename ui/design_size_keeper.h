// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QSize>
#include <QTimer>

class QWidget;

namespace trilume {

// Gives a top-level window its design size once the window manager has
// framed it. In each direction the design size counts either the frame as
// well (outer) or the client alone: the main window's size is an outer one,
// the control panel's width outer and its height inside.
//
// An X11 window manager tells the frame only after it has reparented the
// window, so Start first sizes the client to the design size; in the outer
// directions the frame margins come off once they are known: when the
// window is shown, on the move event that follows the reparenting, and on
// a few checks during the two seconds after the first showing, in case
// neither event comes. A size the user gives meanwhile stays. Without a
// frame (no window manager) outer and client agree and nothing changes.
class DesignSizeKeeper final : public QObject {
  Q_OBJECT

 public:
  // `window` must outlive the keeper (a member of the window does).
  DesignSizeKeeper(QWidget& window, QSize designSize, Qt::Orientations outer);

  // Sizes the client to the design size; call once, before the first show.
  void Start();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Apply();
  void Check();

  static constexpr int kChecks = 10;
  static constexpr int kCheckIntervalMs = 200;

  QWidget& Window;
  QSize DesignSize;
  Qt::Orientations Outer;
  QSize StartClientSize;
  bool Pending = true;
  int ChecksLeft = kChecks;
  QTimer Checks;
};

}  // namespace trilume
