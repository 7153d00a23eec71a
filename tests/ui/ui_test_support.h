#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "model/clock_state.h"
#include "model/date_time.h"
#include "ui/control_panel.h"
#include "ui/main_window.h"

namespace trilume {

// Both windows as start-up creates them, on a clock that stands at
// 2024-06-15 10:08:30 UTC. The frame and caption timers are stopped so a
// test decides when a frame runs; tests that want them enable them.
inline constexpr std::int64_t kTestInstant = 1'718'446'110'000'000;

class UiTest : public ::testing::Test {
 protected:
  static constexpr std::int64_t kInstant = kTestInstant;

  UiTest() : Clock(kInstant), State(std::make_unique<ClockState>()) {
    State->StartTime = Now(Clock);
    MainWindow = std::make_unique<TForm1>(*State, Clock);
    Panel = std::make_unique<TForm2>();
    MainWindow->Timer1.SetEnabled(false);
    MainWindow->Timer2.SetEnabled(false);
  }

  ~UiTest() override {
    Panel.reset();
    MainWindow.reset();
  }

  QRgb CanvasPixel(int x, int y) const { return MainWindow->GetCanvas().GetImage().pixel(x, y); }

  FakeClock Clock;
  std::unique_ptr<ClockState> State;
  std::unique_ptr<TForm1> MainWindow;
  std::unique_ptr<TForm2> Panel;
};

}  // namespace trilume
