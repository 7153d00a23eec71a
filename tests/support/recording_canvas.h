// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "render/canvas/canvas.h"

namespace trilume {

// One drawing call with its arguments and the state in force when it ran.
struct CanvasCall {
  enum class Op { kMoveTo, kLineTo, kEllipse, kRectangle, kFillRect, kTextOut };
  Op Operation = Op::kMoveTo;
  // MoveTo: (X1, Y1). LineTo: from the pen position (X1, Y1) to (X2, Y2).
  // Ellipse, Rectangle, FillRect: the corners. TextOut: (X1, Y1) and Text.
  int X1 = 0;
  int Y1 = 0;
  int X2 = 0;
  int Y2 = 0;
  std::string Text;
  TColor PenColor = kBlack;
  TColor BrushColor = kWhite;
  int BrushStyle = kBsSolid;
  TColor FontColor = kBlack;
};

// A canvas that draws nothing and logs every drawing call: what tests read
// a frame's calls from.
class RecordingCanvas final : public TCanvas {
 public:
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Ellipse(int x1, int y1, int x2, int y2) override;
  void Rectangle(int x1, int y1, int x2, int y2) override;
  void FillRect(const TRect& rect) override;
  void TextOut(int x, int y, std::string_view text) override;

  std::vector<CanvasCall> Calls;

 private:
  CanvasCall Record(CanvasCall::Op op, int x1, int y1, int x2, int y2) const;
};

}  // namespace trilume
