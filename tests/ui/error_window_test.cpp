// SPDX-License-Identifier: MIT
// One message window for a fault however often it repeats, and one line on
// stderr for each showing.
#include "ui/error_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMessageBox>

#include "tests/ui/ui_test_support.h"

namespace trilume {
namespace {

class ShowExceptionTest : public ::testing::Test {
 protected:
  ~ShowExceptionTest() override { delete GetExceptionWindow(); }
};

TEST_F(ShowExceptionTest, ARepeatedFaultShowsOneWindowAndOneLine) {
  testing::internal::CaptureStderr();
  for (int frame = 0; frame < 50; ++frame) {
    ShowException("'1x' is not a valid integer value", nullptr);
  }
  EXPECT_EQ(OurLines(testing::internal::GetCapturedStderr()),
            "trilume: '1x' is not a valid integer value\n");
  auto* window = qobject_cast<QMessageBox*>(GetExceptionWindow());
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isModal());
  EXPECT_EQ(window->text(), "'1x' is not a valid integer value");

  // Another fault replaces the text in the same window.
  testing::internal::CaptureStderr();
  ShowException("another", nullptr);
  EXPECT_EQ(OurLines(testing::internal::GetCapturedStderr()), "trilume: another\n");
  EXPECT_EQ(GetExceptionWindow(), window);
  EXPECT_EQ(window->text(), "another");

  // Once the user has closed it, the next fault is shown again.
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(GetExceptionWindow(), nullptr);
  testing::internal::CaptureStderr();
  ShowException("another", nullptr);
  EXPECT_EQ(OurLines(testing::internal::GetCapturedStderr()), "trilume: another\n");
  ASSERT_NE(GetExceptionWindow(), nullptr);
  EXPECT_TRUE(GetExceptionWindow()->isVisible());
}

}  // namespace
}  // namespace trilume
