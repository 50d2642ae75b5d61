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

TEST(RegionAreas, GrossNetAndBackgroundAtTheEnds) {
  const std::vector<std::int32_t> flat(100, 100);
  RegionAreas a = AreasOf(flat, 10, 20);
  EXPECT_EQ(a.gross, 1100);
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
  EXPECT_EQ(AreasOf(big, 0, 2).gross, 6442450941);
  EXPECT_EQ(GrossText(AreasOf(big, 0, 2)), "6442450941");
}

TEST(RegionDrag, FillFollowsTheMouseAndReleaseTrimsIt) {
  const std::vector<std::int32_t> counts(100, 5);
  RegionOfInterest roi(100);
  RegionUpdate u = roi.press(300, 30);
  EXPECT_EQ(u.fromText, "30");
  EXPECT_TRUE(roi.Dragging());
  u = roi.drag(60);
  EXPECT_EQ(u.steps, (Steps{{kFill, 30, 60}}));
  EXPECT_EQ(u.toText, "60");
  EXPECT_FALSE(u.hourglass);
  u = roi.drag(40);
  EXPECT_EQ(u.steps, (Steps{{kKeep, 31, 60}, {kFill, 30, 40}}));
  EXPECT_EQ(roi.FillHigh(), 60);
  u = roi.release(400, 40, counts);
  EXPECT_EQ(u.steps, (Steps{{kFull, 41, 60}}));
  EXPECT_TRUE(u.areasShown);
  EXPECT_EQ(u.areas.gross, 55);
  EXPECT_EQ(u.fromText, "30");
  EXPECT_EQ(u.toText, "40");
  EXPECT_TRUE(roi.RoiSet());
  EXPECT_FALSE(roi.Dragging());
  EXPECT_EQ(roi.RoiFrom(), 30);
  EXPECT_EQ(roi.RoiTo(), 40);
  EXPECT_EQ(roi.FillLow(), 100);
  EXPECT_EQ(roi.FillHigh(), 0);

  // A leftward drag over a set region: the whole plot is drawn again at release.
  roi.press(500, 50);
  EXPECT_EQ(roi.drag(20).steps, (Steps{{kFill, 20, 50}}));
  EXPECT_EQ(roi.drag(30).steps, (Steps{{kKeep, 20, 49}, {kFill, 30, 50}}));
  u = roi.release(200, 30, counts);
  EXPECT_EQ(u.steps, (Steps{{kRedraw, 0, 0}}));
  EXPECT_EQ(roi.RoiFrom(), 30);
  EXPECT_EQ(roi.RoiTo(), 50);

  EXPECT_TRUE(roi.drag(70).steps.empty());  // no drag in progress
  EXPECT_FALSE(roi.release(100, 70, counts).areasShown);
}

TEST(RegionDrag, ReleaseOnTheStartLeavesNoRegion) {
  const std::vector<std::int32_t> counts(100, 5);
  RegionOfInterest roi(100);
  roi.press(300, 30);
  roi.drag(35);
  RegionUpdate u = roi.release(310, 30, counts);  // back on the start channel
  EXPECT_EQ(u.steps, (Steps{{kFull, 30, 35}}));
  EXPECT_EQ(u.fromText, "0");
  EXPECT_FALSE(u.areasShown);
  EXPECT_FALSE(roi.RoiSet());
  EXPECT_FALSE(roi.Dragging());
  EXPECT_EQ(roi.RoiStartCh(), 0);
  roi.press(300, 30);
  EXPECT_TRUE(roi.release(300, 31, counts).steps.empty());  // same x, nothing filled

  roi.press(100, 10);
  roi.release(200, 20, counts);
  roi.press(300, 30);
  roi.drag(25);
  u = roi.release(300, 30, counts);
  EXPECT_EQ(u.steps, (Steps{{kRedraw, 0, 0}}));  // the set region is drawn again
  EXPECT_EQ(u.fromText, "10");
  EXPECT_TRUE(roi.RoiSet());

  u = roi.clear();
  EXPECT_TRUE(u.cleared);
  EXPECT_EQ(u.steps, (Steps{{kRedraw, 0, 0}}));
  EXPECT_EQ(u.fromText, "0");
  EXPECT_EQ(u.toText, "0");
  EXPECT_FALSE(roi.RoiSet());
  EXPECT_EQ(roi.RoiTo(), 0);
}

TEST(RegionFields, TypedRegionAndHourglass) {
  const std::vector<std::int32_t> counts(5000, 1);
  RegionOfInterest roi(5000);
  roi.startAt(50);
  EXPECT_TRUE(roi.Dragging());
  RegionUpdate u = roi.finishAt(20, WindowOf(5000, false, 0, 0), counts);
  EXPECT_EQ(u.steps, (Steps{{kFill, 20, 50}}));
  EXPECT_EQ(u.fromText, "20");
  EXPECT_EQ(u.toText, "50");
  EXPECT_EQ(u.areas.gross, 31);
  EXPECT_EQ(roi.RoiFrom(), 20);
  EXPECT_EQ(roi.RoiTo(), 50);
  roi.clear();
  roi.startAt(10);  // only what the zoom window 30..40 shows is filled
  EXPECT_EQ(roi.finishAt(100, WindowOf(5000, true, 30, 10), counts).steps,
            (Steps{{kFill, 30, 40}}));
  roi.clear();
  roi.startAt(0);
  EXPECT_TRUE(roi.finishAt(999, WindowOf(5000, false, 0, 0), counts).hourglass);
  roi.clear();
  roi.startAt(0);
  EXPECT_FALSE(roi.finishAt(998, WindowOf(5000, false, 0, 0), counts).hourglass);
  roi.clear();
  roi.startAt(7);
  EXPECT_FALSE(roi.finishAt(7, WindowOf(5000, false, 0, 0), counts).areasShown);
  roi.press(0, 100);
  EXPECT_FALSE(roi.drag(1099).hourglass);
  EXPECT_TRUE(roi.drag(1100).hourglass);

  EXPECT_EQ(FieldChannel("12.5", 1024), 12);
  EXPECT_EQ(FieldChannel("13.5", 1024), 14);
  EXPECT_EQ(FieldChannel(" 7xyz", 1024), 7);
  EXPECT_EQ(FieldChannel("abc", 1024), 0);
  EXPECT_EQ(FieldChannel("-3", 1024), 0);
  EXPECT_EQ(FieldChannel("1023.7", 1024), 1023);
  EXPECT_EQ(FieldChannel("1e30", 1024), 1023);
}

}  // namespace
}  // namespace durnix
