// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

#include "model/panel_design.h"
#include "render/panel_settings.h"
#include "ui/colour_grid.h"
#include "ui/design_size_keeper.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollBar;

namespace trilume {

// The control panel. Its widgets are the settings: the frame reads them live
// through PanelSettings, nothing copies them. Closing the panel only hides
// it; every setting stays as it was.
//
// The MOVEMENT text is kept as UTF-8 in MovementText, renewed whenever the
// combo box's text changes, so a frame reads it without converting or
// allocating.
//
// The panel has the design's outer width and client height (see
// DesignSizeKeeper). Each label names the control to its right, for screen
// readers too; Escape hides the panel as closing does. The scroll bars'
// Right and Up keys raise the value, Left and Down lower it. Return and
// Enter press the focused button as Space does, and the focused control
// wears a red ring (see FocusRing; the grid's goes round it). CLEAR tells
// screen readers "Picture cleared.". Reopened, the panel gives the focus
// back to the control last used, unless that was CLEAR: then to the one
// used before it, or the first.
class TForm2 final : public QWidget, public PanelSettings {
  Q_OBJECT

 public:
  // The design font is "MS Sans Serif" with an 11-pixel character height.
  // Liberation Sans at pixel size 10 is 11 pixels high and, unlike size 11,
  // fits every label text into the label's design width.
  static constexpr int kFontPixelSize = 10;

  // Sets Form2 before FormCreate runs.
  explicit TForm2(QWidget* parent = nullptr);
  ~TForm2() override;

  TForm2(const TForm2&) = delete;
  TForm2& operator=(const TForm2&) = delete;

  // PanelSettings, read from the widgets.
  bool IsChecked(PanelCheckBox box) const override;
  int GetScrollBar1Position() const override;
  int GetScrollBar2Position() const override;
  std::string_view GetMovementText() const override { return MovementText; }
  TColor GetForegroundColor() const override;
  TColor GetBackgroundColor() const override;
  int GetClearRequest() const override { return ClearRequest; }
  void SetClearRequest(int value) override { ClearRequest = value; }

  int GetFreeFlightFlag() const { return FreeFlightFlag; }
  QCheckBox* GetCheckBox(PanelCheckBox box) const;

  // Components.
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;
  QLabel* Label7;
  QLabel* Label8;
  QLabel* Label9;
  QLabel* Label10;
  QLabel* Label11;
  QLabel* Label12;
  QLabel* Label13;
  QLabel* Label14;
  QLabel* Label15;
  QCheckBox* CheckBox1;
  QCheckBox* CheckBox2;
  QCheckBox* CheckBox3;
  QCheckBox* CheckBox4;
  QCheckBox* CheckBox5;
  QCheckBox* CheckBox6;
  QCheckBox* CheckBox7;
  QCheckBox* CheckBox8;
  QCheckBox* CheckBox9;
  QScrollBar* ScrollBar1;
  QScrollBar* ScrollBar2;
  TCColorGrid* CColorGrid1;
  QComboBox* ComboBox1;
  QPushButton* Button1;
  QPushButton* Button2;

  // Handlers.
  void Button2Click();
  void Button1Click();
  void FormCreate();
  void CColorGrid1Change();
  void ScrollBar1Change();
  void ScrollBar2Change();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void MovementTextChanged(const QString& text);

  std::string MovementText = kDefaultMovement;
  int ClearRequest = 0;         // Button2's integer
  int FreeFlightFlag = 0;       // Button1's integer
  QPointer<QWidget> LastFocus;  // the control last focused other than CLEAR
  DesignSizeKeeper DesignSize{*this, QSize(kPanelOuterWidth, kPanelClientHeight), Qt::Horizontal};
};

// The program-wide reference to the control panel, set when it is created.
extern TForm2* Form2;

}  // namespace trilume
