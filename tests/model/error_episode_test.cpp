// SPDX-License-Identifier: MIT
// Which failures of a step that repeats are news to its user.
#include "model/error_episode.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace trilume {
namespace {

struct EpisodeCase {
  const char* Name;
  // One run per character: '.' succeeds, any other character fails with
  // that character as its message ('_' with an empty message).
  const char* Runs;
  // Per run: '!' where the failure is news, '-' where it is not, ' ' for a
  // run that succeeded.
  const char* News;
};

void PrintTo(const EpisodeCase& c, std::ostream* os) { *os << c.Name; }

class ErrorEpisodeTest : public ::testing::TestWithParam<EpisodeCase> {};

TEST_P(ErrorEpisodeTest, OnlyTheFailureThatBeginsAnEpisodeIsNews) {
  ErrorEpisode episode;
  std::string news;
  for (const char* run = GetParam().Runs; *run != '\0'; ++run) {
    if (*run == '.') {
      episode.Succeeded();
      news += ' ';
    } else {
      const std::string message = *run == '_' ? std::string() : std::string(1, *run);
      news += episode.Failed(message) ? '!' : '-';
    }
  }
  EXPECT_EQ(news, GetParam().News) << GetParam().Runs;
}

INSTANTIATE_TEST_SUITE_P(Runs, ErrorEpisodeTest,
                         ::testing::Values(
                             // A fault at every frame: told at its first frame only.
                             EpisodeCase{"RepeatedFault", "aaaaa", "!----"},
                             // One clean frame ends it; the same fault afterwards is news again.
                             EpisodeCase{"CleanRunBetween", "aa.aa", "!- !-"},
                             EpisodeCase{"CleanRunsAlone", "...", "   "},
                             // Another fault is news at once, and so is the first one's return.
                             EpisodeCase{"AnotherFault", "aabba", "!-!-!"},
                             EpisodeCase{"AnotherFaultThenClean", "ab.b", "!! !"},
                             // An empty message is a message like any other, not "no episode".
                             EpisodeCase{"EmptyMessage", "__._", "!- !"}),
                         [](const auto& testInfo) { return std::string(testInfo.param.Name); });

}  // namespace
}  // namespace trilume
