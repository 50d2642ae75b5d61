// SPDX-License-Identifier: GPL-3.0-or-later
// A batch conversion should cost little more than copying the files: durnix-cli converts a folder
// of 2000 spectra of 16384 channels (the real bronze.chn of ../shared/real_samples when it is
// there, else a made-up one) to each of the formats it writes, as whole processes, against
// `cp -r` of the same folder in the same run: seven pairs of runs, taking turns at going first.
// Each case reports the median of the pairs' ratios (ratio_to_cp, goal at most 1.3), the same
// for the processor time of the two processes (cpu_ratio_to_cp, steadier where the disk's speed
// comes and goes) and the peak memory of durnix-cli. A format whose files are larger than their
// source (the text formats) is measured against `cp -r` of the folder it makes instead
// (cp_of_output = 1): writing those bytes is its floor. Formats that hold at most 8192 channels
// convert a folder of 8192-channel spectra instead.
//
// BM_PeakMemory runs the conversion over 2000 and over 20000 files (hard links to the 2000)
// and reports the peak memory of each and their difference, which must stay under 2 MB.
//
// The folders are made under DURNIX_BENCH_DIR, or the system's temporary folder: on a disk,
// making files costs the same to both sides; on a tmpfs (/dev/shm) the work of each shows.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "child_process.h"
#include "formats/chn.h"
#include "formats/local_file_system.h"

namespace fs = std::filesystem;

using bench::ChildRun;
using bench::cliPath;
using bench::runChild;

namespace {

constexpr int kFiles = 2000;
constexpr int kManyFiles = 20000;
constexpr int kPairs = 7;

// A spectrum of `channels`: the real one, cut when it is longer, or a made-up one.
durnix::SpectrumRecord spectrum(int channels) {
  durnix::SpectrumRecord record;
  record.FileName = DURNIX_REAL_SAMPLES_DIR "/chn/daquiri_bronze.chn";
  if (durnix::ReadChn(record, durnix::LocalFiles()) != durnix::kDone) {
    record = {};
    for (int ch = 0; ch < 16384; ++ch) {
      const double x = (ch - 5000.0) / 20.0;
      record.Counts.push_back(static_cast<std::int32_t>(400 * std::exp(-ch / 4000.0) +
                                                        6000 * std::exp(-x * x / 2) + ch % 7));
    }
    record.ChannelCount = 16384;
  }
  record.Counts.resize(static_cast<std::size_t>(channels));
  record.ChannelCount = static_cast<std::int16_t>(channels);
  if (channels <= 8192) {
    // The shorter spectrum serves formats of 16-bit counts too (KODAQ).
    while (*std::max_element(record.Counts.begin(), record.Counts.end()) > 32767) {
      for (std::int32_t& count : record.Counts) count /= 2;
    }
  }
  return record;
}

class Corpus {
 public:
  Corpus() {
    const char* base = std::getenv("DURNIX_BENCH_DIR");
    root_ = fs::path(base != nullptr ? base : fs::temp_directory_path().c_str()) /
            ("durnix-copy-limit-" + std::to_string(::getpid()));
    for (int channels : {16384, 8192}) {
      const fs::path folder = input(channels);
      fs::create_directories(folder);
      durnix::SpectrumRecord record = spectrum(channels);
      durnix::Bytes bytes;
      durnix::EncodeChn(record, bytes);
      for (int i = 0; i < kFiles; ++i) {
        durnix::LocalFiles().WriteFile((folder / name(i)).string(), bytes);
      }
    }
    fs::create_directories(root_ / "many");
    for (int i = 0; i < kManyFiles; ++i) {
      fs::create_hard_link(input(16384) / name(i % kFiles), root_ / "many" / name(i));
    }
  }
  ~Corpus() { fs::remove_all(root_); }

  fs::path input(int channels) const { return root_ / ("in" + std::to_string(channels)); }
  fs::path many() const { return root_ / "many"; }
  fs::path output() const { return root_ / "out"; }
  fs::path converted(const char* to) const { return root_ / (std::string("converted-") + to); }
  static std::string name(int i) { return "s" + std::to_string(i) + ".chn"; }

 private:
  fs::path root_;
};

Corpus& corpus() {
  static Corpus instance;
  return instance;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

ChildRun convert(const char* to, const fs::path& folder, int files) {
  fs::remove_all(corpus().output());
  fs::create_directories(corpus().output());
  std::vector<std::string> args = {
      cliPath(), "convert", "--to", to, "--yes", "--out", corpus().output().string()};
  for (int i = 0; i < files; ++i) args.push_back(Corpus::name(i));
  const ChildRun run = runChild(args, folder.string());
  fs::remove_all(corpus().output());
  return run;
}

ChildRun copyFolder(const fs::path& folder) {
  fs::remove_all(corpus().output());
  const ChildRun run =
      runChild({"cp", "-r", folder.string(), corpus().output().string()}, folder.string());
  fs::remove_all(corpus().output());
  return run;
}

// The folder that the conversion to `to` makes from `folder`, kept for copying.
fs::path convertedOnce(const char* to, const fs::path& folder) {
  const fs::path kept = corpus().converted(to);
  fs::remove_all(kept);
  fs::create_directories(kept);
  std::vector<std::string> args = {cliPath(), "convert", "--to",       to,
                                   "--yes",   "--out",   kept.string()};
  for (int i = 0; i < kFiles; ++i) args.push_back(Corpus::name(i));
  runChild(args, folder.string());
  return kept;
}

std::uintmax_t bytesIn(const fs::path& folder) {
  std::uintmax_t bytes = 0;
  for (const auto& entry : fs::directory_iterator(folder)) bytes += entry.file_size();
  return bytes;
}

void BM_ConvertAgainstCopy(benchmark::State& state, const char* to, int channels) {
  const fs::path folder = corpus().input(channels);
  // A conversion can cost no less than writing its output: a format that writes more bytes than
  // it reads (the text formats write about five times as many) is measured against copying
  // the folder it makes, the others against copying their source folder.
  const fs::path converted = convertedOnce(to, folder);
  const fs::path copied = bytesIn(converted) > bytesIn(folder) ? converted : folder;
  // One pair first, unmeasured: the disk settles after the folders were made.
  copyFolder(copied);
  convert(to, folder, kFiles);
  for (auto _ : state) {
    std::vector<double> converting, copying, ratios, cpuRatios;
    double peak = 0;
    for (int pair = 0; pair < kPairs; ++pair) {
      // The two take turns at going first.
      ChildRun copy, conversion;
      if (pair % 2 == 0) {
        copy = copyFolder(copied);
        conversion = convert(to, folder, kFiles);
      } else {
        conversion = convert(to, folder, kFiles);
        copy = copyFolder(copied);
      }
      if (conversion.exit != 0 || copy.exit != 0) {
        state.SkipWithError("a run failed");
        return;
      }
      copying.push_back(copy.seconds);
      converting.push_back(conversion.seconds);
      ratios.push_back(conversion.seconds / copy.seconds);
      cpuRatios.push_back(conversion.cpuSeconds / std::max(copy.cpuSeconds, 1e-3));
      peak = std::max(peak, conversion.peakMiB);
    }
    fs::remove_all(converted);
    state.SetIterationTime(median(converting));
    state.counters["cp_ms"] = median(copying) * 1000;
    state.counters["ratio_to_cp"] = median(ratios);  // the median of the pairs' ratios
    // The same for the processor time the two spend, which the disk's ups and downs touch less.
    state.counters["cpu_ratio_to_cp"] = median(cpuRatios);
    state.counters["cp_of_output"] = copied == converted ? 1 : 0;
    state.counters["peak_rss_MiB"] = peak;
  }
}

void BM_PeakMemory(benchmark::State& state) {
  for (auto _ : state) {
    const ChildRun few = convert("RBS", corpus().input(16384), kFiles);
    const ChildRun many = convert("RBS", corpus().many(), kManyFiles);
    if (few.exit != 0 || many.exit != 0) {
      state.SkipWithError("a run failed");
      return;
    }
    state.SetIterationTime(many.seconds);
    state.counters["rss_2000_MiB"] = few.peakMiB;
    state.counters["rss_20000_MiB"] = many.peakMiB;
    state.counters["growth_MiB"] = many.peakMiB - few.peakMiB;
  }
}

void registerAll() {
  struct Destination {
    const char* key;
    int channels;
  };
  const Destination destinations[] = {
      {"RBS", 16384},
      {"CHN", 16384},
      {"GVSPC", 16384},
      {"SPT", 16384},
      {"SPM", 8192},
      {"AS1", 16384},
      {"AS2", 16384},
      {"CANBERRA", 8192},
      {"ANS", 8192},
      {"SEN", 16384},
      {"NCL", 16384},
      {"SNF", 16384},
      {"KODAQ", 8192},
      // The formats of other programs, after the thirteen.
      {"SPE", 16384},
      {"IEC", 16384},
      {"N42", 16384},
      {"CSV", 16384},
  };
  for (const Destination& d : destinations) {
    benchmark::RegisterBenchmark(
        ("BM_ConvertAgainstCopy/" + std::string(d.key) + "/" + std::to_string(d.channels)).c_str(),
        [d](benchmark::State& state) { BM_ConvertAgainstCopy(state, d.key, d.channels); })
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("BM_PeakMemory", BM_PeakMemory)
      ->UseManualTime()
      ->Iterations(1)
      ->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
  registerAll();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
