// SPDX-License-Identifier: MIT
// The fewest wake-ups a clock at the design settings can do with over an
// interval of wall-clock time: the ticks at which the picture or the title
// differs from the tick before's. It replays the 64 Hz ticks of that
// interval headless, from a few seconds before it so that the trace is
// full, and compares what each tick leaves on show, pixel by pixel.
// scripts/measure_wakeups.sh sets it beside the wake-ups it measured over
// the same interval; the session's own planned wake-ups (a sleeping
// session replaying the same ticks) tell how far the plan is from that
// floor, and the rest is what the window and Qt add.
//
// Usage: picture_changes START_UNIX_MICROSECONDS SECONDS
// Prints: ticks, changed ticks, changed pictures, changed titles and
// planned wake-ups, each over the interval.
#include <QGuiApplication>
#include <QImage>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/panel_design.h"
#include "model/tick_schedule.h"
#include "render/canvas/frame_canvas.h"
#include "render/canvas/raster_canvas.h"
#include "render/frame.h"
#include "render/headless_clock.h"

namespace trilume {
namespace {

constexpr int kWarmUpTicks = 3 * 64;
constexpr WindowSize kDesignWindow{kMainWindowOuterWidth, kMainWindowOuterHeight};

struct Replay {
  explicit Replay(std::int64_t wall, bool sleeping) {
    Clock = std::make_unique<HeadlessClock>(Drawing);
    Clock->Window = kDesignWindow;
    Clock->Clock.Set(wall);
    Clock->SetSleeping(sleeping);
  }
  RasterCanvas Raster;
  FrameCanvas Drawing{Raster, kMaxFrameCalls};
  std::unique_ptr<HeadlessClock> Clock;
};

// The rows of the window's part of the canvas, which is all it shows.
std::vector<unsigned char> Shown(const QImage& image) {
  const std::size_t row = std::size_t{kDesignWindow.Width} * sizeof(QRgb);
  std::vector<unsigned char> pixels(row * static_cast<std::size_t>(kDesignWindow.Height));
  for (int y = 0; y < kDesignWindow.Height; ++y) {
    std::memcpy(pixels.data() + row * static_cast<std::size_t>(y), image.constScanLine(y), row);
  }
  return pixels;
}

}  // namespace
}  // namespace trilume

int main(int argc, char** argv) {
  using namespace trilume;
  if (argc != 3) {
    std::fprintf(stderr, "usage: picture_changes START_UNIX_MICROSECONDS SECONDS\n");
    return 2;
  }
  const std::int64_t start = std::strtoll(argv[1], nullptr, 10);
  const double seconds = std::strtod(argv[2], nullptr);
  if (start <= 0 || !(seconds > 0 && seconds < 86400)) {
    std::fprintf(stderr, "picture_changes: a start after 1970 and 0..86400 seconds, please\n");
    return 2;
  }
  // The clock's own locale and zone, so that its titles read alike; text
  // needs a platform, and none is shown.
  std::setlocale(LC_ALL, "");
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);

  const std::int64_t from = start - kWarmUpTicks * kTickMicroseconds;
  auto every = std::make_unique<Replay>(from, false);
  auto sleeper = std::make_unique<Replay>(from, true);
  const int ticks = static_cast<int>(seconds * 1e6 / static_cast<double>(kTickMicroseconds));
  std::vector<unsigned char> picture;
  std::string title;
  int changed = 0, pictures = 0, titles = 0, planned = 0;
  for (int k = 1; k <= kWarmUpTicks + ticks; ++k) {
    const std::int64_t now = k * kTickMicroseconds;
    const bool counted = k > kWarmUpTicks;
    for (Replay* replay : {every.get(), sleeper.get()}) replay->Clock->Clock.Set(from + now);
    if (sleeper->Clock->Ticks.AdvanceTo(now) && counted) ++planned;
    every->Clock->Ticks.AdvanceTo(now);
    const TRect drawn = every->Drawing.TakeChanged();
    bool pictureChanged = false;
    if (drawn.Left < drawn.Right || picture.empty()) {
      std::vector<unsigned char> shown = Shown(every->Raster.GetImage());
      pictureChanged = shown != picture;
      picture.swap(shown);
    }
    const bool titleChanged = every->Clock->GetCaption() != title;
    title = every->Clock->GetCaption();
    if (!counted) continue;
    pictures += pictureChanged ? 1 : 0;
    titles += titleChanged ? 1 : 0;
    changed += pictureChanged || titleChanged ? 1 : 0;
  }
  std::printf("ticks %d changed %d pictures %d titles %d planned %d\n", ticks, changed, pictures,
              titles, planned);
  return 0;
}
