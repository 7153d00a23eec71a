// SPDX-License-Identifier: MIT
// The control panel: design values, live settings, the value labels, the
// buttons, the colour grid on the main window's canvas, fonts and focus.
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "render/canvas/colour.h"
#include "tests/ui/ui_test_support.h"
#include "ui/focus_ring.h"

namespace trilume {
namespace {

using ControlPanelTest = UiTest;

struct Placement {
  const char* Name;
  QRect Rect;
};

TEST_F(ControlPanelTest, EveryControlSitsAtItsDesignPlace) {
  const std::vector<std::pair<QWidget*, Placement>> table = {
      {Panel->Label6, {"Label6", QRect(8, 8, 55, 13)}},
      {Panel->CheckBox2, {"CheckBox2", QRect(64, 8, 17, 17)}},
      {Panel->Label12, {"Label12", QRect(8, 32, 52, 13)}},
      {Panel->CheckBox6, {"CheckBox6", QRect(64, 32, 17, 17)}},
      {Panel->Label7, {"Label7", QRect(8, 56, 45, 13)}},
      {Panel->CColorGrid1, {"CColorGrid1", QRect(8, 80, 104, 88)}},
      {Panel->Label4, {"Label4", QRect(80, 8, 110, 13)}},
      {Panel->ScrollBar1, {"ScrollBar1", QRect(208, 8, 57, 17)}},
      {Panel->Label5, {"Label5", QRect(272, 8, 12, 13)}},
      {Panel->Label1, {"Label1", QRect(80, 32, 121, 13)}},
      {Panel->ScrollBar2, {"ScrollBar2", QRect(208, 32, 57, 17)}},
      {Panel->Label2, {"Label2", QRect(272, 32, 6, 13)}},
      {Panel->Label10, {"Label10", QRect(120, 64, 139, 13)}},
      {Panel->CheckBox4, {"CheckBox4", QRect(272, 64, 17, 17)}},
      {Panel->Label15, {"Label15", QRect(120, 80, 139, 13)}},
      {Panel->CheckBox9, {"CheckBox9", QRect(272, 80, 17, 17)}},
      {Panel->Label3, {"Label3", QRect(120, 96, 109, 13)}},
      {Panel->CheckBox1, {"CheckBox1", QRect(272, 96, 17, 17)}},
      {Panel->Label9, {"Label9", QRect(120, 112, 129, 13)}},
      {Panel->CheckBox3, {"CheckBox3", QRect(272, 112, 17, 17)}},
      {Panel->Label11, {"Label11", QRect(120, 128, 115, 13)}},
      {Panel->CheckBox5, {"CheckBox5", QRect(272, 128, 17, 17)}},
      {Panel->Label13, {"Label13", QRect(120, 144, 75, 13)}},
      {Panel->CheckBox7, {"CheckBox7", QRect(272, 144, 17, 17)}},
      {Panel->Label14, {"Label14", QRect(120, 160, 95, 13)}},
      {Panel->CheckBox8, {"CheckBox8", QRect(272, 160, 17, 17)}},
      {Panel->Label8, {"Label8", QRect(120, 176, 62, 13)}},
      {Panel->ComboBox1, {"ComboBox1", QRect(120, 192, 97, 21)}},
      {Panel->Button1, {"Button1", QRect(8, 192, 105, 17)}},
      {Panel->Button2, {"Button2", QRect(224, 192, 65, 17)}},
  };
  for (const auto& [widget, placement] : table) {
    EXPECT_EQ(widget->geometry(), placement.Rect) << placement.Name;
  }
  EXPECT_EQ(Panel->windowTitle(), "TRILUME CONTROL PANEL");
  EXPECT_EQ(Panel->pos(), QPoint(kPanelLeft, kPanelTop));
  EXPECT_EQ(Panel->size(), QSize(kPanelOuterWidth, kPanelClientHeight));  // not yet framed
  EXPECT_EQ(Panel->palette().color(QPalette::Window), QColor(0, 0, 0));
  EXPECT_EQ(Panel->Label6->palette().color(QPalette::Window), QColor(0, 0, 255));
  EXPECT_EQ(Panel->Label6->palette().color(QPalette::WindowText),
            QApplication::palette().color(QPalette::WindowText));
}

// The settings themselves are those of the in-memory panel (below).
TEST_F(ControlPanelTest, StartsAtTheDesignSettings) {
  for (int number = 1; number <= 9; ++number) {
    EXPECT_TRUE(Panel->GetCheckBox(static_cast<PanelCheckBox>(number))->text().isEmpty());
  }
  EXPECT_EQ(Panel->Label5->text(), "20");
  EXPECT_EQ(Panel->Label2->text(), "2");
  EXPECT_EQ(Panel->ScrollBar1->minimum(), 1);
  EXPECT_EQ(Panel->ScrollBar1->maximum(), kMaxTraceCount);
  EXPECT_EQ(Panel->ScrollBar1->singleStep(), 1);
  EXPECT_EQ(Panel->ScrollBar1->pageStep(), kTraceCountPageStep);
  EXPECT_EQ(Panel->ScrollBar2->minimum(), 1);
  EXPECT_EQ(Panel->ScrollBar2->maximum(), kMaxAlternativeColours);
  EXPECT_EQ(Panel->ScrollBar2->pageStep(), kAlternativeColoursPageStep);
  EXPECT_TRUE(Panel->ComboBox1->isEditable());
  ASSERT_EQ(Panel->ComboBox1->count(), static_cast<int>(kMovementModes.size()));
  for (int i = 0; i < Panel->ComboBox1->count(); ++i) {
    EXPECT_EQ(Panel->ComboBox1->itemText(i).toStdString(),
              kMovementModes[static_cast<std::size_t>(i)].Name);
  }
  EXPECT_EQ(Panel->Button1->text(), "FREE The Triangle");
  EXPECT_EQ(Panel->Button2->text(), "CLEAR");
  EXPECT_EQ(Panel->GetFreeFlightFlag(), 0);
  EXPECT_EQ(Panel->CColorGrid1->GetForegroundIndex(), 2);
  EXPECT_EQ(Panel->CColorGrid1->GetBackgroundIndex(), 4);
}

// The tools and tests run on the in-memory panel: it must open as the
// window's panel does, or their pictures are not the program's.
TEST_F(ControlPanelTest, OpensWithTheInMemoryPanelsSettings) {
  const PlainPanelSettings plain;
  const PanelSettings& window = *Panel;
  for (int number = 1; number <= 9; ++number) {
    const auto box = static_cast<PanelCheckBox>(number);
    EXPECT_EQ(window.IsChecked(box), plain.IsChecked(box)) << "CheckBox" << number;
  }
  EXPECT_EQ(window.GetScrollBar1Position(), plain.GetScrollBar1Position());
  EXPECT_EQ(window.GetScrollBar2Position(), plain.GetScrollBar2Position());
  EXPECT_EQ(window.GetMovementText(), plain.GetMovementText());
  EXPECT_EQ(window.GetForegroundColor(), plain.GetForegroundColor());
  EXPECT_EQ(window.GetBackgroundColor(), plain.GetBackgroundColor());
  EXPECT_EQ(window.GetClearRequest(), plain.GetClearRequest());
}

TEST_F(ControlPanelTest, ValueLabelsFollowTheScrollBarsToTheirEnds) {
  Panel->ScrollBar1->setValue(1);
  EXPECT_EQ(Panel->Label5->text(), "1");
  Panel->ScrollBar1->setValue(3000);
  EXPECT_EQ(Panel->Label5->text(), "3000");
  Panel->ScrollBar1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(Panel->Label5->text(), "3000");
  EXPECT_EQ(Panel->GetScrollBar1Position(), 3000);
  Panel->ScrollBar1->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(Panel->Label5->text(), "2980");
  for (int position = 1; position <= 12; ++position) {
    Panel->ScrollBar2->setValue(position);
    EXPECT_EQ(Panel->Label2->text(), QString::number(position));
    EXPECT_EQ(Panel->GetScrollBar2Position(), position);
  }
  Panel->ScrollBar2->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(Panel->Label2->text(), "12");
  // The widest value stays inside the window and shows whole.
  Panel->ScrollBar1->setValue(3000);
  const QFontMetrics metrics(Panel->Label5->font());
  EXPECT_GE(Panel->Label5->width(), metrics.horizontalAdvance("3000"));
  EXPECT_LE(Panel->Label5->geometry().right(), Panel->width() - 1);
}

void Wheel(QScrollBar* bar, int angleDelta) {
  const QPointF centre(bar->rect().center());
  QWheelEvent event(centre, bar->mapToGlobal(centre), QPoint(), QPoint(0, angleDelta), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(bar, &event);
}

TEST_F(ControlPanelTest, ArrowKeysRaiseToTheRightAndUpAndTheWheelMovesTheThumbItsWay) {
  struct Row {
    const char* Name;
    std::function<void(QScrollBar*)> Do;
    int Bar1;  // from 100, page 20, 1..3000
    int Bar2;  // from 6, page 1, 1..12
  };
  const auto key = [](Qt::Key k) { return [k](QScrollBar* bar) { QTest::keyClick(bar, k); }; };
  const std::vector<Row> table = {
      {"Right", key(Qt::Key_Right), 101, 7},
      {"Up", key(Qt::Key_Up), 101, 7},
      {"Left", key(Qt::Key_Left), 99, 5},
      {"Down", key(Qt::Key_Down), 99, 5},
      {"PageUp", key(Qt::Key_PageUp), 120, 7},
      {"PageDown", key(Qt::Key_PageDown), 80, 5},
      {"Home", key(Qt::Key_Home), 1, 1},
      {"End", key(Qt::Key_End), 3000, 12},
      // Turned away from the user the wheel moves the thumb left (three
      // lines, at most a page), as on any horizontal scroll bar.
      {"wheel away", [](QScrollBar* bar) { Wheel(bar, 120); }, 97, 5},
      {"wheel towards", [](QScrollBar* bar) { Wheel(bar, -120); }, 103, 7},
  };
  for (const Row& row : table) {
    Panel->ScrollBar1->setValue(100);
    Panel->ScrollBar2->setValue(6);
    row.Do(Panel->ScrollBar1);
    row.Do(Panel->ScrollBar2);
    EXPECT_EQ(Panel->ScrollBar1->value(), row.Bar1) << row.Name;
    EXPECT_EQ(Panel->ScrollBar2->value(), row.Bar2) << row.Name;
    EXPECT_EQ(Panel->Label5->text(), QString::number(row.Bar1)) << row.Name;
  }
}

TEST_F(ControlPanelTest, LabelTextsFitTheirPlacesInAnElevenPixelFont) {
  const std::vector<QLabel*> labels = {
      Panel->Label1,  Panel->Label3,  Panel->Label4,  Panel->Label6,  Panel->Label7,
      Panel->Label8,  Panel->Label9,  Panel->Label10, Panel->Label11, Panel->Label12,
      Panel->Label13, Panel->Label14, Panel->Label15, Panel->Label5,  Panel->Label2};
  for (QLabel* label : labels) {
    const QFontMetrics metrics(label->font());
    EXPECT_EQ(metrics.height(), 11) << label->text().toStdString();
    EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
        << label->text().toStdString();
    // No text runs into a control to its right on the same line.
    const int textRight = label->x() + metrics.horizontalAdvance(label->text());
    for (QObject* child : Panel->children()) {
      auto* other = qobject_cast<QWidget*>(child);
      if (other == nullptr || other == label || other->x() <= label->x()) {
        continue;
      }
      const bool sameLine = other->y() < label->geometry().bottom() + 1 &&
                            label->y() < other->geometry().bottom() + 1;
      if (sameLine) {
        EXPECT_LE(textRight, other->x())
            << label->text().toStdString() << " runs into " << other->metaObject()->className();
      }
    }
  }
}

TEST_F(ControlPanelTest, FocusMovesInTheDesignOrder) {
  Panel->show();
  Panel->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Panel.get()));
  const std::vector<QWidget*> order = {
      Panel->ScrollBar1, Panel->ScrollBar2, Panel->CColorGrid1, Panel->CheckBox2, Panel->ComboBox1,
      Panel->CheckBox5,  Panel->CheckBox6,  Panel->Button1,     Panel->Button2,   Panel->CheckBox4,
      Panel->CheckBox1,  Panel->CheckBox3,  Panel->CheckBox7,   Panel->CheckBox8, Panel->CheckBox9};
  Panel->ScrollBar1->setFocus(Qt::TabFocusReason);
  for (std::size_t i = 0; i < order.size(); ++i) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr) << i;
    // The combo box's text field takes the focus on its behalf.
    const bool matches = focused == order[i] || focused->focusProxy() == order[i] ||
                         (order[i] == Panel->ComboBox1 && focused == Panel->ComboBox1->lineEdit());
    EXPECT_TRUE(matches) << "step " << i << " has " << focused->metaObject()->className();
    QTest::keyClick(focused, Qt::Key_Tab);
  }
  // Round again: after CheckBox9 comes ScrollBar1; labels never take focus.
  EXPECT_EQ(QApplication::focusWidget(), Panel->ScrollBar1);
  EXPECT_EQ(Panel->Label4->focusPolicy(), Qt::NoFocus);
  // The panel opens with the focus on a scroll bar: it must show there,
  // although styles draw none on scroll bars by themselves.
  const QImage unfocused = Panel->ScrollBar2->grab().toImage();
  Panel->ScrollBar2->setFocus(Qt::TabFocusReason);
  EXPECT_NE(Panel->ScrollBar2->grab().toImage(), unfocused);
}

TEST_F(ControlPanelTest, ScreenReadersHearEveryControlByItsLabel) {
  QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(Panel.get());
  ASSERT_NE(panel, nullptr);
  std::map<QObject*, QAccessibleInterface*> children;
  for (int i = 0; i < panel->childCount(); ++i) {
    QAccessibleInterface* child = panel->child(i);
    children[child->object()] = child;
  }
  struct Row {
    QLabel* Label;
    QWidget* Control;
    const char* Name;
    QAccessible::Role Role;
  };
  const std::vector<Row> table = {
      {Panel->Label6, Panel->CheckBox2, "TRACE ON", QAccessible::CheckBox},
      {Panel->Label12, Panel->CheckBox6, "RAINBOW", QAccessible::CheckBox},
      {Panel->Label10, Panel->CheckBox4, "SHOW YELLOW TRIANGLE", QAccessible::CheckBox},
      {Panel->Label15, Panel->CheckBox9, "SHOW NUMBERS SQUARE", QAccessible::CheckBox},
      {Panel->Label3, Panel->CheckBox1, "SHOW ADDITIONALS", QAccessible::CheckBox},
      {Panel->Label9, Panel->CheckBox3, "SHOW CLOCK NUMBERS", QAccessible::CheckBox},
      {Panel->Label11, Panel->CheckBox5, "SHOW LINE LENGTHS", QAccessible::CheckBox},
      {Panel->Label13, Panel->CheckBox7, "SHOW HANDS", QAccessible::CheckBox},
      {Panel->Label14, Panel->CheckBox8, "SHOW LINK LINES", QAccessible::CheckBox},
      {Panel->Label4, Panel->ScrollBar1, "NUMBER OF TRACES", QAccessible::ScrollBar},
      {Panel->Label1, Panel->ScrollBar2, "ALTERNATIVE COLORS", QAccessible::ScrollBar},
      {Panel->Label7, Panel->CColorGrid1, "COLOUR", QAccessible::Grouping},
      {Panel->Label8, Panel->ComboBox1, "MOVEMENT", QAccessible::ComboBox},
  };
  for (const Row& row : table) {
    ASSERT_EQ(children.count(row.Control), 1U) << row.Name;
    QAccessibleInterface* control = children[row.Control];
    EXPECT_EQ(control->role(), row.Role) << row.Name;
    // Also the combo box, which Qt on Linux would name by its value.
    EXPECT_EQ(control->text(QAccessible::Name).toStdString(), row.Name);
    const auto labels = control->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1) << row.Name;
    EXPECT_EQ(labels[0].first->object(), row.Label) << row.Name;
    EXPECT_EQ(labels[0].first->text(QAccessible::Name).toStdString(), row.Name);
  }
  // The combo box keeps Qt's own children and value.
  EXPECT_EQ(children[Panel->ComboBox1]->text(QAccessible::Value).toStdString(), "SMOOTH");
  EXPECT_GE(children[Panel->ComboBox1]->childCount(), 1);
  // The scroll bars tell their values.
  ASSERT_NE(children[Panel->ScrollBar1]->valueInterface(), nullptr);
  EXPECT_EQ(children[Panel->ScrollBar1]->valueInterface()->currentValue().toInt(), 20);
  EXPECT_EQ(children[Panel->ScrollBar2]->valueInterface()->currentValue().toInt(), 2);

  // Each colour cell by its colour, and which selection it holds.
  const auto cellNames = [&] {
    QStringList names;
    QAccessibleInterface* grid = children[Panel->CColorGrid1];
    for (int i = 0; i < grid->childCount(); ++i) {
      names << grid->child(i)->text(QAccessible::Name);
      EXPECT_EQ(grid->indexOfChild(grid->child(i)), i);
    }
    return names.join('|').toStdString();
  };
  EXPECT_EQ(cellNames(),
            "black|maroon|green, foreground|olive|navy, background|purple|teal|grey|silver|red|"
            "lime|yellow|blue|fuchsia|aqua|white");
  Panel->CColorGrid1->SetForegroundIndex(4);
  Panel->CColorGrid1->SetBackgroundIndex(14);
  EXPECT_EQ(cellNames(),
            "black|maroon|green|olive|navy, foreground|purple|teal|grey|silver|red|"
            "lime|yellow|blue|fuchsia|aqua, background|white");
  Panel->CColorGrid1->SetBackgroundIndex(4);
  EXPECT_EQ(
      QAccessible::queryAccessibleInterface(Panel->CColorGrid1)->child(4)->text(QAccessible::Name),
      "navy, foreground and background");

  // The main window's picture: a name that never changes, however often the
  // status line does; its description tells its keys, not the status line.
  QAccessibleInterface* picture = QAccessible::queryAccessibleInterface(MainWindow->Image1);
  EXPECT_EQ(picture->text(QAccessible::Name), "TRILUME clock");
  EXPECT_EQ(picture->role(), QAccessible::Graphic);
  MainWindow->Timer2Timer();
  EXPECT_TRUE(MainWindow->windowTitle().contains(" Triangle is "));
  EXPECT_EQ(picture->text(QAccessible::Name), "TRILUME clock");
  EXPECT_TRUE(picture->text(QAccessible::Description).contains("S speaks the status line"));
  // Both windows are windows to a screen reader, whose read-title command
  // looks for one.
  EXPECT_EQ(QAccessible::queryAccessibleInterface(MainWindow.get())->role(), QAccessible::Window);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(Panel.get())->role(), QAccessible::Window);
}

// Return and Enter press the focused button as Space does; held down, they
// press it once.
TEST_F(ControlPanelTest, ReturnAndEnterPressTheFocusedButton) {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
    const Qt::KeyboardModifiers modifiers =
        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    QTest::keyClick(Panel->Button1, key, modifiers);
    EXPECT_EQ(Panel->Button1->text(), "LAND The Triangle") << key;
    QTest::keyClick(Panel->Button1, key, modifiers);
    EXPECT_EQ(Panel->Button1->text(), "FREE The Triangle") << key;
    Panel->SetClearRequest(0);
    QTest::keyClick(Panel->Button2, key, modifiers);
    EXPECT_EQ(Panel->GetClearRequest(), 1) << key;
  }
  QTest::keyPress(Panel->Button1, Qt::Key_Return);
  QTest::keyPress(Panel->Button1, Qt::Key_Return);
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(Panel->Button1, &repeat);
  EXPECT_EQ(Panel->GetFreeFlightFlag(), 0) << "two presses and a repeat: free, landed";
}

double Luminance(QRgb rgb) {
  const auto channel = [](int value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

double Contrast(QRgb a, QRgb b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// CLEAR says so each time, and a screen reader that reads the button
// later must not hear an old "Picture cleared." as its description.
TEST_F(ControlPanelTest, ClearSaysSoUntilTheFocusMovesOn) {
  NewsHeard news;
  Panel->show();
  Panel->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Panel.get()));
  Panel->Button2->setAccessibleDescription(QStringLiteral("Wipes the picture."));
  Panel->Button2->setFocus(Qt::TabFocusReason);
  for (int press = 0; press < 2; ++press) {
    news.Forget();
    QTest::keyClick(Panel->Button2, Qt::Key_Return);
    EXPECT_EQ(news.About(*Panel->Button2), "Picture cleared.") << press;
  }
  Panel->Button1->setFocus(Qt::TabFocusReason);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return Panel->Button2->accessibleDescription() == "Wipes the picture."; }));
  // And again, the next time.
  Panel->Button2->setFocus(Qt::TabFocusReason);
  news.Forget();
  QTest::keyClick(Panel->Button2, Qt::Key_Return);
  EXPECT_EQ(news.About(*Panel->Button2), "Picture cleared.");
  Panel->Button1->setFocus(Qt::TabFocusReason);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return Panel->Button2->accessibleDescription() == "Wipes the picture."; }));
}

// Every focusable control shows its focus with a ring at least 3:1
// against the panel beside it and against the control's own pixels inside
// it (the grid's goes round it), and no ring without the focus.
TEST_F(ControlPanelTest, TheFocusedControlWearsARingThatStandsOut) {
  Panel->show();
  Panel->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Panel.get()));
  const QRgb panelBackground = Panel->palette().color(QPalette::Window).rgb();
  Panel->CColorGrid1->setFocus(Qt::TabFocusReason);
  for (QWidget* control :
       std::vector<QWidget*>{Panel->ScrollBar1, Panel->ScrollBar2, Panel->CheckBox2,
                             Panel->ComboBox1, Panel->Button1, Panel->Button2}) {
    const QImage unfocused = control->grab().toImage();
    control->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(control->hasFocus());
    const QImage focused = control->grab().toImage();
    const int middle = focused.height() / 2;
    const QRgb ring = focused.pixel(0, middle);
    const QRgb inside = focused.pixel(2, middle);
    EXPECT_GE(Contrast(ring, panelBackground), 3.0) << control->accessibleName().toStdString();
    EXPECT_GE(Contrast(ring, inside), 3.0) << control->accessibleName().toStdString();
    EXPECT_EQ(focused.pixel(1, 1), ring) << control->accessibleName().toStdString();
    EXPECT_EQ(focused.pixel(focused.width() - 2, focused.height() - 2), ring);
    EXPECT_NE(unfocused.pixel(0, middle), ring) << control->accessibleName().toStdString();
  }
  // The grid's edge is all cells, some as dark as the panel or as red as
  // the ring: its ring goes round it, on the panel.
  const QRect around = FocusRing::AroundRect(*Panel->CColorGrid1);
  Panel->CColorGrid1->setFocus(Qt::TabFocusReason);
  const QImage ringed = Panel->grab(around).toImage();
  Panel->Button1->setFocus(Qt::TabFocusReason);
  const QImage bare = Panel->grab(around).toImage();
  const QRgb ring = ringed.pixel(0, around.height() / 2);
  EXPECT_GE(Contrast(ring, panelBackground), 3.0);
  EXPECT_EQ(ringed.pixel(around.width() - 2, around.height() - 2), ring);
  EXPECT_EQ(ringed.pixel(FocusRing::kWidth, around.height() / 2), panelBackground);
  EXPECT_EQ(bare.pixel(0, around.height() / 2), panelBackground);
}

// Left with Escape or a pick, or closed by Qt itself (as when its window
// goes), the MOVEMENT list must not go on claiming the focus for its current
// item next to the box, and must open again on the box's item, not on the
// one last highlighted or on none.
TEST_F(ControlPanelTest, AClosedMovementListHoldsNoFocusedItem) {
  Panel->show();
  Panel->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Panel.get()));
  Panel->ComboBox1->setFocus(Qt::TabFocusReason);
  const auto focusedItems = [&] {
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(Panel->ComboBox1->view());
    int focused = 0;
    for (int i = 0; i < list->childCount(); ++i) {
      if (list->child(i)->state().focused) ++focused;
    }
    return focused;
  };
  QAbstractItemView* list = Panel->ComboBox1->view();
  const std::vector<std::pair<std::string, std::function<void()>>> closes = {
      {"Escape", [&] { QTest::keyClick(list, Qt::Key_Escape); }},
      {"Return", [&] { QTest::keyClick(list, Qt::Key_Return); }},
      {"closed by Qt", [&] { list->window()->close(); }},
  };
  for (const auto& [how, close] : closes) {
    Panel->ComboBox1->showPopup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }));
    EXPECT_EQ(list->currentIndex().row(), Panel->ComboBox1->currentIndex()) << how;
    QTest::keyClick(list, Qt::Key_Down);
    close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return focusedItems() == 0; })) << how;
    // Not the item last highlighted: the one in effect is selected.
    const QModelIndexList selected = list->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1) << how;
    EXPECT_EQ(selected[0].row(), Panel->ComboBox1->currentIndex()) << how;
  }
  // Escape kept SMOOTH, Return took the item below it.
  EXPECT_EQ(Panel->GetMovementText(), "FAST");
}

// Tab into MOVEMENT, type, leave. Faults caught: Tab-in leaving the text
// unselected ("FASTTICK"); an unknown name left standing, or put back as
// Qt's current item rather than the movement in effect; "tick" taken for
// TICK; the revert or a new movement going unheard, or heard where the
// focus is not; news that is none.
struct TypedMovement {
  const char* Name;
  int StartItem;
  const char* Typed;
  Qt::Key Leave;
  const char* Shown;
  const char* Heard;  // by the control with the focus afterwards
};

TEST_F(ControlPanelTest, ATypedMovementReplacesTheTextOrGivesWayToTheOneInEffect) {
  const std::vector<TypedMovement> table = {
      {"replaces", 1, "TICK", Qt::Key_Tab, "TICK", "Movement TICK."},
      {"unchanged", 2, "TICK", Qt::Key_Return, "TICK", ""},
      {"unknown on Tab", 3, "XYZ", Qt::Key_Tab, "TICK2", "Movement XYZ not known; TICK2 stays."},
      {"unknown on Return", 0, "XYZ", Qt::Key_Return, "SMOOTH",
       "Movement XYZ not known; SMOOTH stays."},
      {"case counts", 1, "tick", Qt::Key_Tab, "FAST", "Movement tick not known; FAST stays."},
      {"past a name", 1, "TICKX", Qt::Key_Tab, "TICK", "Movement TICKX not known; TICK stays."},
  };
  NewsHeard news;
  Panel->show();
  Panel->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Panel.get()));
  for (const TypedMovement& row : table) {
    Panel->ComboBox1->setCurrentIndex(row.StartItem);
    news.Forget();
    Panel->CheckBox2->setFocus(Qt::TabFocusReason);
    QTest::keyClick(Panel->CheckBox2, Qt::Key_Tab);
    ASSERT_TRUE(Panel->ComboBox1->hasFocus()) << row.Name;
    QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(row.Typed));
    QTest::keyClick(QApplication::focusWidget(), row.Leave);
    QWidget* listener = QApplication::focusWidget();
    QWidget* expected = Panel->ComboBox1;
    if (row.Leave == Qt::Key_Tab) expected = Panel->CheckBox5;
    EXPECT_EQ(listener, expected) << row.Name;
    EXPECT_EQ(Panel->ComboBox1->currentText().toStdString(), row.Shown) << row.Name;
    EXPECT_EQ(Panel->GetMovementText(), row.Shown) << row.Name;
    EXPECT_EQ(news.About(*listener), row.Heard) << row.Name;
    if (listener == Panel->ComboBox1 && *row.Heard != '\0') {
      // Still in the box after a revert: the next name typed replaces it.
      EXPECT_EQ(Panel->ComboBox1->lineEdit()->selectedText().toStdString(), row.Shown);
    }
  }
}

TEST_F(ControlPanelTest, MovementTextIsReadLiveWithoutCopies) {
  Panel->ComboBox1->setCurrentIndex(3);
  EXPECT_EQ(Panel->GetMovementText(), "TICK2");
  Panel->ComboBox1->lineEdit()->setText(QStringLiteral("TICKBACK"));
  EXPECT_EQ(Panel->GetMovementText(), "TICKBACK");
  QTest::keyClick(Panel->ComboBox1->lineEdit(), Qt::Key_1);
  EXPECT_EQ(Panel->GetMovementText(), "TICKBACK1");
  // Two frames read the same storage: no conversion per read.
  EXPECT_EQ(Panel->GetMovementText().data(), Panel->GetMovementText().data());
  // Enter must not add a typed text to the list.
  QTest::keyClick(Panel->ComboBox1->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(Panel->ComboBox1->count(), 7);
}

TEST_F(ControlPanelTest, FreeAndLandSwitchCaptionTimerAndFlag) {
  const int driftX = State->DriftX;
  QTest::mouseClick(Panel->Button1, Qt::LeftButton);
  EXPECT_EQ(Panel->Button1->text(), "LAND The Triangle");
  EXPECT_TRUE(MainWindow->Timer3.GetEnabled());
  EXPECT_EQ(Panel->GetFreeFlightFlag(), 1);
  QTest::mouseClick(Panel->Button1, Qt::LeftButton);
  EXPECT_EQ(Panel->Button1->text(), "FREE The Triangle");
  EXPECT_FALSE(MainWindow->Timer3.GetEnabled());
  EXPECT_EQ(Panel->GetFreeFlightFlag(), 0);
  EXPECT_EQ(State->DriftX, driftX);  // landing keeps the drift
}

TEST_F(ControlPanelTest, FreeFlightMovesTheClockAndLandingBringsItBack) {
  MainWindow->Timer1Timer();
  QTest::mouseClick(Panel->Button1, Qt::LeftButton);  // FREE
  for (int step = 0; step < 5; ++step) {
    MainWindow->Timer3Timer();
    MainWindow->Timer1Timer();  // leaves Centre alone while free
  }
  EXPECT_FLOAT_EQ(State->CentreX, 131.0F);
  EXPECT_FLOAT_EQ(State->CentreY, 133.0F);
  QTest::mouseClick(Panel->Button1, Qt::LeftButton);  // LAND
  MainWindow->Timer1Timer();
  EXPECT_FLOAT_EQ(State->CentreX, 136.0F);
  EXPECT_FLOAT_EQ(State->CentreY, 138.0F);
}

bool IsEmpty(const TriangleRecord& entry) { return entry == TriangleRecord{}; }

TEST_F(ControlPanelTest, ClearIsOneRequestServedByTheNextFrame) {
  MainWindow->Timer1Timer();
  MainWindow->Timer1Timer();
  ASSERT_FALSE(IsEmpty(State->TraceHistory[2]));  // earlier frames' triangles
  ASSERT_FALSE(IsEmpty(State->TraceHistory[3]));
  for (int click = 0; click < 3; ++click) {
    QTest::mouseClick(Panel->Button2, Qt::LeftButton);
  }
  EXPECT_EQ(Panel->GetClearRequest(), 1);
  // CLEAR does not need TRACE ON.
  Panel->CheckBox2->setChecked(false);
  MainWindow->Timer1Timer();
  EXPECT_EQ(Panel->GetClearRequest(), 0);
  EXPECT_TRUE(IsEmpty(State->TraceHistory[2]));
  EXPECT_TRUE(IsEmpty(State->TraceHistory[3]));
  // The next frame finds no request.
  MainWindow->Timer1Timer();
  EXPECT_EQ(Panel->GetClearRequest(), 0);
}

TEST_F(ControlPanelTest, ClearFillsTheWindowWithTheBrushInForce) {
  // Before any frame the canvas brush is white and solid.
  QTest::mouseClick(Panel->Button2, Qt::LeftButton);
  EXPECT_EQ(CanvasPixel(0, 0), ToArgb(kWhite));
  EXPECT_EQ(CanvasPixel(279, 309), ToArgb(kWhite));
}

TEST_F(ControlPanelTest, PickingColoursDrawsTheRectangleOverTheWindow) {
  TCColorGrid* grid = Panel->CColorGrid1;
  // Left click on red (index 9): the pen takes the foreground, the outline
  // shows it; the inside is filled with the background (navy).
  QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(9).center());
  EXPECT_EQ(Panel->GetForegroundColor(), kRed);
  EXPECT_EQ(CanvasPixel(0, 0), ToArgb(kRed));
  EXPECT_EQ(CanvasPixel(140, 150), ToArgb(kNavy));
  EXPECT_EQ(CanvasPixel(279, 309), ToArgb(kRed));
  // Right click on yellow (index 11): the background.
  QTest::mouseClick(grid, Qt::RightButton, {}, grid->CellRect(11).center());
  EXPECT_EQ(Panel->GetBackgroundColor(), kYellow);
  EXPECT_EQ(CanvasPixel(140, 150), ToArgb(kYellow));
  EXPECT_EQ(Panel->GetForegroundColor(), kRed);
}

}  // namespace
}  // namespace trilume
