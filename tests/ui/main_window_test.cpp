// SPDX-License-Identifier: MIT
// The main window: clicks, double-clicks, the caption, frames and the
// program-wide references.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "model/caption.h"
#include "render/canvas/colour.h"
#include "tests/ui/ui_test_support.h"
#include "ui/error_window.h"

namespace trilume {
namespace {

using MainWindowTest = UiTest;

TEST_F(MainWindowTest, DesignValuesAndReferences) {
  EXPECT_EQ(Form1, MainWindow.get());
  EXPECT_EQ(Form2, Panel.get());
  EXPECT_EQ(MainWindow->windowTitle(), "TRILUME");
  EXPECT_EQ(MainWindow->pos(), QPoint(kMainWindowLeft, kMainWindowTop));
  EXPECT_EQ(MainWindow->palette().color(QPalette::Window), QColor(0, 0, 128));
  // Not yet framed: outer and client size agree.
  EXPECT_EQ(MainWindow->GetOuterSize().Width, kMainWindowOuterWidth);
  EXPECT_EQ(MainWindow->GetOuterSize().Height, kMainWindowOuterHeight);
  EXPECT_EQ(MainWindow->size(), QSize(kMainWindowOuterWidth, kMainWindowOuterHeight));
  EXPECT_EQ(MainWindow->Image1->geometry(),
            QRect(0, 0, RasterCanvas::kWidth, RasterCanvas::kHeight));
  EXPECT_EQ(MainWindow->Timer1.GetInterval(), kFrameIntervalMilliseconds);
  EXPECT_EQ(MainWindow->Timer2.GetInterval(), kCaptionIntervalMilliseconds);
  EXPECT_EQ(MainWindow->Timer3.GetInterval(), kFlightIntervalMilliseconds);
  EXPECT_FALSE(MainWindow->Timer3.GetEnabled());
  EXPECT_FALSE(Panel->isVisible());
}

TEST_F(MainWindowTest, OnceFramedBothWindowsHaveTheirDesignSizes) {
  struct Row {
    const char* Name;
    QWidget* Window;
    QSize Outer;       // frame included
    int ClientHeight;  // 0 where the height is an outer one
  };
  for (const Row& row :
       {Row{"main window", MainWindow.get(), QSize(kMainWindowOuterWidth, kMainWindowOuterHeight),
            0},
        Row{"panel", Panel.get(), QSize(kPanelOuterWidth, 0), kPanelClientHeight}}) {
    row.Window->show();
    QCoreApplication::processEvents();
    const QSize margins = row.Window->frameGeometry().size() - row.Window->size();
    ASSERT_GT(margins.width(), 0) << row.Name << ": the platform gives no frame";
    EXPECT_EQ(row.Window->frameGeometry().width(), row.Outer.width()) << row.Name;
    if (row.ClientHeight == 0) {
      EXPECT_EQ(row.Window->frameGeometry().height(), row.Outer.height()) << row.Name;
    } else {
      EXPECT_EQ(row.Window->height(), row.ClientHeight) << row.Name;
    }
  }
  EXPECT_EQ(MainWindow->GetOuterSize().Width, kMainWindowOuterWidth);
  EXPECT_EQ(MainWindow->GetOuterSize().Height, kMainWindowOuterHeight);
  // A size the user gives stays.
  const QSize margins = MainWindow->frameGeometry().size() - MainWindow->size();
  MainWindow->resize(500, 400);
  QCoreApplication::processEvents();
  EXPECT_EQ(MainWindow->size(), QSize(500, 400));
  EXPECT_EQ(MainWindow->GetOuterSize().Width, 500 + margins.width());
}

TEST_F(MainWindowTest, AClickOnThePictureShowsThePanelWithItsSettingsKept) {
  MainWindow->show();
  Panel->CheckBox5->setChecked(true);
  Panel->ScrollBar1->setValue(123);
  QTest::mouseClick(MainWindow->Image1, Qt::LeftButton, {}, QPoint(40, 40));
  WaitOutDoubleClickInterval();
  EXPECT_TRUE(Panel->isVisible());
  Panel->close();
  EXPECT_FALSE(Panel->isVisible());
  QTest::mouseClick(MainWindow->Image1, Qt::LeftButton, {}, QPoint(200, 250));
  WaitOutDoubleClickInterval();
  EXPECT_TRUE(Panel->isVisible());
  EXPECT_TRUE(Panel->CheckBox5->isChecked());
  EXPECT_EQ(Panel->ScrollBar1->value(), 123);
  EXPECT_EQ(Panel->GetScrollBar1Position(), 123);
  EXPECT_EQ(MainWindow->windowTitle(), "TRILUME");  // the panel leaves the caption alone
}

// The panel opens over the clock: were it shown at the first click, the
// second click of a double-click would land on one of its controls.
TEST_F(MainWindowTest, TheFirstClickOfADoubleClickNeverOpensThePanel) {
  MainWindow->show();
  const std::int64_t interval =
      std::int64_t{QGuiApplication::styleHints()->mouseDoubleClickInterval()} * 1000;
  QTest::mouseClick(MainWindow->Image1, Qt::LeftButton, {}, QPoint(60, 60));
  Ticks.Advance(interval / 2);
  EXPECT_FALSE(Panel->isVisible()) << "opened before the double-click interval ended";
  QTest::mouseDClick(MainWindow->Image1, Qt::LeftButton, {}, QPoint(60, 60));
  WaitOutDoubleClickInterval();
  WaitOutDoubleClickInterval();
  EXPECT_FALSE(Panel->isVisible());
  EXPECT_EQ(State->FillStyleIndex, 5);
  // A later single click still opens it.
  QTest::mouseClick(MainWindow->Image1, Qt::LeftButton, {}, QPoint(60, 60));
  WaitOutDoubleClickInterval();
  EXPECT_TRUE(Panel->isVisible());
}

TEST_F(MainWindowTest, EnterOrSpaceOpensThePanelAndEscapeHidesIt) {
  MainWindow->show();
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
    QTest::keyClick(MainWindow.get(), key);
    ASSERT_TRUE(Panel->isVisible()) << key;
    // From whichever control has the focus.
    QTest::keyClick(Panel->CheckBox5, Qt::Key_Escape);
    EXPECT_FALSE(Panel->isVisible()) << key;
  }
  EXPECT_FALSE(Panel->CheckBox5->isChecked());
}

// A screen reader speaks every change of its focus's name: the focus must
// rest on the picture, whose name stays, not on the window, whose title is
// the status line. The picture's extents are what the window shows of it.
TEST_F(MainWindowTest, ThePictureHoldsTheFocusAndReportsOnlyItsShownPart) {
  MainWindow->show();
  MainWindow->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(MainWindow.get()));
  EXPECT_EQ(QApplication::focusWidget(), MainWindow->Image1);
  QAccessibleInterface* picture = QAccessible::queryAccessibleInterface(MainWindow->Image1);
  const QRect extents = picture->rect();
  EXPECT_EQ(extents.size(), MainWindow->size());
  EXPECT_EQ(extents.topLeft(), MainWindow->mapToGlobal(QPoint(0, 0)));
  MainWindow->resize(400, 350);
  ASSERT_TRUE(QTest::qWaitFor([&] { return MainWindow->size() == QSize(400, 350); }));
  EXPECT_EQ(picture->rect().size(), QSize(400, 350));
  // Keys still reach the window through the picture.
  QTest::keyClick(MainWindow->Image1, Qt::Key_P);
  EXPECT_EQ(State->FillStyleIndex, 5);
  MainWindow->hide();
  EXPECT_TRUE(picture->rect().isEmpty());
}

TEST_F(MainWindowTest, RightClicksOnThePictureDoNothing) {
  MainWindow->show();
  QTest::mouseClick(MainWindow->Image1, Qt::RightButton, {}, QPoint(40, 40));
  QTest::mouseDClick(MainWindow->Image1, Qt::RightButton, {}, QPoint(40, 40));
  EXPECT_FALSE(Panel->isVisible());
  EXPECT_EQ(State->FillStyleIndex, 4);
}

TEST_F(MainWindowTest, DoubleClicksOrPStepThroughAllNineStyles) {
  MainWindow->show();
  std::vector<int> seen;
  for (int i = 0; i < 6; ++i) {
    QTest::mouseDClick(MainWindow->Image1, Qt::LeftButton, {}, QPoint(100, 100));
    seen.push_back(State->FillStyleIndex);
  }
  EXPECT_EQ(seen, (std::vector<int>{5, 6, 7, 8, 0, 1}));
  // P is the keyboard's double-click on the picture.
  QTest::keyClick(MainWindow.get(), Qt::Key_P);
  EXPECT_EQ(State->FillStyleIndex, 2);
}

TEST_F(MainWindowTest, DoubleClicksOnTheBareBackgroundWrapAfterSeven) {
  // Larger than the picture, so navy background shows right and below it.
  MainWindow->resize(1400, 900);
  MainWindow->show();
  const QPoint background(1350, 850);
  ASSERT_EQ(MainWindow->childAt(background), nullptr);
  std::vector<int> seen;
  for (int i = 0; i < 5; ++i) {
    QTest::mouseDClick(MainWindow.get(), Qt::LeftButton, {}, background);
    seen.push_back(State->FillStyleIndex);
  }
  EXPECT_EQ(seen, (std::vector<int>{5, 6, 7, 0, 1}));
  State->FillStyleIndex = 8;  // reached only from the picture
  QTest::mouseDClick(MainWindow.get(), Qt::LeftButton, {}, background);
  EXPECT_EQ(State->FillStyleIndex, 0);
  // A single click there does nothing at all.
  QTest::mouseClick(MainWindow.get(), Qt::LeftButton, {}, background);
  EXPECT_EQ(State->FillStyleIndex, 0);
  EXPECT_FALSE(Panel->isVisible());
}

TEST_F(MainWindowTest, AFrameUsesTheOuterSizeAndShowsOnThePicture) {
  MainWindow->show();
  QCoreApplication::processEvents();
  MainWindow->Timer1Timer();
  EXPECT_FLOAT_EQ(State->CentreX, 136.0F);  // 280 div 2 - 4
  EXPECT_FLOAT_EQ(State->CentreY, 138.0F);  // 310 div 2 - 17
  EXPECT_FALSE(State->TriangleKind.empty());
  // What the window paints is the canvas, pixel for pixel.
  const QImage shown = MainWindow->Image1->grab(QRect(0, 0, 280, 310)).toImage();
  const QImage& canvas = MainWindow->GetCanvas().GetImage();
  int differing = 0;
  for (int y = 0; y < 310; y += 7) {
    for (int x = 0; x < 280; x += 7) {
      differing += (shown.pixel(x, y) & 0xFFFFFFU) != (canvas.pixel(x, y) & 0xFFFFFFU) ? 1 : 0;
    }
  }
  EXPECT_EQ(differing, 0);
  // The white dial is on the picture.
  EXPECT_EQ(shown.pixel(136, 40) & 0xFFFFFFU, ToArgb(kWhite) & 0xFFFFFFU);
}

TEST_F(MainWindowTest, FreeFlightStepsUseTheOuterSize) {
  MainWindow->Timer1Timer();
  const float x = State->CentreX;
  const float y = State->CentreY;
  MainWindow->Timer3Timer();
  EXPECT_FLOAT_EQ(State->CentreX, x - 1.0F);
  EXPECT_FLOAT_EQ(State->CentreY, y - 1.0F);
}

TEST_F(MainWindowTest, MinimisingPausesFramesAndRestoringResumesThem) {
  MainWindow->Timer1.SetEnabled(true);
  MainWindow->show();
  MainWindow->setWindowState(Qt::WindowMinimized);
  EXPECT_FALSE(MainWindow->Timer1.GetEnabled());
  MainWindow->setWindowState(Qt::WindowNoState);
  EXPECT_TRUE(MainWindow->Timer1.GetEnabled());
}

TEST_F(MainWindowTest, ClosingTheMainWindowAsksTheProgramToEnd) {
  MainWindow->show();
  Panel->show();
  QSignalSpy closed(MainWindow.get(), &TForm1::Closed);
  MainWindow->close();
  EXPECT_EQ(closed.count(), 1);
}

// The window's own timers on its tick source: the caption first at the 13th
// tick (203 ms after start), and nothing in between; the frames of the
// ticks it slept through have all run by then.
TEST(CaptionTimerTest, CaptionIsTrilumeUntilTheFirstCaptionTickThenTheStatusLine) {
  FakeClock clock(kTestInstant);
  FakeTickSource ticks;
  auto state = std::make_unique<ClockState>();
  state->StartTime = Now(clock);
  TForm1 form1(*state, clock, ticks);
  TForm2 form2;
  form1.show();
  for (int tick = 1; tick <= 12; ++tick) {
    clock.Advance(kTickMicroseconds);
    ticks.Advance(kTickMicroseconds);
    EXPECT_EQ(form1.windowTitle(), "TRILUME") << tick;
  }
  clock.Advance(kTickMicroseconds);
  ASSERT_TRUE(ticks.Advance(kTickMicroseconds));
  EXPECT_FALSE(state->TriangleKind.empty());
  EXPECT_EQ(form1.windowTitle().toStdString(), ComposeCaption(Now(clock), *state));
  EXPECT_TRUE(form1.windowTitle().contains(" Triangle is "));
}

std::string BrokenTimeText(TDateTime /*time*/) { return "1x:00:00"; }
// What a locale with a blank-padded hour gives before ten o'clock.
std::string UnpaddedTimeText(TDateTime /*time*/) { return " 9:05:07 AM"; }

// A fault that fails every frame is told once per episode: a closed message
// window stays closed while the fault lasts, and comes back only after a
// clean frame or with another fault.
TEST_F(MainWindowTest, AFailingFrameIsReportedOncePerEpisodeAndTheClockGoesOn) {
  MainWindow->show();
  MainWindow->Timer1.SetEnabled(true);
  MainWindow->Timer1Timer();  // one good frame first
  MainWindow->SetTimeTextFormatter(&BrokenTimeText);
  testing::internal::CaptureStderr();
  for (int frame = 0; frame < 20; ++frame) {
    MainWindow->Timer1Timer();
  }
  EXPECT_EQ(OurLines(testing::internal::GetCapturedStderr()),
            "trilume: 'x' is not a valid integer value\n");
  QMessageBox* window = FindErrorWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isModal());

  // The user closes it; the fault goes on and nothing more is told.
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  testing::internal::CaptureStderr();
  for (int frame = 0; frame < 20; ++frame) {
    MainWindow->Timer1Timer();
  }
  EXPECT_EQ(OurLines(testing::internal::GetCapturedStderr()), "");
  EXPECT_EQ(FindErrorWindow(), nullptr);

  // Another fault is news at once.
  MainWindow->SetTimeTextFormatter(&UnpaddedTimeText);
  testing::internal::CaptureStderr();
  MainWindow->Timer1Timer();
  MainWindow->Timer1Timer();
  EXPECT_EQ(OurLines(testing::internal::GetCapturedStderr()),
            "trilume: ' ' is not a valid integer value\n");
  window = FindErrorWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->text(), "' ' is not a valid integer value");
  delete window;

  // The frame timer stays on, and after one good frame the first fault is
  // news again.
  EXPECT_TRUE(MainWindow->Timer1.GetEnabled());
  MainWindow->SetTimeTextFormatter(&TimeToStr);
  MainWindow->Timer1Timer();
  MainWindow->SetTimeTextFormatter(&BrokenTimeText);
  testing::internal::CaptureStderr();
  MainWindow->Timer1Timer();
  EXPECT_EQ(OurLines(testing::internal::GetCapturedStderr()),
            "trilume: 'x' is not a valid integer value\n");
  window = FindErrorWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  delete window;
}

}  // namespace
}  // namespace trilume
