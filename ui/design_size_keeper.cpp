// SPDX-License-Identifier: MIT
#include "ui/design_size_keeper.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cmath>

namespace trilume {

int WholeDevicePixelStep(double devicePixelRatio) {
  constexpr int kLargestStep = 8;
  constexpr double kTolerance = 1e-6;
  for (int step = 1; step <= kLargestStep; ++step) {
    const double device = step * devicePixelRatio;
    if (std::abs(device - std::round(device)) < kTolerance) return step;
  }
  return 1;
}

void KeepWholeDevicePixels(QWidget& window) {
  const int step = WholeDevicePixelStep(window.devicePixelRatioF());
  // At whole ratios every size is whole: no hint, as before. Set only when
  // it changes: platforms without size hints complain at every setting.
  const QSize hint = step == 1 ? QSize(0, 0) : QSize(step, step);
  if (window.sizeIncrement() != hint) window.setSizeIncrement(hint);
  if (window.baseSize() != hint) window.setBaseSize(hint);
}

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
  if (watched == &Window && event->type() == QEvent::Show) {
    KeepWhole();
    // The native window exists from the first showing on.
    if (QWindow* handle = Window.windowHandle()) {
      connect(handle, &QWindow::screenChanged, this, &DesignSizeKeeper::KeepWhole,
              Qt::UniqueConnection);
    }
  }
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

void DesignSizeKeeper::KeepWhole() {
  KeepWholeDevicePixels(Window);
  emit ScreenChecked();
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
    emit Settling();
    Window.resize(client);
  }
}

}  // namespace trilume
