// SPDX-License-Identifier: MIT
#pragma once

#include <QIODevice>
#include <QImage>
#include <QString>
#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "render/canvas/canvas.h"
#include "tools/gif_colour_index.h"
#include "tools/gif_timeline.h"

struct GifFileType;

namespace trilume {

// Streams pictures into a looping animated GIF on a device, exactly: every
// pixel of every picture comes back when the file is decoded. Each frame
// after the first stores only the smallest rectangle holding the pixels that
// differ from the picture before, with its own colour table, and marks the
// pixels of that rectangle that stay as transparent. A picture that changes
// nothing lengthens the frame before instead of adding one. Memory is two
// copies of one picture's pixels and kInFlight frames' pixels and indices,
// whatever the number of frames.
// A frame's indices and LZW codes are made on a thread of this object's own
// while the next pictures are drawn, up to kInFlight frames behind;
// everything else, and every write, happens on the caller's thread in the
// order the frames were added.
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
  // empty frames after it), but never for less than kMinGifDelay once the
  // frames that change nothing are folded into it: the time that adds comes
  // off the frames after it, so that each starts when its delays say, or
  // kMinGifDelay after the one before if that is later. False with
  // ErrorString() when the device takes no more bytes or when the changed
  // pixels of a frame added before need more colours than one GIF frame
  // holds (256), or when memory ran out while it was coded; nothing more may
  // be added then. Throws std::bad_alloc when memory runs out on the
  // caller's thread.
  bool Add(const QImage& picture, TRect changed, std::int64_t delayCentiseconds);
  // Writes the frames not yet written and the end of the file. False with
  // ErrorString() as for Add(), the last frames' colours included. Call
  // once, after at least one Add().
  bool Finish();

  QString ErrorString() const { return Error; }

 private:
  static constexpr int kMaxColours = GifColourIndex::kMaxColours;
  // Frames added but not yet written: the newest, whose delay the next
  // picture may still lengthen, and those before it, coded or being coded.
  // Two behind lets drawing and coding each run at their own pace.
  static constexpr std::int64_t kInFlight = 3;

  // Why a frame could not be coded; it fails the run when its turn to be
  // written comes, as the code thread has no one to report to.
  enum class Trouble { kNone, kTooManyColours, kOutOfMemory };

  struct Frame {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;  // the rectangle's new pixels, row after row
    int Number = 0;                     // which Add() made it
    std::int64_t Delay = 0;             // the caller's thread's alone
    // Made by whichever thread codes the frame.
    std::vector<std::uint8_t> Indices;
    std::vector<std::uint32_t> Colours;
    int Transparent = -1;             // the index of the pixels that stay, or -1
    int CodedSize = 1;                // bits of the colour table
    std::vector<std::uint8_t> Codes;  // LZW data, not yet in sub-blocks
    Trouble Fault = Trouble::kNone;
  };

  bool Start();
  Frame& Slot(std::int64_t frame) { return Frames[static_cast<std::size_t>(frame % kInFlight)]; }
  // Indexes `frame`'s pixels, those equal to CoderShown's as transparent
  // when `transparent`; false when it needs more than kMaxColours colours.
  bool Index(Frame& frame, bool transparent);
  // Indexes `frame`, moves its pixels into CoderShown and makes its codes.
  // Any thread may run it, so it throws nothing: a frame that finds no
  // memory says so in its Fault.
  void Code(Frame& frame) noexcept;
  void CodeWithin(Frame& frame);
  void CodeThread();
  // Hands the frame just filled in to be coded, here when that costs less
  // than handing it over or when there is no code thread.
  void Queue();
  // Writes the frames whose delays are known, in order: those already coded,
  // or, with `all`, every one, waiting for their codes.
  bool WriteDone(bool all);
  // Writes `frame`, and the empty frames its delay may need.
  bool Write(const Frame& frame);
  bool WriteFrame(const Frame& frame, int delay);
  bool Failed(const QString& why);

  QIODevice& Device;
  int Width;
  int Height;
  GifFileType* File = nullptr;
  int FramesAdded = 0;
  std::vector<std::uint32_t> Shown;  // the last picture added, 0xRRGGBB
  std::array<Frame, kInFlight> Frames;
  std::int64_t Queued = 0;   // frames handed to be coded
  std::int64_t Written = 0;  // frames written
  // A frame of one pixel that stays, to carry a delay too long for one.
  Frame Empty;
  GifStretch Stretch;
  QString Error;

  // The code thread's own: the picture shown before the next frame it
  // codes, and its tables.
  std::vector<std::uint32_t> CoderShown;
  GifColourIndex Indexer;
  // The LZW codes' successors, for frames of up to 16 colours and more.
  std::vector<std::uint16_t> Table;
  std::vector<std::uint32_t> WideTable;

  // Frames [Coded, Queued) belong to the code thread.
  std::mutex CodeLock;
  std::condition_variable CodeTurn;
  std::int64_t Coded = 0;
  bool Stopping = false;
  std::thread Coder;
};

}  // namespace trilume
