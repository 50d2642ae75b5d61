// SPDX-License-Identifier: GPL-3.0-or-later
// Batch conversion of a folder of a few thousand spectra with automatic detection, through the
// conversion engine as durnix-cli runs it, against copying the same files: converting should cost
// little more than copying, and its memory should not grow with the number of files (the
// peak_rss_MiB counter, read after each benchmark, stays where the smaller run left it).

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "formats/ascii.h"
#include "formats/rbs.h"
#include "formats/sen.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 4000;

double peakRssMiB() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The source folder, made once: RBS, SEN, AS1 and AS2 files of 1024 channels in turn.
class Corpus {
 public:
  Corpus() {
    root_ = fs::temp_directory_path() / ("durnix-bench-" + std::to_string(::getpid()));
    fs::create_directories(root_ / "source");
    for (int i = 0; i < kFiles; ++i) {
      durnix::SpectrumRecord record;
      for (int ch = 0; ch < 1024; ++ch) {
        const double x = (ch - 700.0 - i % 50) / 8.0;
        record.Counts.push_back(static_cast<std::int32_t>(
            300 * std::exp(-ch / 900.0) + 2000 * std::exp(-x * x / 2) + (ch * 7 + i) % 13));
      }
      record.ChannelCount = 1024;
      record.SpecId = "bench " + std::to_string(i);
      record.FileName = (root_ / "source" / ("s" + std::to_string(i))).string();
      switch (i % 4) {
        case 0:
          durnix::WriteRBS(record, durnix::LocalFiles());
          break;
        case 1:
          durnix::WriteSEN(record, durnix::LocalFiles());
          break;
        case 2:
          durnix::WriteAS1(record, durnix::LocalFiles());
          break;
        default:
          durnix::WriteAS2(record, durnix::LocalFiles());
          break;
      }
      files_.push_back(record.FileName);
    }
  }
  ~Corpus() { fs::remove_all(root_); }

  const std::vector<std::string>& files() const { return files_; }
  // A fresh, empty destination folder.
  std::string freshOutput() {
    const fs::path out = root_ / ("out" + std::to_string(runs_++));
    fs::create_directories(out);
    return out.string();
  }
  void removeOutput(const std::string& out) { fs::remove_all(out); }

 private:
  fs::path root_;
  std::vector<std::string> files_;
  int runs_ = 0;
};

Corpus& corpus() {
  static Corpus instance;
  return instance;
}

void copyFile(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::ofstream out(to, std::ios::binary);
  const std::string data = bytes.str();
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

void BM_CopyFolder(benchmark::State& state) {
  Corpus& c = corpus();
  const auto files = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    const std::string out = c.freshOutput();
    state.ResumeTiming();
    for (std::size_t i = 0; i < files; ++i) {
      const std::string& file = c.files()[i];
      copyFile(file, out + "/" + fs::path(file).filename().string());
    }
    state.PauseTiming();
    c.removeOutput(out);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["peak_rss_MiB"] = peakRssMiB();
}

void BM_ConvertFolder(benchmark::State& state, const char* to) {
  Corpus& c = corpus();
  std::ostringstream sink;
  for (auto _ : state) {
    state.PauseTiming();
    durnix::cli::ConvertOptions options;
    options.to = to;
    options.outDir = c.freshOutput();
    options.files.assign(c.files().begin(), c.files().begin() + state.range(0));
    sink.str("");
    state.ResumeTiming();
    const int exit = durnix::cli::ConvertCommand(options, sink, sink);
    state.PauseTiming();
    if (exit != 0) state.SkipWithError("conversion failed");
    c.removeOutput(options.outDir);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["peak_rss_MiB"] = peakRssMiB();
}

}  // namespace

BENCHMARK(BM_CopyFolder)->Arg(1000)->Arg(kFiles)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_ConvertFolder, detect_to_AS1, "AS1")
    ->Arg(1000)
    ->Arg(kFiles)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(BM_ConvertFolder, detect_to_RBS, "RBS")
    ->Arg(1000)
    ->Arg(kFiles)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

BENCHMARK_MAIN();
