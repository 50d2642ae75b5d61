// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/region.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "formats/text_rules.h"

namespace durnix {

namespace {

constexpr int kLongFill = 1000;

std::int32_t countOf(std::span<const std::int32_t> counts, int channel) {
  return counts[static_cast<std::size_t>(channel)];
}

void addStep(RegionUpdate& update, RegionStep::Kind kind, int from, int to) {
  if (from <= to) update.steps.push_back({kind, from, to});
}

// Mean of the counts of channels centre - 2 .. centre + 2 that lie in the spectrum.
float backgroundMean(std::span<const std::int32_t> counts, int centre) {
  const int size = static_cast<int>(counts.size());
  float sum = 0;
  int n = 0;
  for (int c = std::max(centre - 2, 0); c <= std::min(centre + 2, size - 1); ++c) {
    sum += static_cast<float>(countOf(counts, c));
    ++n;
  }
  return n > 0 ? sum / static_cast<float>(n) : 0.0f;
}

}  // namespace

RegionAreas AreasOf(std::span<const std::int32_t> counts, int from, int to) {
  RegionAreas areas;
  const int size = static_cast<int>(counts.size());
  from = std::max(from, 0);
  to = std::min(to, size - 1);
  if (from >= to) return areas;
  areas.left = backgroundMean(counts, from);
  areas.right = backgroundMean(counts, to);
  const float slope = (areas.right - areas.left) / static_cast<float>(to - from);
  const float intercept = areas.right - static_cast<float>(to) * slope;
  for (int c = from; c <= to; ++c) {
    const std::int32_t count = countOf(counts, c);
    areas.gross += count;
    areas.net += static_cast<float>(count) - static_cast<float>(c) * slope - intercept;
  }
  return areas;
}

std::string GrossText(const RegionAreas& areas) {
  return std::to_string(areas.gross);
}

std::string NetText(const RegionAreas& areas) {
  return SingleText(areas.net == 0 ? 0.0f : areas.net);  // no "-0"
}

void RegionOfInterest::reset(int chNum) {
  chNum_ = chNum;
  roiStartX_ = 0;
  roiStartCh_ = 0;
  roiFrom_ = 0;
  roiTo_ = 0;
  fillLow_ = chNum;
  fillHigh_ = 0;
  dragFilled_ = false;
  dragging_ = false;
  roiSet_ = false;
}

RegionUpdate RegionOfInterest::press(float x, int channel) {
  roiStartX_ = x;
  roiStartCh_ = channel;
  dragging_ = true;
  RegionUpdate update;
  update.fromText = std::to_string(channel);
  return update;
}

RegionUpdate RegionOfInterest::drag(int channel) {
  RegionUpdate update;
  if (!dragging_) return update;
  update.hourglass = std::abs(channel - roiStartCh_) >= kLongFill;
  if (channel >= roiStartCh_) {
    if (channel >= fillHigh_) {
      fillHigh_ = channel;
    } else {
      addStep(update, RegionStep::kEraseKeepDot, roiStartCh_ + 1, fillHigh_);
    }
    addStep(update, RegionStep::kFill, roiStartCh_, channel);
  } else {
    if (channel <= fillLow_) {
      fillLow_ = channel;
    } else {
      addStep(update, RegionStep::kEraseKeepDot, fillLow_, roiStartCh_ - 1);
    }
    addStep(update, RegionStep::kFill, channel, roiStartCh_);
  }
  dragFilled_ = true;
  update.toText = std::to_string(channel);
  return update;
}

RegionUpdate RegionOfInterest::release(float x, int channel, std::span<const std::int32_t> counts) {
  if (!dragging_) return {};
  if (x == roiStartX_ || channel == roiStartCh_) return noRegion();
  roiFrom_ = std::min(roiStartCh_, channel);
  roiTo_ = std::max(roiStartCh_, channel);
  RegionUpdate update;
  if (roiSet_) {
    update.steps.push_back({RegionStep::kRedrawAll, 0, 0});
  } else {
    if (roiFrom_ > fillLow_) addStep(update, RegionStep::kEraseFull, fillLow_, roiFrom_ - 1);
    if (roiTo_ < fillHigh_) addStep(update, RegionStep::kEraseFull, roiTo_ + 1, fillHigh_);
  }
  return finish(std::move(update), counts);
}

RegionUpdate RegionOfInterest::startAt(int v) {
  return press(0, v);
}

RegionUpdate RegionOfInterest::finishAt(int v, const PlotWindow& shown,
                                        std::span<const std::int32_t> counts) {
  if (v == roiStartCh_) return noRegion();
  roiFrom_ = std::min(roiStartCh_, v);
  roiTo_ = std::max(roiStartCh_, v);
  roiStartCh_ = roiFrom_;
  RegionUpdate update;
  if (roiSet_) {
    update.steps.push_back({RegionStep::kRedrawAll, 0, 0});
  } else {
    const int from = std::max(roiFrom_, shown.FirstCh);
    const int to = std::min(roiTo_, shown.LastCh);
    addStep(update, RegionStep::kFill, from, to);
    update.hourglass = to - from + 1 >= kLongFill;
  }
  return finish(std::move(update), counts);
}

RegionUpdate RegionOfInterest::finish(RegionUpdate update, std::span<const std::int32_t> counts) {
  update.fromText = std::to_string(roiFrom_);
  update.toText = std::to_string(roiTo_);
  update.areas = AreasOf(counts, roiFrom_, roiTo_);
  update.areasShown = true;
  roiSet_ = true;
  endDrag();
  return update;
}

// No drag in progress and nothing filled by one.
void RegionOfInterest::endDrag() {
  dragging_ = false;
  roiStartX_ = 0;
  roiStartCh_ = 0;
  fillLow_ = chNum_;
  fillHigh_ = 0;
  dragFilled_ = false;
}

RegionUpdate RegionOfInterest::noRegion() {
  RegionUpdate update;
  // What the drag filled goes again; a region that is set is drawn anew instead.
  if (dragFilled_) {
    if (roiSet_) {
      update.steps.push_back({RegionStep::kRedrawAll, 0, 0});
    } else {
      addStep(update, RegionStep::kEraseFull, std::max(std::min(fillLow_, roiStartCh_), 0),
              std::min(std::max(fillHigh_, roiStartCh_), chNum_ - 1));
    }
  }
  update.fromText = roiSet_ ? std::to_string(roiFrom_) : "0";
  endDrag();
  return update;
}

RegionUpdate RegionOfInterest::clear() {
  RegionUpdate update;
  roiSet_ = false;
  roiFrom_ = 0;
  roiTo_ = 0;
  update.cleared = true;
  update.fromText = "0";
  update.toText = "0";
  update.steps.push_back({RegionStep::kRedrawAll, 0, 0});
  return update;
}

int FieldChannel(const std::string& text, int chNum) {
  const double value = std::nearbyint(NumericPrefix(text));
  if (!(value > 0) || chNum <= 0) return 0;
  if (value >= chNum) return chNum - 1;
  return static_cast<int>(value);
}

}  // namespace durnix
