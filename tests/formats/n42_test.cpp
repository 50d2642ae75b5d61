// SPDX-License-Identifier: GPL-3.0-or-later
// ANSI N42.42-2011 documents: a file that InterSpec wrote, hand-written documents of two
// measurements and of bad channel data, and the writer's document read back.
#include "formats/n42.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "formats/text_rules.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

using Lines = std::vector<std::string>;
using Counts = std::vector<std::int32_t>;

// What N42 holds of a record, "SpecId|date|time|live|real|offset|gain|channels", and the counts
// of a short spectrum ("|0 7 1").
std::string Fields(const SpectrumRecord& r) {
  std::string fields = r.SpecId + "|" + r.AcqDate + "|" + r.AcqTime + "|" + r.LiveTime + "|" +
                       r.RealTime + "|" + SingleText(r.CalOffset) + "|" + SingleText(r.CalGain) +
                       "|" + std::to_string(r.ChannelCount) + (r.StartCh == 0 ? "" : "|StartCh");
  for (std::size_t i = 0; i < r.Counts.size() && r.Counts.size() <= 16; ++i) {
    fields += (i == 0 ? "|" : " ") + std::to_string(r.Counts[i]);
  }
  return fields;
}

// The expected values were read from the file's text: one RadMeasurement "Sample1" holding one
// Spectrum (grep), StartDateTime 2013-12-26T21:15:00Z, RealTimeDuration PT1824.650024S,
// LiveTimeDuration PT1800.000000S, the Spectrum's Remark, CoefficientValues "-0.319999993
// 0.488827497 0", no RadMeasurement Remark; the counts by expanding the CountedZeroes words of
// ChannelData with a short Python loop (16384 channels, the first 36 empty, 698514 in all).
TEST(N42Reader, FileOfInterSpec) {
  const std::string path =
      std::string(DURNIX_REAL_SAMPLES_DIR) + "/multi/specutils_Mn56_DetX_Shielded.n42";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no real samples";
  const std::string bytes = test::ReadWhole(path);
  ASSERT_TRUE(HasN42Signature(bytes));
  EXPECT_EQ(N42Spectra(bytes), Lines{"RadMeasurement id=Sample1, Spectrum id=Sample1Det0Spectrum, "
                                     "16384 channels, live 1800 s"});
  SpectrumRecord record;
  ASSERT_EQ(ReadN42(bytes, record), kDone);
  EXPECT_EQ(Fields(record),
            "Title: Mn56 Shielded|12/26/2013|21:15:00|1800|1824.650024|-0.32|0.4888275|16384");
  ASSERT_EQ(record.Counts.size(), 16384u);
  EXPECT_EQ(Counts(record.Counts.begin() + 35, record.Counts.begin() + 44),
            (Counts{0, 2, 2, 16, 82, 215, 449, 684, 844}));
  EXPECT_EQ(record.Counts[1733], 5621);  // the highest
  EXPECT_EQ(record.Counts[16303], 1);    // the last that is not 0
  EXPECT_EQ(std::accumulate(record.Counts.begin() + 16304, record.Counts.end(), 0), 0);
  EXPECT_EQ(std::accumulate(record.Counts.begin(), record.Counts.end(), 0), 698514);
  EXPECT_EQ(N42Dropped(bytes, 0), (Lines{"RadInstrumentDataCreatorName", "RadDetectorInformation",
                                         "DHS:InterSpec", "RadDetectorState"}));
  Bytes written;
  ASSERT_EQ(EncodeN42(record, written), kDone);
  SpectrumRecord again;
  ASSERT_EQ(ReadN42(written, again), kDone);
  EXPECT_EQ(Fields(again), Fields(record));
  EXPECT_EQ(again.Counts, record.Counts);
}

TEST(N42Writer, DocumentAndRoundTrip) {
  SpectrumRecord record = test::RecordWithCounts({0, 7, 123456});
  record.SpecId = "Cs & Co <2>";
  record.AcqDate = "06-Dec-26";
  record.AcqTime = "09:17";
  record.LiveTime = "873.5";
  record.RealTime = "900";
  record.CalGain = 2.5f;
  record.CalOffset = -1.25f;
  Bytes out;
  ASSERT_EQ(EncodeN42(record, out), kDone);
  EXPECT_EQ(
      out,
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<RadInstrumentData xmlns=\"http://physics.nist.gov/N42/2011/N42\">\n"
      "  <RadInstrumentInformation id=\"RadInstrumentInformation-1\">\n"
      "    <RadInstrumentManufacturerName>Durnix</RadInstrumentManufacturerName>\n"
      "    <RadInstrumentModelName>Durnix</RadInstrumentModelName>\n"
      "    <RadInstrumentClassCode>Other</RadInstrumentClassCode>\n"
      "    <RadInstrumentVersion>\n"
      "      <RadInstrumentComponentName>Software</RadInstrumentComponentName>\n"
      "      <RadInstrumentComponentVersion>Durnix</RadInstrumentComponentVersion>\n"
      "    </RadInstrumentVersion>\n  </RadInstrumentInformation>\n"
      "  <RadDetectorInformation id=\"RadDetectorInformation-1\">\n"
      "    <RadDetectorCategoryCode>Gamma</RadDetectorCategoryCode>\n"
      "    <RadDetectorKindCode>Other</RadDetectorKindCode>\n  </RadDetectorInformation>\n"
      "  <EnergyCalibration id=\"EnergyCalibration-1\">\n"
      "    <CoefficientValues>-1.25 2.5 0</CoefficientValues>\n  </EnergyCalibration>\n"
      "  <RadMeasurement id=\"RadMeasurement-1\">\n    <Remark>Cs &amp; Co &lt;2&gt;</Remark>\n"
      "    <MeasurementClassCode>Foreground</MeasurementClassCode>\n"
      "    <StartDateTime>2026-12-06T09:17:00</StartDateTime>\n"
      "    <RealTimeDuration>PT900S</RealTimeDuration>\n"
      "    <Spectrum id=\"RadMeasurement-1-Spectrum-1\" "
      "radDetectorInformationReference=\"RadDetectorInformation-1\" "
      "energyCalibrationReference=\"EnergyCalibration-1\">\n"
      "      <LiveTimeDuration>PT873.5S</LiveTimeDuration>\n"
      "      <ChannelData>0 7 123456</ChannelData>\n    </Spectrum>\n  </RadMeasurement>\n"
      "</RadInstrumentData>\n");
  SpectrumRecord again;
  ASSERT_EQ(ReadN42(out, again), kDone);
  EXPECT_EQ(Fields(again), "Cs & Co <2>|12/06/2026|09:17:00|873.5|900|-1.25|2.5|3|0 7 123456");
  EXPECT_EQ(N42Dropped(out, 0), Lines{"RadDetectorInformation"});

  SpectrumRecord bare = test::RecordWithCounts({1});  // no date, times or calibration
  bare.SpecId = "5 \265Ci\r\n";                       // a Latin-1 byte and a line break
  ASSERT_EQ(EncodeN42(bare, out), kDone);
  EXPECT_NE(out.find("<Remark>5 \302\265Ci  </Remark>\n    <MeasurementClassCode>Foreground"
                     "</MeasurementClassCode>\n    <RealTimeDuration>PT0S</RealTimeDuration>"),
            out.npos);
  EXPECT_EQ(out.find("EnergyCalibration"), out.npos);
  // A remark that reads like the counts' element stays a remark.
  SpectrumRecord lookalike = test::RecordWithCounts({4, 5});
  lookalike.SpecId = "<ChannelData>0</ChannelData>";
  ASSERT_EQ(EncodeN42(lookalike, out), kDone);
  ASSERT_EQ(ReadN42(out, again), kDone);
  EXPECT_EQ(again.SpecId, lookalike.SpecId);
  EXPECT_EQ(again.Counts, lookalike.Counts);
  EXPECT_EQ(EncodeN42(test::RecordWithCounts({}), out), kDoesNotFit);
  EXPECT_EQ(EncodeN42(test::RecordWithCounts({3, -1}), out), kDoesNotFit);
}

TEST(N42Reader, SecondOfTwoMeasurements) {
  const std::string bytes =
      "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- two measurements -->\n"
      "<n42:RadInstrumentData xmlns:n42=\"http://physics.nist.gov/N42/2011/N42\">\n"
      "<n42:RadInstrumentInformation id=\"i\"><n42:RadInstrumentModelName>Model &amp; Co"
      "</n42:RadInstrumentModelName></n42:RadInstrumentInformation>\n"
      "<n42:EnergyCalibration id=\"a\"><n42:CoefficientValues>1 2</n42:CoefficientValues>"
      "</n42:EnergyCalibration>\n<n42:EnergyCalibration id=\"b\"><n42:CoefficientValues>"
      "-0.5 0.25 1.2e-07</n42:CoefficientValues></n42:EnergyCalibration>\n"
      "<n42:RadMeasurement id=\"M1\"><n42:Spectrum id=\"S1\" energyCalibrationReference=\"c\">"
      "<n42:LiveTimeDuration>P1DT2H</n42:LiveTimeDuration><n42:ChannelData>1 2"
      "</n42:ChannelData></n42:Spectrum></n42:RadMeasurement>\n"
      "<n42:RadMeasurement id=\"M2\"><n42:StartDateTime>2017-06-21T14:04:34.25-07:00"
      "</n42:StartDateTime><n42:RealTimeDuration>PT1H2M3.5S</n42:RealTimeDuration>"
      "<n42:Spectrum id=\"S2\" energyCalibrationReference=\"b\"><n42:LiveTimeDuration>PT1H"
      "</n42:LiveTimeDuration><n42:ChannelData compressionCode=\"CountedZeroes\">\n"
      " 5 0 3 12.000 0 2\t7\n</n42:ChannelData></n42:Spectrum><n42:GrossCounts/>"
      "<n42:GrossCounts/></n42:RadMeasurement>\n</n42:RadInstrumentData>\n";
  EXPECT_EQ(N42Spectra(bytes),
            (Lines{"RadMeasurement id=M1, Spectrum id=S1, 2 channels, live 93600 s",
                   "RadMeasurement id=M2, Spectrum id=S2, 8 channels, live 3600 s"}));
  SpectrumRecord record;
  ASSERT_EQ(ReadN42Spectrum(bytes, 1, record), kDone);
  EXPECT_EQ(Fields(record),
            "Model & Co|06/21/2017|14:04:34|3600|3723.5|-0.5|0.25|8|5 0 0 0 12 0 0 7");
  EXPECT_EQ(N42Dropped(bytes, 1),
            (Lines{"quadratic calibration term 1.2e-07", "other measurements (1)", "GrossCounts"}));
  // The first spectrum: no start or real time, and a calibration of two that it does not name.
  ASSERT_EQ(ReadN42(bytes, record), kDone);
  EXPECT_EQ(Fields(record), "Model & Co|||93600||0|0|2|1 2");
  EXPECT_EQ(N42Dropped(bytes, 0), Lines{"other measurements (1)"});
}

TEST(N42Reader, RefusesWhatIsNotWhole) {
  const auto document = [](const char* data, const char* code) {
    return std::string(
               "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY x \"]>\">]><RadInstrumentData "
               "xmlns=\"http://physics.nist.gov/N42/2011/N42\"><RadMeasurement id=\"m\">"
               "<Spectrum><ChannelData compressionCode=\"") +
           code + "\">" + data + "</ChannelData></Spectrum></RadMeasurement></RadInstrumentData>";
  };
  const std::string good = document("1 2 3", "None");
  SpectrumRecord record;
  ASSERT_EQ(ReadN42(good, record), kDone);
  EXPECT_EQ(Fields(record), "|||||0|0|3|1 2 3");
  EXPECT_EQ(ReadN42Spectrum(good, 1, record), kNotThisFormat);  // no second spectrum
  EXPECT_TRUE(record.Counts.empty());
  // Not N42: no XML, no namespace, an undeclared prefix, another root, N42.42-2006.
  std::vector<std::string> cases = {
      "not XML at all", "<RadInstrumentData/>",
      "<n42:RadInstrumentData xmlns=\"http://physics.nist.gov/N42/2011/N42\"/>",
      "<N42InstrumentData xmlns=\"http://physics.nist.gov/N42/2011/N42\"/>"};
  cases.push_back(good);
  cases.back().replace(cases.back().find("2011"), 4, "2006");
  const std::size_t n42 = cases.size();
  // N42 without a whole spectrum: cut short, an unknown compression; a fraction, a count below
  // 0, one above INT32_MAX, no number, no count; a billion zeros, one channel too many, a run of
  // zeros without its length.
  cases.push_back(good.substr(0, good.size() - 20));
  cases.push_back(document("1 2", "Packed"));
  for (const char* data : {"1 2.5 3", "1 -2 3", "2147483648", "1 x", ""}) {
    cases.push_back(document(data, "None"));
  }
  for (const char* data : {"0 1000000000", "1 0 32767", "1 0"}) {
    cases.push_back(document(data, "CountedZeroes"));
  }
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i]);
    EXPECT_EQ(HasN42Signature(cases[i]), i >= n42);
    EXPECT_EQ(ReadN42(cases[i], record), kNotThisFormat);
    EXPECT_TRUE(record.Counts.empty());
  }
}

}  // namespace
}  // namespace durnix
