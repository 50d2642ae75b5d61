// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/region.h"

#include <gtest/gtest.h>

#include <vector>

namespace durnix {
namespace {

using Steps = std::vector<RegionStep>;
constexpr auto kFill = RegionStep::kFill;
constexpr auto kKeep = RegionStep::kEraseKeepDot;
constexpr auto kFull = RegionStep::kEraseFull;
constexpr auto kRedraw = RegionStep::kRedrawAll;

// What the From and To fields show after an update, then the gross area when the areas are
// shown and the hourglass or clearing when asked for.
std::string Shown(const RegionUpdate& u) {
  std::string shown = u.fromText + ".." + u.toText;
  if (u.areasShown) shown += " gross " + std::to_string(u.areas.gross);
  if (u.hourglass) shown += " hourglass";
  if (u.cleared) shown += " cleared";
  return shown;
}

// The region held ("set" or "none" and its ends), and whether a drag is going on.
std::string Held(const RegionOfInterest& roi) {
  return std::string(roi.RoiSet() ? "set " : "none ") + std::to_string(roi.RoiFrom()) + ".." +
         std::to_string(roi.RoiTo()) + (roi.Dragging() ? " dragging" : "");
}

TEST(RegionAreas, GrossNetBackgroundAndTypedRegions) {
  const std::vector<std::int32_t> flat(100, 100);
  RegionAreas a = AreasOf(flat, 10, 20);
  EXPECT_EQ(GrossText(a), "1100");
  EXPECT_EQ(NetText(a), "0");
  // Counts 4c on 10 channels, region 1..9: left mean of channels 0..3 is 6, right mean of
  // channels 7..9 is 32; line 3.25 c + 2.75, net = sum of 0.75 c - 2.75 = 9.
  std::vector<std::int32_t> ramp(10);
  for (int c = 0; c < 10; ++c) ramp[static_cast<std::size_t>(c)] = 4 * c;
  a = AreasOf(ramp, 1, 9);
  EXPECT_FLOAT_EQ(a.left, 6);
  EXPECT_FLOAT_EQ(a.right, 32);
  EXPECT_EQ(a.gross, 180);
  EXPECT_FLOAT_EQ(a.net, 9);
  EXPECT_EQ(NetText(a), "9");
  // The gross sum does not overflow 32 bits.
  const std::vector<std::int32_t> big(3, 2147483647);
  EXPECT_EQ(GrossText(AreasOf(big, 0, 2)), "6442450941");

  // A region typed in the fields, and the hourglass for long fills.
  const std::vector<std::int32_t> counts(5000, 1);
  RegionOfInterest roi(5000);
  const PlotWindow whole = WindowOf(5000, false, 0, 0);
  const auto typed = [&](int from, int to, const PlotWindow& window) {
    roi.clear();
    roi.startAt(from);
    return roi.finishAt(to, window, counts);
  };
  const RegionUpdate u = typed(50, 20, whole);
  EXPECT_EQ(u.steps, (Steps{{kFill, 20, 50}}));
  EXPECT_EQ(Shown(u), "20..50 gross 31");
  EXPECT_EQ(Held(roi), "set 20..50");
  // Only what the zoom window 30..40 shows is filled.
  EXPECT_EQ(typed(10, 100, WindowOf(5000, true, 30, 10)).steps, (Steps{{kFill, 30, 40}}));
  EXPECT_TRUE(typed(0, 999, whole).hourglass);
  EXPECT_FALSE(typed(0, 998, whole).hourglass);
  EXPECT_FALSE(typed(7, 7, whole).areasShown);
  roi.press(0, 100);
  EXPECT_FALSE(roi.drag(1099).hourglass);
  EXPECT_TRUE(roi.drag(1100).hourglass);

  const std::pair<const char*, int> fields[] = {{"12.5", 12},  {"13.5", 14}, {" 7xyz", 7},
                                                {"abc", 0},    {"-3", 0},    {"1023.7", 1023},
                                                {"1e30", 1023}};
  for (const auto& [text, channel] : fields) EXPECT_EQ(FieldChannel(text, 1024), channel) << text;
}

TEST(RegionDrag, FillFollowsTheMouseAndReleaseTrimsItOrLeavesNoRegion) {
  const std::vector<std::int32_t> counts(100, 5);
  RegionOfInterest roi(100);
  EXPECT_EQ(Shown(roi.press(300, 30)), "30..");
  EXPECT_EQ(Held(roi), "none 0..0 dragging");
  RegionUpdate u = roi.drag(60);
  EXPECT_EQ(u.steps, (Steps{{kFill, 30, 60}}));
  EXPECT_EQ(Shown(u), "..60");
  u = roi.drag(40);
  EXPECT_EQ(u.steps, (Steps{{kKeep, 31, 60}, {kFill, 30, 40}}));
  EXPECT_EQ(roi.FillHigh(), 60);
  u = roi.release(400, 40, counts);
  EXPECT_EQ(u.steps, (Steps{{kFull, 41, 60}}));
  EXPECT_EQ(Shown(u), "30..40 gross 55");
  EXPECT_EQ(Held(roi), "set 30..40");
  EXPECT_EQ(std::pair(roi.FillLow(), roi.FillHigh()), std::pair(100, 0));  // nothing filled

  // A leftward drag over a set region: the whole plot is drawn again at release.
  roi.press(500, 50);
  EXPECT_EQ(roi.drag(20).steps, (Steps{{kFill, 20, 50}}));
  EXPECT_EQ(roi.drag(30).steps, (Steps{{kKeep, 20, 49}, {kFill, 30, 50}}));
  EXPECT_EQ(roi.release(200, 30, counts).steps, (Steps{{kRedraw, 0, 0}}));
  EXPECT_EQ(Held(roi), "set 30..50");

  EXPECT_TRUE(roi.drag(70).steps.empty());  // no drag in progress
  EXPECT_FALSE(roi.release(100, 70, counts).areasShown);

  // A release back on the start channel leaves no region.
  roi = RegionOfInterest(100);
  roi.press(300, 30);
  roi.drag(35);
  u = roi.release(310, 30, counts);
  EXPECT_EQ(u.steps, (Steps{{kFull, 30, 35}}));
  EXPECT_EQ(Shown(u), "0..");
  EXPECT_EQ(Held(roi), "none 0..0");
  EXPECT_EQ(roi.RoiStartCh(), 0);
  roi.press(300, 30);
  EXPECT_TRUE(roi.release(300, 31, counts).steps.empty());  // same x, nothing filled

  roi.press(100, 10);
  roi.release(200, 20, counts);
  roi.press(300, 30);
  roi.drag(25);
  u = roi.release(300, 30, counts);
  EXPECT_EQ(u.steps, (Steps{{kRedraw, 0, 0}}));  // the set region is drawn again
  EXPECT_EQ(Shown(u), "10..");
  EXPECT_EQ(Held(roi), "set 10..20");

  u = roi.clear();
  EXPECT_EQ(u.steps, (Steps{{kRedraw, 0, 0}}));
  EXPECT_EQ(Shown(u), "0..0 cleared");
  EXPECT_EQ(Held(roi), "none 0..0");
}

}  // namespace
}  // namespace durnix
