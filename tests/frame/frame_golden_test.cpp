// SPDX-License-Identifier: MIT
// Whole frames on the real raster canvas, compared pixel for pixel with the
// pictures in tests/golden/. A mismatch writes the new picture beside the
// golden one as <name>.png.new for a look.
//
// The golden pictures are regenerated only on purpose, after a change of
// the picture that was meant and looked at:
//   TRILUME_UPDATE_GOLDEN=1 build/dev/tests/trilume_frame_tests --gtest_filter='Golden*'
// (use the build directory in hand), then open the PNGs before committing.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <cstdlib>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "frame_test_support.h"
#include "render/canvas/raster_canvas.h"

namespace trilume::testing {
namespace {

struct Scene {
  const char* Name;
  std::int64_t LastFrame;  // the instant of the frame that is kept
  int Frames;              // frames run, kFrameMicros apart, up to LastFrame
  std::function<void(PlainPanelSettings&, ClockState&)> Setup;
  bool FreeFlight = false;
};

void PrintTo(const Scene& c, std::ostream* os) { *os << c.Name; }

bool UpdatingGoldens() {
  const char* update = std::getenv("TRILUME_UPDATE_GOLDEN");
  return update != nullptr && std::string(update) == "1";
}

// Frames alone: a free-flight scene keeps Centre where it was put.
QImage RenderScene(const Scene& scene, WindowSize window) {
  RasterCanvas canvas;
  const auto session = std::make_unique<HeadlessClock>(canvas);
  scene.Setup(session->Panel, session->State);
  session->Window = window;
  session->SetFree(scene.FreeFlight);
  session->Clock.Set(scene.LastFrame - (scene.Frames - 1) * kFrameMicros);
  for (int frame = 0; frame < scene.Frames; ++frame) {
    EXPECT_TRUE(session->Frame().Ok);
    session->Clock.Advance(kFrameMicros);
  }
  return canvas.GetImage().copy(0, 0, window.Width, window.Height);
}

class GoldenTest : public ::testing::TestWithParam<Scene> {
 protected:
  void SetUp() override { PinTimeZoneAndLocale(); }
};

TEST_P(GoldenTest, FrameMatchesGoldenPicture) {
  const Scene& scene = GetParam();
  const WindowSize window;
  const QImage actual = RenderScene(scene, window).convertToFormat(QImage::Format_RGB32);
  const QString path = QString(TRILUME_GOLDEN_DIR "/") + scene.Name + ".png";

  if (UpdatingGoldens()) {
    ASSERT_TRUE(actual.save(path)) << path.toStdString();
    GTEST_SKIP() << "wrote " << path.toStdString();
  }

  const QImage golden = QImage(path).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(golden.isNull()) << "no golden picture " << path.toStdString()
                                << "; create it with TRILUME_UPDATE_GOLDEN=1";
  ASSERT_EQ(golden.size(), actual.size());
  int differing = 0;
  int firstX = -1;
  int firstY = -1;
  for (int y = 0; y < actual.height(); ++y) {
    for (int x = 0; x < actual.width(); ++x) {
      if (actual.pixel(x, y) == golden.pixel(x, y)) continue;
      if (differing++ == 0) {
        firstX = x;
        firstY = y;
      }
    }
  }
  if (differing != 0) actual.save(path + ".new", "PNG");
  EXPECT_EQ(differing, 0) << "first at (" << firstX << ", " << firstY << "); see "
                          << path.toStdString() << ".new";
}

INSTANTIATE_TEST_SUITE_P(
    Golden, GoldenTest,
    ::testing::Values(
        // The design values: hatched navy background layering the frames.
        Scene{"frame_defaults", At(0, 15, 30, 500), 16, [](PlainPanelSettings&, ClockState&) {}},
        // A full history of 3000 triangles in the rainbow palette.
        Scene{"frame_rainbow_3000", At(0, 15, 30, 500), 3100,
              [](PlainPanelSettings& panel, ClockState&) {
                panel.ScrollBar1Position = 3000;
                panel.SetChecked(PanelCheckBox::kRainbow, true);
              }},
        // Every overlay at once over a solid background.
        Scene{"frame_overlays", At(10, 8, 42, 250), 16,
              [](PlainPanelSettings& panel, ClockState& state) {
                panel.SetChecked(PanelCheckBox::kShowLineLengths, true);
                panel.SetChecked(PanelCheckBox::kShowNumbersSquare, true);
                panel.SetChecked(PanelCheckBox::kShowLinkLines, true);
                state.FillStyleIndex = 1;
              }},
        // Black cross-hatch, no additionals, FAST hands, Centre where free flight left it.
        Scene{"frame_free_flight_crosshatch", At(21, 47, 5, 333), 16,
              [](PlainPanelSettings& panel, ClockState& state) {
                panel.SetChecked(PanelCheckBox::kShowAdditionals, false);
                panel.MovementText = "FAST";
                state.FillStyleIndex = 0;
                state.CentreX = 90.0F;
                state.CentreY = 120.0F;
              },
              true}),
    [](const auto& row) { return std::string(row.param.Name); });

}  // namespace
}  // namespace trilume::testing
