// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The viewer's document: the counts shown, the second spectrum, the compare state, the energy
// calibration, the regions of interest, the zoom window and scale, and which commands may run
// now (and what a refused one says). The viewer window presents it and forwards its commands;
// durnix-cli's viewer commands work on the same document.

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "formats/catalogue.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"
#include "viewer/analysis.h"
#include "viewer/plot.h"
#include "viewer/region.h"
#include "viewer/shrink.h"
#include "viewer/view_settings.h"

namespace durnix {

// Reads a spectrum as a viewer holds it: with `chosen` (nullptr or "AUTO detection": by
// detection) into `record`, `format` the format that read it. The counts of the two Oxford
// formats (SPT, SPM) keep their lowest 24 bits. Returns the reader's (or detection's) status,
// with the system's error of a file that cannot be read.
FileResult ReadViewedSpectrum(FileSystem& files, const FormatInfo* chosen, SpectrumRecord& record,
                              const FormatInfo*& format, Bytes& buffer);

// The commands of the viewer whose availability the document decides.
enum class ViewerCommand {
  kAdd,
  kSubtract,
  kCompare,
  kShrink,  // any of the four shrinks
  kSave,
  kCopy,    // the region's line to the clipboard
  kRegion,  // marking, zooming and scaling with the mouse, the keys and the menus
};

enum class Combination { kAdd, kSubtract, kCompare };

enum class CombineResult {
  kCombined,
  kEmpty,     // Add or Subtract with a second spectrum of no channel: nothing changed
  kOverflow,  // a result does not fit a 32-bit count: nothing changed
};

class ViewerDocument {
 public:
  ViewerDocument() = default;
  // A spectrum as the viewer opens it: its counts (counts[c] is channel c), the preferences'
  // default Low limit and Range entries, the calibration texts the fields start with.
  ViewerDocument(std::vector<std::int32_t> counts, int defLow, int defRan, std::string convText,
                 std::string offsetText);
  // The same for a record read: the fields show its gain and offset as the viewer opens them.
  static ViewerDocument OfRecord(const SpectrumRecord& record, int defLow = 1, int defRan = 11);

  // ---- Counts -------------------------------------------------------------------------------
  const std::vector<std::int32_t>& ViewCounts() const { return counts_; }
  int ChNum() const { return static_cast<int>(counts_.size()); }
  const std::vector<std::int32_t>& SecondCounts() const { return second_; }
  bool CompareOn() const { return compareOn_; }

  // ---- Calibration --------------------------------------------------------------------------
  // The texts of txtConv and txtOffset as last confirmed; the factor and offset their numeric
  // prefixes.
  void setCalibration(std::string convText, std::string offsetText);
  const std::string& ConvText() const { return convText_; }
  const std::string& OffsetText() const { return offsetText_; }
  float ConvFactor() const { return convFactor_; }
  float ConvOffset() const { return convOffset_; }
  float EnergyOf(int channel) const {
    return static_cast<float>(channel) * convFactor_ + convOffset_;
  }

  // ---- Regions of interest ------------------------------------------------------------------
  // The regions the spectrum holds; the mouse and the From and To fields edit the active one.
  std::span<const RegionOfInterest> regions() const { return regions_; }
  const RegionOfInterest& activeRegion() const { return regions_[active_]; }
  RegionOfInterest& activeRegion() { return regions_[active_]; }
  bool AnyRegionSet() const;
  // Marks channels from..to (swapped when from > to) as the active region, as typed into the
  // From and To fields, and gives its areas. False, nothing marked, with the reason in
  // `refusal` when both ends are one channel or not all lie within the spectrum of `fileName`.
  bool MarkRegion(int& from, int& to, RegionAreas& areas, std::string& refusal,
                  const std::string& fileName);
  // The refusal of a region whose ends are one channel; empty when they differ.
  static std::string RegionEndsRefusal(int from, int to);

  // Further regions, marked with Ctrl held or typed into the regions' table, besides the one
  // the mouse and the fields edit; at most kMaxRegions with it. Each is two channels within the
  // spectrum (from < to). False, nothing changed, with the reason in `refusal`, otherwise.
  static constexpr int kMaxRegions = 16;
  struct Span {
    int from = 0;
    int to = 0;
    bool operator==(const Span&) const = default;
  };
  const std::vector<Span>& FurtherRegions() const { return further_; }
  bool AddRegion(int from, int to, std::string& refusal);
  bool SetRegion(std::size_t index, int from, int to, std::string& refusal);
  void RemoveRegion(std::size_t index);
  // The regions' table: the region of the mouse and the fields first when it is set, then the
  // further ones, each with its figures.
  std::vector<RegionFigures> RegionTable() const;
  // The energy (keV) of a fractional channel, and of a width in channels, under the calibration;
  // nothing without one.
  std::optional<double> EnergyAt(double channel) const;
  std::optional<double> EnergyWidth(double channels) const;
  bool Calibrated() const { return convFactor_ != 0; }

  // ---- Markers ------------------------------------------------------------------------------
  // Labelled lines at energies: X-ray lines of chosen elements and the surface edges of an RBS
  // spectrum. `height` is the share (0..1) of the plot's height the line reaches.
  struct Marker {
    enum Kind { kXray, kEdge };
    Kind kind = kXray;
    double keV = 0;
    std::string label;  // UTF-8: "Fe Kα1", "Au"
    double height = 1;
  };
  static constexpr const char* kNoCalibrationRefusal =
      "The spectrum has no energy calibration (no keV per channel): its lines and edges cannot "
      "be placed.";
  // Sets the markers of one kind in place of those before; refused (nothing set, the reason in
  // `refusal`) while the spectrum has no calibration, unless they are none (which clears them).
  bool SetMarkers(Marker::Kind kind, std::vector<Marker> markers, std::string& refusal);
  const std::vector<Marker>& Markers() const { return markers_; }
  // The channel of a marker under the calibration in force; nothing without one.
  std::optional<double> MarkerChannel(const Marker& marker) const;

  // ---- Zoom window and scale ----------------------------------------------------------------
  const ViewSettings& settings() const { return settings_; }
  ViewSettings& settings() { return settings_; }
  // The channels a drawing shows now and its full scale; false when a count is beyond what the
  // scale can show.
  bool Frame(PlotWindow& window) const;

  // ---- Commands -----------------------------------------------------------------------------
  // Whether the command's menu entry can be chosen now.
  bool Enabled(ViewerCommand command) const;
  // What the command says instead of running when chosen now; empty when it runs.
  std::string Refusal(ViewerCommand command) const;
  // A long command (a shrink) is being computed: the conflicting commands are disabled.
  bool Busy() const { return busy_; }
  void setBusy(bool busy) { busy_ = busy; }
  // Save is enabled after a change and as the last Save left it.
  void setSaveEnabled(bool enabled) { saveEnabled_ = enabled; }

  // The title after the last Add, Subtract, Compare or shrink (" + B.CHN", " - shrinked"), and
  // the whole title from the window's base caption (" - zoomed" while zoomed).
  const std::string& TitleSuffix() const { return titleSuffix_; }
  std::string Title(const std::string& caption) const;

  // Add, Subtract or Compare with the second spectrum `second` (read from the file `name`),
  // scaled by `factor`. Add and Subtract change the counts, switch Compare off and enable Save;
  // Compare keeps the scaled spectrum to draw over the counts.
  CombineResult Combine(Combination kind, std::vector<std::int32_t> second, double factor,
                        const std::string& name);

  // The shrink's computation alone, safe on any thread: the new counts of `counts` by two
  // channel adding (`resolution` nullptr) or by the Gaussian spreading. `progress(i)` after
  // each source entry; a set `stop` ends it early (kInterrupted).
  static ShrinkResult ComputeShrink(std::span<const std::int32_t> counts,
                                    const Resolution* resolution, std::vector<std::int32_t>& out,
                                    const std::function<void(int)>& progress = {},
                                    const std::atomic<bool>* stop = nullptr);
  // The shrunk counts take the place of the counts (`ChNum` div 2 channels): no region, Compare
  // off, the title " - shrinked", Save enabled.
  void ApplyShrink(std::vector<std::int32_t> shrunk);
  // Both at once (the command-line tool's shrink).
  ShrinkResult Shrink(const Resolution* resolution);

 private:
  std::vector<std::int32_t> counts_;
  std::vector<std::int32_t> second_;
  bool compareOn_ = false;
  std::string convText_;
  std::string offsetText_;
  float convFactor_ = 0;
  float convOffset_ = 0;
  std::vector<RegionOfInterest> regions_{RegionOfInterest()};
  std::size_t active_ = 0;
  std::vector<Span> further_;
  std::vector<Marker> markers_;
  ViewSettings settings_;
  bool busy_ = false;
  bool saveEnabled_ = false;
  std::string titleSuffix_;
};

}  // namespace durnix
