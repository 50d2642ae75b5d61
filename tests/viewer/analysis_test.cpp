// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's analysis: a region's centroid and FWHM, the regions' table, the kinematics of
// elastic scattering and the markers, against values worked out by hand or taken from the
// literature.

#include "viewer/analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <regex>

#include "viewer/labels.h"
#include "viewer/region_table.h"
#include "viewer/viewer_document.h"

namespace durnix {
namespace {

using Counts = std::vector<std::int32_t>;

// A Gaussian peak of `sigma` channels at `centre` on a flat background, rounded to counts.
Counts Peak(int channels, double centre, double sigma, double height, int background) {
  Counts counts(static_cast<std::size_t>(channels));
  for (int i = 0; i < channels; ++i) {
    const double x = (i - centre) / sigma;
    counts[static_cast<std::size_t>(i)] =
        background + static_cast<std::int32_t>(std::lround(height * std::exp(-0.5 * x * x)));
  }
  return counts;
}

TEST(RegionFigures, OfAGaussianOnABackgroundAndInTheRegionsTable) {
  struct Case {
    double centre, sigma, height;
    int background, from, to;
  };
  const Case cases[] = {
      {200.3, 5, 1000, 50, 150, 250},
      {200.0, 5, 20000, 3, 160, 240},
      {97.75, 5, 400, 200, 60, 140},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.centre);
    const Counts counts = Peak(512, c.centre, c.sigma, c.height, c.background);
    const RegionFigures figures = FiguresOf(counts, c.from, c.to);
    EXPECT_EQ(std::pair(figures.from, figures.to), std::pair(c.from, c.to));
    ASSERT_TRUE(figures.centroid && figures.fwhm);
    EXPECT_NEAR(*figures.centroid, c.centre, 0.05);
    EXPECT_NEAR(*figures.fwhm, 2.3548 * c.sigma, 0.01 * 2.3548 * c.sigma);
    // The net area is the peak above the flat line: sqrt(2 pi) sigma height.
    EXPECT_NEAR(static_cast<double>(figures.areas.net), std::sqrt(2 * M_PI) * c.sigma * c.height,
                0.01 * c.sigma * c.height);
  }
  // No peak above the background line: areas, but no centroid or width.
  const RegionFigures flat = FiguresOf(Counts(100, 7), 10, 40);
  EXPECT_EQ(flat.areas.gross, 7 * 31);
  EXPECT_FALSE(flat.centroid);
  EXPECT_FALSE(flat.fwhm);
  // Ends outside the counts give the ends only.
  const RegionFigures outside = FiguresOf(Counts(100, 7), 10, 100);
  EXPECT_FALSE(outside.centroid);
  EXPECT_EQ(outside.areas.gross, 0);

  // The regions are kept or refused, and written as the table shows them.
  ViewerDocument doc(Peak(256, 100, 5, 1000, 10), 1, 11, "", "");
  std::string refusal;
  EXPECT_TRUE(doc.AddRegion(140, 60, refusal)) << refusal;  // ends in either order
  EXPECT_EQ(doc.FurtherRegions().front(), (ViewerDocument::Span{60, 140}));
  EXPECT_TRUE(doc.AnyRegionSet());
  EXPECT_FALSE(doc.AddRegion(30, 30, refusal));
  EXPECT_EQ(refusal, ViewerDocument::RegionEndsRefusal(30, 30));
  EXPECT_FALSE(doc.AddRegion(200, 256, refusal));
  EXPECT_EQ(refusal, "Channels 200 to 256 are not all within 0 to 255.");
  EXPECT_FALSE(doc.SetRegion(3, 1, 2, refusal));
  EXPECT_EQ(refusal, "No such region.");

  // The region of the mouse comes first in the table, then the further ones in their order.
  doc.activeRegion().startAt(70);
  doc.activeRegion().finishAt(130, WindowOf(256, false, 0, 0), doc.ViewCounts());
  EXPECT_TRUE(doc.AddRegion(0, 20, refusal));
  const std::vector<RegionFigures> table = doc.RegionTable();
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ((std::array{table[0].from, table[1].from, table[2].from}), (std::array{70, 60, 0}));
  EXPECT_NEAR(table[1].centroid.value(), 100, 0.01);
  EXPECT_FALSE(table[2].centroid);

  // Sixteen regions in all, the mouse's one counted.
  for (int i = 0; i < 13; ++i) EXPECT_TRUE(doc.AddRegion(150 + i, 160 + i, refusal)) << i;
  EXPECT_FALSE(doc.AddRegion(1, 2, refusal));
  EXPECT_EQ(refusal, "A viewer holds at most 16 regions: delete one in the regions' table first.");
  doc.RemoveRegion(1);
  doc.RemoveRegion(99);  // no such row: nothing
  EXPECT_EQ(doc.FurtherRegions().size(), 14u);
  EXPECT_TRUE(doc.SetRegion(0, 120, 80, refusal));
  EXPECT_EQ(doc.FurtherRegions().front(), (ViewerDocument::Span{80, 120}));
  while (!doc.FurtherRegions().empty()) doc.RemoveRegion(0);

  // Without a calibration: channels only, an empty cell for a figure the region lacks.
  EXPECT_TRUE(doc.AddRegion(0, 20, refusal));
  const std::string plain = RegionTableText(doc, '\t');
  EXPECT_TRUE(std::regex_match(plain, std::regex("From\tTo\tGross\tNet\tCentroid\tFWHM\n"
                                                 "70\t130\t[0-9]+\t[0-9.]+\t100\\.00\t11\\.7[0-9]\n"
                                                 "0\t20\t210\t0\t\t\n")))
      << plain;

  // With one: the same in keV, three decimals.
  doc.setCalibration("2", "10");
  ASSERT_TRUE(doc.Calibrated());
  const std::string csv = RegionTableText(doc, ',');
  EXPECT_TRUE(
      std::regex_match(csv, std::regex("From,To,Gross,Net,Centroid,FWHM,Centroid \\(keV\\),"
                                       "FWHM \\(keV\\)\n70,130,[0-9]+,[0-9.]+,100\\.00,"
                                       "11\\.7[0-9],210\\.000,23\\.5[0-9]{2}\n0,20,210,0,,,,\n")))
      << csv;
}

TEST(Kinematics, FactorsAnglesAndTheMarkersOfLinesPlacedAndLabelled) {
  // 4He on gold and silicon at 170 degrees, as RBS tables give them.
  EXPECT_NEAR(KinematicFactor(4.0026, 196.9666, 170).value(), 0.9225, 5e-5);
  EXPECT_NEAR(KinematicFactor(4.0026, 28.0855, 170).value(), 0.5657, 5e-5);
  // Protons on carbon at 90 degrees: (m2 - m1) / (m2 + m1).
  EXPECT_NEAR(KinematicFactor(1.00728, 12.0, 90).value(), (12.0 - 1.00728) / (12.0 + 1.00728),
              1e-12);
  EXPECT_NEAR(KinematicFactor(4, 28, 0).value(), 1.0, 1e-12);
  // A target lighter than the beam cannot send it back that far; masses must be positive.
  EXPECT_FALSE(KinematicFactor(4.0026, 1.008, 90));
  EXPECT_FALSE(KinematicFactor(0, 28, 170));
  EXPECT_FALSE(KinematicFactor(4, -1, 170));

  struct Case {
    std::int16_t geometry;
    float theta, phi;
    std::optional<double> angle;
  };
  const Case cases[] = {
      {2, 0, 170, 170.0},  // a Phi above 90 is the scattering angle whatever the geometry
      {1, 7, 165, 165.0},         {1, 10, 20, 150.0},  // IBM: 180 - Theta - Phi
      {1, 0, 0, 180.0},           {0, 0, 10, 170.0},   // Cornell
      {0, 60, 30, std::nullopt},  // cos Phi / cos Theta above 1: no such geometry
      {0, 45, 60, 135.0},         {2, 0, 10, std::nullopt},  // an exit angle without a geometry
      {1, 100, 90, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.geometry << " " << c.theta << " " << c.phi);
    SpectrumRecord header;
    header.Geometry = c.geometry;
    header.Theta = c.theta;
    header.Phi = c.phi;
    const std::optional<double> angle = ScatteringAngle(header);
    ASSERT_EQ(angle.has_value(), c.angle.has_value());
    EXPECT_NEAR(angle.value_or(0), c.angle.value_or(0), 1e-4);
  }
  EXPECT_NEAR(ChannelOfEnergy(1000, 2.5, 100).value(), 360, 1e-12);
  EXPECT_FALSE(ChannelOfEnergy(1000, 0, 100));

  // The markers of lines are refused without a calibration and placed by it.
  ViewerDocument doc(Counts(1024, 1), 1, 11, "", "");
  std::string refusal;
  std::vector<ViewerDocument::Marker> lines = {{ViewerDocument::Marker::kXray, 6.404, "Fe Kα1", 1}};
  EXPECT_FALSE(doc.SetMarkers(ViewerDocument::Marker::kXray, lines, refusal));
  EXPECT_EQ(refusal, ViewerDocument::kNoCalibrationRefusal);
  EXPECT_TRUE(doc.Markers().empty());
  EXPECT_FALSE(doc.MarkerChannel(lines[0]));

  doc.setCalibration("0.02", "0.1");
  EXPECT_TRUE(doc.SetMarkers(ViewerDocument::Marker::kXray, lines, refusal)) << refusal;
  EXPECT_TRUE(doc.SetMarkers(ViewerDocument::Marker::kEdge,
                             {{ViewerDocument::Marker::kXray, 1.0, "Au", 1}}, refusal));
  ASSERT_EQ(doc.Markers().size(), 2u);
  EXPECT_EQ(doc.Markers()[1].kind, ViewerDocument::Marker::kEdge);  // the kind set wins
  EXPECT_NEAR(doc.MarkerChannel(doc.Markers()[0]).value(), (6.404 - 0.1) / 0.02, 1e-3);
  // Setting one kind anew replaces that kind only.
  EXPECT_TRUE(doc.SetMarkers(ViewerDocument::Marker::kXray, {}, refusal));
  ASSERT_EQ(doc.Markers().size(), 1u);
  EXPECT_EQ(doc.Markers()[0].label, "Au");

  // The labels are placed above their lines without overlapping.
  // Labels 40 wide and 10 high under a top at 175: the second's line is close to the first's,
  // the third's far away and near the right edge; the fourth finds no room left.
  const std::vector<LabelBox> boxes = {
      {100, 200, 40, 10}, {110, 200, 40, 10}, {300, 190, 40, 10}, {105, 200, 40, 10}};
  const auto places = PlaceLabels(boxes, 175, 0, 310);
  ASSERT_EQ(places.size(), 4u);
  ASSERT_TRUE(places[0] && places[1] && places[2]);
  // The first right above its line's tip, the second moved up past it, the third kept within
  // the right edge: left and top of each.
  EXPECT_EQ((std::array{places[0]->left, places[0]->top, places[1]->left, places[1]->top,
                        places[2]->left, places[2]->top}),
            (std::array<double, 6>{80, 190, 90, 179, 270, 180}));
  EXPECT_FALSE(places[3]);
  // Where lines crowd, a label rises at most so far above its place.
  const auto near = PlaceLabels(boxes, 0, 0, 310, 15);
  EXPECT_TRUE(near[1]);
  EXPECT_FALSE(near[3]);  // it would have to rise 22
  // Fifty labels on one spot: those placed never overlap.
  const auto crowded = PlaceLabels(std::vector<LabelBox>(50, {200, 300, 30, 12}), 0, 0, 400);
  std::vector<double> tops;
  for (const auto& place : crowded) {
    if (place) tops.push_back(place->top);
  }
  std::sort(tops.begin(), tops.end());
  ASSERT_GT(tops.size(), 10u);
  for (std::size_t i = 1; i < tops.size(); ++i) EXPECT_GE(tops[i] - tops[i - 1], 12);
}

}  // namespace
}  // namespace durnix
