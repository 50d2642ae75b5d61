// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The viewer's plot: which channels are drawn (the window), the count at the top (the full
// scale), the mapping between channels and picture positions, the texts of the axis labels and
// the colours. Every data-to-picture mapping of the viewer lives here.
//
// Picture units are twips with the origin at the picture's top-left corner, y growing
// downwards; the plot area keeps a margin of 10 units on every side.

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace durnix {

// The "&Scale" menu: entries 1 to 34, "Auto", "10", ... "1000000", "Log".
inline constexpr int kScaleEntries = 34;
inline constexpr int kScaleAuto = 1;
inline constexpr int kScaleLog = 34;
extern const std::array<const char*, kScaleEntries> kScaleCaptions;

// The numeric value of entry `entry`'s caption ("Auto" and "Log" give 0).
std::int32_t ScaleEntryValue(int entry);
// `VScale` of an entry: 0 for "Auto", 1 for "Log", otherwise the caption's value.
std::int32_t VScaleOfEntry(int entry);

inline constexpr float kPlotMargin = 10;

// The plot geometry of a picture of the given inner size.
struct PlotArea {
  float PlotWidth = 0;   // inner width - 20
  float PlotHeight = 0;  // inner height - 20
  float PlotRight = 0;   // inner width - 10
  float PlotBottom = 0;  // inner height - 10
};
PlotArea PlotAreaOf(float innerWidth, float innerHeight);

// What the last drawing showed; the cursor and the region map with it.
struct PlotWindow {
  int FirstCh = 0;
  int LastCh = 0;
  int ShownRange = 0;
  std::int32_t FullScale = 5;  // a count, or a number of decades on the logarithmic scale
  bool zoomed = false;
  bool logarithmic = false;
};

// The channel window: the whole spectrum (FirstCh 0, LastCh chNum - 1, ShownRange chNum), or
// when zoomed the window from `lowLimit` (rounded, 0 when negative) over `rangeWidth` (rounded)
// channels, cut at the last channel. Roundings go halves to even. A low limit beyond the last
// channel (a shrunk spectrum) starts the window at the last channel; a negative width counts
// as 0 (the window is FirstCh alone, ShownRange 0: every channel maps to the left edge).
PlotWindow WindowOf(int chNum, bool zoomed, float lowLimit, float rangeWidth);

// Sets `window.FullScale` (and `logarithmic`) from `vScale` (0 Auto, 1 Log, else a fixed count)
// and the counts of channels FirstCh..LastCh (`counts[c]` is channel c). Auto: the largest
// count, at least 5. Log: d = log10 of the largest count; d >= 1 gives round(d + 1) raised to
// the next multiple of 5, otherwise 1 (also when every count is 0).
// Returns false, changing nothing, when Auto or Log finds a negative count in the window.
bool SetFullScale(PlotWindow& window, std::span<const std::int32_t> counts, std::int32_t vScale);

struct PlotPoint {
  float x = 0;
  float y = 0;
};

// Where channel `channel` (from 0) with count `count` is drawn.
PlotPoint ChannelToPoint(const PlotWindow& window, const PlotArea& area, int channel,
                         std::int32_t count);
// The channel under picture position x, clamped to FirstCh..LastCh.
int PointToChannel(const PlotWindow& window, const PlotArea& area, float x);

// Texts of the axis labels: lblX channels, lblE energies ("####" of channel x factor + offset,
// empty when it rounds to 0), lblY counts (linear: i x (FullScale div 5), the last FullScale;
// logarithmic: "10^ 0" ... with a blank after the caret, "10^ 0.2" for the fifths of a single
// decade). Index 0 is the left or bottom label.
struct AxisLabels {
  std::array<std::string, 6> lblX;
  std::array<std::string, 6> lblE;
  std::array<std::string, 6> lblY;
  std::array<int, 6> channels{};  // the channel of each lblX label
};
AxisLabels AxisLabelsOf(const PlotWindow& window, float convFactor, float convOffset);

// Colours are 24-bit values with red in the low byte.
// The picture's background for a dot colour (light grey for black, yellow for red, ...); a
// colour outside the seven of the menu gets the background of black.
std::int32_t BackColourOf(std::int32_t dotColour);
// The colour of a compared spectrum by the checked Dot Color entry (1 to 7; 0 none checked).
std::int32_t CompareColourOf(int checkedColourEntry);

// "FILE is overflowed !!", the message of a negative count on the Auto and Log scales.
std::string OverflowedMessage(const std::string& fileName);

}  // namespace durnix
