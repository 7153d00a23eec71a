// SPDX-License-Identifier: MIT
// The animation decoded with giflib, frame by frame, against the pictures
// the same runs leave when they stop at that frame.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <ostream>
#include <string>

#include "tests/tools/gif_strict_reader.h"
#include "tests/tools/render_tool_test_support.h"
#include "tools/gif_animation.h"

namespace trilume {
namespace {

struct MemoryReader {
  const QByteArray& Bytes;
  qsizetype At = 0;
};

int ReadMemory(GifFileType* file, GifByteType* into, int size) {
  auto* reader = static_cast<MemoryReader*>(file->UserData);
  const int count = static_cast<int>(std::min<qsizetype>(size, reader->Bytes.size() - reader->At));
  std::memcpy(into, reader->Bytes.constData() + reader->At, static_cast<std::size_t>(count));
  reader->At += count;
  return count;
}

// A decoded animation: the picture after each frame and how long it shows.
struct Decoded {
  std::vector<QImage> Pictures;
  std::vector<int> Delays;
  bool Loops = false;
};

Decoded Decode(const QByteArray& bytes) {
  Decoded decoded;
  MemoryReader reader{bytes};
  int error = 0;
  GifFileType* file = DGifOpen(&reader, &ReadMemory, &error);
  EXPECT_NE(file, nullptr) << GifErrorString(error);
  if (file == nullptr) return decoded;
  EXPECT_EQ(DGifSlurp(file), GIF_OK) << GifErrorString(file->Error);
  QImage screen(file->SWidth, file->SHeight, QImage::Format_RGB32);
  screen.fill(Qt::black);
  for (int i = 0; i < file->ImageCount; ++i) {
    const SavedImage& frame = file->SavedImages[i];
    for (int e = 0; e < frame.ExtensionBlockCount; ++e) {
      const ExtensionBlock& block = frame.ExtensionBlocks[e];
      if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
          std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0) {
        decoded.Loops = true;
      }
    }
    GraphicsControlBlock control{};
    EXPECT_EQ(DGifSavedExtensionToGCB(file, i, &control), GIF_OK);
    EXPECT_EQ(control.DisposalMode, DISPOSE_DO_NOT);
    const GifImageDesc& desc = frame.ImageDesc;
    const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : file->SColorMap;
    EXPECT_NE(map, nullptr);
    if (map == nullptr) break;
    for (int y = 0; y < desc.Height; ++y) {
      for (int x = 0; x < desc.Width; ++x) {
        const int index = frame.RasterBits[y * desc.Width + x];
        if (index == control.TransparentColor) continue;
        const GifColorType colour = map->Colors[index];
        screen.setPixel(desc.Left + x, desc.Top + y, qRgb(colour.Red, colour.Green, colour.Blue));
      }
    }
    decoded.Pictures.push_back(screen.copy());
    decoded.Delays.push_back(control.DelayTime);
  }
  DGifCloseFile(file, &error);
  return decoded;
}

struct GifCase {
  const char* Name;
  QStringList Arguments;  // without --frames
  int Frames;
  int Every;
  double StepMs;    // the run's clock from one kept frame to the next
  int ClearBefore;  // 0: no CLEAR
};

void PrintTo(const GifCase& c, std::ostream* out) { *out << c.Name; }

// The case's options for a run of `frames` frames.
QStringList Options(const GifCase& c, int frames) {
  QStringList options = c.Arguments;
  options << QStringLiteral("--frames") << QString::number(frames);
  if (c.ClearBefore != 0 && frames >= c.ClearBefore) {
    options << QStringLiteral("--clear-before") << QString::number(c.ClearBefore);
  }
  return options;
}

class RenderGifTest : public testing::TestWithParam<GifCase> {
 protected:
  void SetUp() override {
    UseUtc();
    ASSERT_TRUE(Dir.isValid());
  }
  QTemporaryDir Dir;
};

// The run's clock at the start of kept frame `kept` (from 1), in hundredths
// of a second, rounded.
std::int64_t KeptStart(const GifCase& c, int kept) {
  return std::llround((kept - 1) * c.StepMs / 10.0);
}

// Every kept frame must come back pixel for pixel, a frame that changes
// nothing folded into the one before. Each stored frame starts at its run's
// clock, or 2 hundredths after the one before where that is later: the clip
// never drifts, and falls behind only while its pictures change faster than
// players show them.
TEST_P(RenderGifTest, EveryKeptFrameDecodesToThePictureOfThatFrame) {
  const GifCase& c = GetParam();
  const QString gifName = Dir.filePath(QStringLiteral("clip.gif"));
  const ToolRun run =
      RunTool(Options(c, c.Frames) << QStringLiteral("--every") << QString::number(c.Every)
                                   << QStringLiteral("--gif") << gifName);
  ASSERT_EQ(run.Status, kExitOk) << run.Err.toStdString();
  QFile gifFile(gifName);
  ASSERT_TRUE(gifFile.open(QIODevice::ReadOnly));
  const Decoded decoded = Decode(gifFile.readAll());
  EXPECT_TRUE(decoded.Loops);
  ASSERT_FALSE(decoded.Pictures.empty());

  const QString pngName = Dir.filePath(QStringLiteral("frame.png"));
  const int keptFrames = c.Frames / c.Every;
  std::size_t stored = 0;
  std::int64_t shownAt = 0;  // when stored frame `stored` starts
  for (int kept = 1; kept <= keptFrames; ++kept) {
    const ToolRun still = RunTool(Options(c, kept * c.Every) << QStringLiteral("--png") << pngName);
    ASSERT_EQ(still.Status, kExitOk) << still.Err.toStdString();
    const QImage expected = QImage(pngName).convertToFormat(QImage::Format_RGB32);
    if (kept > 1 && !(decoded.Pictures[stored] == expected)) {
      // A new picture: the frame before ends here, or 2 hundredths on.
      const std::int64_t previousStart = shownAt;
      EXPECT_GE(decoded.Delays[stored], kMinGifDelay);
      shownAt += decoded.Delays[stored];
      ++stored;
      ASSERT_LT(stored, decoded.Pictures.size()) << "kept frame " << kept << " is missing";
      EXPECT_EQ(shownAt, std::max(KeptStart(c, kept), previousStart + kMinGifDelay))
          << c.Name << ": stored frame " << stored << " starts at kept frame " << kept;
    }
    ASSERT_EQ(decoded.Pictures[stored].size(), expected.size());
    ASSERT_TRUE(decoded.Pictures[stored] == expected) << c.Name << ": frame " << kept * c.Every;
  }
  EXPECT_EQ(stored + 1, decoded.Pictures.size()) << "frames past the run";
  EXPECT_EQ(shownAt + decoded.Delays.back(),
            std::max(KeptStart(c, keptFrames + 1), shownAt + kMinGifDelay))
      << "the clip's end";
  // Changed rectangles only: later frames are smaller than the window.
  EXPECT_GT(stored, 0U);
}

const QString kAt = QStringLiteral("--at");
const QString kStart = QStringLiteral("2026-12-08 10:09:30.000");

INSTANTIATE_TEST_SUITE_P(
    Runs, RenderGifTest,
    testing::Values(
        GifCase{"RainbowTraceForming",
                {kAt, kStart, QStringLiteral("--set"), QStringLiteral("rainbow=1,traces=3000")},
                24,
                3,
                46.875,
                0},
        GifCase{"ClearMidway",
                {kAt, kStart, QStringLiteral("--set"), QStringLiteral("traces=200")},
                16,
                2,
                31.25,
                9},
        GifCase{"FreeFlight", {kAt, kStart, QStringLiteral("--free")}, 12, 1, 15.625, 0},
        // A resized window, and a steady clock whose repeated frames fold
        // into the frame before.
        GifCase{"ResizedSteady",
                {kAt, kStart, QStringLiteral("--size"), QStringLiteral("413x157"),
                 QStringLiteral("--set"), QStringLiteral("trace=0"), QStringLiteral("--movement"),
                 QStringLiteral("TICK"), QStringLiteral("--interval-ms"), QStringLiteral("100")},
                25,
                1,
                100,
                0},
        // Kept frames closer than players show, but folded into seconds:
        // the clip keeps to its run.
        GifCase{"SteadyEveryTick",
                {kAt, kStart, QStringLiteral("--set"), QStringLiteral("trace=0"),
                 QStringLiteral("--movement"), QStringLiteral("TICK")},
                140,
                1,
                15.625,
                0}),
    [](const testing::TestParamInfo<GifCase>& param) { return std::string(param.param.Name); });

struct StrictCase {
  const char* Name;
  QStringList Arguments;  // without --gif
};

void PrintTo(const StrictCase& c, std::ostream* out) { *out << c.Name; }

class StrictGifTest : public testing::TestWithParam<StrictCase> {
 protected:
  void SetUp() override {
    UseUtc();
    ASSERT_TRUE(Dir.isValid());
  }
  QTemporaryDir Dir;
};

// Read to the end-of-information code of every frame by the format's own
// rules, the file must show what giflib shows. giflib stops at a frame's
// last pixel, so it misses a code after the pixels at the wrong width,
// which makes strict readers reject the file.
TEST_P(StrictGifTest, EveryFrameReadsToItsEndCodeByTheFormatsRules) {
  const StrictCase& c = GetParam();
  const QString gifName = Dir.filePath(QStringLiteral("clip.gif"));
  const ToolRun run = RunTool(QStringList(c.Arguments) << QStringLiteral("--gif") << gifName);
  ASSERT_EQ(run.Status, kExitOk) << run.Err.toStdString();
  QFile gifFile(gifName);
  ASSERT_TRUE(gifFile.open(QIODevice::ReadOnly));
  const QByteArray bytes = gifFile.readAll();
  const StrictGif strict = ReadGifStrictly(bytes);
  ASSERT_EQ(strict.Error, "");
  EXPECT_EQ(strict.Loops, 0);
  const Decoded decoded = Decode(bytes);
  ASSERT_EQ(strict.Pictures.size(), decoded.Pictures.size());
  for (std::size_t i = 0; i < strict.Pictures.size(); ++i) {
    EXPECT_EQ(strict.Frames[i].Delay, decoded.Delays[i]) << "frame " << i;
    ASSERT_TRUE(strict.Pictures[i] == decoded.Pictures[i]) << "frame " << i;
  }
}

QStringList At(const char* start, std::initializer_list<const char*> arguments) {
  QStringList list{QStringLiteral("--at"), QString::fromLatin1(start)};
  for (const char* argument : arguments) list << QString::fromLatin1(argument);
  return list;
}

// Runs from a random search, each of which had a frame whose last code was
// one bit too narrow, and the smallest window.
INSTANTIATE_TEST_SUITE_P(
    Runs, StrictGifTest,
    testing::Values(
        StrictCase{
            "FreeFlightClearedNarrow",
            At("2026-12-28 07:17:03.790", {"--frames", "41", "--size", "14x37", "--set",
                                           "trace=0,rainbow=0", "--free", "--clear-before", "40"})},
        StrictCase{"RainbowTinyEveryEighth",
                   At("2026-12-08 10:34:09.940",
                      {"--frames", "253", "--size", "7x3", "--set", "trace=0,rainbow=1,traces=100",
                       "--clear-before", "20", "--interval-ms", "1000", "--every", "8"})},
        StrictCase{"TickBackFreeFlight",
                   At("2026-12-18 18:26:40.662", {"--frames", "140", "--size", "4x12", "--set",
                                                  "trace=0,traces=891,yellow=0,hands=1",
                                                  "--movement", "TICKBACK1", "--free"})},
        StrictCase{"TraceWithLinksEveryFourth",
                   At("2026-12-03 22:59:30.667", {"--frames", "206", "--size", "33x164", "--set",
                                                  "trace=1,rainbow=0,lengths=0,hands=1,links=1",
                                                  "--every", "4", "--fill-style", "2"})},
        StrictCase{"FastFreeFlightOneColour",
                   At("2026-12-04 23:55:17.184",
                      {"--frames", "209", "--set", "rainbow=0,traces=300,lengths=0,colors=1",
                       "--movement", "FAST", "--free"})},
        StrictCase{"OnePixel", At("2026-12-08 10:09:30.000", {"--frames", "30", "--size", "1x1"})},
        StrictCase{"RainbowTraceForming",
                   At("2026-12-08 10:09:30.000",
                      {"--frames", "120", "--every", "6", "--set", "rainbow=1,traces=3000"})}),
    [](const testing::TestParamInfo<StrictCase>& param) { return std::string(param.param.Name); });

// A frame of a day outlasts the longest delay a GIF frame can say; empty
// frames carry the rest, so that the clip still lasts as long as the run.
TEST(GifAnimation, CarriesALongDelayOnEmptyFrames) {
  UseUtc();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString gifName = dir.filePath(QStringLiteral("clip.gif"));
  const ToolRun run =
      RunTool({QStringLiteral("--at"), QStringLiteral("2026-12-08 10:09:30.000"),
               QStringLiteral("--frames"), QStringLiteral("3"), QStringLiteral("--interval-ms"),
               QStringLiteral("86400000"), QStringLiteral("--gif"), gifName});
  ASSERT_EQ(run.Status, kExitOk) << run.Err.toStdString();
  QFile gifFile(gifName);
  ASSERT_TRUE(gifFile.open(QIODevice::ReadOnly));
  const StrictGif strict = ReadGifStrictly(gifFile.readAll());
  ASSERT_EQ(strict.Error, "");
  std::int64_t total = 0;
  for (const StrictGifFrame& frame : strict.Frames) {
    EXPECT_GE(frame.Delay, kMinGifDelay);
    total += frame.Delay;
  }
  EXPECT_EQ(total, 3 * std::int64_t{8640000});
  EXPECT_GT(strict.Frames.size(), 3U * 8640000 / kMaxGifDelay);
}

struct StretchCase {
  std::vector<int> Delays;   // of the pictures added, in hundredths
  std::vector<bool> Change;  // whether each differs from the one before
  std::vector<int> Written;  // the delays the file says
};

// Players show a frame of under 2 hundredths for 10: such a frame is
// stretched to 2 and the frames after it shortened until the clip is back
// on its run's clock; a picture that changes nothing lengthens the frame
// before first.
TEST(GifAnimation, TakesTheTimeAShortFrameIsStretchedOffTheFramesAfter) {
  const std::vector<StretchCase> cases{
      {{1, 1, 1, 1, 10, 10}, {true, true, true, true, true, true}, {2, 2, 2, 2, 6, 10}},
      {{0, 0, 0, 5}, {true, true, true, true}, {2, 2, 2, 2}},
      {{1, 1, 1, 1, 7}, {true, false, false, true, true}, {3, 2, 6}},
      {{1, 9, 1, 9}, {true, true, true, true}, {2, 8, 2, 8}},
  };
  for (const StretchCase& c : cases) {
    QBuffer device;
    device.open(QIODevice::WriteOnly);
    GifAnimation gif(device, 8, 2);
    QImage picture(8, 2, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (std::size_t i = 0; i < c.Delays.size(); ++i) {
      const int x = static_cast<int>(i);
      if (c.Change[i]) picture.setPixel(x, 0, qRgb(0, 0, 255));
      ASSERT_TRUE(gif.Add(picture, Rect(x, 0, x + 1, 1), c.Delays[i]))
          << gif.ErrorString().toStdString();
    }
    ASSERT_TRUE(gif.Finish()) << gif.ErrorString().toStdString();
    const StrictGif strict = ReadGifStrictly(device.data());
    ASSERT_EQ(strict.Error, "");
    std::vector<int> written;
    for (const StrictGifFrame& frame : strict.Frames) written.push_back(frame.Delay);
    EXPECT_EQ(written, c.Written) << "delays " << testing::PrintToString(c.Delays);
  }
}

// A frame never dithers: one colour past what a GIF frame holds fails, the
// next Add() or Finish() saying which frame, also where a large frame is
// indexed on the code thread while a second one is added.
TEST(GifAnimation, RefusesAFrameOfMoreThan256Colours) {
  for (const int rows : {1, 40}) {
    for (const int colours : {256, 257}) {
      QBuffer device;
      device.open(QIODevice::WriteOnly);
      GifAnimation gif(device, colours, rows);
      QImage picture(colours, rows, QImage::Format_RGB32);
      for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < colours; ++x) picture.setPixel(x, y, qRgb(x & 0xff, x >> 8, 7));
      }
      QImage second = picture;
      second.setPixel(0, 0, qRgb(1, 2, 3));
      const bool written = gif.Add(picture, Rect(0, 0, colours, rows), 2) &&
                           gif.Add(second, Rect(0, 0, 1, 1), 2) && gif.Finish();
      EXPECT_EQ(written, colours <= 256) << colours << " colours, " << rows << " rows";
      if (written) {
        const Decoded decoded = Decode(device.data());
        ASSERT_EQ(decoded.Pictures.size(), 2U);
        EXPECT_TRUE(decoded.Pictures[0] == picture);
        EXPECT_TRUE(decoded.Pictures[1] == second);
      } else {
        EXPECT_EQ(gif.ErrorString(), QStringLiteral("frame 1 needs more than 256 colours"));
      }
    }
  }
}

}  // namespace
}  // namespace trilume
