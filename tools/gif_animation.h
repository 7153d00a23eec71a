// SPDX-License-Identifier: MIT
#pragma once

#include <QIODevice>
#include <QImage>
#include <QString>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "render/canvas/canvas.h"

struct GifFileType;

namespace trilume {

// The longest a GIF frame can show, in hundredths of a second, and the
// shortest that players keep to: they show a frame of 0 or 1 hundredths for
// 10.
inline constexpr int kMaxGifDelay = 65535;
inline constexpr int kMinGifDelay = 2;

// Streams pictures into a looping animated GIF on a device, exactly: every
// pixel of every picture comes back when the file is decoded. Each frame
// after the first stores only the smallest rectangle holding the pixels that
// differ from the picture before, with its own colour table, and marks the
// pixels of that rectangle that stay as transparent. A picture that changes
// nothing lengthens the frame before instead of adding one. Memory is two
// copies of one picture's pixels and one frame's indices, whatever the
// number of frames.
// A frame's indices and LZW codes are made on a thread of this object's own
// while the next picture is drawn; everything else, and every write,
// happens on the caller's thread.
class GifAnimation {
 public:
  // The frames are `width` x `height` pixels (both at least 1). `device`
  // must stay open while this object writes to it.
  GifAnimation(QIODevice& device, int width, int height);
  ~GifAnimation();
  GifAnimation(const GifAnimation&) = delete;
  GifAnimation& operator=(const GifAnimation&) = delete;

  // Adds the top left width x height pixels of `picture` (RGB32, at least
  // that large) as the next frame. Outside `changed` the picture must equal
  // the one added before (ignored for the first). It shows for
  // `delayCentiseconds` (at least 0; what one frame cannot say is carried by
  // empty frames after it). False with ErrorString() when the device takes
  // no more bytes or when the changed pixels of a frame added before need
  // more colours than one GIF frame holds (256); nothing more may be added
  // then.
  bool Add(const QImage& picture, TRect changed, std::int64_t delayCentiseconds);
  // Writes the last frame and the end of the file. False with ErrorString()
  // as for Add(), the last frame's colours included. Call once, after at
  // least one Add().
  bool Finish();

  QString ErrorString() const { return Error; }

 private:
  static constexpr int kMaxColours = 256;
  static constexpr std::size_t kSlots = 1024;  // four times the colours a frame may hold

  // The frame written once it is known how long it shows.
  struct Frame {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Indices;
    std::vector<std::uint32_t> Colours;
    int Transparent = -1;  // the index of the pixels that stay, or -1
    std::int64_t Delay = 0;
    int Number = 0;  // which Add() made it
  };

  bool Start();
  // Indexes Pending's rectangle of Shown, the pixels equal to CoderShown's
  // as transparent when `transparent`; false when it needs more than
  // kMaxColours colours.
  bool Index(bool transparent);
  // The slot of `colour`, looked for from `slot` on and added to Pending's
  // colours when missing; kSlots when that would be one colour too many.
  std::size_t AddColour(std::uint32_t colour, std::size_t slot);
  // Writes Pending, and the empty frames its delay may need.
  bool WritePending();
  bool WriteFrame(int delay);
  // Starts indexing Pending's pixels and making its LZW codes; AwaitCodes()
  // waits until they are in Codes or TooManyColours is set.
  void StartCodes();
  void AwaitCodes();
  void MakeCodes();
  void CodeThread();
  // Pending's codes after its image descriptor.
  bool WriteCodes();
  bool Failed(const QString& why);

  QIODevice& Device;
  int Width;
  int Height;
  GifFileType* File = nullptr;
  int FramesAdded = 0;
  std::vector<std::uint32_t> Shown;  // the last picture added, 0xRRGGBB
  Frame Pending;
  bool HasPending = false;
  // Colour to index for the frame being made: open addressing on the colour
  // with 0 for a free slot (colours are stored with bit 24 set).
  std::vector<std::uint32_t> SlotColour;
  std::vector<std::uint8_t> SlotIndex;
  // The LZW codes' successors, for frames of up to 16 colours and more.
  std::vector<std::uint16_t> Table;
  std::vector<std::uint32_t> WideTable;
  std::vector<std::uint8_t> Codes;  // one frame's LZW data, not yet in sub-blocks
  QString Error;
  // The code thread's own copy of the picture shown before Pending.
  std::vector<std::uint32_t> CoderShown;
  bool TooManyColours = false;
  // The code thread reads Shown and owns CoderShown, Pending's indices and
  // colours, the tables and Codes while CodesWanted is set.
  std::mutex CodeLock;
  std::condition_variable CodeTurn;
  bool CodesWanted = false;
  bool Stopping = false;
  int CodedSize = 1;  // bits of Pending's colour table
  std::thread Coder;
};

// The delays of the frames kept for a GIF, every `every`-th of frames
// `intervalMicroseconds` apart, in hundredths of a second: the run's clock
// at a kept frame's end rounded, less the same at its start, so that
// rounding never adds up and a clip lasts as long as its run to within
// 10 ms. Never below kMinGifDelay: a clip whose frames are closer than that
// plays slower than its run.
class GifTimeline {
 public:
  GifTimeline(std::int64_t intervalMicroseconds, int every);
  // The next kept frame's delay.
  std::int64_t Next();

 private:
  std::int64_t Step;  // microseconds from one kept frame to the next
  std::int64_t Kept = 0;
};

// One line for a clip that plays slower than its run, naming the smallest
// --every that plays true; empty when it plays true.
QString GifPaceWarning(std::int64_t intervalMicroseconds, int every);

}  // namespace trilume
