// SPDX-License-Identifier: MIT
#include "ui/colour_grid.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/colour_grid_accessible.h"
#include "ui/spoken_change.h"

namespace trilume {

namespace {

constexpr int kCellCount = TCColorGrid::kColumns * TCColorGrid::kRows;

TColor CellColour(int index) { return kColorGridColors[static_cast<std::size_t>(index)]; }

QColor ToQColor(TColor colour) { return QColor::fromRgb(ToArgb(colour)); }

// Black on light cells, white on dark ones.
QColor MarkColour(TColor colour) {
  const QColor c = ToQColor(colour);
  const int luma = (c.red() * 299 + c.green() * 587 + c.blue() * 114) / 1000;
  return luma > 127 ? Qt::black : Qt::white;
}

bool IsValidIndex(int index) { return index >= 0 && index < kCellCount; }

// Tells screen readers about one cell.
void NotifyCell(QWidget* grid, QAccessible::Event type, int index) {
  if (!QAccessible::isActive()) {
    return;
  }
  QAccessibleEvent event(grid, type);
  event.setChild(index);
  QAccessible::updateAccessibility(&event);
}

// A cell's new name (its colour and selection), as text a screen reader speaks.
void NotifyCellName(QWidget* grid, int index) {
  NotifyCell(grid, QAccessible::NameChanged, index);
  if (QAccessibleInterface* cell = QAccessible::isActive()
                                       ? QAccessible::queryAccessibleInterface(grid)->child(index)
                                       : nullptr) {
    SendNameAsText(grid, index, cell->text(QAccessible::Name));
  }
}

}  // namespace

TCColorGrid::TCColorGrid(QWidget* parent) : QWidget(parent) {
  InstallColourGridAccessibility();
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setToolTip(
      tr("Left click: foreground. Right click: background.\n"
         "Keys: arrows move, Space = foreground, Shift+Space or B = background."));
}

TColor TCColorGrid::GetForegroundColor() const { return CellColour(ForegroundIndex); }

TColor TCColorGrid::GetBackgroundColor() const { return CellColour(BackgroundIndex); }

void TCColorGrid::SetForegroundIndex(int index) { Select(ForegroundIndex, index); }

void TCColorGrid::SetBackgroundIndex(int index) { Select(BackgroundIndex, index); }

void TCColorGrid::Select(int& selection, int index) {
  if (!IsValidIndex(index)) {
    return;
  }
  if (index == selection) {
    if (index == CursorIndex && hasFocus()) SayCursorCellAgain();
    return;
  }
  const int previous = selection;
  selection = index;
  update();
  NotifyCellName(this, previous);
  NotifyCellName(this, index);
  emit Change();
}

QRect TCColorGrid::CellRect(int index) const {
  const int column = index % kColumns;
  const int row = index / kColumns;
  // Spread any remainder over the cells so the grid fills the widget.
  const int left = column * width() / kColumns;
  const int right = (column + 1) * width() / kColumns;
  const int top = row * height() / kRows;
  const int bottom = (row + 1) * height() / kRows;
  return QRect(left, top, right - left, bottom - top);
}

int TCColorGrid::CellAt(QPoint point) const {
  if (!rect().contains(point)) {
    return -1;
  }
  const int column = point.x() * kColumns / width();
  const int row = point.y() * kRows / height();
  return row * kColumns + column;
}

void TCColorGrid::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  QFont markFont = font();
  markFont.setPixelSize(9);
  markFont.setBold(true);
  painter.setFont(markFont);
  for (int index = 0; index < kCellCount; ++index) {
    const TColor colour = CellColour(index);
    const QRect cell = CellRect(index);
    painter.fillRect(cell, ToQColor(colour));
    painter.setPen(QColor(64, 64, 64));
    painter.drawRect(cell.adjusted(0, 0, -1, -1));

    const bool isForeground = index == ForegroundIndex;
    const bool isBackground = index == BackgroundIndex;
    painter.setPen(MarkColour(colour));
    if (isForeground && isBackground) {
      painter.drawText(cell, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("FG"));
      painter.drawText(cell, Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("BG"));
    } else if (isForeground) {
      painter.drawText(cell, Qt::AlignCenter, QStringLiteral("FG"));
    } else if (isBackground) {
      painter.drawText(cell, Qt::AlignCenter, QStringLiteral("BG"));
    }
    if (isForeground || isBackground) {
      painter.drawRect(cell.adjusted(1, 1, -2, -2));
    }
  }
  if (hasFocus()) {
    QPen cursorPen(MarkColour(CellColour(CursorIndex)), 2, Qt::DotLine);
    painter.setPen(cursorPen);
    painter.drawRect(CellRect(CursorIndex).adjusted(3, 3, -4, -4));
  }
}

void TCColorGrid::mousePressEvent(QMouseEvent* event) {
  const int index = CellAt(event->position().toPoint());
  const Qt::MouseButton button = event->button();
  if (index < 0 || (button != Qt::LeftButton && button != Qt::RightButton)) {
    QWidget::mousePressEvent(event);
    return;
  }
  SetCursorIndex(index);
  Select(button == Qt::LeftButton ? ForegroundIndex : BackgroundIndex, index);
}

void TCColorGrid::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  ForgetCellNews();
}

void TCColorGrid::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  // After Qt's own focus event for the grid, so screen readers end on the
  // cell under the cursor. They read its description, the keys, with it.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (!hasFocus()) return;
        EnteredIndex = CursorIndex;
        NotifyCell(this, QAccessible::Focus, CursorIndex);
      },
      Qt::QueuedConnection);
}

void TCColorGrid::MoveCursor(int columnStep, int rowStep) {
  const int column = std::clamp(CursorIndex % kColumns + columnStep, 0, kColumns - 1);
  const int row = std::clamp(CursorIndex / kColumns + rowStep, 0, kRows - 1);
  const int index = row * kColumns + column;
  if (index == CursorIndex) {
    SayCursorCellAgain();
    return;
  }
  SetCursorIndex(index);
}

void TCColorGrid::SetCursorIndex(int index) {
  CursorIndex = index;
  update();
  if (hasFocus()) {
    NotifyCell(this, QAccessible::Focus, index);
  }
  // After the new focus, so that a screen reader no longer reads the old cell.
  ForgetCellNews(index);
}

void TCColorGrid::SayCursorCellAgain() {
  if (!QAccessible::isActive()) {
    return;
  }
  RepeatedIndex = CursorIndex;
  // A name that did not change is not spoken again; a description is.
  QAccessibleInterface* cell = QAccessible::queryAccessibleInterface(this)->child(CursorIndex);
  SendDescriptionAsText(this, cell->text(QAccessible::Name), CursorIndex);
}

void TCColorGrid::ForgetCellNews(int keep) {
  for (int* news : {&RepeatedIndex, &EnteredIndex}) {
    if (*news < 0 || *news == keep) continue;
    const int index = *news;
    *news = -1;
    // Qt's own event carries no text: screen readers read the now empty
    // description afresh when they next need it, and say nothing now.
    NotifyCell(this, QAccessible::DescriptionChanged, index);
  }
}

void TCColorGrid::keyPressEvent(QKeyEvent* event) {
  const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
  switch (event->key()) {
    case Qt::Key_Left:
      MoveCursor(-1, 0);
      break;
    case Qt::Key_Right:
      MoveCursor(1, 0);
      break;
    case Qt::Key_Up:
      MoveCursor(0, -1);
      break;
    case Qt::Key_Down:
      MoveCursor(0, 1);
      break;
    case Qt::Key_Space:
      if (shift) {
        SetBackgroundIndex(CursorIndex);
      } else {
        SetForegroundIndex(CursorIndex);
      }
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      SetForegroundIndex(CursorIndex);
      break;
    case Qt::Key_B:
      SetBackgroundIndex(CursorIndex);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

}  // namespace trilume
