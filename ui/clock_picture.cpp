// SPDX-License-Identifier: MIT
#include "ui/clock_picture.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace trilume {

namespace {

// Qt's raster painter splits a copy of 96 rows or more among the threads of
// its pool; 64 rows stay on this thread.
constexpr int kRowsPerCopy = 64;

}  // namespace

double LogicalPixelsPerCanvasPixel(double devicePixelRatio) {
  if (!(devicePixelRatio > 1.0)) {
    return 1.0;
  }
  return std::floor(devicePixelRatio) / devicePixelRatio;
}

TImage::TImage(const RasterCanvas& canvas, QWidget* parent) : QWidget(parent), Canvas(canvas) {
  // Every exposed pixel is painted from the canvas: no background erase.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  FitToCanvas();
}

double TImage::GetLogicalPixelsPerCanvasPixel() const {
  return LogicalPixelsPerCanvasPixel(devicePixelRatioF());
}

void TImage::FitToCanvas() {
  const double k = GetLogicalPixelsPerCanvasPixel();
  const QSize canvasSize = Canvas.GetImage().size();
  setGeometry(0, 0, static_cast<int>(std::ceil(canvasSize.width() * k)),
              static_cast<int>(std::ceil(canvasSize.height() * k)));
  // The mapping to the screen may have changed: compare nothing against the
  // old one.
  Shown.Forget();
  update();
}

void TImage::ShowChanges(const QRect& changed) {
  const double k = GetLogicalPixelsPerCanvasPixel();
  // The part of the picture its window does not clip away (visibleRegion()
  // would say the same at the price of an allocation every frame).
  QRect visible = rect();
  if (const QWidget* window = parentWidget()) visible &= window->rect().translated(-pos());
  if (!isVisible() || visible.isEmpty()) {
    // Hidden: the next showing paints everything, so compare afresh then.
    Shown.Forget();
    return;
  }
  // In canvas pixels: every canvas pixel that shows even in part.
  const QRect area(QPoint(static_cast<int>(std::floor(visible.left() / k)),
                          static_cast<int>(std::floor(visible.top() / k))),
                   QPoint(static_cast<int>(std::ceil((visible.right() + 1) / k)) - 1,
                          static_cast<int>(std::ceil((visible.bottom() + 1) / k)) - 1));
  const ShownPicture::Changes changes = Shown.Take(Canvas.GetImage(), area, changed);
  for (int i = 0; i < changes.Count; ++i) {
    // Scaled like the picture, to whole logical pixels.
    const QRect& r = changes.Rects[static_cast<std::size_t>(i)];
    const int left = static_cast<int>(std::floor(r.left() * k));
    const int top = static_cast<int>(std::floor(r.top() * k));
    const int right = static_cast<int>(std::ceil((r.right() + 1) * k));
    const int bottom = static_cast<int>(std::ceil((r.bottom() + 1) * k));
    update(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
  }
}

void TImage::paintEvent(QPaintEvent* event) {
  const QImage& image = Canvas.GetImage();
  QPainter painter(this);
  const double k = GetLogicalPixelsPerCanvasPixel();
  if (k == 1.0) {
    for (const QRect& exposed : event->region()) {
      const QRect source = exposed.intersected(image.rect());
      // In bands: Qt hands a copy of more rows to its thread pool, whose
      // threads then wake for a few rows of a small clock.
      for (int top = source.top(); top <= source.bottom(); top += kRowsPerCopy) {
        const QRect band(source.left(), top, source.width(),
                         std::min(kRowsPerCopy, source.bottom() + 1 - top));
        painter.drawImage(band.topLeft(), image, band);
      }
    }
    return;
  }
  // Whole canvas pixels only: widen the exposed rectangle to canvas pixel
  // bounds; the painter clips to the exposed region anyway.
  for (const QRect& exposed : event->region()) {
    const int left = static_cast<int>(std::floor(exposed.left() / k));
    const int top = static_cast<int>(std::floor(exposed.top() / k));
    const int right = static_cast<int>(std::ceil((exposed.right() + 1) / k));
    const int bottom = static_cast<int>(std::ceil((exposed.bottom() + 1) / k));
    const QRect source =
        QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(image.rect());
    if (source.isEmpty()) {
      continue;
    }
    const QRectF target(source.left() * k, source.top() * k, source.width() * k,
                        source.height() * k);
    painter.drawImage(target, image, QRectF(source));
  }
}

void TImage::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    ClickPending = true;
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && ClickPending) {
    ClickPending = false;
    if (rect().contains(event->position().toPoint())) {
      emit Click();
    }
    event->accept();
    return;
  }
  QWidget::mouseReleaseEvent(event);
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    ClickPending = false;
    emit DblClick();
    event->accept();
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}

}  // namespace trilume
