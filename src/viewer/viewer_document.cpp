// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/viewer_document.h"

#include <algorithm>
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
  return std::any_of(regions_.begin(), regions_.end(),
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
