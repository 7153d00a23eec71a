// SPDX-License-Identifier: MIT
// Test entry for widget tests: a QApplication on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "tests/support/quiet_platform_notes.h"

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  trilume::QuietPlatformNotes();
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
