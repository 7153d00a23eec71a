// SPDX-License-Identifier: MIT
// The MOVEMENT text, typed freely into the panel's combo box, then whole
// ticks with it: SelectTickDivisor directly (against the seven names), then
// two ticks of a clock session on the real canvas (frame, then a free-flight
// step when free) and a caption.
//
// Input: a 16-byte header, then the text.
//   0-1 width, 2-3 height (little-endian, folded into 1..4000 and 1..3000)
//   4-11 the system clock in microseconds (any 64-bit value)
//   12-13 the nine check boxes (bit n = CheckBox n+1)
//   14 bit 0 free flight, bits 1-3 ALTERNATIVE COLORS - 1 (+ bit 4 -> 12)
//   15 NUMBER OF TRACES / 12 (255 gives 3061, beyond the bar's end)
#include <QGuiApplication>
#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "model/caption.h"
#include "model/hand_geometry.h"
#include "render/canvas/raster_canvas.h"
#include "render/headless_clock.h"

namespace {

using trilume::Require;

constexpr std::size_t kHeaderSize = 16;

// Lives for the whole run: fonts need the application, and a fresh
// 1281 x 777 picture per input would only slow the search down.
trilume::RasterCanvas* gCanvas = nullptr;

std::uint16_t Read16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool IsZero(const trilume::TriangleRecord& r) { return r == trilume::TriangleRecord{}; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("TZ", "UTC", 1);
  tzset();
  std::setlocale(LC_ALL, "C");
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Never destroyed: a static application would be torn down after Qt's
  // own statics at exit and crash there, which is no finding of ours.
  new QGuiApplication(*argc, *argv);
  gCanvas = new trilume::RasterCanvas();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHeaderSize) return 0;
  const trilume::WindowSize window{Read16(data) % 4000 + 1, Read16(data + 2) % 3000 + 1};
  std::int64_t micros = 0;
  std::memcpy(&micros, data + 4, sizeof micros);
  const std::uint16_t boxes = Read16(data + 12);
  const bool free = (data[14] & 1) != 0;
  const int colours = (data[14] & 0x10) != 0 ? 12 : ((data[14] >> 1) & 7) + 1;
  const int traces = data[15] * 12 + 1;
  const std::string_view text(reinterpret_cast<const char*>(data + kHeaderSize),
                              size - kHeaderSize);

  auto session = std::make_unique<trilume::HeadlessClock>(*gCanvas);
  trilume::ClockState& state = session->State;

  // Only an exact name may change the divisor.
  std::int32_t expected = state.TickDivisor;
  for (const trilume::MovementMode& mode : trilume::kMovementModes) {
    if (text == mode.Name) expected = mode.Divisor;
  }
  trilume::SelectTickDivisor(state, text);
  Require(state.TickDivisor == expected, "SelectTickDivisor disagrees with the names");

  trilume::PlainPanelSettings& panel = session->Panel;
  for (int box = 1; box <= 9; ++box) {
    panel.SetChecked(static_cast<trilume::PanelCheckBox>(box), (boxes >> (box - 1)) & 1);
  }
  panel.ScrollBar1Position = traces;
  panel.ScrollBar2Position = colours;
  panel.MovementText.assign(text);
  session->Clock.Set(micros);
  session->Window = window;
  session->SetFree(free);

  // A frame whose time text does not read is what the window shows and
  // survives; the session reports it and goes on.
  for (int tick = 0; tick < 2; ++tick) session->Tick();
  Require(state.TickDivisor == expected, "the frame chose another divisor than the text names");
  Require(state.TraceCount >= 0 && state.TraceCount <= trilume::kMaxTraceCount,
          "TraceCount left 0..3000");
  Require(IsZero(state.TraceHistory[0]), "trace history entry 0 was written");
  Require(IsZero(state.TraceHistory[trilume::kTraceHistorySize - 1]),
          "trace history entry 3001 was written");
  const std::string caption = trilume::ComposeCaption(trilume::Now(session->Clock), state);
  Require(caption.find(trilume::kCaptionClosing) != std::string::npos,
          "the caption lost its closing piece");
  return 0;
}
