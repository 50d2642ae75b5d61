// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's constant-resolution shrink of a 16384-channel spectrum at a resolution of 10
// channels: some 600 samples of a Gaussian per channel. It must take well under 0.2 s.
// A resolution of 1000 channels on 16384 flat channels (60001 samples per channel): a flat
// background of 1000 counts, whose every sample rounds to 0, must take well under 0.1 s; one of
// 3000 counts, whose samples count up to about 1.5 sigma from each channel, a few seconds.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "viewer/shrink.h"

namespace {

// A falling background of a few hundred counts with four peaks of some thousands.
std::vector<std::int32_t> spectrumWithPeaks() {
  std::vector<std::int32_t> counts(16384);
  const double peaks[][3] = {
      {2000, 40, 5000}, {6500, 25, 12000}, {9000, 60, 3000}, {14000, 30, 8000}};
  for (std::size_t c = 0; c < counts.size(); ++c) {
    const double x = static_cast<double>(c);
    double value = 300 * std::exp(-x / 6000) + 20;
    for (const auto& p : peaks) value += p[2] * std::exp(-std::pow((x - p[0]) / p[1], 2) / 2);
    counts[c] = static_cast<std::int32_t>(value);
  }
  return counts;
}

// Shrinks `counts` with a constant resolution `sigma` for every iteration of `state`.
void shrinkEach(benchmark::State& state, const std::vector<std::int32_t>& counts, float sigma) {
  const durnix::Resolution resolution{durnix::Resolution::kConstant, sigma, 0, 0};
  std::vector<std::int32_t> out;
  for (auto _ : state) {
    if (durnix::GaussianShrink(counts, resolution, out) != durnix::ShrinkResult::kShrunk) {
      state.SkipWithError("the shrink failed");
      return;
    }
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_ConstantResolutionShrink(benchmark::State& state) {
  const std::vector<std::int32_t> counts = spectrumWithPeaks();
  shrinkEach(state, counts, 10);
  state.counters["channels"] = static_cast<double>(counts.size());
}

void BM_WideResolutionOnFlatChannels(benchmark::State& state) {
  shrinkEach(state, std::vector<std::int32_t>(16384, static_cast<std::int32_t>(state.range(0))),
             1000);
  state.counters["counts"] = static_cast<double>(state.range(0));
}

}  // namespace

BENCHMARK(BM_ConstantResolutionShrink)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WideResolutionOnFlatChannels)
    ->Arg(1000)
    ->Arg(3000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

BENCHMARK_MAIN();
