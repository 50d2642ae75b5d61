// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/view_settings.h"

#include <gtest/gtest.h>

namespace durnix {
namespace {

constexpr auto kUp = ViewKey::kUp;
constexpr auto kDown = ViewKey::kDown;
constexpr auto kLeft = ViewKey::kLeft;
constexpr auto kRight = ViewKey::kRight;

// Zoomed settings with low limit entry `low` and range entry `range`.
ViewSettings zoomed(int low, int range, float lowLimit, float rangeWidth) {
  return {.lowEntry = low,
          .rangeEntry = range,
          .zoomed = true,
          .LowLimit = lowLimit,
          .RangeWidth = rangeWidth};
}

// A key in zoom mode (Scroll Lock off) on 1024 channels.
KeyEffect key(ViewSettings& s, ViewKey k, bool shift = false, int chNum = 1024) {
  return PressKey(s, k, shift, shift, false, chNum, 5);
}

TEST(ViewSettingsMenus, StartScaleLowLimitRangeAndZoom) {
  // "1000" is not below 512 channels: "0" instead.
  EXPECT_EQ(StartSettings(512, 12, 17),
            (ViewSettings{.lowEntry = 1, .rangeEntry = 17, .LowLimit = 0, .RangeWidth = 1500}));
  ViewSettings s = StartSettings(1024, 12, 1);
  EXPECT_EQ(s, (ViewSettings{.lowEntry = 12, .rangeEntry = 1, .LowLimit = 1000, .RangeWidth = 10}));

  ChooseScale(s, 34);
  EXPECT_EQ(s.VScale, 1);
  ChooseScale(s, 16);
  EXPECT_EQ(s.scaleEntry, 16);
  EXPECT_EQ(s.VScale, 1000);

  const ViewSettings before = s;
  EXPECT_FALSE(ChooseLowLimit(s, 12, 1000, 0));
  EXPECT_EQ(s, before);
  EXPECT_TRUE(ChooseLowLimit(s, 19, 1000, 37));
  EXPECT_EQ(s.lowEntry, 19);
  EXPECT_EQ(s.LowLimit, 37);
  ChooseRange(s, 19, 37);  // width 0 becomes 500
  EXPECT_EQ(s.rangeEntry, 19);
  EXPECT_EQ(s.RangeWidth, 500);
  ChooseRange(s, 19, 77);
  EXPECT_EQ(s.RangeWidth, 40);
  ChooseRange(s, 6, 0);
  EXPECT_EQ(s.RangeWidth, 70);

  ToggleZoom(s);
  EXPECT_TRUE(s.zoomed);

  s = ViewSettings{};
  ZoomToRegion(s, 120, 180);
  EXPECT_EQ(s, (ViewSettings{.lowEntry = 19,
                             .rangeEntry = 19,
                             .userDefineEnabled = true,
                             .zoomed = true,
                             .LowLimit = 120,
                             .RangeWidth = 60}));
}

TEST(ViewSettingsKeys, UpAndDownWalkTheScaleTable) {
  EXPECT_EQ(ScaleEntryForUp(1234), 16);    // "1000"
  EXPECT_EQ(ScaleEntryForDown(1234), 17);  // "2000"
  EXPECT_EQ(ScaleEntryForUp(1000), 15);    // "900"
  EXPECT_EQ(ScaleEntryForDown(1000), 17);
  EXPECT_EQ(ScaleEntryForUp(11), 2);
  EXPECT_EQ(ScaleEntryForUp(10), 34);
  EXPECT_EQ(ScaleEntryForDown(5), 34);
  EXPECT_EQ(ScaleEntryForDown(10), 3);
  EXPECT_EQ(ScaleEntryForUp(1000000), 32);
  EXPECT_EQ(ScaleEntryForUp(1000001), 34);
  EXPECT_EQ(ScaleEntryForDown(999999), 33);
  EXPECT_EQ(ScaleEntryForDown(1000000), 34);

  ViewSettings s;
  EXPECT_EQ(PressKey(s, kUp, false, false, false, 1024, 1234), KeyEffect::kRedraw);
  EXPECT_EQ(s.VScale, 1000);
  ChooseScale(s, 34);
  EXPECT_EQ(PressKey(s, kDown, false, false, false, 1024, 10), KeyEffect::kRedraw);
  EXPECT_EQ(s.scaleEntry, 1);
  EXPECT_EQ(s.VScale, 0);
}

TEST(ViewSettingsKeys, EscapeAndArrowsWhenNotZoomedAndPanning) {
  ViewSettings s;
  EXPECT_EQ(key(s, ViewKey::kEscape), KeyEffect::kNothing);
  EXPECT_EQ(key(s, kLeft), KeyEffect::kNothing);
  EXPECT_EQ(PressKey(s, kLeft, false, false, true, 1024, 5), KeyEffect::kZoomCommand);

  s = zoomed(3, 11, 100, 500);  // step 50
  EXPECT_EQ(PressKey(s, kRight, false, false, true, 1024, 5), KeyEffect::kRedraw);
  EXPECT_EQ(s, zoomed(19, 11, 150, 500));
  PressKey(s, kLeft, true, false, true, 1024, 5);  // Ctrl steps one channel
  EXPECT_EQ(s.LowLimit, 149);
  s.LowLimit = 523;  // 500 + 523 + 1 reaches 1024
  EXPECT_EQ(PressKey(s, kRight, false, false, true, 1024, 5), KeyEffect::kNothing);
  s.LowLimit = 0;
  EXPECT_EQ(PressKey(s, kLeft, false, false, true, 1024, 5), KeyEffect::kNothing);
  s = zoomed(19, 19, 100, 25);  // step 2.5 rounds to 2
  PressKey(s, kRight, false, false, true, 1024, 5);
  EXPECT_EQ(s.LowLimit, 102);
}

TEST(ViewSettingsKeys, NarrowerAndWider) {
  ViewSettings s = zoomed(1, 1, 0, 10);
  EXPECT_EQ(key(s, kRight), KeyEffect::kNothing);
  EXPECT_EQ(s, zoomed(1, 1, 0, 10));
  EXPECT_EQ(key(s, kRight, true), KeyEffect::kRedraw);
  EXPECT_EQ(s, zoomed(19, 19, 0, 10));
  s = zoomed(1, 11, 0, 500);
  key(s, kRight);
  EXPECT_EQ(s, zoomed(1, 10, 0, 400));
  s = zoomed(19, 19, 100, 300);  // a third narrower, a sixth further right
  key(s, kRight);
  EXPECT_EQ(s, zoomed(19, 19, 150, 200));
  s = zoomed(19, 19, 1000, 300);  // 50 + 1000 passes channel 1023: the low limit stays
  key(s, kRight);
  EXPECT_EQ(s, zoomed(19, 19, 1000, 200));

  s = zoomed(1, 11, 0, 500);
  EXPECT_EQ(key(s, kLeft), KeyEffect::kRedraw);
  EXPECT_EQ(s, zoomed(1, 12, 0, 600));
  s = zoomed(1, 11, 600, 500);  // 500 + 600 reaches 1024
  EXPECT_EQ(key(s, kLeft), KeyEffect::kNothing);
  s = zoomed(12, 18, 1000, 2000);  // the last predefined range goes on as "User define"
  key(s, kLeft, false, 8192);
  EXPECT_EQ(s, zoomed(0, 19, 500, 3000));
  s = zoomed(19, 11, 0, 800);  // Shift; 800 passes channel 511: the width stays
  key(s, kLeft, true, 512);
  EXPECT_EQ(s, zoomed(19, 19, 0, 800));
}

}  // namespace
}  // namespace durnix
