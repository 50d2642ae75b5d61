// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/plot.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "convert/preferences.h"
#include "formats/text_rules.h"

namespace durnix {

const std::array<const char*, kScaleEntries> kScaleCaptions = {
    "Auto",  "10",     "20",     "30",     "40",     "50",      "100",   "200",   "300",
    "400",   "500",    "600",    "700",    "800",    "900",     "1000",  "2000",  "3000",
    "4000",  "5000",   "6000",   "7000",   "8000",   "9000",    "10000", "20000", "30000",
    "50000", "100000", "200000", "300000", "500000", "1000000", "Log"};

namespace {

// Rounds halves to even and keeps the result within lo..hi (NaN gives lo).
int roundClamped(double value, int lo, int hi) {
  if (!(value >= lo)) return lo;
  if (value >= hi) return hi;
  return static_cast<int>(std::nearbyint(value));
}

// "####": the value rounded to a whole number, no leading zeros, nothing for 0.
std::string wholeNumberText(float value) {
  const double rounded = std::nearbyint(static_cast<double>(value));
  if (rounded == 0 || !std::isfinite(rounded)) return {};
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed, 0);
  return std::string(buf, result.ptr);
}

// The number text of the logarithmic labels: a leading blank when not negative.
std::string exponentText(double value) {
  if (value == std::floor(value)) return NumberText(static_cast<long long>(value));
  const std::string digits = SingleText(static_cast<float>(value));
  return value < 0 ? digits : " " + digits;
}

}  // namespace

std::int32_t ScaleEntryValue(int entry) {
  if (entry <= kScaleAuto || entry >= kScaleLog) return 0;
  return static_cast<std::int32_t>(
      NumericPrefix(kScaleCaptions[static_cast<std::size_t>(entry - 1)]));
}

std::int32_t VScaleOfEntry(int entry) {
  return entry == kScaleLog ? 1 : ScaleEntryValue(entry);
}

PlotArea PlotAreaOf(float innerWidth, float innerHeight) {
  return {innerWidth - 2 * kPlotMargin, innerHeight - 2 * kPlotMargin, innerWidth - kPlotMargin,
          innerHeight - kPlotMargin};
}

PlotWindow WindowOf(int chNum, bool zoomed, float lowLimit, float rangeWidth) {
  PlotWindow w;
  w.zoomed = zoomed;
  const int lastChannel = std::max(chNum - 1, 0);
  if (!zoomed) {
    w.FirstCh = 0;
    w.LastCh = chNum - 1;
    w.ShownRange = chNum;
    return w;
  }
  // A low limit beyond the spectrum (after a shrink) shows its last channel; a negative width
  // shows the first channel alone.
  w.FirstCh = lowLimit >= 0 ? roundClamped(lowLimit, 0, lastChannel) : 0;
  w.ShownRange = roundClamped(rangeWidth, 0, lastChannel);
  w.LastCh = w.FirstCh + w.ShownRange;
  if (w.LastCh > lastChannel) {
    w.LastCh = lastChannel;
    w.ShownRange = w.LastCh - w.FirstCh;
  }
  return w;
}

bool SetFullScale(PlotWindow& window, std::span<const std::int32_t> counts, std::int32_t vScale) {
  if (vScale != 0 && vScale != 1) {
    window.FullScale = vScale;
    window.logarithmic = false;
    return true;
  }
  std::int32_t largest = 0;
  const int first = std::max(window.FirstCh, 0);
  const int last = std::min(window.LastCh, static_cast<int>(counts.size()) - 1);
  for (int c = first; c <= last; ++c) {
    const std::int32_t count = counts[static_cast<std::size_t>(c)];
    if (count < 0) return false;
    largest = std::max(largest, count);
  }
  if (vScale == 0) {
    window.FullScale = std::max<std::int32_t>(largest, 5);
    window.logarithmic = false;
    return true;
  }
  // log10 of 0 has no value: a window of zero counts gets one decade, like counts below 10.
  const double d = largest > 0 ? std::log10(static_cast<double>(largest)) : 0;
  std::int32_t decades = 1;
  if (d >= 1) {
    decades = static_cast<std::int32_t>(std::nearbyint(d + 1));
    decades = (decades + 4) / 5 * 5;
  }
  window.FullScale = decades;
  window.logarithmic = true;
  return true;
}

PlotPoint ChannelToPoint(const PlotWindow& window, const PlotArea& area, int channel,
                         std::int32_t count) {
  PlotPoint p;
  const int first = window.zoomed ? window.FirstCh : 0;
  const double along =
      window.ShownRange != 0 ? static_cast<double>(channel - first) / window.ShownRange : 0;
  p.x = static_cast<float>(kPlotMargin + along * area.PlotWidth);
  const double full = window.FullScale != 0 ? window.FullScale : 1;
  double height = 0;
  if (!window.logarithmic) {
    height = count / full;
  } else if (count >= 1) {
    height = std::log(static_cast<double>(count)) / full / std::log(10.0);
  }
  p.y = static_cast<float>(area.PlotBottom - height * area.PlotHeight);
  return p;
}

int PointToChannel(const PlotWindow& window, const PlotArea& area, float x) {
  double c = area.PlotWidth != 0
                 ? (static_cast<double>(x) - kPlotMargin) * window.ShownRange / area.PlotWidth
                 : 0;
  if (window.zoomed) c += window.FirstCh;
  if (c > window.LastCh) return window.LastCh;
  if (!(c >= window.FirstCh)) return window.FirstCh;
  return static_cast<int>(std::nearbyint(c));
}

AxisLabels AxisLabelsOf(const PlotWindow& window, float convFactor, float convOffset) {
  AxisLabels labels;
  const int first = window.zoomed ? window.FirstCh : 0;
  for (std::size_t i = 0; i < 5; ++i) {
    const double at = static_cast<double>(i) * window.ShownRange / 5 + first;
    labels.channels[i] = static_cast<int>(std::nearbyint(at));
  }
  labels.channels[5] = window.LastCh;
  for (std::size_t i = 0; i < 6; ++i) {
    labels.lblX[i] = std::to_string(labels.channels[i]);
    labels.lblE[i] =
        wholeNumberText(static_cast<float>(labels.channels[i]) * convFactor + convOffset);
  }
  if (window.logarithmic) {
    for (std::size_t i = 0; i < 5; ++i) {
      labels.lblY[i] = "10^" + exponentText(static_cast<double>(i) * window.FullScale / 5);
    }
    labels.lblY[5] = "10^" + NumberText(window.FullScale);
  } else {
    for (std::size_t i = 0; i < 5; ++i) {
      labels.lblY[i] = std::to_string(static_cast<long long>(i) * (window.FullScale / 5));
    }
    labels.lblY[5] = std::to_string(window.FullScale);
  }
  return labels;
}

std::int32_t BackColourOf(std::int32_t dotColour) {
  constexpr std::int32_t kLightGrey = 0xC0C0C0;
  constexpr std::int32_t kYellow = 0x00FFFF;
  constexpr std::int32_t kBlue = 0xFF0000;
  constexpr std::int32_t kOrange = 0x0080FF;  // RGB FF8000
  constexpr std::int32_t kWhite = 0xFFFFFF;
  constexpr std::array<std::int32_t, 7> kBackgrounds = {kLightGrey, kYellow, kBlue,  kBlue,
                                                        kOrange,    kWhite,  kOrange};
  for (std::size_t i = 0; i < kDotColourValues.size(); ++i) {
    if (kDotColourValues[i] == dotColour) return kBackgrounds[i];
  }
  return kLightGrey;
}

std::int32_t CompareColourOf(int checkedColourEntry) {
  constexpr std::array<std::int32_t, 7> kCompare = {0x0000FF, 0xFF0000, 0x00FFFF, 0x00FF00,
                                                    0xFF00FF, 0x000000, 0xFF00FF};
  if (checkedColourEntry < 1 || checkedColourEntry > 7) return 0x000000;
  return kCompare[static_cast<std::size_t>(checkedColourEntry - 1)];
}

std::string OverflowedMessage(const std::string& fileName) {
  return UpperAscii(fileName) + " is overflowed !!";
}

}  // namespace durnix
