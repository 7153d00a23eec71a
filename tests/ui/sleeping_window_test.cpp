// SPDX-License-Identifier: MIT
// The real window sleeps between the ticks that change what it shows, and a
// user's change wakes it at the very next tick.
#include <QCheckBox>
#include <QComboBox>
#include <QTest>

#include "model/tick_schedule.h"
#include "tests/ui/ui_test_support.h"

namespace trilume {
namespace {

class SleepingWindowTest : public UiTest {
 protected:
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
  MainWindow->Timer1.SetEnabled(true);
  MainWindow->Timer2.SetEnabled(true);
  MainWindow->show();
  Panel->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Panel.get()));
  // TICK moves the second hand once a second: most ticks show nothing new.
  Panel->ComboBox1->setCurrentText(QStringLiteral("TICK"));
  bool slept = false;
  for (int tick = 0; tick < 3 * 64 && !slept; ++tick) {
    Tick();
    slept = Ticks.IsWakePending() && Ticks.GetWakeDeadline() > NextTickDeadline();
  }
  ASSERT_TRUE(slept);

  QTest::mouseClick(Panel->CheckBox6, Qt::LeftButton);
  ASSERT_TRUE(Panel->CheckBox6->isChecked());
  ASSERT_TRUE(Ticks.IsWakePending());
  EXPECT_EQ(Ticks.GetWakeDeadline(), NextTickDeadline());
}

}  // namespace
}  // namespace trilume
