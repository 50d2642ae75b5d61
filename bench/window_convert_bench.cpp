// SPDX-License-Identifier: GPL-3.0-or-later
// Converting a large selection in the main window should take about as long as durnix-cli on
// the same files: 2000 and 20000 small RBS files to AS1, the window (Select All, Convert, its
// tally after every file, the new files in the destination list, both lists read at the end)
// against durnix-cli as a whole process, in five pairs of runs taking turns at going first. The
// median of the pairs' ratios (window_to_cli) must stay at most 1.5 for
// both sizes: a run that refilled the destination list after every file would grow with the
// square of the folder.
//
// Runs on Qt's offscreen platform; the folders are made under DURNIX_BENCH_DIR, or the system's
// temporary folder.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "child_process.h"
#include "convert/preferences.h"
#include "formats/rbs.h"
#include "shell/forms/frm_durnix.h"

namespace fs = std::filesystem;

namespace {

// Pairs of runs, the window and durnix-cli, in alternating order.
constexpr int kPairs = 5;

// Answers the summary of the run, and nothing else comes.
class SummaryOnly : public durnix::Prompter {
 public:
  int Ask(const std::string&, durnix::StandardButtons, const durnix::Asking& about) override {
    if (about.question != durnix::Question::kSummary) ++unexpected;
    return durnix::kAnswerOk;
  }
  int AskExtended(const std::string&, int, const durnix::Asking&) override {
    ++unexpected;
    return durnix::kAnswerCancel;
  }
  int unexpected = 0;
};

fs::path benchRoot() {
  const char* base = std::getenv("DURNIX_BENCH_DIR");
  return fs::path(base != nullptr ? base : fs::temp_directory_path().c_str()) /
         ("durnix-window-" + std::to_string(::getpid()));
}

// A folder of `files` small RBS spectra of 1024 channels.
fs::path makeSource(const fs::path& root, int files) {
  const fs::path source = root / ("source" + std::to_string(files));
  fs::create_directories(source);
  durnix::SpectrumRecord record;
  for (int ch = 0; ch < 1024; ++ch) {
    const double x = (ch - 700.0) / 8.0;
    record.Counts.push_back(
        static_cast<std::int32_t>(300 * std::exp(-ch / 900.0) + 2000 * std::exp(-x * x / 2)));
  }
  record.ChannelCount = 1024;
  durnix::Bytes bytes;
  durnix::EncodeRBS(record, bytes);
  for (int i = 0; i < files; ++i) {
    durnix::LocalFiles().WriteFile((source / ("r" + std::to_string(i) + ".rbs")).string(), bytes);
  }
  return source;
}

double runCli(const fs::path& source, const fs::path& out, int files) {
  std::vector<std::string> args = {bench::cliPath(), "convert",   "--to", "AS1",
                                   "--out",          out.string()};
  for (int i = 0; i < files; ++i) args.push_back("r" + std::to_string(i) + ".rbs");
  const bench::ChildRun run = bench::runChild(args, source.string());
  return run.exit == 0 ? run.seconds : -1;
}

double runWindow(const fs::path& root, const fs::path& source, const fs::path& out) {
  // The window starts with both panes where the run needs them, as a durnix.cfg puts them.
  const fs::path program = root / "program";
  fs::create_directories(program);
  durnix::Preferences prefs;
  prefs.SourceFolder = source.string() + "/";
  prefs.DestinationFolder = out.string() + "/";
  prefs.DestinationFormat = "ASCII with channel (AS1)";
  prefs.StampMode = false;
  durnix::SaveConfig(prefs, (program / "durnix.cfg").string(), durnix::LocalFiles());
  SummaryOnly answers;
  durnix::MainWindowStartup startup;
  startup.programFolder = QString::fromStdString(program.string());
  startup.places = {{"Bench", root.string() + "/", durnix::PlaceKind::kFixed}};
  startup.prompter = &answers;
  durnix::FrmDurnix window(startup);
  window.show();
  QCoreApplication::processEvents();
  ::sync();
  const auto start = std::chrono::steady_clock::now();
  window.CmdSel_Click(0);
  window.mnuConv_Click();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return answers.unexpected == 0 ? seconds : -1;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void BM_WindowAgainstCli(benchmark::State& state) {
  const int files = static_cast<int>(state.range(0));
  const fs::path root = benchRoot();
  const fs::path source = makeSource(root, files);
  for (auto _ : state) {
    std::vector<double> clis, windows, ratios;
    for (int pair = 0; pair < kPairs; ++pair) {
      fs::create_directories(root / "cli");
      fs::create_directories(root / "window");
      // The two take turns at going first, so that neither always meets a settled disk.
      double cli = 0;
      double window = 0;
      if (pair % 2 == 0) {
        cli = runCli(source, root / "cli", files);
        window = runWindow(root, source, root / "window");
      } else {
        window = runWindow(root, source, root / "window");
        cli = runCli(source, root / "cli", files);
      }
      fs::remove_all(root / "cli");
      fs::remove_all(root / "window");
      if (cli < 0 || window < 0) {
        state.SkipWithError("a run failed");
        fs::remove_all(root);
        return;
      }
      clis.push_back(cli);
      windows.push_back(window);
      ratios.push_back(window / cli);
    }
    state.SetIterationTime(median(windows));
    state.counters["cli_ms"] = median(clis) * 1000;
    state.counters["window_to_cli"] = median(ratios);  // the median of the pairs' ratios
  }
  fs::remove_all(root);
}

}  // namespace

BENCHMARK(BM_WindowAgainstCli)
    ->Arg(2000)
    ->Arg(20000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
