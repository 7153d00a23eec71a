// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "render/canvas/colour.h"
#include "render/panel_settings.h"

namespace trilume {

// The last colour grid index --set fg and bg take.
inline constexpr int kLastGridIndex = static_cast<int>(kColorGridColors.size()) - 1;

// One panel setting given with --set, in the order given.
struct PanelAssignment {
  enum class Target { kCheckBox, kScrollBar1, kScrollBar2, kForeground, kBackground };
  Target Kind = Target::kCheckBox;
  PanelCheckBox Box = PanelCheckBox::kTraceOn;  // only for kCheckBox
  int Value = 0;
};

// Reads the values of every --set ("trace=1,traces=300"), appending one
// assignment per item to `settings` in the order given. Empty, or one line
// naming the first item that is not NAME=VALUE, names no setting or is out
// of that setting's range.
QString ParsePanelAssignments(const QStringList& lists, std::vector<PanelAssignment>& settings);

// Applies the --set assignments to a panel that starts at the design values.
void ApplyPanelSettings(const std::vector<PanelAssignment>& settings, PlainPanelSettings& panel);

}  // namespace trilume
