// SPDX-License-Identifier: MIT
#include "tests/tools/gif_strict_reader.h"

#include <optional>

namespace trilume {
namespace {

constexpr int kMaxCodes = 4096;  // 12-bit codes

class Reader {
 public:
  explicit Reader(const QByteArray& bytes) : Bytes(bytes) {}

  StrictGif Read() {
    ReadAll();
    return std::move(Gif);
  }

 private:
  bool Fail(const std::string& why) {
    if (Gif.Error.empty()) {
      Gif.Error = why + " (byte " + std::to_string(At) + ", frame " +
                  std::to_string(Gif.Frames.size() + 1) + ")";
    }
    return false;
  }

  std::optional<int> Byte() {
    if (At >= Bytes.size()) {
      Fail("the file ends early");
      return std::nullopt;
    }
    return static_cast<unsigned char>(Bytes[At++]);
  }

  std::optional<int> Word() {
    const auto low = Byte();
    if (!low) return std::nullopt;
    const auto high = Byte();
    if (!high) return std::nullopt;
    return *low | *high << 8;
  }

  // Data sub-blocks up to and including the zero-length terminator.
  std::optional<QByteArray> SubBlocks() {
    QByteArray data;
    for (;;) {
      const auto size = Byte();
      if (!size) return std::nullopt;
      if (*size == 0) return data;
      if (At + *size > Bytes.size()) {
        Fail("a sub-block runs past the end of the file");
        return std::nullopt;
      }
      data.append(Bytes.constData() + At, *size);
      At += *size;
    }
  }

  std::optional<std::vector<std::uint32_t>> ColourTable(int packed) {
    const int count = 2 << (packed & 7);
    std::vector<std::uint32_t> table;
    for (int i = 0; i < count; ++i) {
      const auto r = Byte();
      const auto g = Byte();
      const auto b = Byte();
      if (!r || !g || !b) return std::nullopt;
      table.push_back(static_cast<std::uint32_t>(*r << 16 | *g << 8 | *b));
    }
    return table;
  }

  bool ReadAll() {
    if (Bytes.size() < 6 || Bytes.left(6) != "GIF89a") return Fail("no GIF89a header");
    At = 6;
    const auto width = Word();
    const auto height = Word();
    const auto packed = Byte();
    const auto background = Byte();
    const auto aspect = Byte();
    if (!width || !height || !packed || !background || !aspect) return false;
    if (*width == 0 || *height == 0) return Fail("an empty logical screen");
    Gif.Width = *width;
    Gif.Height = *height;
    std::vector<std::uint32_t> global;
    if ((*packed & 0x80) != 0) {
      auto table = ColourTable(*packed);
      if (!table) return false;
      global = std::move(*table);
    }
    Screen = QImage(Gif.Width, Gif.Height, QImage::Format_RGB32);
    Screen.fill(Qt::black);
    std::optional<StrictGifFrame> control;
    for (;;) {
      const auto introducer = Byte();
      if (!introducer) return false;
      if (*introducer == 0x3b) {
        if (control) return Fail("a graphic control extension without its image");
        if (At != Bytes.size()) return Fail("bytes after the trailer");
        return true;
      }
      if (*introducer == 0x21) {
        const auto label = Byte();
        if (!label) return false;
        if (*label == 0xf9) {
          if (control) return Fail("two graphic control extensions before one image");
          if (!GraphicControl(control)) return false;
        } else if (*label == 0xff) {
          if (!Application()) return false;
        } else if (*label == 0xfe || *label == 0x01) {
          if (!SubBlocks()) return false;  // comment, plain text
        } else {
          return Fail("an unknown extension " + std::to_string(*label));
        }
        continue;
      }
      if (*introducer != 0x2c) return Fail("neither a block nor the trailer");
      StrictGifFrame frame = control.value_or(StrictGifFrame{});
      control.reset();
      if (!Image(frame, global)) return false;
    }
  }

  bool GraphicControl(std::optional<StrictGifFrame>& control) {
    const auto size = Byte();
    if (!size) return false;
    if (*size != 4) return Fail("a graphic control extension of size " + std::to_string(*size));
    const auto packed = Byte();
    const auto delay = Word();
    const auto transparent = Byte();
    const auto terminator = Byte();
    if (!packed || !delay || !transparent || !terminator) return false;
    if (*terminator != 0) return Fail("a graphic control extension without its terminator");
    StrictGifFrame frame;
    frame.Disposal = (*packed >> 2) & 7;
    frame.Delay = *delay;
    frame.Transparent = (*packed & 1) != 0 ? *transparent : -1;
    control = frame;
    return true;
  }

  bool Application() {
    const auto size = Byte();
    if (!size) return false;
    if (*size != 11 || At + 11 > Bytes.size()) return Fail("an application block not of 11 bytes");
    const QByteArray name = Bytes.mid(At, 11);
    At += 11;
    const auto data = SubBlocks();
    if (!data) return false;
    if (name == "NETSCAPE2.0") {
      if (data->size() != 3 || (*data)[0] != 1) return Fail("a NETSCAPE2.0 block of another form");
      Gif.Loops = static_cast<unsigned char>((*data)[1]) | static_cast<unsigned char>((*data)[2])
                                                               << 8;
    }
    return true;
  }

  bool Image(StrictGifFrame& frame, const std::vector<std::uint32_t>& global) {
    const auto left = Word();
    const auto top = Word();
    const auto width = Word();
    const auto height = Word();
    const auto packed = Byte();
    if (!left || !top || !width || !height || !packed) return false;
    frame.Left = *left;
    frame.Top = *top;
    frame.Width = *width;
    frame.Height = *height;
    if (frame.Width == 0 || frame.Height == 0 || frame.Left + frame.Width > Gif.Width ||
        frame.Top + frame.Height > Gif.Height) {
      return Fail("an image outside the logical screen");
    }
    if ((*packed & 0x40) != 0) return Fail("an interlaced image");
    std::vector<std::uint32_t> colours = global;
    if ((*packed & 0x80) != 0) {
      auto table = ColourTable(*packed);
      if (!table) return false;
      colours = std::move(*table);
    }
    if (colours.empty()) return Fail("an image without a colour table");
    if (frame.Transparent >= static_cast<int>(colours.size())) {
      return Fail("a transparent index outside the colour table");
    }
    const auto minCodeSize = Byte();
    if (!minCodeSize) return false;
    if (*minCodeSize < 2 || *minCodeSize > 8) return Fail("an LZW minimum code size outside 2..8");
    const auto data = SubBlocks();
    if (!data) return false;
    std::vector<std::uint8_t> pixels;
    const std::size_t count =
        static_cast<std::size_t>(frame.Width) * static_cast<std::size_t>(frame.Height);
    if (!Decode(*data, *minCodeSize, count, pixels, frame.Codes)) {
      return false;
    }
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      if (pixels[i] >= colours.size()) return Fail("a pixel outside the colour table");
      if (pixels[i] == frame.Transparent) continue;
      const int x = frame.Left + static_cast<int>(i % static_cast<std::size_t>(frame.Width));
      const int y = frame.Top + static_cast<int>(i / static_cast<std::size_t>(frame.Width));
      Screen.setPixel(x, y, 0xff000000U | colours[pixels[i]]);
    }
    Gif.Frames.push_back(frame);
    Gif.Pictures.push_back(Screen.copy());
    return true;
  }

  bool Decode(const QByteArray& data, int minCodeSize, std::size_t pixelCount,
              std::vector<std::uint8_t>& pixels, int& codes) {
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    // Indexed by code: the code before the last pixel, the last pixel, the
    // first pixel and the length of the code's string.
    int prefix[kMaxCodes] = {};
    std::uint8_t suffix[kMaxCodes] = {};
    std::uint8_t first[kMaxCodes] = {};
    int length[kMaxCodes] = {};
    for (int code = 0; code < clear; ++code) {
      suffix[code] = static_cast<std::uint8_t>(code);
      first[code] = static_cast<std::uint8_t>(code);
      length[code] = 1;
    }
    int codeSize = minCodeSize + 1;
    int next = clear + 2;  // where the next entry goes
    int previous = -1;     // no code since the clear code
    const std::size_t bits = static_cast<std::size_t>(data.size()) * 8;
    std::size_t bit = 0;
    std::vector<std::uint8_t> text;
    for (;;) {
      if (bit + static_cast<std::size_t>(codeSize) > bits) {
        return Fail("the codes end without the end-of-information code, after " +
                    std::to_string(codes) + " codes and " + std::to_string(pixels.size()) +
                    " pixels");
      }
      int code = 0;
      for (int i = 0; i < codeSize; ++i, ++bit) {
        code |=
            ((static_cast<unsigned char>(data[static_cast<qsizetype>(bit / 8)]) >> (bit % 8)) & 1)
            << i;
      }
      ++codes;
      if (code == clear) {
        codeSize = minCodeSize + 1;
        next = clear + 2;
        previous = -1;
        continue;
      }
      if (code == end) break;
      if (code > next || (code == next && (previous < 0 || next == kMaxCodes))) {
        return Fail("code " + std::to_string(code) + " (" + std::to_string(codeSize) +
                    " bits) is not in the table of " + std::to_string(next) + " after " +
                    std::to_string(codes - 1) + " codes");
      }
      // The string of `code`, or for the code about to be made the string
      // before and its own first pixel.
      const int known = code == next ? previous : code;
      text.resize(static_cast<std::size_t>(length[known]));
      for (int at = known, i = length[known] - 1; i >= 0; at = prefix[at], --i) {
        text[static_cast<std::size_t>(i)] = suffix[at];
      }
      if (code == next) text.push_back(first[previous]);
      if (previous >= 0 && next < kMaxCodes) {
        prefix[next] = previous;
        suffix[next] = text.front();
        first[next] = first[previous];
        length[next] = length[previous] + 1;
        ++next;
        if (next == 1 << codeSize && codeSize < 12) ++codeSize;
      }
      previous = code;
      if (pixels.size() + text.size() > pixelCount) {
        return Fail("more pixels than the image holds, at code " + std::to_string(codes));
      }
      pixels.insert(pixels.end(), text.begin(), text.end());
    }
    if (pixels.size() != pixelCount) {
      return Fail("the end code after " + std::to_string(pixels.size()) + " of " +
                  std::to_string(pixelCount) + " pixels");
    }
    // The end code is the last code: its last bit is in the last data byte.
    if ((bit + 7) / 8 != static_cast<std::size_t>(data.size())) {
      return Fail("data after the end code: " + std::to_string(bits - bit) + " bits");
    }
    return true;
  }

  const QByteArray& Bytes;
  qsizetype At = 0;
  StrictGif Gif;
  QImage Screen;
};

}  // namespace

StrictGif ReadGifStrictly(const QByteArray& bytes) { return Reader(bytes).Read(); }

}  // namespace trilume
