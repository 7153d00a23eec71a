// SPDX-License-Identifier: MIT
#include "render/frame.h"

#include <cmath>
#include <exception>
#include <string_view>

#include "model/hand_geometry.h"
#include "model/triangle.h"
#include "render/canvas/colour.h"
#include "render/overlays.h"
#include "render/screen_point.h"
#include "render/trace.h"

namespace trilume {

namespace {

constexpr double kDialFactor = 0.8333333333333334;
constexpr double kCentreDotFactor = 0.025;

struct Numeral {
  std::string_view Text;
  int X;
  int Y;
};

// An ellipse about Centre reaching factor x CentreX and factor x CentreY to
// either side: its size follows Centre, not the window.
void EllipseAboutCentre(const ClockState& state, TCanvas& canvas, double factor) {
  const double x = static_cast<double>(state.CentreX);
  const double y = static_cast<double>(state.CentreY);
  const double dx = x * factor;
  const double dy = y * factor;
  canvas.Ellipse(TruncToPixel(x - dx), TruncToPixel(y - dy), TruncToPixel(dx + x),
                 TruncToPixel(dy + y));
}

void DrawDial(const ClockState& state, TCanvas& canvas) {
  // Filled in the colour the previous frame chose for the background.
  canvas.SetPenColor(kWhite);
  canvas.SetBrushStyle(kBsSolid);
  EllipseAboutCentre(state, canvas, kDialFactor);
}

void DrawCentreDot(const ClockState& state, TCanvas& canvas) {
  canvas.SetPenColor(kWhite);
  canvas.SetBrushColor(kBlue);
  canvas.SetBrushStyle(kBsSolid);
  EllipseAboutCentre(state, canvas, kCentreDotFactor);
}

void DrawNumerals(TCanvas& canvas, WindowSize window) {
  const int halfWidth = window.Width / 2;
  const int halfHeight = window.Height / 2;
  const Numeral numerals[] = {
      {"12", halfWidth - 10, 2},
      {"3 ", window.Width - 19, halfHeight - 28},
      {"6 ", halfWidth - 10, window.Height - 49},
      {"9 ", 2, halfHeight - 28},
  };
  // Pen and brush stay as the centre dot left them: the blue solid brush
  // fills the numerals' cells.
  canvas.SetFontColor(kBlack);
  for (const Numeral& numeral : numerals) canvas.TextOut(numeral.X, numeral.Y, numeral.Text);
}

}  // namespace

CentrePosition LandedCentre(WindowSize window) {
  return {static_cast<float>(window.Width / 2 - 4), static_cast<float>(window.Height / 2 - 17)};
}

FrameReading ReadFrameClock(const ClockSource& clock, TimeTextFormatter timeText) {
  // The only clock reading of the frame: the time text and the millisecond
  // field both come from it, so at the turn of a second they cannot
  // disagree and make the second hand jump.
  const TDateTime time = Now(clock);
  const TimeTextFormatter format = timeText != nullptr ? timeText : &TimeToStr;
  return {time, format(time - std::trunc(time))};
}

void Timer1Timer(ClockState& state, TCanvas& canvas, PanelSettings& panel, WindowSize window,
                 bool freeFlight, const FrameReading& reading) {
  ResetHistory(state, panel);

  if (!freeFlight) {
    const CentrePosition landed = LandedCentre(window);
    state.CentreX = landed.X;
    state.CentreY = landed.Y;
  }

  // The brush is the one the previous frame (or a panel handler) left.
  canvas.FillRect(Rect(0, 0, window.Width, window.Height));

  if (panel.IsChecked(PanelCheckBox::kShowAdditionals)) DrawDial(state, canvas);
  if (panel.IsChecked(PanelCheckBox::kShowAdditionals)) DrawCentreDot(state, canvas);
  if (panel.IsChecked(PanelCheckBox::kShowClockNumbers) &&
      panel.IsChecked(PanelCheckBox::kShowAdditionals)) {
    DrawNumerals(canvas, window);
  }

  SelectTickDivisor(state, panel.GetMovementText());

  // A text that is not HH:MM:SS throws here and ends the frame; nothing
  // below has touched the state yet.
  const HandValues values = ReadHandValues(reading.TimeText, reading.Time);
  ComputeHandTips(state, values, window.Width, window.Height);
  MeasureTriangle(state);

  DrawHourTipMarker(state, canvas);
  if (panel.IsChecked(PanelCheckBox::kShowLineLengths)) {
    DrawLengthBars(state, canvas);
    DrawApexMarker(state, canvas);
  }
  if (panel.IsChecked(PanelCheckBox::kShowHands)) DrawHands(state, canvas);

  SelectFillBrush(state, canvas, panel);
  StoreCurrentTriangle(state);
  DrawTrace(state, canvas, panel);

  if (panel.IsChecked(PanelCheckBox::kShowYellowTriangle)) DrawYellowTriangle(state, canvas);
  if (panel.IsChecked(PanelCheckBox::kShowNumbersSquare)) {
    DrawNumbersSquare(canvas, window.Width, window.Height);
  }
  if (panel.IsChecked(PanelCheckBox::kShowLinkLines)) {
    DrawLinkLines(state, canvas, window.Width, window.Height);
  }
}

void RunFrame(FrameOutcome& outcome, ClockState& state, TCanvas& canvas, PanelSettings& panel,
              WindowSize window, bool freeFlight, const ClockSource& clock,
              TimeTextFormatter timeText) {
  outcome.Ok = true;
  outcome.Unexpected = false;
  outcome.Error.clear();
  try {
    outcome.Reading = ReadFrameClock(clock, timeText);
    Timer1Timer(state, canvas, panel, window, freeFlight, outcome.Reading);
  } catch (const EConvertError& error) {
    outcome.Ok = false;
    outcome.Error = error.what();
  } catch (const std::exception& error) {
    outcome.Ok = false;
    outcome.Unexpected = true;
    outcome.Error = error.what();
  } catch (...) {
    outcome.Ok = false;
    outcome.Unexpected = true;
    outcome.Error = "A frame failed for an unknown reason.";
  }
}

void Button2Click(TCanvas& canvas, PanelSettings& panel, WindowSize window) {
  canvas.FillRect(Rect(0, 0, window.Width, window.Height));
  panel.SetClearRequest(1);
}

void CColorGrid1Change(TCanvas& canvas, const PanelSettings& panel, WindowSize window) {
  canvas.SetPenColor(panel.GetForegroundColor());
  canvas.SetBrushColor(panel.GetBackgroundColor());
  canvas.Rectangle(0, 0, window.Width, window.Height);
}

}  // namespace trilume
