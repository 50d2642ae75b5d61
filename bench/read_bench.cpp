// SPDX-License-Identifier: GPL-3.0-or-later
// Readers on files made to be slow: an RBS file of 1 MiB that holds some 87 000 small records of
// a kind the reader steps over, before and between its data records. Detection tries the RBS
// reader first, so such a file must read in well under 50 ms, in time linear in its size.

#include <benchmark/benchmark.h>

#include "formats/byte_io.h"
#include "formats/rbs.h"

namespace {

// Appends one record of `type` with `data` and its check word.
void record(durnix::Bytes& file, std::uint32_t type, const durnix::Bytes& data) {
  durnix::Bytes r;
  durnix::ByteWriter w(r);
  w.u32be(static_cast<std::uint32_t>(3 + data.size() / 4));
  w.u32be(type);
  w.text(data);
  w.u32be(durnix::RbsCheckWord(r));
  file += r;
}

durnix::Bytes smallRecordsFile() {
  durnix::SpectrumRecord spectrum;
  spectrum.Counts.assign(2048, 7);
  spectrum.ChannelCount = 2048;
  durnix::Bytes written;
  durnix::EncodeRBS(spectrum, written);
  // The header and the records up to the first data record, as written.
  std::size_t at = 20;
  while (durnix::bytes::u32be(written, at + 4) != 17) at += 4 * durnix::bytes::u32be(written, at);
  durnix::Bytes file = written.substr(0, at);
  const std::size_t firstData = 4 * durnix::bytes::u32be(written, at);
  const durnix::Bytes data1 = written.substr(at, firstData);
  const durnix::Bytes data2 = written.substr(at + firstData);
  file += data1;
  // Records of type 3 (of no meaning to the reader), 12 bytes each, up to 1 MiB.
  while (file.size() + 12 + data2.size() <= durnix::kRbsMaxFileBytes) record(file, 3, {});
  file += data2;
  return file;
}

void BM_RbsOfSmallRecords(benchmark::State& state) {
  const durnix::Bytes file = smallRecordsFile();
  for (auto _ : state) {
    durnix::SpectrumRecord record;
    if (durnix::ReadRBS(file, record) != durnix::kDone || record.ChannelCount != 2048) {
      state.SkipWithError("the file was not read");
      return;
    }
    benchmark::DoNotOptimize(record.Counts.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
  state.counters["records"] = static_cast<double>(file.size() / 12);
}

}  // namespace

BENCHMARK(BM_RbsOfSmallRecords)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
