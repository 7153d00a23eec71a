// SPDX-License-Identifier: MIT
// One non-modal message window however many errors are shown, and one line
// on stderr for each.
#include "ui/error_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

#include "tests/ui/ui_test_support.h"

namespace trilume {
namespace {

class ShowExceptionTest : public ::testing::Test {
 protected:
  ~ShowExceptionTest() override { delete FindErrorWindow(); }
};

TEST_F(ShowExceptionTest, OneWindowTakesEachMessageAndStderrGetsEachLine) {
  testing::internal::CaptureStderr();
  ShowException("'1x' is not a valid integer value", nullptr);
  ShowException("another", nullptr);
  EXPECT_EQ(OurLines(testing::internal::GetCapturedStderr()),
            "trilume: '1x' is not a valid integer value\ntrilume: another\n");
  int windows = 0;
  for (QWidget* shown : QApplication::topLevelWidgets()) {
    if (qobject_cast<QMessageBox*>(shown) != nullptr) ++windows;
  }
  EXPECT_EQ(windows, 1);
  QMessageBox* window = FindErrorWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isModal());
  EXPECT_EQ(window->text(), "another");

  // Once the user has closed it, the next error opens it again.
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(FindErrorWindow(), nullptr);
  testing::internal::CaptureStderr();
  ShowException("another", nullptr);
  EXPECT_EQ(OurLines(testing::internal::GetCapturedStderr()), "trilume: another\n");
  QMessageBox* reopened = FindErrorWindow();
  ASSERT_NE(reopened, nullptr);
  EXPECT_TRUE(reopened->isVisible());
}

}  // namespace
}  // namespace trilume
