// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QSize>
#include <QStyleHints>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

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

// What screen readers were last given as news about a widget while one
// lives: from Qt 6.8 on an announcement, before it the widget's lent
// description.
class NewsHeard {
 public:
  NewsHeard() : Previous(QAccessible::installUpdateHandler(&Record)) { Said().clear(); }
  ~NewsHeard() { QAccessible::installUpdateHandler(Previous); }
  NewsHeard(const NewsHeard&) = delete;
  NewsHeard& operator=(const NewsHeard&) = delete;

  void Forget() { Said().clear(); }

  std::string About(const QWidget& widget) const {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    std::string last;
    for (const auto& [object, text] : Said()) {
      if (object == &widget) last = text;
    }
    return last;
#else
    return widget.accessibleDescription().toStdString();
#endif
  }

 private:
  static std::vector<std::pair<const QObject*, std::string>>& Said() {
    static std::vector<std::pair<const QObject*, std::string>> said;
    return said;
  }

  static void Record(QAccessibleEvent* event) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    if (event->type() == QAccessible::Announcement) {
      const auto* news = static_cast<QAccessibleAnnouncementEvent*>(event);
      Said().emplace_back(event->object(), news->message().toStdString());
    }
#else
    static_cast<void>(event);
#endif
  }

  QAccessible::UpdateHandler Previous;
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
