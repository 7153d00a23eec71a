// SPDX-License-Identifier: MIT
// The pinned canvas font.
#include "render/canvas/canvas_font.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>

namespace trilume {
namespace {

TEST(TextTest, FontIsThePinnedLiberationSans) {
  EXPECT_EQ(QFontInfo(CanvasFont()).family(), QStringLiteral("Liberation Sans"));
  const QFontMetrics metrics(CanvasFont());
  EXPECT_GE(metrics.height(), 12);
  EXPECT_LE(metrics.height(), 14);
  EXPECT_GT(metrics.horizontalAdvance(QStringLiteral("12")), 8);
}

}  // namespace
}  // namespace trilume
