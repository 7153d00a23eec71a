// SPDX-License-Identifier: MIT
#include "tools/panel_assignment.h"

#include <algorithm>
#include <array>
#include <optional>

#include "model/panel_design.h"
#include "tools/option_values.h"

namespace trilume {
namespace {

struct SettingName {
  const char* Name;
  PanelAssignment::Target Kind;
  PanelCheckBox Box;
  int Low;
  int High;
};

constexpr std::array<SettingName, 13> kSettingNames = {{
    {"trace", PanelAssignment::Target::kCheckBox, PanelCheckBox::kTraceOn, 0, 1},
    {"rainbow", PanelAssignment::Target::kCheckBox, PanelCheckBox::kRainbow, 0, 1},
    {"yellow", PanelAssignment::Target::kCheckBox, PanelCheckBox::kShowYellowTriangle, 0, 1},
    {"square", PanelAssignment::Target::kCheckBox, PanelCheckBox::kShowNumbersSquare, 0, 1},
    {"additionals", PanelAssignment::Target::kCheckBox, PanelCheckBox::kShowAdditionals, 0, 1},
    {"numbers", PanelAssignment::Target::kCheckBox, PanelCheckBox::kShowClockNumbers, 0, 1},
    {"lengths", PanelAssignment::Target::kCheckBox, PanelCheckBox::kShowLineLengths, 0, 1},
    {"hands", PanelAssignment::Target::kCheckBox, PanelCheckBox::kShowHands, 0, 1},
    {"links", PanelAssignment::Target::kCheckBox, PanelCheckBox::kShowLinkLines, 0, 1},
    {"traces", PanelAssignment::Target::kScrollBar1, PanelCheckBox::kTraceOn, 1, kMaxTraceCount},
    {"colors", PanelAssignment::Target::kScrollBar2, PanelCheckBox::kTraceOn, 1,
     kMaxAlternativeColours},
    {"fg", PanelAssignment::Target::kForeground, PanelCheckBox::kTraceOn, 0, kLastGridIndex},
    {"bg", PanelAssignment::Target::kBackground, PanelCheckBox::kTraceOn, 0, kLastGridIndex},
}};

QString KnownSettingNames() {
  QStringList names;
  for (const SettingName& setting : kSettingNames) names << QString::fromLatin1(setting.Name);
  return names.join(QStringLiteral(", "));
}

}  // namespace

QString ParsePanelAssignments(const QStringList& lists, std::vector<PanelAssignment>& settings) {
  for (const QString& list : lists) {
    for (const QString& item : list.split(QLatin1Char(','))) {
      const qsizetype equals = item.indexOf(QLatin1Char('='));
      if (equals < 0) return OptionError("set", item, QStringLiteral("is not NAME=VALUE"));
      const QString name = item.left(equals);
      const QString valueText = item.mid(equals + 1);
      const auto setting =
          std::find_if(kSettingNames.begin(), kSettingNames.end(),
                       [&](const SettingName& s) { return name == QLatin1String(s.Name); });
      if (setting == kSettingNames.end()) {
        return OptionError("set", name,
                           QStringLiteral("is not a setting (known: %1)").arg(KnownSettingNames()));
      }
      const std::optional<int> value = WholeNumber(valueText);
      if (!value || *value < setting->Low || *value > setting->High) {
        return OptionError("set", item,
                           QStringLiteral("is out of range: %1 takes %2..%3")
                               .arg(QLatin1String(setting->Name))
                               .arg(setting->Low)
                               .arg(setting->High));
      }
      settings.push_back(PanelAssignment{setting->Kind, setting->Box, *value});
    }
  }
  return {};
}

void ApplyPanelSettings(const std::vector<PanelAssignment>& settings, PlainPanelSettings& panel) {
  using Target = PanelAssignment::Target;
  for (const PanelAssignment& setting : settings) {
    if (setting.Kind == Target::kCheckBox) {
      panel.SetChecked(setting.Box, setting.Value != 0);
      continue;
    }
    int& position = setting.Kind == Target::kScrollBar1   ? panel.ScrollBar1Position
                    : setting.Kind == Target::kScrollBar2 ? panel.ScrollBar2Position
                    : setting.Kind == Target::kForeground ? panel.ForegroundIndex
                                                          : panel.BackgroundIndex;
    position = setting.Value;
  }
}

}  // namespace trilume
