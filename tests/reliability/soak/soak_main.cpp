// SPDX-License-Identifier: MIT
// trilume_soak: runs the frame, the caption and free flight for many ticks
// under a random stream of panel changes and bad inputs, and checks after
// every tick that nothing strayed. Meant for the sanitizer build.
//
//   trilume_soak [--frames N] [--long] [--seed S] [--warmup N] [--progress N]
//
// Exit status 0 when every check held, 1 when one failed, 2 for a bad
// argument. A sanitizer finding aborts the process on its own.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "tests/reliability/soak/soak_driver.h"

namespace {

constexpr std::int64_t kLongFrames = 1'000'000;

constexpr std::array<const char*, trilume::kSoakEventKinds> kEventNames = {"check box",
                                                                           "NUMBER OF TRACES",
                                                                           "ALTERNATIVE COLORS",
                                                                           "picture double-click",
                                                                           "window double-click",
                                                                           "grid colour",
                                                                           "CLEAR",
                                                                           "FREE/LAND",
                                                                           "resize",
                                                                           "MOVEMENT text",
                                                                           "time text",
                                                                           "clock jump",
                                                                           "TZ",
                                                                           "LC_TIME",
                                                                           "minimise"};

bool ParseCount(const char* text, std::int64_t& out) {
  char* end = nullptr;
  const long long value = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || value < 0) return false;
  out = value;
  return true;
}

int Usage(const char* problem) {
  std::fprintf(stderr,
               "trilume_soak: %s\nusage: trilume_soak [--frames N] [--long] [--seed S] "
               "[--warmup N] [--progress N]\n",
               problem);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  trilume::SoakOptions options;
  options.Seed = std::random_device{}();
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    std::int64_t value = 0;
    if (arg == "--long") {
      options.Frames = kLongFrames;
      options.ProgressEvery = 100'000;
    } else if (arg == "--frames" && hasValue && ParseCount(argv[++i], value) && value > 0) {
      options.Frames = value;
    } else if (arg == "--seed" && hasValue && ParseCount(argv[++i], value)) {
      options.Seed = static_cast<std::uint64_t>(value);
    } else if (arg == "--warmup" && hasValue && ParseCount(argv[++i], value)) {
      options.WarmupFrames = value;
    } else if (arg == "--progress" && hasValue && ParseCount(argv[++i], value)) {
      options.ProgressEvery = value;
    } else {
      return Usage(("bad argument '" + std::string(arg) + "'").c_str());
    }
  }

  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  std::printf("soak: seed %llu, %lld frames\n", static_cast<unsigned long long>(options.Seed),
              static_cast<long long>(options.Frames));
  std::fflush(stdout);
  const auto driver = std::make_unique<trilume::SoakDriver>(options);
  const trilume::SoakReport report = driver->Run();

  std::printf(
      "soak: %lld frames in %.1f s (%.0f frames/s); %lld failed time texts, "
      "%lld captions, %lld free-flight steps\n",
      static_cast<long long>(report.Frames), report.Seconds,
      report.Seconds > 0 ? static_cast<double>(report.Frames) / report.Seconds : 0.0,
      static_cast<long long>(report.FailedFrames), static_cast<long long>(report.Captions),
      static_cast<long long>(report.FreeFlightSteps));
  std::printf("soak: events:");
  for (std::size_t i = 0; i < kEventNames.size(); ++i) {
    std::printf("%s %s %lld", i == 0 ? "" : ",", kEventNames[i],
                static_cast<long long>(report.Events[i]));
  }
  std::printf("\nsoak: resident %lld KiB after warm-up, %lld KiB at end, peak %lld KiB\n",
              static_cast<long long>(report.WarmupRssKiB), static_cast<long long>(report.EndRssKiB),
              static_cast<long long>(report.PeakRssKiB));
  if (report.WarmupHeapBytes >= 0) {
    std::printf("soak: live heap %lld bytes after warm-up, %lld bytes at end\n",
                static_cast<long long>(report.WarmupHeapBytes),
                static_cast<long long>(report.EndHeapBytes));
  }
  if (!report.Failure.empty()) {
    std::printf("soak: FAILED (seed %llu): %s\n", static_cast<unsigned long long>(options.Seed),
                report.Failure.c_str());
    return 1;
  }
  std::printf("soak: passed\n");
  return 0;
}
