// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include "model/clock_state.h"
#include "model/date_time.h"
#include "model/error_episode.h"
#include "model/panel_design.h"
#include "model/tick_source.h"
#include "model/timer.h"
#include "render/canvas/frame_canvas.h"
#include "render/canvas/raster_canvas.h"
#include "render/clock_session.h"
#include "render/frame.h"
#include "ui/clock_picture.h"
#include "ui/design_size_keeper.h"
#include "ui/input_catch_up.h"
#include "ui/wall_clock_watch.h"

namespace trilume {

// The main window: the clock picture and the session whose three timers
// drive it; the timers run the handlers below, which are the session's
// steps. The process wakes only for the ticks at which the picture or the
// title changes (see ClockSession); every other tick runs when it wakes.
//
// W and H, the sizes every frame, fill and bounce uses, are the window's
// OUTER size (frame and title bar included) as the window manager reports
// it, counted in canvas pixels. At start it is the design's outer size (see
// DesignSizeKeeper).
//
// Closing the window ends the program (see Closed), also while the control
// panel is open. While minimised no frames are drawn; the caption goes on.
// A click on the picture opens the control panel only once the desktop's
// double-click interval has passed without a second click: the panel opens
// over the clock, and the second click of a double-click must step the
// pattern, never land on a panel control. With the window focused, Enter or
// Space opens the control panel at once, P steps the background pattern as
// a double-click on the picture does and S has screen readers speak the
// status line. The picture holds the focus; its accessible name is "TRILUME
// clock", its description names these keys. Each new pattern is spoken in
// words.
class TForm1 final : public QWidget, public ClockHost {
  Q_OBJECT

 public:
  // `state`, `clock` and `ticks` must outlive the window. Sets Form1
  // before FormCreate runs.
  TForm1(ClockState& state, const ClockSource& clock, TickSource& ticks, QWidget* parent = nullptr);
  ~TForm1() override;

  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // The outer size in canvas pixels, read afresh.
  WindowSize GetOuterSize() const override;
  // The control panel, once it exists.
  PanelSettings* GetPanel() override;
  void FrameShown(const FrameOutcome& outcome) override;
  void CaptionShown(const std::string& caption) override;
  // The picture's pixels. Draw through GetDrawing() only: the frame canvas
  // must see every call to know when a frame repeats the last.
  const RasterCanvas& GetCanvas() const { return Canvas; }
  FrameCanvas& GetDrawing() { return Drawing; }
  // Puts what was drawn since the last call on the canvas and asks the
  // picture to show what changed.
  void ShowDrawing();
  // How a frame turns the time into the text the hands are read from: the
  // locale's TimeToStr unless a test puts in another.
  void SetTimeTextFormatter(TimeTextFormatter formatter) { Session.TimeText = formatter; }

 private:
  // Before the components: the timers are the session's.
  RasterCanvas Canvas;
  FrameCanvas Drawing{Canvas, kMaxFrameCalls};
  ClockState& State;
  ClockSession Session;

 public:
  // Components, in declaration order.
  TTimer& Timer1;
  TTimer& Timer2;
  TImage* Image1;
  TTimer& Timer3;

  // Handlers.
  void Timer1Timer();
  void FormCreate();
  void FormDblClick();
  void Timer2Timer();
  void Image1Click();
  void Image1DblClick();
  void Timer3Timer();

 signals:
  // The user closed the main window: the program should end.
  void Closed();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Shows on the picture what the frame canvas put on the canvas.
  void ShowPresented();
  // Wipes the canvas white and the trace, as at start: the frames drawn
  // while the window manager framed the window were for a size the window
  // does not keep, and a hatched background would never cover them.
  void ForgetUnkeptSize();
  // A click on the picture: waits out the double-click interval.
  void PictureClicked();
  void PictureDoubleClicked();

  // Runs on the session's ticks, so tests move it with a fake tick source.
  TTimer ClickWait;

  DesignSizeKeeper DesignSize{*this, QSize(kMainWindowOuterWidth, kMainWindowOuterHeight),
                              Qt::Horizontal | Qt::Vertical};
  // A fault that fails every frame is shown once, not at every tick.
  ErrorEpisode FrameFaults;
  // The session sleeps between the ticks that change what is shown; these
  // wake it for the user's changes and the wall clock's steps.
  InputCatchUp CatchUpOnInput{Session};
  WallClockWatch ClockSteps;
  // The design size is being given: the resizes that follow for a while
  // wipe again what frames drew for the sizes before.
  bool Settling = false;
};

// The program-wide reference to the main window, set when it is created.
extern TForm1* Form1;

}  // namespace trilume
