// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/viewer_document.h"

#include <gtest/gtest.h>

#include <climits>

#include "support/memory_file_system.h"
#include "support/records.h"

namespace durnix {
namespace {

using Counts = std::vector<std::int32_t>;

ViewerDocument Ramp(int n) {
  Counts counts(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) counts[static_cast<std::size_t>(i)] = i;
  return ViewerDocument(std::move(counts), 1, 11, "", "");
}

TEST(ViewerDocument, AllowsAndRefusesCommandsByItsStateAndMarksRegionsAndZoomWindows) {
  struct Case {
    const char* state;
    bool zoomed, region, busy, changed, shrinkEnabled, saveEnabled, copyEnabled, addEnabled;
    const char* shrinkRefusal;
  };
  const Case cases[] = {
      {"as opened", false, false, false, false, true, false, false, true, ""},
      {"changed", false, false, false, true, true, true, false, true, ""},
      {"zoomed", true, false, false, false, true, false, false, true, "You have to unzoom first"},
      {"region", false, true, false, false, true, false, true, true, "You have to erase ROI first"},
      {"zoomed with region", true, true, false, true, true, true, true, true,
       "You have to unzoom first"},
      {"shrinking", false, false, true, true, false, false, false, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    ViewerDocument doc = Ramp(100);
    if (c.zoomed) ToggleZoom(doc.settings());
    if (c.region) {
      doc.activeRegion().startAt(10);
      doc.activeRegion().finishAt(20, WindowOf(100, false, 0, 0), doc.ViewCounts());
    }
    doc.setSaveEnabled(c.changed);
    doc.setBusy(c.busy);
    EXPECT_EQ(doc.Enabled(ViewerCommand::kShrink), c.shrinkEnabled);
    EXPECT_EQ(doc.Enabled(ViewerCommand::kSave), c.saveEnabled);
    EXPECT_EQ(doc.Enabled(ViewerCommand::kCopy), c.copyEnabled);
    EXPECT_EQ(doc.Enabled(ViewerCommand::kAdd), c.addEnabled);
    EXPECT_EQ(doc.Enabled(ViewerCommand::kRegion), !c.busy);
    EXPECT_EQ(doc.Refusal(ViewerCommand::kShrink), c.shrinkRefusal);
    EXPECT_EQ(doc.Refusal(ViewerCommand::kAdd), "");
  }

  ViewerDocument doc = Ramp(100);
  int from = 30, to = 10;
  RegionAreas areas;
  std::string refusal;
  ASSERT_TRUE(doc.MarkRegion(from, to, areas, refusal, "r.as2"));
  EXPECT_EQ(std::pair(from, to), std::pair(10, 30));
  EXPECT_EQ(areas.gross, 420);  // 10 + 11 + ... + 30
  EXPECT_TRUE(doc.activeRegion().RoiSet());
  EXPECT_EQ(doc.regions().size(), 1u);

  from = to = 7;
  EXPECT_FALSE(doc.MarkRegion(from, to, areas, refusal, "r.as2"));
  EXPECT_EQ(refusal, "The region needs two different channels (both ends are 7).");
  from = 90;
  to = 100;
  EXPECT_FALSE(doc.MarkRegion(from, to, areas, refusal, "r.as2"));
  EXPECT_EQ(refusal, "Channels 90 to 100 are not all within 0 to 99 of r.as2.");
  EXPECT_EQ(doc.activeRegion().RoiFrom(), 10);  // the region stays as it was

  PlotWindow window;
  ASSERT_TRUE(doc.Frame(window));
  EXPECT_EQ(window.LastCh, 99);
  ZoomToRegion(doc.settings(), 10, 30);
  ASSERT_TRUE(doc.Frame(window));
  EXPECT_EQ((std::array{window.FirstCh, window.LastCh, window.FullScale}),
            (std::array{10, 30, 30}));

  ViewerDocument negative(Counts{1, -5, 3}, 1, 11, "", "");  // Auto cannot show it
  EXPECT_FALSE(negative.Frame(window));
}

TEST(ViewerDocument, CombineCompareAndShrinkChangeCountsTitleAndSave) {
  ViewerDocument doc(Counts{3, 2, 10}, 1, 11, "", "");
  EXPECT_EQ(doc.Combine(Combination::kCompare, {2, 4}, 0.5, "c.chn"), CombineResult::kCombined);
  EXPECT_TRUE(doc.CompareOn());
  EXPECT_EQ(doc.SecondCounts(), (Counts{1, 2}));
  EXPECT_EQ(doc.Title("T"), "T & c.chn");
  EXPECT_FALSE(doc.Enabled(ViewerCommand::kSave));  // Compare only draws

  EXPECT_EQ(doc.Combine(Combination::kAdd, {1, 1}, 0.5, "a.chn"), CombineResult::kCombined);
  EXPECT_EQ(doc.ViewCounts(), (Counts{4, 2, 10}));  // 3.5 -> 4, 2.5 -> 2, the tail kept
  EXPECT_FALSE(doc.CompareOn());
  EXPECT_EQ(doc.Title("T"), "T + a.chn");
  EXPECT_TRUE(doc.Enabled(ViewerCommand::kSave));

  EXPECT_EQ(doc.Combine(Combination::kSubtract, {4, 1, 1}, 2, "s.chn"), CombineResult::kCombined);
  EXPECT_EQ(doc.ViewCounts(), (Counts{0, 0, 8}));
  ToggleZoom(doc.settings());
  EXPECT_EQ(doc.Title("T"), "T - s.chn - zoomed");

  // Nothing changes when a result does not fit, or when there is nothing to add.
  EXPECT_EQ(doc.Combine(Combination::kAdd, {INT_MAX, INT_MAX, INT_MAX}, 1, "h.chn"),
            CombineResult::kOverflow);
  EXPECT_EQ(doc.Combine(Combination::kCompare, {INT_MAX}, 2, "h.chn"), CombineResult::kOverflow);
  EXPECT_EQ(doc.Combine(Combination::kSubtract, {}, 1, "e.chn"), CombineResult::kEmpty);
  EXPECT_EQ(doc.ViewCounts(), (Counts{0, 0, 8}));
  EXPECT_EQ(doc.Title("T"), "T - s.chn - zoomed");

  // A shrink clears the region and the comparison and halves the channels.
  ViewerDocument shrunk = Ramp(1023);
  shrunk.Combine(Combination::kCompare, Counts(10, 1), 1, "c.chn");
  shrunk.activeRegion().startAt(10);
  shrunk.activeRegion().finishAt(20, WindowOf(1023, false, 0, 0), shrunk.ViewCounts());
  shrunk.activeRegion().clear();
  ASSERT_EQ(shrunk.Shrink(nullptr), ShrinkResult::kShrunk);
  EXPECT_EQ(shrunk.ChNum(), 511);
  EXPECT_EQ(shrunk.ViewCounts()[1], 5);  // 2 + 3
  EXPECT_FALSE(shrunk.CompareOn() || shrunk.AnyRegionSet());
  EXPECT_EQ(shrunk.Title("T"), "T - shrinked");
  EXPECT_TRUE(shrunk.Enabled(ViewerCommand::kSave));

  // A stop asked for before the spreading ends it without a result; the counts stay.
  std::atomic<bool> stop{true};
  Counts out;
  Resolution sigma{Resolution::kConstant, 1, 0, 0};
  EXPECT_EQ(ViewerDocument::ComputeShrink(shrunk.ViewCounts(), &sigma, out, {}, &stop),
            ShrinkResult::kInterrupted);
  sigma.a = -1;
  EXPECT_EQ(shrunk.Shrink(&sigma), ShrinkResult::kInvalid);
  EXPECT_EQ(shrunk.ChNum(), 511);
}

TEST(ViewerDocument, CalibrationFromTheFieldsAndTheRecordAndOxfordCountsRead) {
  SpectrumRecord calibrated = test::RecordWithCounts({1, 2, 3});
  calibrated.CalGain = 0.5f;
  calibrated.CalOffset = 0;
  ViewerDocument doc = ViewerDocument::OfRecord(calibrated);
  EXPECT_EQ(doc.ConvText(), ".5");
  EXPECT_EQ(doc.OffsetText(), "");
  EXPECT_EQ(doc.EnergyOf(4), 2.0f);
  doc.setCalibration("2.5 keV", " -1");
  EXPECT_EQ(std::pair(doc.ConvFactor(), doc.EnergyOf(2)), std::pair(2.5f, 4.0f));
  calibrated.CalGain = 1;
  EXPECT_EQ(ViewerDocument::OfRecord(calibrated).ConvText(), "");

  // Oxford counts keep their lowest 24 bits whatever format reads them.
  struct Case {
    FormatCode written;
    const FormatInfo* chosen;
    std::int32_t expected;
  };
  const Case cases[] = {
      {FMT_SPT, nullptr, 0x234567},          {FMT_SPM, nullptr, 0x234567},
      {FMT_SPT, &Format(FMT_SPT), 0x234567}, {FMT_SPM, &Format(FMT_AUTO), 0x234567},
      {FMT_RBS, nullptr, 0x1234567},         {FMT_RBS, &Format(FMT_RBS), 0x1234567},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Format(c.written).displayName);
    test::MemoryFileSystem files;
    files.addFolder("/d");
    Bytes bytes;
    SpectrumRecord written = test::RecordWithCounts(Counts(256, 0x1234567));
    ASSERT_EQ(Format(c.written).encode(written, bytes), kDone);
    files.addFile("/d/s", bytes);
    SpectrumRecord record;
    record.FileName = "/d/s";
    const FormatInfo* format = nullptr;
    Bytes buffer;
    ASSERT_EQ(ReadViewedSpectrum(files, c.chosen, record, format, buffer), kDone);
    EXPECT_EQ(format, &Format(c.written));
    EXPECT_EQ(record.Counts, Counts(256, c.expected));
  }
}

}  // namespace
}  // namespace durnix
