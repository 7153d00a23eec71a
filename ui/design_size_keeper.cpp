// SPDX-License-Identifier: MIT
#include "ui/design_size_keeper.h"

#include <QEvent>
#include <QWidget>

namespace trilume {

DesignSizeKeeper::DesignSizeKeeper(QWidget& window, QSize designSize, Qt::Orientations outer)
    : Window(window), DesignSize(designSize), Outer(outer) {
  Checks.setInterval(kCheckIntervalMs);
  connect(&Checks, &QTimer::timeout, this, &DesignSizeKeeper::Check);
  Window.installEventFilter(this);
}

void DesignSizeKeeper::Start() {
  Window.resize(DesignSize);
  StartClientSize = Window.size();
}

bool DesignSizeKeeper::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &Window && Pending) {
    if (event->type() == QEvent::Show) {
      // Some platforms know the frame at once, an X11 window manager only
      // after it has reparented the window.
      Apply();
      QTimer::singleShot(0, this, &DesignSizeKeeper::Apply);
      if (Pending && !Checks.isActive()) {
        Checks.start();
      }
    } else if (event->type() == QEvent::Move) {
      Apply();
    }
  }
  return QObject::eventFilter(watched, event);
}

void DesignSizeKeeper::Check() {
  Apply();
  if (--ChecksLeft <= 0) {
    Pending = false;
  }
  if (!Pending) {
    Checks.stop();
  }
}

void DesignSizeKeeper::Apply() {
  if (!Pending || !Window.isVisible()) {
    return;
  }
  if (Window.size() != StartClientSize) {
    Pending = false;  // resized meanwhile: the user's size stays
    return;
  }
  const QSize margins = Window.frameGeometry().size() - Window.size();
  if (margins.width() <= 0 && margins.height() <= 0) {
    return;  // not framed (yet): outer and client agree for now
  }
  QSize client = DesignSize;
  if (Outer.testFlag(Qt::Horizontal)) {
    client.rwidth() -= margins.width();
  }
  if (Outer.testFlag(Qt::Vertical)) {
    client.rheight() -= margins.height();
  }
  Pending = false;
  if (client.width() > 0 && client.height() > 0) {
    Window.resize(client);
  }
}

}  // namespace trilume
