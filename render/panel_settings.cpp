// SPDX-License-Identifier: MIT
#include "render/panel_settings.h"

#include <cstddef>

namespace trilume {

namespace {

constexpr std::size_t kCheckBoxSlots = std::tuple_size_v<decltype(PlainPanelSettings::Checked)>;

// Numbers outside 1..9 name no check box: reading one gives false and
// writing one is ignored, so a bad number never touches memory it does not own.
bool IsCheckBoxNumber(PanelCheckBox box) {
  const int number = static_cast<int>(box);
  return number >= 1 && static_cast<std::size_t>(number) < kCheckBoxSlots;
}

// A colour index outside the grid is clamped to its nearest cell, the way a
// grid control snaps a selection to its bounds.
TColor GridColour(int index) {
  const int last = static_cast<int>(kColorGridColors.size()) - 1;
  const int clamped = index < 0 ? 0 : (index > last ? last : index);
  return kColorGridColors[static_cast<std::size_t>(clamped)];
}

}  // namespace

bool PlainPanelSettings::IsChecked(PanelCheckBox box) const {
  return IsCheckBoxNumber(box) && Checked[static_cast<std::size_t>(box)];
}

void PlainPanelSettings::SetChecked(PanelCheckBox box, bool checked) {
  if (IsCheckBoxNumber(box)) Checked[static_cast<std::size_t>(box)] = checked;
}

TColor PlainPanelSettings::GetForegroundColor() const { return GridColour(ForegroundIndex); }

TColor PlainPanelSettings::GetBackgroundColor() const { return GridColour(BackgroundIndex); }

}  // namespace trilume
