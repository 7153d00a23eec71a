// SPDX-License-Identifier: MIT
#include "ui/colour_grid_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <array>

#include "render/canvas/colour.h"
#include "ui/colour_grid.h"

namespace trilume {

namespace {

constexpr int kCellCount = TCColorGrid::kColumns * TCColorGrid::kRows;

struct NamedColour {
  TColor Colour;
  const char* Name;
};

// In the grid's order; the check below keeps both in step.
constexpr std::array<NamedColour, kCellCount> kCellColours = {{
    {kBlack, "black"},
    {kMaroon, "maroon"},
    {kGreen, "green"},
    {kOlive, "olive"},
    {kNavy, "navy"},
    {kPurple, "purple"},
    {kTeal, "teal"},
    {kGray, "grey"},
    {kSilver, "silver"},
    {kRed, "red"},
    {kLime, "lime"},
    {kYellow, "yellow"},
    {kBlue, "blue"},
    {kFuchsia, "fuchsia"},
    {kAqua, "aqua"},
    {kWhite, "white"},
}};

constexpr bool NamesFollowTheGrid() {
  for (std::size_t i = 0; i < kCellColours.size(); ++i) {
    if (kCellColours[i].Colour != kColorGridColors[i]) {
      return false;
    }
  }
  return true;
}
static_assert(NamesFollowTheGrid(), "a colour name belongs to another cell");

QString ColourName(int index) {
  return QString::fromLatin1(kCellColours[static_cast<std::size_t>(index)].Name);
}

// A button rather than a list item: Orca ignores name changes of list
// items, and a pick changes the name of the cell under the cursor. Its two
// actions pick it as the foreground or the background, for switch access
// and whoever cannot use the grid's keys.
class ColourCellAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  ColourCellAccessible(TCColorGrid* grid, int index) : Grid(grid), Index(index) {}

  bool isValid() const override { return !Grid.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override {
    const TCColorGrid* grid = Grid.data();
    return grid == nullptr ? nullptr : grid->window()->windowHandle();
  }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(Grid.data());
  }
  QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
  QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }

  QString text(QAccessible::Text type) const override {
    const TCColorGrid* grid = Grid.data();
    if (grid == nullptr) {
      return {};
    }
    if (type == QAccessible::Description) {
      // Empty, so that a move says one line.
      if (Index == grid->GetRepeatedIndex()) return text(QAccessible::Name);
      return Index == grid->GetEnteredIndex() ? DescribeColourGrid(*grid) : QString();
    }
    if (type != QAccessible::Name) {
      return {};
    }
    QString name = ColourName(Index);
    const bool foreground = Index == grid->GetForegroundIndex();
    const bool background = Index == grid->GetBackgroundIndex();
    if (foreground && background) {
      name += QStringLiteral(", foreground and background");
    } else if (foreground) {
      name += QStringLiteral(", foreground");
    } else if (background) {
      name += QStringLiteral(", background");
    }
    return name;
  }
  void setText(QAccessible::Text /*type*/, const QString& /*text*/) override {}

  QRect rect() const override {
    const TCColorGrid* grid = Grid.data();
    if (grid == nullptr) {
      return {};
    }
    const QRect cell = grid->CellRect(Index);
    return QRect(grid->mapToGlobal(cell.topLeft()), cell.size());
  }
  QAccessible::Role role() const override { return QAccessible::Button; }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
  }

  QStringList actionNames() const override { return {kForeground(), kBackground()}; }
  QString localizedActionDescription(const QString& name) const override {
    if (name == kForeground()) {
      return QStringLiteral("Pick as the foreground colour");
    }
    if (name == kBackground()) {
      return QStringLiteral("Pick as the background colour");
    }
    return {};
  }
  void doAction(const QString& name) override {
    TCColorGrid* grid = Grid.data();
    if (grid == nullptr) {
      return;
    }
    if (name == kForeground()) {
      grid->SetForegroundIndex(Index);
    } else if (name == kBackground()) {
      grid->SetBackgroundIndex(Index);
    }
  }
  QStringList keyBindingsForAction(const QString& /*name*/) const override { return {}; }
  QAccessible::State state() const override {
    QAccessible::State state;
    const TCColorGrid* grid = Grid.data();
    if (grid == nullptr) {
      state.invalid = true;
      return state;
    }
    state.invisible = !grid->isVisible();
    state.focusable = true;
    state.focused = grid->hasFocus() && Index == grid->GetCursorIndex();
    state.selectable = true;
    state.selected = Index == grid->GetForegroundIndex() || Index == grid->GetBackgroundIndex();
    return state;
  }

 private:
  static QString kForeground() { return QStringLiteral("Foreground"); }
  static QString kBackground() { return QStringLiteral("Background"); }

  QPointer<TCColorGrid> Grid;
  int Index;
};

// The cells are made when first asked for and live as long as the grid's
// own interface.
class ColourGridAccessible final : public QAccessibleWidget {
 public:
  // A grouping: screen readers name it ("COLOUR") as the focus enters
  // one of its cells, which they do not for a colour chooser.
  explicit ColourGridAccessible(TCColorGrid* grid)
      : QAccessibleWidget(grid, QAccessible::Grouping) {}
  ~ColourGridAccessible() override {
    for (const QAccessible::Id id : Cells) {
      if (id != 0) {
        QAccessible::deleteAccessibleInterface(id);
      }
    }
  }
  ColourGridAccessible(const ColourGridAccessible&) = delete;
  ColourGridAccessible& operator=(const ColourGridAccessible&) = delete;

  int childCount() const override { return kCellCount; }

  // Not the tooltip, which is about the mouse.
  QString text(QAccessible::Text type) const override {
    return type == QAccessible::Description ? DescribeColourGrid(*Grid())
                                            : QAccessibleWidget::text(type);
  }

  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= kCellCount) {
      return nullptr;
    }
    QAccessible::Id& id = Cells[static_cast<std::size_t>(index)];
    if (id == 0) {
      id = QAccessible::registerAccessibleInterface(new ColourCellAccessible(Grid(), index));
    }
    return QAccessible::accessibleInterface(id);
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int index = 0; index < kCellCount; ++index) {
      const QAccessible::Id id = Cells[static_cast<std::size_t>(index)];
      if (id != 0 && QAccessible::accessibleInterface(id) == child) {
        return index;
      }
    }
    return -1;
  }

  QAccessibleInterface* childAt(int x, int y) const override {
    return child(Grid()->CellAt(Grid()->mapFromGlobal(QPoint(x, y))));
  }

  QAccessibleInterface* focusChild() const override {
    return Grid()->hasFocus() ? child(Grid()->GetCursorIndex()) : nullptr;
  }

 private:
  TCColorGrid* Grid() const { return static_cast<TCColorGrid*>(widget()); }

  mutable std::array<QAccessible::Id, kCellCount> Cells{};
};

QAccessibleInterface* MakeColourGridAccessible(const QString& /*key*/, QObject* object) {
  if (auto* grid = qobject_cast<TCColorGrid*>(object)) {
    return new ColourGridAccessible(grid);
  }
  return nullptr;
}

}  // namespace

QString DescribeColourGrid(const TCColorGrid& grid) {
  return QStringLiteral(
             "Foreground %1, background %2. Arrows move, Space picks foreground, B background.")
      .arg(ColourName(grid.GetForegroundIndex()), ColourName(grid.GetBackgroundIndex()));
}

void InstallColourGridAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(&MakeColourGridAccessible);
    return true;
  }();
  static_cast<void>(installed);
}

}  // namespace trilume
