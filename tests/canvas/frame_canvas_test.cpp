// SPDX-License-Identifier: MIT
// The frame canvas leaves calls out. Whatever it leaves out, the target must
// end up with the pixels and the state that drawing every call would give.
#include "render/canvas/frame_canvas.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "render/canvas/raster_canvas.h"

namespace trilume {
namespace {

constexpr int kWidth = 48;
constexpr int kHeight = 40;

using Step = std::function<void(TCanvas&)>;

// Random units with many repeated lines, repeated units, units repeated in
// other colours or with a call left out, and a few coordinates beyond what
// the frame canvas packs.
class UnitMaker {
 public:
  explicit UnitMaker(unsigned seed) : Random(seed) {}

  // A unit sets all the state first, as a frame does, so that drawing it
  // again makes the same calls.
  std::vector<Step> Make() {
    std::vector<Step> unit = {MakeState()};
    const int calls = Pick(1, 40);
    for (int i = 0; i < calls; ++i) unit.push_back(MakeStep());
    return unit;
  }

  // The same calls in other colours and another brush style, mostly.
  void Restyle(std::vector<Step>& unit) { unit.front() = MakeState(); }
  // The same calls but one.
  void LeaveOneOut(std::vector<Step>& unit) {
    if (unit.size() < 3) return;
    unit.erase(unit.begin() + Pick(1, static_cast<int>(unit.size()) - 1));
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(Random); }
  TColor Colour() { return kColours[static_cast<std::size_t>(Pick(0, 2))]; }
  TPoint Point() {
    // A handful of points, so that lines repeat, and one far away.
    static constexpr std::array<TPoint, 6> kPoints = {
        {{2, 3}, {40, 9}, {17, 35}, {-6, 20}, {30, 30}, {std::numeric_limits<int>::max(), -5}}};
    return kPoints[static_cast<std::size_t>(Pick(0, 5))];
  }

  Step MakeState() {
    const TColor pen = Colour();
    const TColor brush = Colour();
    const TColor font = Colour();
    const int style = Pick(0, 7);
    return [=](TCanvas& c) {
      c.SetPenColor(pen);
      c.SetBrushColor(brush);
      c.SetBrushStyle(style);
      c.SetFontColor(font);
      c.MoveTo(2, 3);
    };
  }

  Step MakeStep() {
    const TColor colour = Colour();
    const int style = Pick(0, 7);
    const TPoint a = Point();
    const TPoint b = Point();
    const int x = Pick(-10, kWidth);
    const int y = Pick(-10, kHeight);
    const int w = Pick(0, 30);
    const int h = Pick(0, 30);
    // Outlines from two triangles, so that neighbours often repeat.
    const std::array<TOutline, 2> shapes = {TOutline{Point(), Point(), Point(), Colour()},
                                            TOutline{Point(), Point(), Point(), Colour()}};
    std::vector<TOutline> outlines(static_cast<std::size_t>(Pick(1, 5)));
    for (TOutline& outline : outlines) {
      outline = shapes[static_cast<std::size_t>(Pick(0, 1))];
      outline.Colour = Colour();
    }
    switch (Pick(0, 12)) {
      case 0:
        return [colour](TCanvas& c) { c.SetPenColor(colour); };
      case 1:
        return [colour](TCanvas& c) { c.SetBrushColor(colour); };
      case 2:
        return [style](TCanvas& c) { c.SetBrushStyle(style); };
      case 3:
        return [colour](TCanvas& c) { c.SetFontColor(colour); };
      case 4:
        return [a](TCanvas& c) { c.MoveTo(a.X, a.Y); };
      case 5:
        return [x, y, w, h](TCanvas& c) { c.Ellipse(x, y, x + w, y + h); };
      case 6:
        return [x, y, w, h](TCanvas& c) { c.Rectangle(x, y, x + w, y + h); };
      case 7:
        return [x, y, w, h](TCanvas& c) { c.FillRect(Rect(x, y, x + w, y + h)); };
      case 8:
        return [x, y](TCanvas& c) { c.TextOut(x, y, (x & 1) != 0 ? "12" : "3 "); };
      case 9:
        return [outlines](TCanvas& c) { c.Outlines(outlines); };
      default:
        return [b](TCanvas& c) { c.LineTo(b.X, b.Y); };
    }
  }

  static constexpr std::array<TColor, 3> kColours = {kRed, kLime, kNavy};
  std::mt19937 Random;
};

void ExpectSameState(const TCanvas& a, const TCanvas& b) {
  EXPECT_EQ(a.GetPenColor(), b.GetPenColor());
  EXPECT_EQ(a.GetBrushColor(), b.GetBrushColor());
  EXPECT_EQ(a.GetBrushStyle(), b.GetBrushStyle());
  EXPECT_EQ(a.GetFontColor(), b.GetFontColor());
  EXPECT_EQ(a.GetPenPos().X, b.GetPenPos().X);
  EXPECT_EQ(a.GetPenPos().Y, b.GetPenPos().Y);
}

class FrameCanvasTest : public ::testing::TestWithParam<unsigned> {};

// Catches a line or outline left out that nothing later covers, a unit
// skipped that differs from the last in any colour, style, place or text, a
// pixel changed outside the reported rectangle, a target left in another
// state than the calls give, and a Forget() not honoured.
TEST_P(FrameCanvasTest, TargetEqualsDrawingEveryCallAfterAnySequence) {
  UnitMaker maker(GetParam());
  std::mt19937 choice(GetParam() + 1000);
  RasterCanvas direct(kWidth, kHeight);
  RasterCanvas target(kWidth, kHeight);
  FrameCanvas frame(target);
  std::vector<Step> unit;
  bool drawnOnMeanwhile = false;
  for (int n = 0; n < 300; ++n) {
    SCOPED_TRACE("unit " + std::to_string(n));
    const int what = std::uniform_int_distribution<int>(0, 9)(choice);
    const bool repeat = n > 0 && what < 4;
    if (what == 4 && n > 0) {
      maker.Restyle(unit);
    } else if (what == 5 && n > 0) {
      maker.LeaveOneOut(unit);
    } else if (!repeat) {
      unit = maker.Make();
    }
    for (const Step& step : unit) {
      step(direct);
      step(frame);
    }
    const QImage before = target.GetImage();  // shared until the target draws
    const bool drew = frame.Present();
    ASSERT_TRUE(target.GetImage() == direct.GetImage());
    const TRect changed = frame.TakeChanged();
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (before.pixel(x, y) == target.GetImage().pixel(x, y)) continue;
        ASSERT_TRUE(x >= changed.Left && x < changed.Right && y >= changed.Top &&
                    y < changed.Bottom)
            << "(" << x << ", " << y << ") changed outside the reported rectangle";
      }
    }
    ExpectSameState(target, direct);
    ExpectSameState(frame, direct);
    // What the clock gains: a repeated unit is not drawn again.
    if (repeat && !drawnOnMeanwhile) {
      EXPECT_FALSE(drew);
    }
    drawnOnMeanwhile = what == 9;
    if (drawnOnMeanwhile) {
      // Someone else draws on the target between units, in a state of his
      // own; the frame canvas keeps its state.
      for (const Step& step : maker.Make()) {
        step(direct);
        step(target);
      }
      direct.SetPenColor(frame.GetPenColor());
      direct.SetBrushColor(frame.GetBrushColor());
      direct.SetBrushStyle(frame.GetBrushStyle());
      direct.SetFontColor(frame.GetFontColor());
      direct.MoveTo(frame.GetPenPos().X, frame.GetPenPos().Y);
      frame.Forget();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, FrameCanvasTest, ::testing::Values(1U, 2U, 3U, 4U, 5U, 6U));

}  // namespace
}  // namespace trilume
