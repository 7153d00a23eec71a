// SPDX-License-Identifier: MIT
#include "render/panel_settings.h"

#include <gtest/gtest.h>

#include <climits>

namespace trilume {
namespace {

TEST(PlainPanelSettingsTest, StartsAtTheDesignValues) {
  const PlainPanelSettings panel;
  const bool expected[] = {false, true, true, true, true, false, false, true, false, false};
  for (int box = 1; box <= 9; ++box) {
    EXPECT_EQ(panel.IsChecked(static_cast<PanelCheckBox>(box)), expected[box]) << box;
  }
  EXPECT_EQ(panel.GetScrollBar1Position(), 20);
  EXPECT_EQ(panel.GetScrollBar2Position(), 2);
  EXPECT_EQ(panel.GetMovementText(), "SMOOTH");
  EXPECT_EQ(panel.GetForegroundColor(), kGreen);
  EXPECT_EQ(panel.GetBackgroundColor(), kNavy);
  EXPECT_EQ(panel.GetClearRequest(), 0);
}

// Indices outside the 16 cells snap to the nearest cell; check box numbers
// that name no box read as unchecked and ignore writes.
TEST(PlainPanelSettingsTest, OutOfRangeNumbersStayInsideTheirTables) {
  PlainPanelSettings panel;
  const struct {
    int Index;
    TColor Colour;
  } cases[] = {{-1, kBlack}, {INT_MIN, kBlack}, {0, kBlack}, {15, kWhite},
               {16, kWhite}, {INT_MAX, kWhite}, {9, kRed}};
  for (const auto& c : cases) {
    panel.ForegroundIndex = c.Index;
    panel.BackgroundIndex = c.Index;
    EXPECT_EQ(panel.GetForegroundColor(), c.Colour) << c.Index;
    EXPECT_EQ(panel.GetBackgroundColor(), c.Colour) << c.Index;
  }
  for (int box : {0, 10, -1, INT_MAX}) {
    panel.SetChecked(static_cast<PanelCheckBox>(box), true);
    EXPECT_FALSE(panel.IsChecked(static_cast<PanelCheckBox>(box))) << box;
  }
  panel.SetChecked(PanelCheckBox::kRainbow, true);
  EXPECT_TRUE(panel.IsChecked(PanelCheckBox::kRainbow));
}

}  // namespace
}  // namespace trilume
