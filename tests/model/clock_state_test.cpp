// SPDX-License-Identifier: MIT
#include "model/clock_state.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace trilume {
namespace {

struct CycleCase {
  const char* Name;
  std::int32_t (*Next)(std::int32_t);
  std::vector<std::int32_t> FromFour;
};

// Names the case in test listings.
void PrintTo(const CycleCase& c, std::ostream* os) { *os << c.Name; }

class FillStyleCycle : public ::testing::TestWithParam<CycleCase> {};

TEST_P(FillStyleCycle, StepsThroughItsRange) {
  std::int32_t index = 4;
  for (const std::int32_t expected : GetParam().FromFour) {
    index = GetParam().Next(index);
    EXPECT_EQ(index, expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, FillStyleCycle,
    ::testing::Values(CycleCase{"Picture", NextFillStyleFromImage, {5, 6, 7, 8, 0, 1, 2, 3, 4, 5}},
                      CycleCase{"Background", NextFillStyleFromForm, {5, 6, 7, 0, 1, 2, 3, 4, 5}}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(FillStyleReset, BackgroundResetsFromEightToo) {
  EXPECT_EQ(NextFillStyleFromForm(8), 0);
  EXPECT_EQ(NextFillStyleFromForm(7), 0);
  EXPECT_EQ(NextFillStyleFromImage(8), 0);
  EXPECT_EQ(NextFillStyleFromImage(7), 8);
}

}  // namespace
}  // namespace trilume
