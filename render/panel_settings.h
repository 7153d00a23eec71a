// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "model/panel_design.h"
#include "render/canvas/colour.h"

namespace trilume {

// The control panel's check boxes, by the number of their control.
enum class PanelCheckBox : int {
  kShowAdditionals = 1,     // CheckBox1
  kTraceOn = 2,             // CheckBox2
  kShowClockNumbers = 3,    // CheckBox3
  kShowYellowTriangle = 4,  // CheckBox4
  kShowLineLengths = 5,     // CheckBox5
  kRainbow = 6,             // CheckBox6
  kShowHands = 7,           // CheckBox7
  kShowLinkLines = 8,       // CheckBox8
  kShowNumbersSquare = 9,   // CheckBox9
};

// What the frame reads from the control panel, at the step that needs it.
// The panel window implements this over its live widgets; nothing copies
// the settings.
class PanelSettings {
 public:
  virtual ~PanelSettings() = default;

  virtual bool IsChecked(PanelCheckBox box) const = 0;
  // NUMBER OF TRACES, 1..3000.
  virtual int GetScrollBar1Position() const = 0;
  // ALTERNATIVE COLORS, 1..12.
  virtual int GetScrollBar2Position() const = 0;
  // The MOVEMENT text, any text. Valid until the next call.
  virtual std::string_view GetMovementText() const = 0;
  virtual TColor GetForegroundColor() const = 0;
  virtual TColor GetBackgroundColor() const = 0;
  // 1 from a CLEAR click until a frame has served it, else 0.
  virtual int GetClearRequest() const = 0;
  virtual void SetClearRequest(int value) = 0;
};

// The in-memory panel for tests and tools, starting at the design values.
// Colour indices outside 0..15 read as the nearest grid cell; check box
// numbers outside 1..9 read as unchecked and ignore SetChecked.
class PlainPanelSettings final : public PanelSettings {
 public:
  bool IsChecked(PanelCheckBox box) const override;
  int GetScrollBar1Position() const override { return ScrollBar1Position; }
  int GetScrollBar2Position() const override { return ScrollBar2Position; }
  std::string_view GetMovementText() const override { return MovementText; }
  TColor GetForegroundColor() const override;
  TColor GetBackgroundColor() const override;
  int GetClearRequest() const override { return ClearRequest; }
  void SetClearRequest(int value) override { ClearRequest = value; }

  void SetChecked(PanelCheckBox box, bool checked);

  // Indexed by the check box number; slot 0 is unused.
  std::array<bool, 10> Checked = kDefaultChecked;
  int ScrollBar1Position = kDefaultTraceCount;
  int ScrollBar2Position = kDefaultAlternativeColours;
  std::string MovementText = kDefaultMovement;
  int ForegroundIndex = kDefaultForegroundIndex;  // into kColorGridColors
  int BackgroundIndex = kDefaultBackgroundIndex;
  int ClearRequest = 0;
};

}  // namespace trilume
