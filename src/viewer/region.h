// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The region of interest of a viewer: marked by dragging with the left mouse button or typed into
// the From and To fields, shown as vertical lines from the picture's bottom edge up to each
// channel's dot, with its gross and background-corrected net areas.
//
// The logic decides what is drawn and erased; the window performs the list of steps it returns.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "viewer/plot.h"

namespace durnix {

// One drawing step over channels from..to (inclusive, from <= to).
struct RegionStep {
  enum Kind {
    kFill,          // a line in the dot colour from the bottom edge up to the dot
    kEraseKeepDot,  // a line in the background colour up to 20 x DotRad below the dot
    kEraseFull,     // a line in the background colour up to the dot, then the dots again
    kRedrawAll,     // the whole plot is drawn again (from and to unused)
  };
  Kind kind = kFill;
  int from = 0;
  int to = 0;
  bool operator==(const RegionStep&) const = default;
};

// Areas of channels RoiFrom..RoiTo.
struct RegionAreas {
  std::int64_t gross = 0;  // the sum of the counts, whole
  float net = 0;           // the sum of count - background line, in single precision
  float left = 0;          // mean of RoiFrom - 2 .. RoiFrom + 2 (channels of the spectrum only)
  float right = 0;         // mean of RoiTo - 2 .. RoiTo + 2 (channels of the spectrum only)
};
// `counts[c]` is channel c; from < to, both within the counts (otherwise all areas are 0).
// The background line runs through (from, left) and (to, right); `net` sums count - line.
RegionAreas AreasOf(std::span<const std::int32_t> counts, int from, int to);

// The gross area as the window shows it ("1100"), the net area as a single ("-3.5").
std::string GrossText(const RegionAreas& areas);
std::string NetText(const RegionAreas& areas);

// What the window does after a region event.
struct RegionUpdate {
  std::vector<RegionStep> steps;
  bool hourglass = false;   // show the hourglass while performing the steps
  bool areasShown = false;  // a region was finished: show `areas` in lblGross1/lblNet1
  bool cleared = false;     // the region was cleared: lblGross1/lblNet1 back to normal, "0"
  RegionAreas areas;
  std::string fromText;  // new texts of txtFrom and txtTo; empty: unchanged
  std::string toText;
};

class RegionOfInterest {
 public:
  explicit RegionOfInterest(int chNum = 0) { reset(chNum); }
  // No region, nothing filled, for a spectrum of chNum channels (after opening or a shrink).
  void reset(int chNum);

  // Left button pressed at picture x over `channel`: a drag begins. txtFrom shows the channel.
  RegionUpdate press(float x, int channel);
  // The mouse moved to `channel` with the left button held: the fill follows it (nothing when
  // not dragging), with the hourglass when `channel` is 1000 or more from the start.
  RegionUpdate drag(int channel);
  // Left button released (without Shift) at x over `channel`: the region is finished, or there
  // is none when x is where the drag began or the channel is the start channel. Finishing
  // erases the fill outside the region (a set region is drawn anew instead); with no region,
  // the drag's fill is erased (or, while a region is set, everything is drawn anew), txtFrom
  // shows RoiFrom (region set) or "0", and the drag ends. Nothing happens when not dragging.
  RegionUpdate release(float x, int channel, std::span<const std::int32_t> counts);

  // txtFrom confirmed with channel v (already corrected into 0..chNum-1): a drag begins there.
  RegionUpdate startAt(int v);
  // txtTo confirmed with channel v: the region is finished at v (ends swapped when v is below
  // the start; both field texts are given); the fill covers only what the window `shown`
  // draws, with the hourglass when that is 1000 channels or more.
  RegionUpdate finishAt(int v, const PlotWindow& shown, std::span<const std::int32_t> counts);

  // Right click while a region is set.
  RegionUpdate clear();

  bool RoiSet() const { return roiSet_; }
  bool Dragging() const { return dragging_; }
  int RoiFrom() const { return roiFrom_; }
  int RoiTo() const { return roiTo_; }
  int RoiStartCh() const { return roiStartCh_; }
  float RoiStartX() const { return roiStartX_; }
  int FillLow() const { return fillLow_; }
  int FillHigh() const { return fillHigh_; }

 private:
  RegionUpdate noRegion();
  void endDrag();
  RegionUpdate finish(RegionUpdate update, std::span<const std::int32_t> counts);

  int chNum_ = 0;
  float roiStartX_ = 0;
  int roiStartCh_ = 0;
  int roiFrom_ = 0;
  int roiTo_ = 0;
  int fillLow_ = 0;
  int fillHigh_ = 0;
  bool dragFilled_ = false;  // the current drag has drawn fill lines
  bool dragging_ = false;
  bool roiSet_ = false;
};

// A channel typed into txtChannel, txtFrom or txtTo: the numeric-prefix value rounded (halves
// to even), below 0 becomes 0, chNum or more becomes chNum - 1.
int FieldChannel(const std::string& text, int chNum);

}  // namespace durnix
