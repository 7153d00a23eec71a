#pragma once

#include <QFont>
#include <QImage>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "render/canvas.h"
#include "render/canvas_painting.h"

namespace trilume {

// The clock's real drawing surface: a 32-bit RGB image (QImage::Format_RGB32,
// the fastest format for QPainter and for direct pixel writes), white when
// new. Lines, fills and rectangles are written straight into the pixels: they
// follow the canvas rules exactly at any coordinates, and lines cost several
// times less than QPainter's cosmetic lines. Ellipses and text are QPainter's
// pixels, with rectangles adjusted to the exclusive right and bottom bounds:
// each ellipse size and each text is drawn by QPainter once and its pixels
// kept, and later calls write those pixels directly. A frame draws the same
// dial, dot and numerals every time, so it touches neither QPainter nor the
// heap. The kept shapes are bounded (kEllipseCacheSize sizes, kTextCacheSize
// texts, least recently used dropped), and a size or text is kept only when
// it comes back while still recent: one that changes with every call (the
// dial in free flight) costs what a direct QPainter draw does. An ellipse
// never paints outside its box: QPainter's brush alone reaches up to a few
// dozen pixels past a wide, low box, and that part is cut off.
//
// Limits: an ellipse wider or taller than kMaxEllipseSize pixels is not drawn
// (QPainter's fixed-point rasteriser fills the wrong pixels beyond that, and
// no window is that large). Text needs a QGuiApplication; without one TextOut
// draws nothing.
class RasterCanvas final : public TCanvas {
 public:
  static constexpr int kWidth = 1281;
  static constexpr int kHeight = 777;
  static constexpr std::int64_t kMaxEllipseSize = std::int64_t{1} << 16;
  static constexpr std::size_t kEllipseCacheSize = 8;
  static constexpr std::size_t kTextCacheSize = 16;

  // Sizes below 1 are raised to 1.
  explicit RasterCanvas(int width = kWidth, int height = kHeight);

  void LineTo(int x, int y) override;
  void Ellipse(int x1, int y1, int x2, int y2) override;
  void Rectangle(int x1, int y1, int x2, int y2) override;
  void FillRect(const TRect& rect) override;
  void TextOut(int x, int y, std::string_view text) override;

  // Valid until the canvas is destroyed. A copy shares the pixels until the
  // next drawing call, which then detaches the canvas's own image.
  const QImage& GetImage() const { return Image; }

 private:
  // Paints [left, right) x [top, bottom), already inside the image, with the
  // rows of `style`'s pattern in `color`.
  void FillSpan(int left, int top, int right, int bottom, int style, TColor color);
  // FillSpan after normalising and clipping arbitrary corners to the image.
  void FillClipped(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                   int style, TColor color);
  // Paints the parts of `runs`, shifted by (x, y), that lie in the image with
  // `style`'s pattern in `color`.
  void PaintRuns(const std::vector<PixelRun>& runs, std::int64_t x, std::int64_t y, int style,
                 TColor color);

  // The kept shape of a width x height ellipse, with FillSplit when
  // `splitFill`, or null when it is not kept (yet). May capture the shape,
  // and so allocate, on a miss.
  const EllipseShape* FindEllipseShape(int width, int height, bool splitFill);
  // The kept mask of `text`, or null when it cannot be kept. Captures it on
  // a miss.
  const TextMask* FindTextMask(std::string_view text);
  const QFont& GetFont();

  // Keys met once lately and not kept, the oldest forgotten first.
  struct RecentKeys {
    std::array<std::uint64_t, 8> Keys{};  // 0: none
    std::size_t Next = 0;
    // True, forgetting it, when `key` (not 0) is noted; notes it otherwise.
    bool Take(std::uint64_t key);
  };
  struct EllipseEntry {
    std::uint64_t LastUse = 0;  // 0: empty
    EllipseShape Shape;
  };
  struct TextEntry {
    std::uint64_t LastUse = 0;  // 0: empty
    std::string Text;
    bool Usable = false;  // false: QPainter draws this text every time
    TextMask Mask;
  };

  QImage Image;
  // Image's size and row stride in pixels, fixed from construction: lines
  // read them thousands of times a frame.
  int Width = 0;
  int Height = 0;
  std::ptrdiff_t Stride = 0;
  QFont Font;
  bool FontReady = false;
  std::uint64_t UseClock = 0;
  std::array<EllipseEntry, kEllipseCacheSize> Ellipses;
  RecentKeys EllipsesSeen;
  std::array<TextEntry, kTextCacheSize> Texts;
  RecentKeys TextsSeen;
};

}  // namespace trilume
