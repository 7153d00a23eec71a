// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include "render/canvas/raster_canvas.h"
#include "render/canvas/shown_picture.h"

namespace trilume {

// The main window's picture: shows the canvas image at its top-left corner,
// whole canvas pixels on whole device pixels. With a device pixel ratio
// above 1 each canvas pixel covers floor(ratio) x floor(ratio) device
// pixels, copied without smoothing; the widget's logical size follows. A
// repaint copies only the exposed part and never copies the image itself.
// Whoever draws on the canvas calls ShowChanges afterwards, which asks for a
// repaint of only the pixels that differ from what the screen was last
// given: a frame mostly redraws what was there already. Told where the
// canvas can have changed, it compares only there.
//
// Click is a left press and release on the picture; the press that
// completes a double-click raises DblClick instead and no second Click.
class TImage final : public QWidget {
  Q_OBJECT

 public:
  TImage(const RasterCanvas& canvas, QWidget* parent);

  // Logical pixels per canvas pixel: floor(ratio) / ratio, 1 at ratio 1.
  double GetLogicalPixelsPerCanvasPixel() const;
  // Sizes the widget to the canvas at the current device pixel ratio.
  void FitToCanvas();
  // Schedules a repaint of the visible canvas pixels that changed since the
  // last call (all of them after a resize or a new pixel ratio).
  // `changed` (canvas pixels) holds every pixel drawn on since the last call.
  void ShowChanges(const QRect& changed);

 signals:
  void Click();
  void DblClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  const RasterCanvas& Canvas;
  ShownPicture Shown;
  bool ClickPending = false;
};

// floor(ratio) / ratio for a device pixel ratio; 1 for ratios below 2.
double LogicalPixelsPerCanvasPixel(double devicePixelRatio);

}  // namespace trilume
