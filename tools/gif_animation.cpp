// SPDX-License-Identifier: MIT
#include "tools/gif_animation.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <system_error>

namespace trilume {
namespace {

constexpr std::uint32_t kRgb = 0xffffff;
constexpr std::uint32_t kUsed = 0x1000000;

int WriteToDevice(GifFileType* file, const GifByteType* bytes, int size) {
  auto* device = static_cast<QIODevice*>(file->UserData);
  const qint64 written = device->write(reinterpret_cast<const char*>(bytes), size);
  return written < 0 ? 0 : static_cast<int>(written);
}

// Pixels in `rows` rows of `width`, or the offset of row `rows`.
std::size_t Cells(int rows, int width) {
  return static_cast<std::size_t>(rows) * static_cast<std::size_t>(width);
}

// The first slot for `colour` of `count`, a power of two.
std::size_t SlotOf(std::uint32_t colour, std::size_t count) {
  const std::uint32_t hash = (colour & kRgb) * 2654435761U;
  return std::size_t{hash >> 8} & (count - 1);
}

// Collects LZW codes least significant bit first, 32 bits at a time, into a
// buffer sized beforehand for the most codes a frame can take. The data
// sub-blocks are cut when the frame is written.
class CodePacker {
 public:
  CodePacker(std::vector<GifByteType>& bytes, std::size_t maxCodes) : Bytes(bytes) {
    // 12 bits a code at most, and room for the last 32-bit store.
    Bytes.resize(maxCodes * 3 / 2 + 8);
    At = Bytes.data();
  }

  void Put(unsigned code, unsigned size) {
    Bits |= std::uint64_t{code} << Count;
    Count += size;
    if (Count >= 32) {
      const auto low = static_cast<std::uint32_t>(Bits);
      std::memcpy(At, &low, sizeof low);
      At += sizeof low;
      Bits >>= 32;
      Count -= 32;
    }
  }

  void Flush() {
    for (; Count > 0; Count = Count > 8 ? Count - 8 : 0) {
      *At++ = static_cast<GifByteType>(Bits);
      Bits >>= 8;
    }
    Bytes.resize(static_cast<std::size_t>(At - Bytes.data()));
  }

 private:
  std::vector<GifByteType>& Bytes;
  GifByteType* At = nullptr;
  std::uint64_t Bits = 0;
  unsigned Count = 0;
};

// LZW as GIF decoders read it. A code's successors are one row of `table`,
// indexed by the next pixel, and an entry holds where its code's own row
// starts rather than the code: following a string then costs one load a
// pixel, which is what the time of an export mostly goes to. Rows are
// uint16_t while they fit, to keep the table in the fastest cache.
template <typename Entry>
void CompressLzw(const std::vector<std::uint8_t>& indices, int minCodeSize,
                 std::vector<Entry>& table, std::vector<GifByteType>& bytes) {
  constexpr unsigned kMaxCode = 4095;
  constexpr unsigned kMaxCodeSize = 12;
  const unsigned alphabet = 1U << minCodeSize;
  const unsigned clear = alphabet;
  const std::size_t rowsNeeded = std::size_t{kMaxCode + 1} << minCodeSize;
  if (table.size() < rowsNeeded) table.resize(rowsNeeded);
  Entry* const rows = table.data();
  // A clear code for every kMaxCode codes, and the first clear and the end.
  CodePacker out(bytes, indices.size() + indices.size() / (kMaxCode - clear - 1) + 3);
  const unsigned firstCodeSize = static_cast<unsigned>(minCodeSize) + 1;
  unsigned codeSize = firstCodeSize;
  unsigned lastCode = clear + 1;  // the highest code in use
  std::fill_n(rows, std::size_t{clear} << minCodeSize, Entry{0});
  out.Put(clear, codeSize);
  if (indices.empty()) {
    out.Put(clear + 1, codeSize);
    out.Flush();
    return;
  }
  const std::uint8_t* pixels = indices.data();
  const std::uint8_t* const end = pixels + indices.size();
  std::size_t current = std::size_t{*pixels++} << minCodeSize;  // the row of the string so far
  while (pixels != end) {
    const unsigned pixel = *pixels++;
    Entry& next = rows[current + pixel];
    if (next != 0) {
      current = next;
      continue;
    }
    out.Put(static_cast<unsigned>(current >> minCodeSize), codeSize);
    ++lastCode;
    const std::size_t row = std::size_t{lastCode} << minCodeSize;
    next = static_cast<Entry>(row);
    // The new code's own row starts empty.
    std::fill_n(rows + row, alphabet, Entry{0});
    if (lastCode >= (1U << codeSize)) ++codeSize;
    if (lastCode == kMaxCode) {
      out.Put(clear, codeSize);
      std::fill_n(rows, std::size_t{clear} << minCodeSize, Entry{0});
      codeSize = firstCodeSize;
      lastCode = clear + 1;
    }
    current = std::size_t{pixel} << minCodeSize;
  }
  out.Put(static_cast<unsigned>(current >> minCodeSize), codeSize);
  // Reading that last code the decoder adds a table entry of its own, one
  // behind ours, and widens its codes when the next would not fit: the end
  // code must be read at that width.
  if (lastCode + 1 >= (1U << codeSize) && codeSize < kMaxCodeSize) ++codeSize;
  out.Put(clear + 1, codeSize);
  out.Flush();
}

}  // namespace

GifAnimation::GifAnimation(QIODevice& device, int width, int height)
    : Device(device),
      Width(std::max(width, 1)),
      Height(std::max(height, 1)),
      SlotColour(kSlots + 1),
      SlotIndex(kSlots + 1) {}

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

void GifAnimation::MakeCodes() {
  TooManyColours = !Index(Pending.Transparent == 0) && !Index(false);
  // The code thread's own copy of the picture shown, for the next frame.
  const std::size_t rowBytes = sizeof(std::uint32_t) * static_cast<std::size_t>(Pending.Width);
  for (int y = 0; y < Pending.Height; ++y) {
    const std::size_t at = Cells(Pending.Top + y, Width) + static_cast<std::size_t>(Pending.Left);
    std::memcpy(CoderShown.data() + at, Shown.data() + at, rowBytes);
  }
  if (TooManyColours) return;
  // The colour table holds a power of two colours, at least 2.
  CodedSize = GifBitSize(std::max(static_cast<int>(Pending.Colours.size()), 2));
  const int minCodeSize = std::max(CodedSize, 2);
  // Row offsets up to 4095 << minCodeSize fit 16 bits up to 16 colours.
  if (minCodeSize <= 4) {
    CompressLzw(Pending.Indices, minCodeSize, Table, Codes);
  } else {
    CompressLzw(Pending.Indices, minCodeSize, WideTable, Codes);
  }
}

void GifAnimation::CodeThread() {
  std::unique_lock lock(CodeLock);
  for (;;) {
    CodeTurn.wait(lock, [this] { return CodesWanted || Stopping; });
    if (Stopping) return;
    lock.unlock();
    MakeCodes();
    lock.lock();
    CodesWanted = false;
    CodeTurn.notify_all();
  }
}

void GifAnimation::StartCodes() {
  // A small frame costs less to code here than to hand over.
  constexpr std::size_t kWorthAThread = 4096;
  if (Cells(Pending.Height, Pending.Width) < kWorthAThread) {
    MakeCodes();
    return;
  }
  if (!Coder.joinable()) {
    try {
      Coder = std::thread(&GifAnimation::CodeThread, this);
    } catch (const std::system_error&) {
      // No thread to be had: the codes are made here instead.
      MakeCodes();
      return;
    }
  }
  {
    const std::lock_guard lock(CodeLock);
    CodesWanted = true;
  }
  CodeTurn.notify_all();
}

void GifAnimation::AwaitCodes() {
  std::unique_lock lock(CodeLock);
  CodeTurn.wait(lock, [this] { return !CodesWanted; });
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
    Pending.Delay += delayCentiseconds;
    return true;
  }

  if (HasPending && !WritePending()) return false;
  // The code thread indexes the rectangle in Shown, which is not written
  // again before the code thread is done with it, against a copy of its own
  // of the picture before, so that the next picture can be drawn meanwhile.
  Pending.Left = area.Left;
  Pending.Top = area.Top;
  Pending.Width = area.Right - area.Left;
  Pending.Height = area.Bottom - area.Top;
  Pending.Transparent = first ? -1 : 0;
  Pending.Delay = delayCentiseconds;
  Pending.Number = FramesAdded;
  const std::size_t rowBytes = sizeof(std::uint32_t) * static_cast<std::size_t>(Pending.Width);
  for (int y = area.Top; y < area.Bottom; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(picture.constScanLine(y));
    std::memcpy(Shown.data() + Cells(y, Width) + area.Left, row + area.Left, rowBytes);
  }
  HasPending = true;
  StartCodes();
  return true;
}

bool GifAnimation::Index(bool transparent) {
  // The slot after the table holds a key no colour has, index 0, for the
  // pixels that stay.
  constexpr std::uint32_t kStays = ~std::uint32_t{0};
  std::fill_n(SlotColour.begin(), kSlots, 0);
  SlotColour[kSlots] = kStays;
  SlotIndex[kSlots] = 0;
  Pending.Indices.resize(Cells(Pending.Height, Pending.Width));
  Pending.Colours.clear();
  // Index 0 stands for the pixels that stay.
  Pending.Transparent = transparent ? 0 : -1;
  if (transparent) Pending.Colours.push_back(0);
  std::uint8_t* const out = Pending.Indices.data();
  // Branches on the picture's own pixels mostly go the wrong way: a pixel
  // that stays looks up the slot of its own, any other its colour's first
  // slot, and only a colour not yet there takes the slower way. The tables
  // are held in locals, as the index stores might otherwise alias them.
  const std::uint32_t* const slotColour = SlotColour.data();
  const std::uint8_t* const slotIndex = SlotIndex.data();
  // Without transparency no pixel stays: no colour has bit 24 set.
  const std::uint32_t neverStays = transparent ? 0 : kUsed;
  const std::size_t width = static_cast<std::size_t>(Pending.Width);
  for (int y = 0; y < Pending.Height; ++y) {
    const std::size_t at = Cells(Pending.Top + y, Width) + static_cast<std::size_t>(Pending.Left);
    const std::uint32_t* const row = Shown.data() + at;
    const std::uint32_t* const shown = CoderShown.data() + at;
    std::uint8_t* const indices = out + Cells(y, Pending.Width);
    for (std::size_t x = 0; x < width; ++x) {
      const std::uint32_t colour = row[x] & kRgb;
      const bool stays = colour == ((shown[x] & kRgb) | neverStays);
      std::size_t slot = stays ? kSlots : SlotOf(colour, kSlots);
      if (slotColour[slot] != (stays ? kStays : colour | kUsed)) {
        slot = AddColour(colour, slot);
        if (slot == kSlots) return false;
      }
      indices[x] = slotIndex[slot];
    }
  }
  return true;
}

std::size_t GifAnimation::AddColour(std::uint32_t colour, std::size_t slot) {
  while (SlotColour[slot] != 0 && SlotColour[slot] != (colour | kUsed)) {
    slot = (slot + 1) & (kSlots - 1);
  }
  if (SlotColour[slot] == 0) {
    if (Pending.Colours.size() == kMaxColours) return kSlots;
    SlotColour[slot] = colour | kUsed;
    SlotIndex[slot] = static_cast<std::uint8_t>(Pending.Colours.size());
    Pending.Colours.push_back(colour);
  }
  return slot;
}

bool GifAnimation::WritePending() {
  if (!HasPending) return true;
  HasPending = false;
  AwaitCodes();
  if (TooManyColours) {
    return Failed(
        QStringLiteral("frame %1 needs more than %2 colours").arg(Pending.Number).arg(kMaxColours));
  }
  std::int64_t owed = Pending.Delay;
  for (;;) {
    // The most a frame can say, leaving no remainder too short to show.
    int delay = kMaxGifDelay;
    if (owed <= kMaxGifDelay) {
      delay = static_cast<int>(owed);
    } else if (owed - kMaxGifDelay < kMinGifDelay) {
      delay = kMaxGifDelay - kMinGifDelay;
    }
    owed -= delay;
    if (!WriteFrame(delay)) return false;
    if (owed == 0) return true;
    // Longer than one frame's delay: empty frames, of one pixel that stays,
    // carry the rest.
    Pending.Left = Pending.Top = 0;
    Pending.Width = Pending.Height = 1;
    Pending.Transparent = 0;
    MakeCodes();
  }
}

bool GifAnimation::WriteFrame(int delay) {
  ColorMapObject* map = GifMakeMapObject(1 << CodedSize, nullptr);
  if (map == nullptr) return Failed(QStringLiteral("out of memory"));
  for (int i = 0; i < map->ColorCount; ++i) {
    const std::uint32_t colour = i < static_cast<int>(Pending.Colours.size())
                                     ? Pending.Colours[static_cast<std::size_t>(i)]
                                     : 0;
    map->Colors[i] =
        GifColorType{static_cast<GifByteType>(colour >> 16), static_cast<GifByteType>(colour >> 8),
                     static_cast<GifByteType>(colour)};
  }
  // DISPOSE_DO_NOT: each frame is drawn over the ones before.
  const GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay, Pending.Transparent};
  GifByteType extension[4];
  const std::size_t extensionSize = EGifGCBToExtension(&control, extension);
  const bool written = EGifPutExtension(File, GRAPHICS_EXT_FUNC_CODE,
                                        static_cast<int>(extensionSize), extension) != GIF_ERROR &&
                       EGifPutImageDesc(File, Pending.Left, Pending.Top, Pending.Width,
                                        Pending.Height, false, map) != GIF_ERROR &&
                       WriteCodes();
  GifFreeMapObject(map);
  if (!written) {
    const QString device = Device.errorString();
    return Failed(device.isEmpty() || device == QLatin1String("Unknown error")
                      ? QString::fromUtf8(GifErrorString(File->Error))
                      : device);
  }
  return true;
}

bool GifAnimation::WriteCodes() {
  // LZW codes start one bit wider than the colour indices, which are at
  // least 2 bits.
  const int minCodeSize = std::max(CodedSize, 2);
  // EGifPutImageDesc wrote the code size byte, at least 2 as here. The
  // codes go out in sub-blocks of a length byte and up to 255 bytes.
  std::array<GifByteType, 256> block{};
  for (std::size_t at = 0; at < Codes.size(); at += block[0]) {
    block[0] = static_cast<GifByteType>(std::min<std::size_t>(Codes.size() - at, 255));
    std::memcpy(block.data() + 1, Codes.data() + at, block[0]);
    const int put = at == 0 ? EGifPutCode(File, minCodeSize, block.data())
                            : EGifPutCodeNext(File, block.data());
    if (put == GIF_ERROR) return false;
  }
  return EGifPutCodeNext(File, nullptr) != GIF_ERROR;
}

bool GifAnimation::Finish() {
  if (!Error.isEmpty()) return false;
  if (File == nullptr) return Failed(QStringLiteral("no frame was added"));
  if (!WritePending()) return false;
  int error = 0;
  GifFileType* file = File;
  File = nullptr;
  // Closing writes the trailer byte.
  if (EGifCloseFile(file, &error) == GIF_ERROR) {
    return Failed(Device.errorString());
  }
  return true;
}

GifTimeline::GifTimeline(std::int64_t intervalMicroseconds, int every)
    : Step(std::max<std::int64_t>(intervalMicroseconds, 0) * std::max(every, 1)) {}

std::int64_t GifTimeline::Next() {
  // Rounded to the nearest hundredth, halves up.
  auto centiseconds = [](std::int64_t micros) { return (micros + 5000) / 10000; };
  const std::int64_t start = centiseconds(Step * Kept);
  ++Kept;
  return std::max(centiseconds(Step * Kept) - start, std::int64_t{kMinGifDelay});
}

QString GifPaceWarning(std::int64_t intervalMicroseconds, int every) {
  const std::int64_t step = intervalMicroseconds * std::max(every, 1);
  if (step >= kMinGifDelay * std::int64_t{10000}) return {};
  // Short enough for one terminal line, suggestion included.
  const QString slow = QStringLiteral(
                           "warning: --gif: players show %1 ms frames for 20 ms, so the clip "
                           "plays slow")
                           .arg(static_cast<double>(step) / 1000.0);
  if (intervalMicroseconds <= 0) return slow;
  const std::int64_t fewest =
      (kMinGifDelay * std::int64_t{10000} + intervalMicroseconds - 1) / intervalMicroseconds;
  return slow + QStringLiteral("; --every %1 plays true").arg(fewest);
}

}  // namespace trilume
