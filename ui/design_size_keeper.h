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
//
// At every showing and on every new screen the keeper also applies
// KeepWholeDevicePixels, so neither window loses an edge at a fractional
// device pixel ratio, and then emits ScreenChecked.
class DesignSizeKeeper final : public QObject {
  Q_OBJECT

 public:
  // `window` must outlive the keeper (a member of the window does).
  DesignSizeKeeper(QWidget& window, QSize designSize, Qt::Orientations outer);

  // Sizes the client to the design size; call once, before the first show.
  void Start();

 signals:
  // About to take the frame margins off: whatever was drawn for the size
  // before is for a size the window does not keep.
  void Settling();
  // The window was shown or moved to another screen: the moments its device
  // pixel ratio may have changed. Emitted after KeepWholeDevicePixels.
  void ScreenChecked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Apply();
  void KeepWhole();
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

// The smallest number of logical pixels that is a whole number of device
// pixels at `devicePixelRatio` (2 at 1.5 and 2.5, 4 at 1.25), at most 8;
// 1 where no such step is that small.
int WholeDevicePixelStep(double devicePixelRatio);

// Lets the window manager size `window` only in whole logical pixels. Qt
// rounds a window's device size to the nearest logical pixel (696 device
// pixels at 2.5 become 278 logical ones, 695 device pixels), and whatever
// it rounds away is never painted: stale or black after a restore. So at a
// fractional ratio the window asks to be sized in steps of
// WholeDevicePixelStep, counted from one step.
void KeepWholeDevicePixels(QWidget& window);

}  // namespace trilume
