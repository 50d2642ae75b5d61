// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/viewer_document.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "formats/detection.h"
#include "formats/text_rules.h"
#include "viewer/arithmetic.h"
#include "viewer/view_command.h"

namespace durnix {

FileResult ReadViewedSpectrum(FileSystem& files, const FormatInfo* chosen, SpectrumRecord& record,
                              const FormatInfo*& format, Bytes& buffer) {
  FileResult status;
  if (chosen != nullptr && chosen->code != FMT_AUTO) {
    format = chosen;
    status = ReadFormat(files, *chosen, record, buffer);
  } else {
    std::string detected;
    status = DetectAndRead(files, record, detected, buffer);
    format = status == kDone ? FindFormatByDisplayName(detected) : nullptr;
  }
  if (status == kDone && format != nullptr &&
      (format->code == FMT_SPT || format->code == FMT_SPM)) {
    KeepLow24Bits(record.Counts);
  }
  return status;
}

ViewerDocument::ViewerDocument(std::vector<std::int32_t> counts, int defLow, int defRan,
                               std::string convText, std::string offsetText)
    : counts_(std::move(counts)) {
  settings_ = StartSettings(ChNum(), defLow, defRan);
  regions_.front().reset(ChNum());
  setCalibration(std::move(convText), std::move(offsetText));
}

ViewerDocument ViewerDocument::OfRecord(const SpectrumRecord& record, int defLow, int defRan) {
  return ViewerDocument(record.Counts, defLow, defRan, GainFieldText(record.CalGain),
                        OffsetFieldText(record.CalOffset));
}

void ViewerDocument::setCalibration(std::string convText, std::string offsetText) {
  convText_ = std::move(convText);
  offsetText_ = std::move(offsetText);
  convFactor_ = static_cast<float>(NumericPrefix(convText_));
  convOffset_ = static_cast<float>(NumericPrefix(offsetText_));
}

bool ViewerDocument::AnyRegionSet() const {
  return !further_.empty() ||
         std::any_of(regions_.begin(), regions_.end(),
                     [](const RegionOfInterest& region) { return region.RoiSet(); });
}

std::string ViewerDocument::RegionEndsRefusal(int from, int to) {
  if (from != to) return {};
  return "The region needs two different channels (both ends are " + std::to_string(from) + ").";
}

bool ViewerDocument::MarkRegion(int& from, int& to, RegionAreas& areas, std::string& refusal,
                                const std::string& fileName) {
  if (from > to) std::swap(from, to);
  refusal = RegionEndsRefusal(from, to);
  if (!refusal.empty()) return false;
  if (from < 0 || to > ChNum() - 1) {
    refusal = "Channels " + std::to_string(from) + " to " + std::to_string(to) +
              " are not all within 0 to " + std::to_string(ChNum() - 1) + " of " + fileName + ".";
    return false;
  }
  PlotWindow window;
  if (!Frame(window)) window = WindowOf(ChNum(), false, 0, 0);
  RegionOfInterest& region = activeRegion();
  region.startAt(from);
  areas = region.finishAt(to, window, counts_).areas;
  return true;
}

namespace {

std::string spanRefusal(int from, int to, int chNum) {
  if (from == to) return ViewerDocument::RegionEndsRefusal(from, to);
  if (from < 0 || to > chNum - 1) {
    return "Channels " + std::to_string(from) + " to " + std::to_string(to) +
           " are not all within 0 to " + std::to_string(chNum - 1) + ".";
  }
  return {};
}

}  // namespace

bool ViewerDocument::AddRegion(int from, int to, std::string& refusal) {
  if (from > to) std::swap(from, to);
  refusal = spanRefusal(from, to, ChNum());
  const int held = static_cast<int>(further_.size()) + (activeRegion().RoiSet() ? 1 : 0);
  if (refusal.empty() && held >= kMaxRegions) {
    refusal = "A viewer holds at most " + std::to_string(kMaxRegions) +
              " regions: delete one in the regions' table first.";
  }
  if (!refusal.empty()) return false;
  further_.push_back({from, to});
  return true;
}

bool ViewerDocument::SetRegion(std::size_t index, int from, int to, std::string& refusal) {
  if (from > to) std::swap(from, to);
  refusal = index < further_.size() ? spanRefusal(from, to, ChNum()) : "No such region.";
  if (!refusal.empty()) return false;
  further_[index] = {from, to};
  return true;
}

void ViewerDocument::RemoveRegion(std::size_t index) {
  if (index < further_.size()) further_.erase(further_.begin() + static_cast<long>(index));
}

std::vector<RegionFigures> ViewerDocument::RegionTable() const {
  std::vector<RegionFigures> table;
  if (activeRegion().RoiSet()) {
    table.push_back(FiguresOf(counts_, activeRegion().RoiFrom(), activeRegion().RoiTo()));
  }
  for (const Span& span : further_) table.push_back(FiguresOf(counts_, span.from, span.to));
  return table;
}

std::optional<double> ViewerDocument::EnergyAt(double channel) const {
  if (!Calibrated()) return std::nullopt;
  return channel * static_cast<double>(convFactor_) + static_cast<double>(convOffset_);
}

std::optional<double> ViewerDocument::EnergyWidth(double channels) const {
  if (!Calibrated()) return std::nullopt;
  return channels * std::abs(static_cast<double>(convFactor_));
}

bool ViewerDocument::SetMarkers(Marker::Kind kind, std::vector<Marker> markers,
                                std::string& refusal) {
  refusal = Calibrated() || markers.empty() ? std::string() : kNoCalibrationRefusal;
  if (!refusal.empty()) return false;
  std::erase_if(markers_, [kind](const Marker& marker) { return marker.kind == kind; });
  for (Marker& marker : markers) {
    marker.kind = kind;
    markers_.push_back(std::move(marker));
  }
  return true;
}

std::optional<double> ViewerDocument::MarkerChannel(const Marker& marker) const {
  return ChannelOfEnergy(marker.keV, convFactor_, convOffset_);
}

bool ViewerDocument::Frame(PlotWindow& window) const {
  window = WindowOf(ChNum(), settings_.zoomed, settings_.LowLimit, settings_.RangeWidth);
  return SetFullScale(window, counts_, settings_.VScale);
}

bool ViewerDocument::Enabled(ViewerCommand command) const {
  if (busy_) return false;
  switch (command) {
    case ViewerCommand::kSave:
      return saveEnabled_;
    case ViewerCommand::kCopy:
      return activeRegion().RoiSet();
    default:
      return true;
  }
}

std::string ViewerDocument::Refusal(ViewerCommand command) const {
  if (command != ViewerCommand::kShrink) return {};
  if (settings_.zoomed) return kUnzoomFirst;
  if (AnyRegionSet()) return kEraseRoiFirst;
  return {};
}

std::string ViewerDocument::Title(const std::string& caption) const {
  std::string title = caption + titleSuffix_;
  if (settings_.zoomed) title += " - zoomed";
  return title;
}

CombineResult ViewerDocument::Combine(Combination kind, std::vector<std::int32_t> second,
                                      double factor, const std::string& name) {
  if (kind == Combination::kCompare) {
    if (!ScaleCompared(second, factor)) return CombineResult::kOverflow;
    second_ = std::move(second);
    compareOn_ = true;
    titleSuffix_ = " & " + name;
    return CombineResult::kCombined;
  }
  if (second.empty()) return CombineResult::kEmpty;
  const bool fits = kind == Combination::kAdd ? AddSpectrum(counts_, second, factor)
                                              : SubtractSpectrum(counts_, second, factor);
  if (!fits) return CombineResult::kOverflow;
  second_ = std::move(second);
  compareOn_ = false;
  titleSuffix_ = (kind == Combination::kAdd ? " + " : " - ") + name;
  saveEnabled_ = true;
  return CombineResult::kCombined;
}

ShrinkResult ViewerDocument::ComputeShrink(std::span<const std::int32_t> counts,
                                           const Resolution* resolution,
                                           std::vector<std::int32_t>& out,
                                           const std::function<void(int)>& progress,
                                           const std::atomic<bool>* stop) {
  if (resolution == nullptr) return TwoChannelAdding(counts, out);
  return GaussianShrink(counts, *resolution, out, progress, stop);
}

void ViewerDocument::ApplyShrink(std::vector<std::int32_t> shrunk) {
  shrunk.resize(static_cast<std::size_t>(ShrunkChannels(ChNum())));
  counts_ = std::move(shrunk);
  for (RegionOfInterest& region : regions_) region.reset(ChNum());
  further_.clear();
  compareOn_ = false;
  titleSuffix_ = " - shrinked";
  saveEnabled_ = true;
}

ShrinkResult ViewerDocument::Shrink(const Resolution* resolution) {
  std::vector<std::int32_t> shrunk;
  const ShrinkResult result = ComputeShrink(counts_, resolution, shrunk);
  if (result == ShrinkResult::kShrunk) ApplyShrink(std::move(shrunk));
  return result;
}

}  // namespace durnix
