// SPDX-License-Identifier: MIT
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>

namespace trilume {

// Total seconds each side took over the whole run.
struct SideBySide {
  double Measured = 0;
  double Other = 0;
};

// Runs `measured` and then `other` in every iteration of one loop, so that
// machine load touches both alike, and reports `measured`'s time as the
// iteration time (register the benchmark with UseManualTime()).
template <typename Measured, typename Other>
SideBySide TimeSideBySide(benchmark::State& state, Measured&& measured, Other&& other) {
  using Clock = std::chrono::steady_clock;
  SideBySide total;
  for (auto _ : state) {
    const auto start = Clock::now();
    measured();
    benchmark::ClobberMemory();
    const auto middle = Clock::now();
    other();
    benchmark::ClobberMemory();
    const auto end = Clock::now();
    const double first = std::chrono::duration<double>(middle - start).count();
    total.Measured += first;
    total.Other += std::chrono::duration<double>(end - middle).count();
    state.SetIterationTime(first);
  }
  return total;
}

}  // namespace trilume
