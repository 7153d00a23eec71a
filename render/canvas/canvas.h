// SPDX-License-Identifier: MIT
#pragma once

#include <span>
#include <string_view>

#include "render/canvas/colour.h"

namespace trilume {

struct TPoint {
  int X = 0;
  int Y = 0;
};

// Left and top are inside; right and bottom are the first pixels outside.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

constexpr TRect Rect(int left, int top, int right, int bottom) {
  return TRect{left, top, right, bottom};
}

// A triangle's outline, P1 to P2 to P3 and back to P1, in one pen colour.
struct TOutline {
  TPoint P1;
  TPoint P2;
  TPoint P3;
  TColor Colour = 0;
};

// Brush styles by number.
inline constexpr int kBsSolid = 0;
inline constexpr int kBsClear = 1;
inline constexpr int kBsHorizontal = 2;
inline constexpr int kBsVertical = 3;
inline constexpr int kBsFDiagonal = 4;  // forward diagonal, "\"
inline constexpr int kBsBDiagonal = 5;  // backward diagonal, "/"
inline constexpr int kBsCross = 6;
inline constexpr int kBsDiagCross = 7;

// A persistent drawing surface with the classic desktop canvas rules:
//  - LineTo draws from the pen position up to, not including, the end point,
//    in the pen colour, and moves the pen there. A zero-length line draws
//    nothing.
//  - Ellipse, Rectangle and FillRect cover x in [X1, X2) and y in [Y1, Y2).
//    Ellipse and Rectangle outline in the pen colour and fill with the brush.
//  - Brush style 0 paints every pixel, 1 paints none, 2..7 paint only the
//    lines of an 8 x 8 hatch aligned to the canvas origin and leave the rest.
//  - TextOut writes UTF-8 text in the font colour with its cell's top-left at
//    (x, y), filling the cell with the brush colour only for a solid brush.
//  - Any coordinates are accepted; whatever falls outside is clipped.
// Pen, brush, font colour and pen position persist between calls.
// A new canvas has a black pen, a white solid brush and a black font.
class TCanvas {
 public:
  virtual ~TCanvas() = default;

  virtual void SetPenColor(TColor colour) { PenColor = colour; }
  TColor GetPenColor() const { return PenColor; }
  virtual void SetBrushColor(TColor colour) { BrushColor = colour; }
  TColor GetBrushColor() const { return BrushColor; }
  virtual void SetBrushStyle(int style) { BrushStyle = style; }
  int GetBrushStyle() const { return BrushStyle; }
  virtual void SetFontColor(TColor colour) { FontColor = colour; }
  TColor GetFontColor() const { return FontColor; }
  TPoint GetPenPos() const { return PenPos; }

  virtual void MoveTo(int x, int y) { PenPos = TPoint{x, y}; }
  virtual void LineTo(int x, int y) = 0;
  virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
  virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
  virtual void FillRect(const TRect& rect) = 0;
  virtual void TextOut(int x, int y, std::string_view text) = 0;
  // Exactly SetPenColor(Colour), MoveTo(P1), LineTo(P2), LineTo(P3),
  // LineTo(P1) for each outline in turn; a canvas that knows a shortcut to
  // the same pixels and state may take it.
  virtual void Outlines(std::span<const TOutline> outlines) {
    for (const TOutline& outline : outlines) {
      SetPenColor(outline.Colour);
      MoveTo(outline.P1.X, outline.P1.Y);
      LineTo(outline.P2.X, outline.P2.Y);
      LineTo(outline.P3.X, outline.P3.Y);
      LineTo(outline.P1.X, outline.P1.Y);
    }
  }
  // Until the next call of this: whoever draws knows that the calls leave
  // every pixel outside `rect` as it is, so a canvas may skip those. A
  // rectangle holding the whole canvas lifts the hint; a canvas may ignore
  // it altogether.
  virtual void LimitTo(const TRect& /*rect*/) {}

 protected:
  TColor PenColor = kBlack;
  TColor BrushColor = kWhite;
  int BrushStyle = kBsSolid;
  TColor FontColor = kBlack;
  TPoint PenPos;
};

}  // namespace trilume
