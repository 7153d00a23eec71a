// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

namespace trilume {

// One image of a GIF with the graphic control before it.
struct StrictGifFrame {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int Delay = 0;         // hundredths of a second
  int Transparent = -1;  // the transparent index, or -1
  int Disposal = 0;
  int Codes = 0;  // LZW codes read, the clear codes and the end code included
};

// A GIF as a reader that holds to the letter of the GIF89a format sees it.
struct StrictGif {
  int Width = 0;
  int Height = 0;
  int Loops = -1;  // the NETSCAPE2.0 loop count (0: for ever), -1 without one
  std::vector<StrictGifFrame> Frames;
  std::vector<QImage> Pictures;  // the screen after each frame, from black
  std::string Error;             // the first thing the format does not allow
};

// Reads `bytes` block by block. Each frame's LZW codes are read up to the
// end-of-information code with the decoder's own table and code widths: the
// first code after a clear code adds no entry, every later one adds one, and
// the code width grows by a bit when the next entry would need it, up to 12
// bits. The end code must close the data exactly where its sub-blocks end,
// after exactly the frame's pixels; the trailer must be the last byte.
// Stops at the first fault, with Error saying where.
StrictGif ReadGifStrictly(const QByteArray& bytes);

}  // namespace trilume
