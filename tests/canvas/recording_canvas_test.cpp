// SPDX-License-Identifier: MIT
#include "tests/support/recording_canvas.h"

#include <gtest/gtest.h>

#include <vector>

namespace trilume {
namespace {

using Op = CanvasCall::Op;

// Each call carries the pen, brush and font state in force when it ran, and
// LineTo carries where it started from.
TEST(RecordingCanvasTest, LogsEveryCallWithTheStateInForce) {
  RecordingCanvas canvas;
  canvas.FillRect(Rect(0, 0, 280, 310));
  canvas.SetPenColor(kWhite);
  canvas.SetBrushStyle(kBsBDiagonal);
  canvas.Ellipse(22, 23, 249, 253);
  canvas.SetBrushColor(kBlue);
  canvas.SetFontColor(kRed);
  canvas.TextOut(130, 2, "12");
  canvas.MoveTo(10, 8);
  canvas.SetPenColor(kYellow);
  canvas.LineTo(110, 8);
  canvas.LineTo(110, 20);
  canvas.Rectangle(0, 0, 280, 310);

  struct Want {
    Op Operation;
    int X1, Y1, X2, Y2;
    TColor Pen, Brush;
    int Style;
    TColor Font;
  };
  const std::vector<Want> want = {
      {Op::kFillRect, 0, 0, 280, 310, kBlack, kWhite, kBsSolid, kBlack},
      {Op::kEllipse, 22, 23, 249, 253, kWhite, kWhite, kBsBDiagonal, kBlack},
      {Op::kTextOut, 130, 2, 0, 0, kWhite, kBlue, kBsBDiagonal, kRed},
      {Op::kMoveTo, 10, 8, 0, 0, kWhite, kBlue, kBsBDiagonal, kRed},
      {Op::kLineTo, 10, 8, 110, 8, kYellow, kBlue, kBsBDiagonal, kRed},
      {Op::kLineTo, 110, 8, 110, 20, kYellow, kBlue, kBsBDiagonal, kRed},
      {Op::kRectangle, 0, 0, 280, 310, kYellow, kBlue, kBsBDiagonal, kRed},
  };
  ASSERT_EQ(canvas.Calls.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    const CanvasCall& got = canvas.Calls[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(got.Operation, want[i].Operation);
    EXPECT_EQ(got.X1, want[i].X1);
    EXPECT_EQ(got.Y1, want[i].Y1);
    EXPECT_EQ(got.X2, want[i].X2);
    EXPECT_EQ(got.Y2, want[i].Y2);
    EXPECT_EQ(got.PenColor, want[i].Pen);
    EXPECT_EQ(got.BrushColor, want[i].Brush);
    EXPECT_EQ(got.BrushStyle, want[i].Style);
    EXPECT_EQ(got.FontColor, want[i].Font);
  }
  EXPECT_EQ(canvas.Calls[2].Text, "12");
  EXPECT_EQ(canvas.GetPenPos().X, 110);
  EXPECT_EQ(canvas.GetPenPos().Y, 20);
}

}  // namespace
}  // namespace trilume
