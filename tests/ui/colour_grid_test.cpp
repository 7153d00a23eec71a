// SPDX-License-Identifier: MIT
// The colour grid's gestures: pointer and keyboard, and when it signals.
#include "ui/colour_grid.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

namespace trilume {
namespace {

class ColourGridTest : public ::testing::Test {
 protected:
  ColourGridTest() : Changes(&Grid, &TCColorGrid::Change) { Grid.setGeometry(8, 80, 104, 88); }

  void Click(Qt::MouseButton button, int index) {
    QTest::mouseClick(&Grid, button, {}, Grid.CellRect(index).center());
  }

  TCColorGrid Grid;
  QSignalSpy Changes;
};

TEST_F(ColourGridTest, CellsCoverTheGridRowByRow) {
  EXPECT_EQ(Grid.CellAt(QPoint(0, 0)), 0);
  EXPECT_EQ(Grid.CellAt(QPoint(103, 0)), 3);
  EXPECT_EQ(Grid.CellAt(QPoint(0, 22)), 4);
  EXPECT_EQ(Grid.CellAt(QPoint(103, 87)), 15);
  EXPECT_EQ(Grid.CellAt(QPoint(104, 10)), -1);
  for (int index = 0; index < 16; ++index) {
    EXPECT_EQ(Grid.CellAt(Grid.CellRect(index).center()), index);
  }
}

TEST_F(ColourGridTest, LeftPicksForegroundRightPicksBackground) {
  Click(Qt::LeftButton, 15);
  EXPECT_EQ(Grid.GetForegroundIndex(), 15);
  EXPECT_EQ(Grid.GetForegroundColor(), kWhite);
  EXPECT_EQ(Grid.GetBackgroundIndex(), 4);
  Click(Qt::RightButton, 0);
  EXPECT_EQ(Grid.GetBackgroundColor(), kBlack);
  EXPECT_EQ(Grid.GetForegroundColor(), kWhite);
  EXPECT_EQ(Changes.count(), 2);
  // Picking what is already picked changes nothing and says nothing.
  Click(Qt::LeftButton, 15);
  Click(Qt::RightButton, 0);
  Click(Qt::MiddleButton, 7);
  EXPECT_EQ(Changes.count(), 2);
  // Both selections may share a cell.
  Click(Qt::RightButton, 15);
  EXPECT_EQ(Grid.GetBackgroundIndex(), 15);
  EXPECT_EQ(Grid.GetForegroundIndex(), 15);
  EXPECT_EQ(Changes.count(), 3);
}

TEST_F(ColourGridTest, KeyboardMovesTheCursorAndPicks) {
  EXPECT_EQ(Grid.GetCursorIndex(), 2);  // starts on the foreground
  QTest::keyClick(&Grid, Qt::Key_Right);
  QTest::keyClick(&Grid, Qt::Key_Right);  // stops at the edge
  EXPECT_EQ(Grid.GetCursorIndex(), 3);
  QTest::keyClick(&Grid, Qt::Key_Down);
  QTest::keyClick(&Grid, Qt::Key_Down);
  EXPECT_EQ(Grid.GetCursorIndex(), 11);
  EXPECT_EQ(Changes.count(), 0);  // moving picks nothing
  QTest::keyClick(&Grid, Qt::Key_Space);
  EXPECT_EQ(Grid.GetForegroundColor(), kYellow);
  QTest::keyClick(&Grid, Qt::Key_Left);
  QTest::keyClick(&Grid, Qt::Key_Space, Qt::ShiftModifier);
  EXPECT_EQ(Grid.GetBackgroundColor(), kLime);
  QTest::keyClick(&Grid, Qt::Key_Up);
  QTest::keyClick(&Grid, Qt::Key_Up);
  QTest::keyClick(&Grid, Qt::Key_Up);
  QTest::keyClick(&Grid, Qt::Key_Up);
  EXPECT_EQ(Grid.GetCursorIndex(), 2);
  QTest::keyClick(&Grid, Qt::Key_B);
  EXPECT_EQ(Grid.GetBackgroundColor(), kGreen);
  QTest::keyClick(&Grid, Qt::Key_Left);
  QTest::keyClick(&Grid, Qt::Key_Return);
  EXPECT_EQ(Grid.GetForegroundColor(), kMaroon);
  EXPECT_EQ(Changes.count(), 4);
}

TEST_F(ColourGridTest, SelectionsOutsideTheGridAreIgnored) {
  Grid.SetForegroundIndex(16);
  Grid.SetBackgroundIndex(-1);
  EXPECT_EQ(Grid.GetForegroundIndex(), 2);
  EXPECT_EQ(Grid.GetBackgroundIndex(), 4);
  EXPECT_EQ(Changes.count(), 0);
}

TEST_F(ColourGridTest, MarksBothSelectionsAndTheFocusCursor) {
  Grid.show();
  const QImage before = Grid.grab().toImage();
  // The foreground cell (green) carries a light mark; an unmarked green
  // cell would be plain green throughout.
  const QRect cell = Grid.CellRect(2);
  int marked = 0;
  for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y) {
    for (int x = cell.left() + 2; x < cell.right() - 1; ++x) {
      marked += QColor(before.pixel(x, y)) != QColor(0, 128, 0) ? 1 : 0;
    }
  }
  EXPECT_GT(marked, 10);
  const QRect plain = Grid.CellRect(10);  // lime, unselected
  for (int y = plain.top() + 2; y < plain.bottom() - 1; ++y) {
    for (int x = plain.left() + 2; x < plain.right() - 1; ++x) {
      ASSERT_EQ(QColor(before.pixel(x, y)), QColor(0, 255, 0)) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace trilume
