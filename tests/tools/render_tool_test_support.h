// SPDX-License-Identifier: MIT
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "model/date_time.h"
#include "tools/render_run.h"

namespace trilume {

// What one in-process run of the tool left behind.
struct ToolRun {
  int Status = -1;
  QByteArray Out;
  QByteArray Err;
};

// Frames are read in UTC and the C locale, so texts and instants are fixed.
inline void UseUtc() {
  setenv("TZ", "UTC", 1);
  tzset();
}

// The instant 2026-12-08 00:15:30.500 UTC; stands in for "now".
inline const FakeClock kWallClock{1796688930500000};

inline ToolRun RunTool(QStringList arguments) {
  arguments.prepend(QStringLiteral("trilume-render"));
  QBuffer out;
  QBuffer err;
  out.open(QIODevice::WriteOnly);
  err.open(QIODevice::WriteOnly);
  ToolRun run;
  run.Status = RunRenderTool(arguments, kWallClock, out, err);
  run.Out = out.data();
  run.Err = err.data();
  return run;
}

}  // namespace trilume
