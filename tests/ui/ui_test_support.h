// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QSize>
#include <QStyleHints>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "model/clock_state.h"
#include "model/date_time.h"
#include "ui/control_panel.h"
#include "ui/main_window.h"

// Sizes in failure messages as 1025x622, not as their bytes.
inline void PrintTo(const QSize& size, std::ostream* os) {
  *os << size.width() << "x" << size.height();
}

namespace trilume {

// Both windows as start-up creates them, on a clock that stands at
// 2024-06-15 10:08:30 UTC and a tick source that moves only when a test
// moves it. The frame and caption timers are stopped so a test decides
// when a frame runs; tests that want them enable them.
inline constexpr std::int64_t kTestInstant = 1'718'446'110'000'000;

class UiTest : public ::testing::Test {
 protected:
  static constexpr std::int64_t kInstant = kTestInstant;

  UiTest() : Clock(kInstant), State(std::make_unique<ClockState>()) {
    State->StartTime = Now(Clock);
    MainWindow = std::make_unique<TForm1>(*State, Clock, Ticks);
    Panel = std::make_unique<TForm2>();
    MainWindow->Timer1.SetEnabled(false);
    MainWindow->Timer2.SetEnabled(false);
  }

  ~UiTest() override {
    Panel.reset();
    MainWindow.reset();
  }

  // Moves the ticks past the desktop's double-click interval, after which
  // a lone click on the picture counts as a click.
  void WaitOutDoubleClickInterval() {
    Ticks.Advance((std::int64_t{QGuiApplication::styleHints()->mouseDoubleClickInterval()} + 50) *
                  1000);
  }

  QRgb CanvasPixel(int x, int y) const { return MainWindow->GetCanvas().GetImage().pixel(x, y); }

  FakeClock Clock;
  FakeTickSource Ticks;
  std::unique_ptr<ClockState> State;
  std::unique_ptr<TForm1> MainWindow;
  std::unique_ptr<TForm2> Panel;
};

// The lines the program wrote, without the platform plugin's own notes.
inline std::string OurLines(const std::string& written) {
  std::string ours;
  std::size_t start = 0;
  while (start < written.size()) {
    std::size_t end = written.find('\n', start);
    end = end == std::string::npos ? written.size() : end + 1;
    const std::string line = written.substr(start, end - start);
    if (line.rfind("trilume:", 0) == 0) {
      ours += line;
    }
    start = end;
  }
  return ours;
}

// The error window ShowException keeps, while it exists; deleting it is the
// test's business.
inline QMessageBox* FindErrorWindow() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<QMessageBox*>(window)) return box;
  }
  return nullptr;
}

}  // namespace trilume
