// SPDX-License-Identifier: MIT
#include "tools/gif_animation.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <system_error>

#include "tools/gif_lzw.h"

namespace trilume {
namespace {

constexpr std::uint32_t kRgb = 0xffffff;

int WriteToDevice(GifFileType* file, const GifByteType* bytes, int size) {
  auto* device = static_cast<QIODevice*>(file->UserData);
  const qint64 written = device->write(reinterpret_cast<const char*>(bytes), size);
  return written < 0 ? 0 : static_cast<int>(written);
}

// Pixels in `rows` rows of `width`, or the offset of row `rows`.
std::size_t Cells(int rows, int width) {
  return static_cast<std::size_t>(rows) * static_cast<std::size_t>(width);
}

}  // namespace

GifAnimation::GifAnimation(QIODevice& device, int width, int height)
    : Device(device), Width(std::max(width, 1)), Height(std::max(height, 1)) {}

GifAnimation::~GifAnimation() {
  if (Coder.joinable()) {
    {
      const std::lock_guard lock(CodeLock);
      Stopping = true;
    }
    CodeTurn.notify_all();
    Coder.join();
  }
  if (File != nullptr) EGifCloseFile(File, nullptr);
}

void GifAnimation::Code(Frame& frame) noexcept {
  try {
    CodeWithin(frame);
  } catch (const std::bad_alloc&) {
    frame.Fault = Trouble::kOutOfMemory;
  }
}

void GifAnimation::CodeWithin(Frame& frame) {
  frame.Fault = Trouble::kNone;
  if (!Index(frame, frame.Transparent == 0) && !Index(frame, false)) {
    frame.Fault = Trouble::kTooManyColours;
  }
  // The picture shown from this frame on, for the next one.
  const std::size_t rowBytes = sizeof(std::uint32_t) * static_cast<std::size_t>(frame.Width);
  for (int y = 0; y < frame.Height; ++y) {
    std::memcpy(CoderShown.data() + Cells(frame.Top + y, Width) + frame.Left,
                frame.Pixels.data() + Cells(y, frame.Width), rowBytes);
  }
  if (frame.Fault != Trouble::kNone) return;
  // The colour table holds a power of two colours, at least 2.
  frame.CodedSize = GifBitSize(std::max(static_cast<int>(frame.Colours.size()), 2));
  const int minCodeSize = std::max(frame.CodedSize, 2);
  // Row offsets up to 4095 << minCodeSize fit 16 bits up to 16 colours.
  if (minCodeSize <= 4) {
    CompressLzw(frame.Indices, minCodeSize, Table, frame.Codes);
  } else {
    CompressLzw(frame.Indices, minCodeSize, WideTable, frame.Codes);
  }
}

void GifAnimation::CodeThread() {
  std::unique_lock lock(CodeLock);
  for (;;) {
    CodeTurn.wait(lock, [this] { return Coded < Queued || Stopping; });
    if (Stopping) return;
    Frame& frame = Slot(Coded);
    lock.unlock();
    Code(frame);
    lock.lock();
    ++Coded;
    CodeTurn.notify_all();
  }
}

void GifAnimation::Queue() {
  Frame& frame = Slot(Queued);
  // A small frame costs less to code here than to hand over, once the code
  // thread is done with the frames before: the two share CoderShown and the
  // tables, and the code thread touches neither again before Queued grows.
  constexpr std::size_t kWorthAThread = 4096;
  std::unique_lock lock(CodeLock);
  const bool here =
      !Coder.joinable() || (Cells(frame.Height, frame.Width) < kWorthAThread && Coded == Queued);
  if (here) {
    lock.unlock();
    Code(frame);
    lock.lock();
    ++Coded;
  }
  ++Queued;
  lock.unlock();
  if (!here) CodeTurn.notify_all();
}

bool GifAnimation::Failed(const QString& why) {
  if (Error.isEmpty()) Error = why;
  return false;
}

bool GifAnimation::Start() {
  int error = 0;
  File = EGifOpen(&Device, &WriteToDevice, &error);
  if (File == nullptr) return Failed(QString::fromUtf8(GifErrorString(error)));
  EGifSetGifVersion(File, true);
  // Loops for ever: the NETSCAPE2.0 extension with a loop count of 0.
  static constexpr char kLoopApplication[] = "NETSCAPE2.0";
  static constexpr std::array<GifByteType, 3> kLoopForEver{1, 0, 0};
  if (EGifPutScreenDesc(File, Width, Height, 8, 0, nullptr) == GIF_ERROR ||
      EGifPutExtensionLeader(File, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(File, 11, kLoopApplication) == GIF_ERROR ||
      EGifPutExtensionBlock(File, kLoopForEver.size(), kLoopForEver.data()) == GIF_ERROR ||
      EGifPutExtensionTrailer(File) == GIF_ERROR) {
    return Failed(Device.errorString());
  }
  Shown.assign(Cells(Height, Width), 0);
  CoderShown = Shown;
  Empty.Width = Empty.Height = 1;
  Empty.Indices.assign(1, 0);
  Empty.Colours.assign(1, 0);
  Empty.Transparent = 0;
  std::vector<std::uint16_t> table;
  CompressLzw(Empty.Indices, 2, table, Empty.Codes);
  try {
    Coder = std::thread(&GifAnimation::CodeThread, this);
  } catch (const std::system_error&) {
    // No thread to be had: every frame is coded here instead.
  }
  return true;
}

bool GifAnimation::Add(const QImage& picture, TRect changed, std::int64_t delayCentiseconds) {
  if (!Error.isEmpty()) return false;
  delayCentiseconds = std::max<std::int64_t>(delayCentiseconds, 0);
  if (picture.width() < Width || picture.height() < Height) {
    return Failed(QStringLiteral("the picture is smaller than the animation"));
  }
  const bool first = FramesAdded == 0;
  if (first && !Start()) return false;
  ++FramesAdded;

  TRect area = first ? Rect(0, 0, Width, Height) : changed;
  area.Left = std::max(area.Left, 0);
  area.Top = std::max(area.Top, 0);
  area.Right = std::min(area.Right, Width);
  area.Bottom = std::min(area.Bottom, Height);
  if (!first) {
    // Narrowed to the pixels that differ: the frame canvas's rectangle holds
    // every changed pixel but also many that came out the same.
    TRect tight{Width, Height, 0, 0};
    for (int y = area.Top; y < area.Bottom; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(picture.constScanLine(y));
      const std::uint32_t* shown = Shown.data() + Cells(y, Width);
      int x = area.Left;
      while (x < area.Right && ((row[x] ^ shown[x]) & kRgb) == 0) ++x;
      if (x == area.Right) continue;
      int last = area.Right - 1;
      while (((row[last] ^ shown[last]) & kRgb) == 0) --last;
      tight.Left = std::min(tight.Left, x);
      tight.Right = std::max(tight.Right, last + 1);
      tight.Top = std::min(tight.Top, y);
      tight.Bottom = y + 1;
    }
    area = tight;
  }
  if (area.Left >= area.Right || area.Top >= area.Bottom) {
    Slot(Queued - 1).Delay += delayCentiseconds;
    return true;
  }

  // Frees the slot this frame takes.
  if (!WriteDone(false)) return false;
  Frame& frame = Slot(Queued);
  frame.Left = area.Left;
  frame.Top = area.Top;
  frame.Width = area.Right - area.Left;
  frame.Height = area.Bottom - area.Top;
  frame.Number = FramesAdded;
  frame.Delay = delayCentiseconds;
  frame.Transparent = first ? -1 : 0;
  frame.Pixels.resize(Cells(frame.Height, frame.Width));
  const std::size_t rowBytes = sizeof(std::uint32_t) * static_cast<std::size_t>(frame.Width);
  for (int y = 0; y < frame.Height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(picture.constScanLine(area.Top + y));
    std::memcpy(Shown.data() + Cells(area.Top + y, Width) + area.Left, row + area.Left, rowBytes);
    std::memcpy(frame.Pixels.data() + Cells(y, frame.Width), row + area.Left, rowBytes);
  }
  Queue();
  return true;
}

bool GifAnimation::Index(Frame& frame, bool transparent) {
  frame.Transparent = transparent ? 0 : -1;
  const std::uint32_t* const shown =
      CoderShown.data() + Cells(frame.Top, Width) + static_cast<std::size_t>(frame.Left);
  return Indexer.Index(frame.Pixels.data(), frame.Width, frame.Height, shown,
                       static_cast<std::size_t>(Width), transparent, frame.Indices, frame.Colours);
}

bool GifAnimation::WriteDone(bool all) {
  // The newest frame's delay is known only once a later picture differs,
  // or at the end.
  const std::int64_t known = all ? Queued : Queued - 1;
  while (Written < known) {
    {
      std::unique_lock lock(CodeLock);
      // Only a full set of frames in flight waits for the oldest's codes.
      if (!all && Coded <= Written && Queued - Written < kInFlight) return true;
      CodeTurn.wait(lock, [this] { return Coded > Written; });
    }
    if (!Write(Slot(Written))) return false;
    ++Written;
  }
  return true;
}

bool GifAnimation::Write(const Frame& frame) {
  if (frame.Fault == Trouble::kTooManyColours) {
    return Failed(
        QStringLiteral("frame %1 needs more than %2 colours").arg(frame.Number).arg(kMaxColours));
  }
  if (frame.Fault == Trouble::kOutOfMemory) return Failed(QStringLiteral("out of memory"));
  std::int64_t owed = Stretch.Shown(frame.Delay);
  const Frame* shown = &frame;
  for (;;) {
    const int delay = GifDelayPiece(owed);
    owed -= delay;
    if (!WriteFrame(*shown, delay)) return false;
    if (owed == 0) return true;
    // Longer than one frame's delay: empty frames carry the rest.
    shown = &Empty;
  }
}

bool GifAnimation::WriteFrame(const Frame& frame, int delay) {
  ColorMapObject* map = GifMakeMapObject(1 << frame.CodedSize, nullptr);
  if (map == nullptr) return Failed(QStringLiteral("out of memory"));
  for (int i = 0; i < map->ColorCount; ++i) {
    const std::uint32_t colour =
        i < static_cast<int>(frame.Colours.size()) ? frame.Colours[static_cast<std::size_t>(i)] : 0;
    map->Colors[i] =
        GifColorType{static_cast<GifByteType>(colour >> 16), static_cast<GifByteType>(colour >> 8),
                     static_cast<GifByteType>(colour)};
  }
  // DISPOSE_DO_NOT: each frame is drawn over the ones before.
  const GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay, frame.Transparent};
  GifByteType extension[4];
  const std::size_t extensionSize = EGifGCBToExtension(&control, extension);
  // LZW codes start one bit wider than the colour indices, which are at
  // least 2 bits.
  const int minCodeSize = std::max(frame.CodedSize, 2);
  bool written = EGifPutExtension(File, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extensionSize),
                                  extension) != GIF_ERROR &&
                 EGifPutImageDesc(File, frame.Left, frame.Top, frame.Width, frame.Height, false,
                                  map) != GIF_ERROR;
  // EGifPutImageDesc wrote the code size byte, at least 2 as here. The
  // codes go out in sub-blocks of a length byte and up to 255 bytes.
  std::array<GifByteType, 256> block{};
  const std::vector<std::uint8_t>& codes = frame.Codes;
  for (std::size_t at = 0; written && at < codes.size(); at += block[0]) {
    block[0] = static_cast<GifByteType>(std::min<std::size_t>(codes.size() - at, 255));
    std::memcpy(block.data() + 1, codes.data() + at, block[0]);
    written = (at == 0 ? EGifPutCode(File, minCodeSize, block.data())
                       : EGifPutCodeNext(File, block.data())) != GIF_ERROR;
  }
  written = written && EGifPutCodeNext(File, nullptr) != GIF_ERROR;
  GifFreeMapObject(map);
  if (!written) {
    const QString device = Device.errorString();
    return Failed(device.isEmpty() || device == QLatin1String("Unknown error")
                      ? QString::fromUtf8(GifErrorString(File->Error))
                      : device);
  }
  return true;
}

bool GifAnimation::Finish() {
  if (!Error.isEmpty()) return false;
  if (File == nullptr) return Failed(QStringLiteral("no frame was added"));
  if (!WriteDone(true)) return false;
  int error = 0;
  GifFileType* file = File;
  File = nullptr;
  // Closing writes the trailer byte.
  if (EGifCloseFile(file, &error) == GIF_ERROR) {
    return Failed(Device.errorString());
  }
  return true;
}

}  // namespace trilume
