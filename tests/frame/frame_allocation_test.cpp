// SPDX-License-Identifier: MIT
// A frame runs 64 times a second for days: it must not touch the heap. This
// file counts every allocation of the test program while frames run, as the
// window runs them, through a frame canvas onto a canvas that draws nothing,
// so only the frame, the model and the frame canvas are measured.
#include <gtest/gtest.h>

#include <memory>

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
  NullCanvas canvas;
  FrameCanvas drawing(canvas, kMaxFrameCalls);
  const auto session = std::make_unique<HeadlessClock>(drawing);
  for (PanelCheckBox box : {PanelCheckBox::kShowLineLengths, PanelCheckBox::kRainbow,
                            PanelCheckBox::kShowNumbersSquare, PanelCheckBox::kShowLinkLines}) {
    session->Panel.SetChecked(box, true);
  }
  session->Panel.ScrollBar1Position = 3000;
  session->Clock.Set(At(23, 59, 58, 0));
  for (int frame = 0; frame < 3; ++frame) {
    session->Frame();
    session->Clock.Advance(kFrameMicros);
  }

  StartCountingAllocations();
  // Across midnight, through CLEAR and every fill style, while the trace
  // fills.
  for (int frame = 0; frame < 200; ++frame) {
    if (frame % 50 == 0) Button2Click(drawing, session->Panel, session->Window);
    session->State.FillStyleIndex = frame % 9;
    session->SetFree(frame % 2 == 0);
    session->Frame();
    session->Clock.Advance(kFrameMicros);
  }
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_TRUE(session->GetLastFrame().Ok);
}

}  // namespace
}  // namespace trilume::testing
