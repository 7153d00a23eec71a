// SPDX-License-Identifier: MIT
// The pinned canvas font.
#include "render/canvas/canvas_font.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QRawFont>

namespace trilume {
namespace {

TEST(TextTest, FontIsThePinnedLiberationSans) {
  EXPECT_EQ(QFontInfo(CanvasFont()).family(), QStringLiteral("Liberation Sans"));
  const QFontMetrics metrics(CanvasFont());
  EXPECT_GE(metrics.height(), 12);
  EXPECT_LE(metrics.height(), 14);
  EXPECT_GT(metrics.horizontalAdvance(QStringLiteral("12")), 8);
}

// Version 1.07, which Debian 12 also installs, draws the numerals a few
// pixels apart from version 2: the head table's revision tells which one Qt
// took.
TEST(TextTest, FontIsVersionTwo) {
  const QByteArray head = QRawFont::fromFont(CanvasFont()).fontTable("head");
  ASSERT_GE(head.size(), 8);
  const auto byte = [&](int i) { return static_cast<unsigned char>(head[i]); };
  EXPECT_EQ((byte(4) << 8) | byte(5), 2);
}

}  // namespace
}  // namespace trilume
