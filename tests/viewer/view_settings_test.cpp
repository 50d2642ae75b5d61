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

// The settings after that key.
ViewSettings after(ViewSettings s, ViewKey k, bool shift = false, int chNum = 1024) {
  key(s, k, shift, chNum);
  return s;
}

TEST(ViewSettings, MenusAndKeys) {
  // "1000" is not below 512 channels: "0" instead.
  EXPECT_EQ(StartSettings(512, 12, 17),
            (ViewSettings{.lowEntry = 1, .rangeEntry = 17, .LowLimit = 0, .RangeWidth = 1500}));
  ViewSettings s = StartSettings(1024, 12, 1);
  EXPECT_EQ(s, (ViewSettings{.lowEntry = 12, .rangeEntry = 1, .LowLimit = 1000, .RangeWidth = 10}));

  ChooseScale(s, 34);
  EXPECT_EQ(s.VScale, 1);
  ChooseScale(s, 16);
  EXPECT_EQ(std::pair(s.scaleEntry, s.VScale), std::pair(16, 1000));

  const ViewSettings before = s;
  EXPECT_FALSE(ChooseLowLimit(s, 12, 1000, 0));
  EXPECT_EQ(s, before);
  EXPECT_TRUE(ChooseLowLimit(s, 19, 1000, 37));
  EXPECT_EQ(std::pair(s.lowEntry, s.LowLimit), std::pair(19, 37.0f));
  ChooseRange(s, 19, 37);  // width 0 becomes 500
  EXPECT_EQ(std::pair(s.rangeEntry, s.RangeWidth), std::pair(19, 500.0f));
  ChooseRange(s, 19, 77);
  EXPECT_EQ(s.RangeWidth, 40);
  ChooseRange(s, 6, 0);
  EXPECT_EQ(s.RangeWidth, 70);
  s = ViewSettings{};
  ZoomToRegion(s, 120, 180);
  EXPECT_EQ(s, (ViewSettings{.lowEntry = 19,
                             .rangeEntry = 19,
                             .userDefineEnabled = true,
                             .zoomed = true,
                             .LowLimit = 120,
                             .RangeWidth = 60}));

  // Up and Down walk the scale table: 1234 lies between "1000" (entry 16) and "2000"; beyond
  // "10" and "1000000" comes "Log".
  const std::pair<std::int32_t, int> ups[] = {{1234, 16}, {1000, 15},    {11, 2},
                                              {10, 34},   {1000000, 32}, {1000001, 34}};
  for (const auto& [full, entry] : ups) EXPECT_EQ(ScaleEntryForUp(full), entry) << full;
  const std::pair<std::int32_t, int> downs[] = {{1234, 17}, {1000, 17},   {5, 34},
                                                {10, 3},    {999999, 33}, {1000000, 34}};
  for (const auto& [full, entry] : downs) EXPECT_EQ(ScaleEntryForDown(full), entry) << full;

  ViewSettings keyed;
  EXPECT_EQ(PressKey(keyed, kUp, false, false, false, 1024, 1234), KeyEffect::kRedraw);
  EXPECT_EQ(keyed.VScale, 1000);
  ChooseScale(keyed, 34);
  EXPECT_EQ(PressKey(keyed, kDown, false, false, false, 1024, 10), KeyEffect::kRedraw);
  EXPECT_EQ(std::pair(keyed.scaleEntry, keyed.VScale), std::pair(1, 0));

  // Escape and the arrows when not zoomed, panning, narrower and wider.
  ViewSettings keys;
  EXPECT_EQ(key(keys, ViewKey::kEscape), KeyEffect::kNothing);
  EXPECT_EQ(key(keys, kLeft), KeyEffect::kNothing);
  EXPECT_EQ(PressKey(keys, kLeft, false, false, true, 1024, 5), KeyEffect::kZoomCommand);

  keys = zoomed(3, 11, 100, 500);  // step 50
  EXPECT_EQ(PressKey(keys, kRight, false, false, true, 1024, 5), KeyEffect::kRedraw);
  EXPECT_EQ(keys, zoomed(19, 11, 150, 500));
  PressKey(keys, kLeft, true, false, true, 1024, 5);  // Ctrl steps one channel
  EXPECT_EQ(keys.LowLimit, 149);
  keys.LowLimit = 523;  // 500 + 523 + 1 reaches 1024
  EXPECT_EQ(PressKey(keys, kRight, false, false, true, 1024, 5), KeyEffect::kNothing);
  keys.LowLimit = 0;
  EXPECT_EQ(PressKey(keys, kLeft, false, false, true, 1024, 5), KeyEffect::kNothing);
  keys = zoomed(19, 19, 100, 25);  // step 2.5 rounds to 2
  PressKey(keys, kRight, false, false, true, 1024, 5);
  EXPECT_EQ(keys.LowLimit, 102);

  keys = zoomed(1, 1, 0, 10);
  EXPECT_EQ(key(keys, kRight), KeyEffect::kNothing);
  EXPECT_EQ(keys, zoomed(1, 1, 0, 10));
  EXPECT_EQ(key(keys, kRight, true), KeyEffect::kRedraw);
  EXPECT_EQ(keys, zoomed(19, 19, 0, 10));
  EXPECT_EQ(after(zoomed(1, 11, 0, 500), kRight), zoomed(1, 10, 0, 400));
  // A third narrower, a sixth further right.
  EXPECT_EQ(after(zoomed(19, 19, 100, 300), kRight), zoomed(19, 19, 150, 200));
  // 50 + 1000 passes channel 1023: the low limit stays.
  EXPECT_EQ(after(zoomed(19, 19, 1000, 300), kRight), zoomed(19, 19, 1000, 200));

  keys = zoomed(1, 11, 0, 500);
  EXPECT_EQ(key(keys, kLeft), KeyEffect::kRedraw);
  EXPECT_EQ(keys, zoomed(1, 12, 0, 600));
  keys = zoomed(1, 11, 600, 500);  // 500 + 600 reaches 1024
  EXPECT_EQ(key(keys, kLeft), KeyEffect::kNothing);
  // The last predefined range goes on as "User define".
  EXPECT_EQ(after(zoomed(12, 18, 1000, 2000), kLeft, false, 8192), zoomed(0, 19, 500, 3000));
  // Shift; 800 passes channel 511: the width stays.
  EXPECT_EQ(after(zoomed(19, 11, 0, 800), kLeft, true, 512), zoomed(19, 19, 0, 800));
}

}  // namespace
}  // namespace durnix
