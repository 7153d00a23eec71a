// SPDX-License-Identifier: MIT
// The real window sleeps between the ticks that change what it shows, and a
// user's change wakes it at the very next tick.
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QMimeData>
#include <QPointingDevice>
#include <QTest>
#include <memory>
#include <ostream>

#include "model/tick_schedule.h"
#include "tests/ui/ui_test_support.h"

namespace trilume {
namespace {

class SleepingWindowTest : public UiTest {
 protected:
  // Runs the window until it sleeps past the next tick; TICK moves the
  // second hand once a second, so most ticks show nothing new.
  bool FallAsleep() {
    MainWindow->Timer1.SetEnabled(true);
    MainWindow->Timer2.SetEnabled(true);
    MainWindow->show();
    Panel->ComboBox1->setCurrentText(QStringLiteral("TICK"));
    for (int tick = 0; tick < 3 * 64; ++tick) {
      Tick();
      if (Ticks.IsWakePending() && Ticks.GetWakeDeadline() > NextTickDeadline()) return true;
    }
    return false;
  }
  // Moves the wall clock and the ticks on together by one tick.
  void Tick() {
    Clock.Advance(kTickMicroseconds);
    Ticks.Advance(kTickMicroseconds);
  }
  std::int64_t NextTickDeadline() const {
    return (Ticks.NowMicroseconds() / kTickMicroseconds + 1) * kTickMicroseconds;
  }
};

// Catches a window that wakes at every tick (sleeping left off, or its own
// wake-up taken for input) and a panel change that waits for the next
// planned wake-up instead of the next tick.
TEST_F(SleepingWindowTest, SleepsAndAPanelClickWakesItAtTheNextTick) {
  Panel->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Panel.get()));
  ASSERT_TRUE(FallAsleep());

  QTest::mouseClick(Panel->CheckBox6, Qt::LeftButton);
  ASSERT_TRUE(Panel->CheckBox6->isChecked());
  ASSERT_TRUE(Ticks.IsWakePending());
  EXPECT_EQ(Ticks.GetWakeDeadline(), NextTickDeadline());
}

// Takes every event it is sent, so that an event made up for the test
// reaches the application's filter and nothing else.
template <typename Base>
class Sink : public Base {
 public:
  bool event(QEvent* /*event*/) override { return true; }
};

struct InputCase {
  QEvent::Type Type;
  bool ToWidget = false;
  bool Wakes = true;
};

void PrintTo(const InputCase& input, std::ostream* out) { *out << input.Type; }

// An event of the class Qt delivers `type` in.
std::unique_ptr<QEvent> MakeEvent(QEvent::Type type) {
  static QMimeData dragged;
  const QPointF at(4, 4);
  const QPointingDevice* device = QPointingDevice::primaryPointingDevice();
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      return std::make_unique<QMouseEvent>(type, at, at, Qt::LeftButton, Qt::LeftButton,
                                           Qt::NoModifier);
    case QEvent::Wheel:
      return std::make_unique<QWheelEvent>(at, at, QPoint(), QPoint(0, 120), Qt::NoButton,
                                           Qt::NoModifier, Qt::NoScrollPhase, false);
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
      return std::make_unique<QKeyEvent>(type, Qt::Key_Space, Qt::NoModifier);
    case QEvent::InputMethod:
      return std::make_unique<QInputMethodEvent>();
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return std::make_unique<QTouchEvent>(type, device);
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
      return std::make_unique<QTabletEvent>(type, device, at, at, 0.5, 0.0F, 0.0F, 0.0F, 0.0, 0.0F,
                                            Qt::NoModifier, Qt::LeftButton, Qt::LeftButton);
    case QEvent::DragMove:
      return std::make_unique<QDragMoveEvent>(QPoint(4, 4), Qt::CopyAction, &dragged,
                                              Qt::LeftButton, Qt::NoModifier);
    case QEvent::Drop:
      return std::make_unique<QDropEvent>(at, Qt::CopyAction, &dragged, Qt::LeftButton,
                                          Qt::NoModifier);
    case QEvent::Resize:
      return std::make_unique<QResizeEvent>(QSize(300, 320), QSize(280, 310));
    case QEvent::WindowStateChange:
      return std::make_unique<QWindowStateChangeEvent>(Qt::WindowMinimized);
    case QEvent::Show:
      return std::make_unique<QShowEvent>();
    case QEvent::Hide:
      return std::make_unique<QHideEvent>();
    case QEvent::Timer:
      return std::make_unique<QTimerEvent>(1);
    default:
      return std::make_unique<QEvent>(type);
  }
}

class InputWakeTest : public SleepingWindowTest, public ::testing::WithParamInterface<InputCase> {};

// Catches an input that can change the picture (a click, a key, a resize,
// a restore, a screen reader's request, which comes as a queued call, a
// held scroll bar arrow's timer) but lets the window sleep on to its
// planned wake-up, and a filter that wakes for what cannot (a repaint, the
// tick source's own timer).
TEST_P(InputWakeTest, WakesAtTheNextTickExactlyForWhatCanChangeThePicture) {
  const InputCase& input = GetParam();
  ASSERT_TRUE(FallAsleep());
  Sink<QObject> object;
  Sink<QWidget> widget;
  QObject* receiver = input.ToWidget ? static_cast<QObject*>(&widget) : &object;
  if (input.Type == QEvent::MetaCall) {
    const auto nothing = [] {};
    QMetaObject::invokeMethod(receiver, nothing, Qt::QueuedConnection);
    QCoreApplication::sendPostedEvents(receiver, QEvent::MetaCall);
  } else {
    QCoreApplication::sendEvent(receiver, MakeEvent(input.Type).get());
  }
  ASSERT_TRUE(Ticks.IsWakePending());
  EXPECT_EQ(Ticks.GetWakeDeadline() == NextTickDeadline(), input.Wakes);
}

using E = QEvent;
INSTANTIATE_TEST_SUITE_P(
    Inputs, InputWakeTest,
    ::testing::Values(InputCase{E::MouseButtonPress}, InputCase{E::MouseButtonRelease},
                      InputCase{E::MouseButtonDblClick}, InputCase{E::MouseMove},
                      InputCase{E::Wheel}, InputCase{E::KeyPress}, InputCase{E::KeyRelease},
                      InputCase{E::ShortcutOverride}, InputCase{E::InputMethod},
                      InputCase{E::TouchBegin}, InputCase{E::TouchUpdate}, InputCase{E::TouchEnd},
                      InputCase{E::TabletPress}, InputCase{E::TabletMove},
                      InputCase{E::TabletRelease}, InputCase{E::DragMove}, InputCase{E::Drop},
                      InputCase{E::Resize}, InputCase{E::WindowStateChange}, InputCase{E::Show},
                      InputCase{E::Hide}, InputCase{E::ScreenChangeInternal},
                      InputCase{E::MetaCall}, InputCase{E::Timer, true},
                      InputCase{E::Timer, false, false},
                      InputCase{E::UpdateRequest, false, false}));

}  // namespace
}  // namespace trilume
