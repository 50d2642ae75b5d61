// SPDX-License-Identifier: GPL-3.0-or-later
// A full redraw of the viewer's plot (axis labels and one dot per channel) into its
// backing image, for a 16384-channel spectrum, offscreen, at the window's first size and larger.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>

#include "formats/file_system.h"
#include "viewer/forms/frm_view.h"
#include "viewer/forms/viewer_dialogs.h"

namespace {

using namespace durnix;

class Silent : public Prompter {
 public:
  int Ask(const std::string&, StandardButtons, const Asking&) override { return kAnswerOk; }
  int AskExtended(const std::string&, int, const Asking&) override { return kAnswerCancel; }
};

std::vector<std::int32_t> Peaks(int channels) {
  std::vector<std::int32_t> counts(static_cast<std::size_t>(channels));
  for (int c = 0; c < channels; ++c) {
    const double x = c;
    counts[static_cast<std::size_t>(c)] = static_cast<std::int32_t>(
        200 * std::exp(-x / 3000) + 5000 * std::exp(-std::pow((x - 4000) / 60, 2) / 2) +
        12000 * std::exp(-std::pow((x - 9000) / 30, 2) / 2));
  }
  return counts;
}

void BM_Redraw16384Channels(benchmark::State& state) {
  Silent silent;
  ViewerStart start;
  start.FileName = "peaks.AS2";
  start.FileType = "ASCII without channel (AS2)";
  start.counts = Peaks(16384);
  start.MyCaption = " 1   View Spectrum : peaks.AS2";
  start.DotRad = static_cast<float>(state.range(2));
  FrmView view(std::move(start), LocalFiles(), silent, PlatformViewerDialogs());
  view.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  view.show();
  QApplication::processEvents();
  for (auto _ : state) {
    view.DrawSpectrum();
  }
  state.SetLabel(std::to_string(state.range(0)) + "x" + std::to_string(state.range(1)) +
                 " pixels, dot " + std::to_string(state.range(2)));
}
BENCHMARK(BM_Redraw16384Channels)
    ->Args({720, 520, 1})
    ->Args({1180, 860, 1})
    ->Args({1180, 860, 3})
    ->Unit(benchmark::kMillisecond);

// The same with 16 further regions (the regions' table beside the plot) and the X-ray lines of
// enough elements for at least 50 markers with their labels, at 0.01 keV per channel.
void BM_Redraw16RegionsAnd50Markers(benchmark::State& state) {
  Silent silent;
  ViewerStart start;
  start.FileName = "peaks.AS2";
  start.FileType = "ASCII without channel (AS2)";
  start.counts = Peaks(16384);
  start.MyCaption = " 1   View Spectrum : peaks.AS2";
  start.calGain = 0.01f;
  start.elementDatabase = DURNIX_ELEMENT_DB;
  FrmView view(std::move(start), LocalFiles(), silent, PlatformViewerDialogs());
  view.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  view.show();
  for (int i = 0; i < 16; ++i) view.addFurtherRegion(i * 1000 + 200, i * 1000 + 700);
  view.markLines("Ca Ti Fe Cu Zn Ag Sn Pb Au U");
  QApplication::processEvents();
  if (view.document().FurtherRegions().size() != 16 || view.document().Markers().size() < 50) {
    state.SkipWithError("the regions or the markers were not all set");
    return;
  }
  for (auto _ : state) {
    view.DrawSpectrum();
  }
  state.counters["markers"] = static_cast<double>(view.document().Markers().size());
  state.SetLabel(std::to_string(state.range(0)) + "x" + std::to_string(state.range(1)) +
                 " pixels, 16 regions");
}
BENCHMARK(BM_Redraw16RegionsAnd50Markers)
    ->Args({720, 520})
    ->Args({1180, 860})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
