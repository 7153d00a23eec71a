// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QRect>

class QWidget;

namespace trilume {

// Draws a red ring two pixels wide round whichever watched control has the
// focus. The style's own focus marks are pale blue on light grey (1.5:1),
// and scroll bars get none. Pure red stands out at 3:1 or more from
// everything it can touch: the panel's black (5.3:1), the controls' white
// (4.0:1) and light grey (3.5:1).
class FocusRing final : public QObject {
 public:
  static constexpr int kWidth = 2;
  // Black left between an outside ring and its control.
  static constexpr int kGap = 1;

  using QObject::QObject;

  // The ring along the control's own edge, over what the control drew.
  void Watch(QWidget& control);
  // The ring on the control's parent, kGap pixels outside the control:
  // for a control whose edge is all content, such as the colour grid,
  // whose edge cells can be as dark as maroon or as red as the ring.
  void WatchAround(QWidget& control);

  // Where WatchAround draws for `control`, in its parent's coordinates.
  static QRect AroundRect(const QWidget& control);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* Around = nullptr;
};

}  // namespace trilume
