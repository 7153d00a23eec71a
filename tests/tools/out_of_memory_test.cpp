// SPDX-License-Identifier: MIT
// Memory that runs out during a GIF export, on either of its threads.
#include <gtest/gtest.h>

#include <QDir>
#include <ostream>
#include <string>

#include "tests/support/allocation_failure.h"
#include "tests/tools/render_tool_test_support.h"

namespace trilume {
namespace {

struct MemoryCase {
  const char* Name;
  FailingThread Where;
  // The smallest allocation that fails: a whole frame's worth, so that the
  // failure falls on the run's own buffers rather than Qt's small ones.
  std::size_t MinimumBytes;
  const char* Line;  // the line standard error holds
};

void PrintTo(const MemoryCase& c, std::ostream* os) { *os << c.Name; }

class OutOfMemoryTest : public testing::TestWithParam<MemoryCase> {};

// Until now a failed allocation on the coding thread ended the program
// with "terminate called" and one on the drawing thread escaped the run:
// both must end in one line, status 1 and no file where the GIF was asked.
TEST_P(OutOfMemoryTest, EndsTheRunInOneLineAndLeavesNoFile) {
  const MemoryCase& c = GetParam();
  UseUtc();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString gif = dir.filePath(QStringLiteral("clip.gif"));
  FailOneAllocation(c.Where, c.MinimumBytes);
  const ToolRun run =
      RunTool({QStringLiteral("--at"), QStringLiteral("2026-12-08 10:09:30.000"),
               QStringLiteral("--frames"), QStringLiteral("8"), QStringLiteral("--every"),
               QStringLiteral("2"), QStringLiteral("--set"),
               QStringLiteral("rainbow=1,traces=3000"), QStringLiteral("--gif"), gif});
  ASSERT_TRUE(StopFailingAllocations()) << "no allocation was failed";
  EXPECT_EQ(run.Status, kExitIoFailure);
  EXPECT_EQ(run.Err.toStdString(),
            QString::fromLatin1(c.Line).replace(QStringLiteral("%1"), gif).toStdString());
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Threads, OutOfMemoryTest,
    testing::Values(MemoryCase{"CodingThread", FailingThread::kAnyOtherThread, 64 * 1024,
                               "trilume-render: --gif: cannot write '%1': out of memory\n"},
                    MemoryCase{"DrawingThread", FailingThread::kThisThread, 256 * 1024,
                               "trilume-render: out of memory\n"}),
    [](const testing::TestParamInfo<MemoryCase>& param) { return std::string(param.param.Name); });

}  // namespace
}  // namespace trilume
