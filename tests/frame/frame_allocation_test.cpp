// A frame runs 64 times a second for days: it must not touch the heap. This
// file counts every allocation of the test program while frames run on a
// canvas that draws nothing, so only the frame and the model are measured.
#include <gtest/gtest.h>

#include "frame_test_support.h"
#include "tests/support/allocation_counter.h"

namespace trilume::testing {
namespace {

class NullCanvas final : public TCanvas {
 public:
  void LineTo(int x, int y) override { MoveTo(x, y); }
  void Ellipse(int, int, int, int) override {}
  void Rectangle(int, int, int, int) override {}
  void FillRect(const TRect&) override {}
  void TextOut(int, int, std::string_view) override {}
};

TEST(NoAllocationTest, FramesWithEverythingOnAllocateNothing) {
  PinTimeZoneAndLocale();
  ClockState state;
  PlainPanelSettings panel;
  for (PanelCheckBox box : {PanelCheckBox::kShowLineLengths, PanelCheckBox::kRainbow,
                            PanelCheckBox::kShowNumbersSquare, PanelCheckBox::kShowLinkLines}) {
    panel.SetChecked(box, true);
  }
  panel.ScrollBar1Position = 3000;
  NullCanvas canvas;
  FakeClock clock(At(23, 59, 58, 0));
  const WindowSize window;
  for (int frame = 0; frame < 3; ++frame) {
    Timer1Timer(state, canvas, panel, window, false, clock);
    clock.Advance(kFrameMicros);
  }

  StartCountingAllocations();
  // Across midnight, through CLEAR and every fill style.
  for (int frame = 0; frame < 200; ++frame) {
    if (frame % 50 == 0) Button2Click(canvas, panel, window);
    state.FillStyleIndex = frame % 9;
    Timer1Timer(state, canvas, panel, window, frame % 2 == 0, clock);
    clock.Advance(kFrameMicros);
  }
  EXPECT_EQ(StopCountingAllocations(), 0);
}

}  // namespace
}  // namespace trilume::testing
