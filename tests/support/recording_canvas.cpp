// SPDX-License-Identifier: MIT
#include "tests/support/recording_canvas.h"

#include <utility>

namespace trilume {

CanvasCall RecordingCanvas::Record(CanvasCall::Op op, int x1, int y1, int x2, int y2) const {
  CanvasCall call;
  call.Operation = op;
  call.X1 = x1;
  call.Y1 = y1;
  call.X2 = x2;
  call.Y2 = y2;
  call.PenColor = PenColor;
  call.BrushColor = BrushColor;
  call.BrushStyle = BrushStyle;
  call.FontColor = FontColor;
  return call;
}

void RecordingCanvas::MoveTo(int x, int y) {
  Calls.push_back(Record(CanvasCall::Op::kMoveTo, x, y, 0, 0));
  TCanvas::MoveTo(x, y);
}

void RecordingCanvas::LineTo(int x, int y) {
  Calls.push_back(Record(CanvasCall::Op::kLineTo, PenPos.X, PenPos.Y, x, y));
  PenPos = TPoint{x, y};
}

void RecordingCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Calls.push_back(Record(CanvasCall::Op::kEllipse, x1, y1, x2, y2));
}

void RecordingCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Calls.push_back(Record(CanvasCall::Op::kRectangle, x1, y1, x2, y2));
}

void RecordingCanvas::FillRect(const TRect& rect) {
  Calls.push_back(Record(CanvasCall::Op::kFillRect, rect.Left, rect.Top, rect.Right, rect.Bottom));
}

void RecordingCanvas::TextOut(int x, int y, std::string_view text) {
  CanvasCall call = Record(CanvasCall::Op::kTextOut, x, y, 0, 0);
  call.Text.assign(text);
  Calls.push_back(std::move(call));
}

}  // namespace trilume
