// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/plot.h"

#include <gtest/gtest.h>

#include <vector>

namespace durnix {
namespace {

// A picture of 1020 x 520 inner units: plot 1000 wide and 500 high, bottom line at 510.
const PlotArea kArea = PlotAreaOf(1020, 520);

TEST(PlotMenus, ScaleEntriesAndColours) {
  // The entries that choosing a scale in view_settings_test.cpp does not reach.
  EXPECT_EQ(ScaleEntryValue(33), 1000000);
  EXPECT_EQ(ScaleEntryValue(kScaleLog), 0);
  EXPECT_EQ(VScaleOfEntry(28), 50000);
  // Black, red, green, yellow, blue, magenta, cyan dots; an unknown colour is taken as black.
  const std::array<std::int32_t, 8> dots = {0x000000, 0x0000FF, 0x00FF00, 0x00FFFF,
                                            0xFF0000, 0xFF00FF, 0xFFFF00, 0x123456};
  const std::array<std::int32_t, 8> backs = {0xC0C0C0, 0x00FFFF, 0xFF0000, 0xFF0000,
                                             0x0080FF, 0xFFFFFF, 0x0080FF, 0xC0C0C0};
  const std::array<std::int32_t, 8> compare = {0x000000, 0x0000FF, 0xFF0000, 0x00FFFF,
                                               0x00FF00, 0xFF00FF, 0x000000, 0xFF00FF};
  for (std::size_t i = 0; i < dots.size(); ++i) {
    EXPECT_EQ(BackColourOf(dots[i]), backs[i]) << i;
    EXPECT_EQ(CompareColourOf(static_cast<int>(i)), compare[i]) << i;
  }
}

TEST(PlotFullScale, AutoLogAndFixedAndTheAxisLabels) {
  std::vector<std::int32_t> counts(100, 0);
  PlotWindow w = WindowOf(100, false, 0, 0);
  // The full scale set for the scale `vScale`, "log" before it on a logarithmic one, "refused"
  // when the counts cannot be shown so.
  const auto scaled = [](PlotWindow& window, const std::vector<std::int32_t>& values,
                         std::int32_t vScale) {
    if (!SetFullScale(window, values, vScale)) return "refused " + std::to_string(window.FullScale);
    return (window.logarithmic ? "log " : "") + std::to_string(window.FullScale);
  };
  counts[7] = 3;
  EXPECT_EQ(scaled(w, counts, 0), "5");
  EXPECT_EQ(scaled(w, counts, 1), "log 1");  // largest 3: d < 1
  counts[50] = 50000;                        // d = 4.7, round(5.7) = 6, raised to 10
  EXPECT_EQ(scaled(w, counts, 1), "log 10");
  counts[50] = 31622;  // d just below 4.5: 5 decades
  EXPECT_EQ(scaled(w, counts, 1), "log 5");
  counts[50] = 1234;
  EXPECT_EQ(scaled(w, counts, 0), "1234");
  EXPECT_EQ(scaled(w, std::vector<std::int32_t>(100, 0), 1), "log 1");  // log of no counts
  // A zoom window only looks at its own channels.
  PlotWindow zoomed = WindowOf(100, true, 60, 10);
  EXPECT_EQ(scaled(zoomed, counts, 0), "5");
  // A negative count stops Auto and Log, not a fixed scale.
  counts[90] = -1;
  w.FullScale = 77;
  EXPECT_EQ(scaled(w, counts, 0), "refused 77");
  EXPECT_EQ(scaled(w, counts, 1), "refused 77");
  EXPECT_EQ(scaled(w, counts, 1000), "1000");
  EXPECT_EQ(OverflowedMessage("run7.chn"), "RUN7.CHN is overflowed !!");

  PlotWindow whole = WindowOf(1024, false, 0, 0);
  whole.FullScale = 1234;
  AxisLabels l = AxisLabelsOf(whole, 2, -1);
  EXPECT_EQ(l.lblX, (std::array<std::string, 6>{"0", "205", "410", "614", "819", "1023"}));
  EXPECT_EQ(l.channels[3], 614);
  EXPECT_EQ(l.lblE, (std::array<std::string, 6>{"-1", "409", "819", "1227", "1637", "2045"}));
  EXPECT_EQ(l.lblY, (std::array<std::string, 6>{"0", "246", "492", "738", "984", "1234"}));
  l = AxisLabelsOf(whole, 0.0025f, 0);  // 0, 0.5125, 1.025, 1.535, 2.0475, 2.5575
  EXPECT_EQ(l.lblE, (std::array<std::string, 6>{"", "1", "1", "2", "2", "3"}));
  EXPECT_EQ(AxisLabelsOf(whole, 0, 0.5f).lblE[0], "");  // rounds to 0: empty
  EXPECT_EQ(AxisLabelsOf(whole, 0, 2.5f).lblE[0], "2");
  EXPECT_EQ(AxisLabelsOf(whole, 0, -2.5f).lblE[0], "-2");
  l = AxisLabelsOf(WindowOf(1024, true, 1000, 100), 0, 0);
  EXPECT_EQ(l.lblX, (std::array<std::string, 6>{"1000", "1005", "1009", "1014", "1018", "1023"}));
  whole.logarithmic = true;
  whole.FullScale = 10;
  EXPECT_EQ(AxisLabelsOf(whole, 0, 0).lblY,
            (std::array<std::string, 6>{"10^ 0", "10^ 2", "10^ 4", "10^ 6", "10^ 8", "10^ 10"}));
  whole.FullScale = 1;
  EXPECT_EQ(
      AxisLabelsOf(whole, 0, 0).lblY,
      (std::array<std::string, 6>{"10^ 0", "10^ 0.2", "10^ 0.4", "10^ 0.6", "10^ 0.8", "10^ 1"}));
}

TEST(PlotMapping, WindowsCutAtTheLastChannelAndChannelsToPointsAndBack) {
  const auto ends = [](const PlotWindow& window) {
    return std::pair(window.FirstCh, window.LastCh);
  };
  const PlotWindow z = WindowOf(1024, true, 1000, 100);
  EXPECT_EQ(z.ShownRange, 23);
  EXPECT_EQ(ends(WindowOf(1024, true, 2.5f, 10.5f)), std::pair(2, 12));  // halves to even
  EXPECT_EQ(ends(WindowOf(1024, true, -40, 100)), std::pair(0, 100));
  const PlotWindow shrunk = WindowOf(512, true, 1000, 100);  // a low limit beyond the channels
  EXPECT_EQ(std::pair(shrunk.FirstCh, shrunk.ShownRange), std::pair(511, 0));

  PlotWindow w = WindowOf(1024, false, 0, 0);
  w.FullScale = 1000;
  PlotPoint p = ChannelToPoint(w, kArea, 512, 500);
  EXPECT_FLOAT_EQ(p.x, 510);
  EXPECT_FLOAT_EQ(p.y, 260);
  EXPECT_FLOAT_EQ(ChannelToPoint(w, kArea, 0, 2000).y, -490);  // above the plot area
  w.logarithmic = true;
  w.FullScale = 10;
  EXPECT_FLOAT_EQ(ChannelToPoint(w, kArea, 3, 0).y, 510);
  EXPECT_FLOAT_EQ(ChannelToPoint(w, kArea, 3, 100).y, 410);
  EXPECT_EQ(PointToChannel(w, kArea, 510), 512);
  EXPECT_EQ(PointToChannel(w, kArea, 0), 0);
  EXPECT_EQ(PointToChannel(w, kArea, 5000), 1023);
  EXPECT_FLOAT_EQ(ChannelToPoint(z, kArea, 1023, 0).x, 1010);
  EXPECT_EQ(PointToChannel(z, kArea, 1010), 1023);
  EXPECT_EQ(PointToChannel(z, kArea, 0), 1000);
  PlotWindow thousand = WindowOf(1000, false, 0, 0);  // one channel per unit
  EXPECT_EQ(PointToChannel(thousand, kArea, 12.5f), 2);
  EXPECT_EQ(PointToChannel(thousand, kArea, 13.5f), 4);
}

}  // namespace
}  // namespace durnix
