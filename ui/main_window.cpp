// SPDX-License-Identifier: MIT
#include "ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>
#include <QTimer>

#include "render/canvas/colour.h"
#include "render/trace.h"
#include "ui/control_panel.h"
#include "ui/error_window.h"
#include "ui/spoken_change.h"
#include "ui/window_accessible.h"
#include "ui/window_setup.h"

namespace trilume {

TForm1* Form1 = nullptr;

namespace {

// How long after the design size is given the window manager may still
// pass sizes back and forth.
constexpr int kSettlingMilliseconds = 2000;

// The picture's accessible description: its keys.
constexpr const char* kPictureKeys =
    "Enter opens the control panel, P changes the background pattern, S speaks the status line.";

}  // namespace

TForm1::TForm1(ClockState& state, const ClockSource& clock, TickSource& ticks, QWidget* parent)
    : QWidget(parent),
      State(state),
      Session(*this, state, clock, Drawing, ticks),
      Timer1(Session.Timer1),
      Timer2(Session.Timer2),
      Image1(nullptr),
      Timer3(Session.Timer3),
      ClickWait(Session.Timers, QGuiApplication::styleHints()->mouseDoubleClickInterval(), false) {
  Form1 = this;
  Timer1.OnTimer = [this] { Timer1Timer(); };
  Timer2.OnTimer = [this] { Timer2Timer(); };
  Timer3.OnTimer = [this] { Timer3Timer(); };
  ClickWait.OnTimer = [this] {
    ClickWait.SetEnabled(false);
    Image1Click();
  };
  InstallWindowAccessibility();
  SetUpWindow(*this, QStringLiteral("TRILUME"), {kMainWindowLeft, kMainWindowTop},
              QColor(0, 0, 128));

  Image1 = new TImage(Canvas, this);
  // The picture holds the focus, not the window: a screen reader speaks
  // every change of its focus's name, and the window's name is the status
  // line. The picture's name never changes.
  Image1->setFocusPolicy(Qt::StrongFocus);
  Image1->setAccessibleName(QStringLiteral("TRILUME clock"));
  Image1->setAccessibleDescription(QString::fromLatin1(kPictureKeys));
  setFocusProxy(Image1);
  connect(Image1, &TImage::Click, this, &TForm1::PictureClicked);
  connect(Image1, &TImage::DblClick, this, &TForm1::PictureDoubleClicked);
  connect(&DesignSize, &DesignSizeKeeper::ScreenChecked, Image1, &TImage::FitToCanvas);
  connect(&DesignSize, &DesignSizeKeeper::Settling, this, [this] {
    Settling = true;
    ForgetUnkeptSize();
    QTimer::singleShot(kSettlingMilliseconds, this, [this] { Settling = false; });
  });

  FormCreate();
  Session.SetSleeping(true);
  QCoreApplication::instance()->installEventFilter(&CatchUpOnInput);
  connect(&ClockSteps, &WallClockWatch::Stepped, this, [this] { Session.ClockChanged(); });
}

TForm1::~TForm1() {
  if (Form1 == this) {
    Form1 = nullptr;
  }
}

WindowSize TForm1::GetOuterSize() const {
  const QSize outer = frameGeometry().size();
  const double k = Image1->GetLogicalPixelsPerCanvasPixel();
  if (k == 1.0) {
    return WindowSize{outer.width(), outer.height()};
  }
  return WindowSize{static_cast<int>(outer.width() / k), static_cast<int>(outer.height() / k)};
}

PanelSettings* TForm1::GetPanel() { return Form2; }

void TForm1::FrameShown(const FrameOutcome& outcome) {
  if (outcome.Ok) {
    FrameFaults.Succeeded();
  } else if (FrameFaults.Failed(outcome.Error)) {
    ShowException(outcome.Error, this);
  }
  ShowPresented();
}

void TForm1::CaptionShown(const std::string& caption) {
  ShowStatusText(*this, QString::fromStdString(caption));
}

void TForm1::Timer1Timer() { Session.Frame(); }

void TForm1::ShowDrawing() {
  Drawing.Present();
  ShowPresented();
}

void TForm1::ShowPresented() {
  const TRect changed = Drawing.TakeChanged();
  Image1->ShowChanges(
      changed.Left < changed.Right && changed.Top < changed.Bottom
          ? QRect(QPoint(changed.Left, changed.Top), QPoint(changed.Right - 1, changed.Bottom - 1))
          : QRect());
}

void TForm1::ForgetUnkeptSize() {
  Session.CatchUp();
  // The trace would draw those frames' triangles again into the hatch's
  // gaps, which nothing covers later.
  State.TraceHistory.fill(TriangleRecord{});
  const QSize size = Canvas.GetImage().size();
  Canvas.SetBrushColor(kWhite);
  Canvas.SetBrushStyle(kBsSolid);
  Canvas.FillRect(Rect(0, 0, size.width(), size.height()));
  // The frame canvas hands the next frame the tools it keeps.
  Canvas.SetBrushColor(Drawing.GetBrushColor());
  Canvas.SetBrushStyle(Drawing.GetBrushStyle());
  Drawing.Forget();
  Image1->ShowChanges(QRect(QPoint(0, 0), size));
  Session.InputChanged();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  // The window system may confirm the size later than it was asked for, or
  // pass back a stale one on the way, and frames meanwhile read it.
  if (Settling) ForgetUnkeptSize();
  QWidget::resizeEvent(event);
}

void TForm1::FormCreate() { DesignSize.Start(); }

void TForm1::FormDblClick() {
  State.FillStyleIndex = NextFillStyleFromForm(State.FillStyleIndex);
  SpeakNow(*Image1, QString::fromStdString(DescribeFillStyle(State.FillStyleIndex)));
}

void TForm1::Timer2Timer() { Session.CaptionStep(); }

void TForm1::Image1Click() {
  if (Form2 == nullptr) {
    return;
  }
  Form2->show();
  Form2->raise();
  Form2->activateWindow();
}

void TForm1::Image1DblClick() {
  State.FillStyleIndex = NextFillStyleFromImage(State.FillStyleIndex);
  SpeakNow(*Image1, QString::fromStdString(DescribeFillStyle(State.FillStyleIndex)));
}

void TForm1::Timer3Timer() { Session.FlightStep(); }

void TForm1::PictureClicked() {
  // Enabling restarts the wait, so of two slow clicks the second counts.
  ClickWait.SetEnabled(false);
  ClickWait.SetEnabled(true);
}

void TForm1::PictureDoubleClicked() {
  ClickWait.SetEnabled(false);
  Image1DblClick();
}

void TForm1::mouseDoubleClickEvent(QMouseEvent* event) {
  // Only the bare background beyond the picture reaches here on purpose;
  // other buttons' double-clicks on the picture are passed up and ignored.
  if (event->button() == Qt::LeftButton && childAt(event->position().toPoint()) == nullptr) {
    FormDblClick();
    event->accept();
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Closed();
}

void TForm1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) {
    Session.SetMinimised(isMinimized());
  }
  QWidget::changeEvent(event);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  // The keyboard's way to the control panel, as a click on the picture.
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      Image1Click();
      // Opened from the keyboard, the panel shows where its focus is at once.
      if (Form2 != nullptr) {
        Form2->setAttribute(Qt::WA_KeyboardFocusChange);
      }
      event->accept();
      return;
    case Qt::Key_P:
      // The keyboard's way to the next pattern, as a double-click on the picture.
      Image1DblClick();
      event->accept();
      return;
    case Qt::Key_S:
      // The status line on demand: the title changes too often to be spoken
      // unasked.
      SpeakNow(*Image1, windowTitle());
      event->accept();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

}  // namespace trilume
