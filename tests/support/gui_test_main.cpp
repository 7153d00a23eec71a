// SPDX-License-Identifier: MIT
// Test entry for the layers that draw text or use Qt images: Qt needs an
// application object before it can load fonts. Runs on the offscreen
// platform so no display is needed.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "tests/support/quiet_platform_notes.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  trilume::QuietPlatformNotes();
  QGuiApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
