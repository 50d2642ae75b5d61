// SPDX-License-Identifier: GPL-3.0-or-later
// The writers of the text formats in process, on one calibrated spectrum of 16384 channels whose
// counts change length from channel to channel as measured ones do (a falling continuum with
// noise, peaks and empty channels at the top): the processor time a batch conversion spends on
// each file beyond reading and writing it. Reported per channel.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "formats/ascii.h"
#include "formats/csv.h"
#include "formats/iec61455.h"
#include "formats/n42.h"
#include "formats/ortec_spe.h"

namespace {

durnix::SpectrumRecord measuredLike() {
  durnix::SpectrumRecord record;
  constexpr int kChannels = 16384;
  record.ChannelCount = kChannels;
  record.CalOffset = -1.25f;
  record.CalGain = 0.4888275f;
  record.LiveTime = "3600";
  record.RealTime = "3612.5";
  std::uint64_t random = 88172645463325252ULL;
  for (int channel = 0; channel < kChannels; ++channel) {
    random ^= random << 13, random ^= random >> 7, random ^= random << 17;
    const double continuum = 20000.0 * std::exp(-channel / 2500.0);
    const double peak = 90000.0 * std::exp(-std::pow((channel % 1500 - 700) / 6.0, 2));
    const double level = continuum + peak;
    const double noise = (static_cast<double>(random % 2001) / 1000.0 - 1.0) * std::sqrt(level);
    record.Counts.push_back(static_cast<std::int32_t>(std::max(0.0, level + noise)));
  }
  return record;
}

template <durnix::Status (*Encode)(const durnix::SpectrumRecord&, durnix::Bytes&)>
void BM_Encode(benchmark::State& state) {
  const durnix::SpectrumRecord record = measuredLike();
  durnix::Bytes out;
  for (auto _ : state) {
    if (Encode(record, out) != durnix::kDone) {
      state.SkipWithError("the spectrum was not written");
      return;
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["ns_per_channel"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * static_cast<double>(record.Counts.size()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["bytes"] = static_cast<double>(out.size());
}

}  // namespace

BENCHMARK_TEMPLATE(BM_Encode, durnix::EncodeCsv)->Name("BM_Encode/CSV");
BENCHMARK_TEMPLATE(BM_Encode, durnix::EncodeSpe)->Name("BM_Encode/SPE");
BENCHMARK_TEMPLATE(BM_Encode, durnix::EncodeIec)->Name("BM_Encode/IEC");
BENCHMARK_TEMPLATE(BM_Encode, durnix::EncodeN42)->Name("BM_Encode/N42");
BENCHMARK_TEMPLATE(BM_Encode, durnix::EncodeAS1)->Name("BM_Encode/AS1");

BENCHMARK_MAIN();
